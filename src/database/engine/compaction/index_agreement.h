#pragma once

// Internal to the engine: indexes of a compacted copy that disagree with their tables.

#include <vector>

#include "database/engine/compaction/copy_proof.h"
#include "database/engine/store/sqlite_connection.h"

namespace engine::detail {

// Rebuilds, in a freshly compacted copy whose source's bookkeeping was found intact, each of the
// `disagreeing` indexes (copy_proof.h) that the bookkeeping lists, over its table, or leaves it out
// with a problem noted when its table's rows refuse it (a key now twice). Returns whether every one
// of them was so dealt with: an index the bookkeeping does not list cannot be made again.
bool repairDisagreeingIndexes(Connection& copy, const std::vector<IndexOfTable>& disagreeing);

}  // namespace engine::detail
