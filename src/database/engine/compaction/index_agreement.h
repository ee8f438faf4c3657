#pragma once

// Internal to the engine: indexes of a compacted copy that disagree with their tables.

#include "sqlite_connection.h"

namespace engine::detail {

// Rebuilds, in a freshly compacted copy whose source's bookkeeping was found intact, each index
// whose entries do not match its table. Returns without change when all match.
void repairDisagreeingIndexes(Connection& copy);

}  // namespace engine::detail
