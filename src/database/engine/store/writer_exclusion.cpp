#include "writer_exclusion.h"

#include <fcntl.h>

namespace engine {

namespace {

// SQLite's lock bytes in the file (its unix locking protocol): a writer takes the RESERVED byte
// to begin, the PENDING byte and then the whole SHARED range to commit.
constexpr off_t kPendingByte = 0x40000000;
constexpr off_t kLockBytes = 2 + 510;  // PENDING, RESERVED, then the SHARED range

}  // namespace

bool ExcludeWriters(int fd) {
    struct flock lock {};
    lock.l_type = F_RDLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = kPendingByte;
    lock.l_len = kLockBytes;
    return ::fcntl(fd, F_SETLK, &lock) == 0;
}

}  // namespace engine
