#include "platform/posix/read_at.h"

#include <unistd.h>

#include <cerrno>

#include "platform/transient_failures.h"

namespace platform::posix {

SystemError readAt(int fd, const std::string& path, void* buffer, std::size_t size, std::int64_t offset,
                   std::int64_t& read) {
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
        const SystemError error = SystemError::ofLastCall(path);
        if (!retries.again()) return error;
    }
    read = static_cast<std::int64_t>(done);
    return {};
}

}  // namespace platform::posix
