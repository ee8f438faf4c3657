#pragma once

#include <vector>

#include "open_file.h"

namespace platform {

// The bytes of a database file that SQLite's locking protocol on this system has every writer lock
// for writing, to begin a write or to commit one, while its readers never do: held for reading,
// they keep every writer out and let readers in.
std::vector<ByteRange> sqliteWriterLocks();

}  // namespace platform
