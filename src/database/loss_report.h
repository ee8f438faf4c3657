#pragma once

#include <string>

#include "database/engine/database.h"
#include "database/lost_rows.h"

// What a compaction that had to salvage the damaged file at `path` could not bring back, as the
// scratch copy `copy` records it: written to the log in one go (a line for each table that lost
// rows, then one for each lost row that it names by its key; a line for a password verifier made
// anew), and counted.
LostRows reportLosses(const std::string& path, engine::Database& copy);
