#include "platform/sqlite_files.h"

#include <filesystem>

namespace platform {

// SQLite's default here.
const char* sqliteVfsName() { return "unix"; }

// SQLite's unix locking protocol: a writer takes the RESERVED byte to begin, the PENDING byte and
// then the whole SHARED range to commit, each locked for writing; a reader locks PENDING and the
// SHARED range for reading only.
std::vector<ByteRange> sqliteWriterLocks() {
    constexpr std::int64_t kPendingByte = 0x40000000;
    return {{kPendingByte, 2 + 510}};  // PENDING, RESERVED, then the SHARED range
}

// The path with its links resolved.
std::string sqliteSidecarBase(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path resolved = std::filesystem::canonical(path, ec);
    return ec ? path : resolved.string();
}

}  // namespace platform
