#pragma once

// Internal to the engine: what compaction does when the source is damaged.

#include <string>

#include "engine_error.h"
#include "sqlite_connection.h"

namespace engine::detail {

// Writes to `destination` (which must not exist) every row of `source` that can be read,
// every index that can be rebuilt over them, and the password verifier, and records each
// problem in the salvage table. Throws only when nothing of the file can be read.
void salvage(Connection& source, const std::string& destination);

// Rebuilds, in a freshly compacted copy whose source's bookkeeping was found intact, each index
// whose entries do not match its table.
// Returns without change when all match.
void repairDisagreeingIndexes(Connection& copy);

// Whether `e` says the source could not be read (as opposed to, say, a full disk).
bool isReadFailure(const EngineError& e);

// Appends one problem to the salvage table, creating the table when needed.
void recordProblem(Connection& conn, const std::string& table, const std::string& problem);

}  // namespace engine::detail
