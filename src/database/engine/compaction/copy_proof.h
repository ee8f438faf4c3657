#pragma once

// Internal to the engine: what SQLite's full check would find in a copy that VACUUM INTO has just
// written, proven in one pass over each table and one over each index of the copy.

#include <string>
#include <vector>

#include "database/engine/store/sqlite_connection.h"

namespace engine::detail {

struct IndexOfTable {
    std::string table;
    std::string index;  // SQLite's name
};

struct CopyVerdict {
    // The first fault of a table's rows, worded as SQLite's check words it; empty when none. Two
    // indexes with more entries than their table has rows count: the copy lacks rows the source had.
    std::string damage;
    // The indexes that do not hold exactly one entry for each row of their table, with that row's
    // values and rowid, in order, and a unique one no key twice; and those this proof cannot read
    // (an expression, a collation, a descending or a partial index).
    std::vector<IndexOfTable> disagreeing;
    // Whether a table is of a kind this proof does not read (without rowid, STRICT, with CHECK
    // constraints or generated columns, too wide): then SQLite's own full check judges the copy.
    bool incomplete = false;
};

// VACUUM INTO writes every page of the copy anew, through SQLite's b-tree layer, from the cells it
// reads: the copy's pages, trees, overflow chains and free list are SQLite's own work and sound
// whatever the source held (a cell that could not be read whole ended the copy). What it carries
// over as it found it is the cells' contents and their order, and that is what SQLite's full check
// would find wrong in the copy; this proves it instead, reading every table and every index of the
// copy once:
// - each table: rowids in increasing order; each record readable to its last column; no Null in a
//   NOT NULL column, no number in a TEXT column and no text that reads as a number in a numeric
//   one (the checks of SQLite's quick check);
// - each index: as many entries as its table has rows, in increasing order of key and rowid, a
//   unique index no key twice, and the same sum of 64-bit hashes of (key, rowid) as the table's
//   rows give, which tells two sets of entries apart unless they are the same.
// A read the system refuses is thrown as that refusal; a record that cannot be read as Damaged.
CopyVerdict proveCopy(Connection& copy);

}  // namespace engine::detail
