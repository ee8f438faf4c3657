#pragma once

// Keeping other processes from writing to a data file that this process is about to replace.

#include "platform/open_file.h"

namespace engine {

// Takes, on `file` (the data file, open for reading), the locks that every writer of the file
// must be able to take over, in SQLite's locking protocol on this system: no other connection can
// begin a write or commit one until `file` is closed. False when another connection is writing to
// the file at this moment. Readers are not kept out.
bool excludeWriters(const platform::ReadOnlyFile& file);

}  // namespace engine
