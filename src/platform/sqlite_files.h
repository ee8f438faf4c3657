#pragma once

// SQLite's layer for this system's files: which of SQLite's layers it is, how it treats a database
// file (the bytes it locks) and the name it gives the files it keeps beside it.

#include <string>
#include <vector>

#include "platform/open_file.h"

namespace platform {

// The name of SQLite's layer (VFS) through which this system's files are opened: on Windows the
// one that takes every path the system does ("win32-longpath"), not SQLite's default, which
// refuses names of MAX_PATH characters' worth of UTF-8 (1,040 bytes) or more.
const char* sqliteVfsName();

// The bytes of a database file that SQLite's locking protocol on this system has every writer lock
// for writing, to begin a write or to commit one, while its readers never do: held for reading,
// they keep every writer out and let readers in.
std::vector<ByteRange> sqliteWriterLocks();

// What SQLite puts "-journal", "-wal" or "-shm" after to name the files beside the database at
// `path`.
std::string sqliteSidecarBase(const std::string& path);

}  // namespace platform
