#pragma once

// Internal to the engine: a new file of ours, as the tools make one and as salvage writes one.

#include "database/engine/store/file_format.h"
#include "database/engine/store/sqlite_connection.h"

namespace engine::detail {

// Marks a new, empty file as ours and creates the bookkeeping tables (and, for a data file, the
// layout that mirrors them), in one transaction.
void initialiseFile(Connection& conn, FileKind kind);

}  // namespace engine::detail
