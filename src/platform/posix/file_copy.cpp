#include "file_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "read_at.h"
#include "transient_failures.h"

namespace platform {

namespace {

constexpr std::size_t kChunk = 1 << 20;

struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

// Writes all of `size` bytes at `offset`; false with errno set when the system keeps refusing.
bool writeAt(int fd, const char* bytes, std::size_t size, off_t offset) {
    std::size_t done = 0;
    Retries retries(Retries::For::Transfer);
    while (done < size) {
        const ssize_t n = ::pwrite(fd, bytes + done, size - done, offset + static_cast<off_t>(done));
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        // Retrying cannot make room.
        if (n < 0 && (errno == ENOSPC || errno == EDQUOT || errno == EFBIG)) return false;
        const int error = n == 0 ? EIO : errno;
        if (!retries.again()) {
            errno = error;
            return false;
        }
    }
    return true;
}

}  // namespace

SystemError copyFile(const std::string& from, const std::string& to) {
    const Descriptor in{::open(from.c_str(), O_RDONLY | O_CLOEXEC)};
    struct stat st {};
    if (in.fd < 0 || ::fstat(in.fd, &st) != 0) return SystemError::ofLastCall(from);
    Descriptor out{::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, st.st_mode & 0777)};
    if (out.fd < 0) return SystemError::ofLastCall(to);
    std::vector<char> chunk(kChunk);
    for (off_t offset = 0;;) {
        std::int64_t n = 0;
        if (const SystemError error = posix::readAt(in.fd, from, chunk.data(), chunk.size(), offset, n)) return error;
        if (n == 0) break;
        if (!writeAt(out.fd, chunk.data(), static_cast<std::size_t>(n), offset)) return SystemError::ofLastCall(to);
        offset += static_cast<off_t>(n);
    }
    // Some file systems report a failed write only when the file is closed.
    const int fd = out.fd;
    out.fd = -1;
    if (::close(fd) != 0) return SystemError::ofLastCall(to);
    return {};
}

}  // namespace platform
