#pragma once

#include <string>

#include "rebuild.h"

namespace repairM {

// A kind of host data file: its key (which is also its database password), the word that
// heads its messages, the rebuild that repairs it (none for the kinds whose indexes the tool
// does not know), and which indexes that rebuild deletes and makes again.
struct DataKind {
    const char* key;
    const char* word;
    bool (*rebuild)(const std::string& path, const std::string& password);
    RemakesIndex remakes;
};

// The kind whose key equals `key` exactly; nullptr for an unknown key.
const DataKind* findDataKind(const std::string& key);

}  // namespace repairM
