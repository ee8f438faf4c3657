#pragma once

// How SQLite's layer for this system treats a database file: the bytes it locks, and the name it
// gives the files it keeps beside it.

#include <string>
#include <vector>

#include "open_file.h"

namespace platform {

// The bytes of a database file that SQLite's locking protocol on this system has every writer lock
// for writing, to begin a write or to commit one, while its readers never do: held for reading,
// they keep every writer out and let readers in.
std::vector<ByteRange> sqliteWriterLocks();

// What SQLite puts "-journal", "-wal" or "-shm" after to name the files beside the database at
// `path`.
std::string sqliteSidecarBase(const std::string& path);

}  // namespace platform
