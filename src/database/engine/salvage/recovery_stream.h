#pragma once

// Internal to the engine: SQLite's own recovery of a damaged file, streamed into a file of ours.

#include <map>
#include <string>
#include <vector>

#include "database/engine/salvage/definition_reader.h"
#include "database/engine/store/sqlite_connection.h"

namespace engine::detail {

// Where the recovery leaves the records it cannot give to any table it knows: one row per record,
// with the root page of the tree it was found in (rootpgno), its page, its number of fields
// (nfield), its rowid (id; Null for a record of an index) and its fields (c0, c1, ...).
constexpr const char* kLostTable = "_qn_lost";

// What the recovery brought over, besides the rows.
struct Recovered {
    // Every table the recovery found a definition for, in the order found.
    std::vector<std::string> tables;
    // What SQLite's recovery reported when it had to stop early; empty when it ran to its end.
    std::string stoppedBecause;
    // The size of the damaged file's pages, as the recovery found it; 0 when it found none.
    int pageSize = 0;
};

// Runs SQLite's recovery (sqlite3_recover) over `source`, a connection to the damaged file, and
// writes what it finds into `destination`: each table it can define, with a plain definition of
// its columns, and its rows with their rowids; records it cannot place go to kLostTable. Indexes
// and triggers are not made: their definitions are read into `definitions`, to be built once
// the rows are in. A table of the engine's own bookkeeping is written under its own name only
// when its definition is exactly the engine's; otherwise under "_qn_recovered_<name>", for the
// caller to read by position. Throws when the destination cannot be written (a full disk, say);
// damage in the source only means less is recovered.
Recovered recoverInto(Connection& source, Connection& destination, DefinitionReader& definitions);

// The name under which a bookkeeping table with another definition than ours was recovered.
std::string recoveredBookkeepingName(const std::string& name);

}  // namespace engine::detail
