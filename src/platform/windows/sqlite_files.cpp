#include "platform/sqlite_files.h"

#include <filesystem>

#include "platform/paths.h"

namespace platform {

// SQLite's default "win32" in all but its path limit: the same files, locks and names.
const char* sqliteVfsName() { return "win32-longpath"; }

// SQLite's Windows locking protocol: a writer locks the RESERVED byte to begin and the SHARED range
// to commit, each exclusively; a reader locks the SHARED range shared, and PENDING exclusively for
// a moment on its way in, which is why PENDING must stay free.
std::vector<ByteRange> sqliteWriterLocks() {
    constexpr std::int64_t kReservedByte = 0x40000001;
    return {{kReservedByte, 1 + 510}};  // RESERVED, then the SHARED range
}

// The full path, as GetFullPathNameW makes it; SQLite resolves no links on Windows.
std::string sqliteSidecarBase(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(toPath(path), ec);
    return ec ? path : fromPath(full);
}

}  // namespace platform
