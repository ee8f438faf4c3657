#pragma once

// Internal to the engine: its SQLite VFS, the layer through which SQLite reads and writes every file. A read or
// write that the system refuses is tried again before it counts (platform/transient_failures.h),
// and what the system finally refused is remembered, for the error to name the file it concerns
// and the system's own reason rather than the file the statement ran on. A database file read or
// written front to back goes to the system in runs of several pages rather than page by page.

#include <cstdint>
#include <optional>
#include <string>

// Of the engine's headers, only sqlite_connection.h includes SQLite's.
struct sqlite3_vfs;

namespace engine::detail {

struct IoFailure {
    enum class Operation { Open, Read, Write, Flush, Truncate, Size, Delete };
    Operation operation = Operation::Read;
    std::string file;          // empty for one of SQLite's own temporary files
    std::int64_t offset = -1;  // of a read or write
    int error = 0;             // the system's code; 0 when it gave none (a read that came up short)
};

// The layer, registered as SQLite's default on first use.
sqlite3_vfs* ioLayer();

// What the system last refused on this thread since forgetIoFailure(), if anything.
std::optional<IoFailure> lastIoFailure();
void forgetIoFailure();

}  // namespace engine::detail
