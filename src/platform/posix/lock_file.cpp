#include "platform/lock_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

const int kHeldByAnother = EWOULDBLOCK;

struct LockFile::Handle {
    int fd;
    ~Handle() { ::close(fd); }
};

LockFile::LockFile(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
LockFile::~LockFile() = default;

SystemError LockFile::take(const std::string& path, std::unique_ptr<LockFile>& lock) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return SystemError::ofLastCall(path);
    auto handle = std::unique_ptr<Handle>(new Handle{fd});
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return SystemError::ofLastCall(path);
    lock.reset(new LockFile(std::move(handle)));
    return {};
}

}  // namespace platform
