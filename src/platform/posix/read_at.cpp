#include "read_at.h"

#include <unistd.h>

#include <cerrno>

#include "transient_failures.h"

namespace platform::posix {

std::int64_t readAt(int fd, void* buffer, std::size_t size, std::int64_t offset) {
    auto* bytes = static_cast<char*>(buffer);
    std::size_t done = 0;
    Retries retries(Retries::For::Transfer);
    while (done < size) {
        const ssize_t n = ::pread(fd, bytes + done, size - done, static_cast<off_t>(offset) + static_cast<off_t>(done));
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n == 0) break;  // the end of the file
        if (errno == EINTR) continue;
        const int error = errno;
        if (!retries.again()) return -1;
        errno = error;
    }
    return static_cast<std::int64_t>(done);
}

}  // namespace platform::posix
