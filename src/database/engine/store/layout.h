#pragma once

// Internal to the engine: the layout, a table that mirrors where each table and index of a data
// file lives (its root page) and how it is defined. The schema itself lives on the file's first
// page; when that page is lost, SQLite's recovery can only leave every record in a lost-and-found
// table tagged with the root page of its tree, and the layout tells which table that root was.

#include <cstdint>
#include <string>
#include <vector>

#include "database/engine/store/sqlite_connection.h"

namespace engine::detail {

// Every row of the layout carries this mark, so that its records can be told apart from the rows
// of other tables when they turn up in a lost-and-found table.
constexpr const char* kLayoutMark = "QNDB layout 1";

struct LayoutEntry {
    std::string type;  // "table" or "index"
    std::string name;
    std::string table;
    std::int64_t rootPage = 0;
    std::string sql;
};

// Rewrites the layout from the schema, creating it first in a file made before it existed:
// after a change of the root pages (a compacted copy has new ones).
void refreshLayout(Connection& conn);

// Keeps the layout in step with one change of the schema, in the same transaction: the table or
// index `name` was made, or dropped (no other root page moves either way: the engine's files do
// not vacuum themselves as they go).
void layoutAdd(Connection& conn, const std::string& name);
void layoutRemove(Connection& conn, const std::string& name);

// The layout that the schema of `conn` would give, for a file made before the layout existed;
// empty when the schema is too damaged to read.
std::vector<LayoutEntry> layoutFromSchema(Connection& conn);

}  // namespace engine::detail
