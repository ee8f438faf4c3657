#include "sqlite_locks.h"

namespace platform {

// SQLite's unix locking protocol: a writer takes the RESERVED byte to begin, the PENDING byte and
// then the whole SHARED range to commit, each locked for writing; a reader locks PENDING and the
// SHARED range for reading only.
std::vector<ByteRange> sqliteWriterLocks() {
    constexpr std::int64_t kPendingByte = 0x40000000;
    return {{kPendingByte, 2 + 510}};  // PENDING, RESERVED, then the SHARED range
}

}  // namespace platform
