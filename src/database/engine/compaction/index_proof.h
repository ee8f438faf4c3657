#pragma once

// Internal to the engine: what SQLite's full check adds to its quick one, proven without looking
// every row up in every index.

#include <string>
#include <vector>

#include "sqlite_connection.h"

namespace engine::detail {

// The indexes of `table` (by SQLite's names) that do not hold one entry for each of its rows, with
// that row's values and rowid, and nothing else, or that hold a key twice though unique; and those
// this proof cannot read (an expression, a collation, a descending or partial index). Each index
// is compared with its table by a sum of hashes of their entries, in one pass over the table and
// one over each index.
std::vector<std::string> disagreeingIndexes(Connection& conn, const std::string& table);

// Whether no table of `conn`'s file has such an index (and none is without rowids, which this
// proof does not read either).
bool indexesAgreeWithTables(Connection& conn);

}  // namespace engine::detail
