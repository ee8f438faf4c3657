#pragma once

#include <string>
#include <vector>

#include "database/engine/table_def.h"

namespace qndb {

struct IndexFlags {
    bool primary = false;
    bool unique = false;
    bool required = false;
    bool ignoreNulls = false;
};

IndexFlags flagsOf(const engine::Index& index);
std::vector<std::string> fieldsOf(const engine::Index& index);

// Builds an index over `fields` and appends it to `table`'s collection.
void appendIndex(const engine::TableDef& table, const std::string& name, const std::vector<std::string>& fields,
                 const IndexFlags& flags);

}  // namespace qndb
