#pragma once

#include <string>
#include <vector>

#include "database/engine/database.h"

namespace qndb {

struct TableDescription {
    std::string name;
    long rows = 0;
    std::vector<engine::Index> indexes;  // in collection order
};

// What describe reports. Facts about the file as a whole belong beside `tables`, and each
// format in describe_format.h writes them.
struct FileDescription {
    std::vector<TableDescription> tables;  // in collection order
    // What compaction could not carry over when the file was salvaged; empty for a sound file.
    std::vector<engine::Database::SalvageProblem> salvage;
};

FileDescription describeFile(engine::Database& db);

}  // namespace qndb
