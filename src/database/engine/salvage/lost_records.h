#pragma once

// Internal to the engine: putting back in their tables the records that SQLite's recovery could
// only leave in its lost-and-found table.

#include <string>
#include <vector>

#include "database/engine/salvage/definition_reader.h"
#include "database/engine/store/layout.h"
#include "database/engine/store/sqlite_connection.h"

namespace engine::detail {

// The damaged file's layout as the recovery brought it over: the rows of its layout table, and
// the layout's own records among the lost ones (the schema page that led to them was lost).
std::vector<LayoutEntry> recoveredLayout(Connection& destination);

// Moves each lost record of a table's tree, told by its root page in `layout`, into that table
// of `destination` (made from its definition in the layout when the recovery had none), keeping
// its rowid. Records of indexes, which only repeat what the tables hold, are dropped.
void placeLostRecords(Connection& destination, const std::vector<LayoutEntry>& layout, DefinitionReader& definitions);

// Forgets the unplaced records of `fields` fields whose rowids the query `rowids` yields: the rows
// of a table whose own count already holds them, as where the page leading to its leaves was lost.
// A record of another table with as many fields and one of those rowids goes uncounted with them.
void forgetUnplacedRecords(Connection& destination, std::size_t fields, const std::string& rowids);

// How many records of tables are left unplaced.
std::int64_t unplacedRecords(Connection& destination);

}  // namespace engine::detail
