#include "platform/open_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/read_at.h"

namespace platform {

struct ReadOnlyFile::Handle {
    int fd;
    ~Handle() { ::close(fd); }
};

SystemError identityAt(const std::string& path, FileIdentity& identity) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return SystemError::ofLastCall(path);
    identity = FileIdentity{};
    identity.volume = static_cast<std::uint64_t>(st.st_dev);
    identity.file = static_cast<std::uint64_t>(st.st_ino);
    return {};
}

ReadOnlyFile::ReadOnlyFile(std::unique_ptr<Handle> handle, std::string path)
    : handle_(std::move(handle)), path_(std::move(path)) {}
ReadOnlyFile::~ReadOnlyFile() = default;

SystemError ReadOnlyFile::open(const std::string& path, std::unique_ptr<ReadOnlyFile>& file) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return SystemError::ofLastCall(path);
    file.reset(new ReadOnlyFile(std::unique_ptr<Handle>(new Handle{fd}), path));
    return {};
}

SystemError ReadOnlyFile::readAt(void* buffer, std::size_t size, std::int64_t offset, std::int64_t& read) const {
    return posix::readAt(handle_->fd, path_, buffer, size, offset, read);
}

bool ReadOnlyFile::isRegular() const {
    struct stat st {};
    return ::fstat(handle_->fd, &st) == 0 && S_ISREG(st.st_mode);
}

SystemError ReadOnlyFile::identity(FileIdentity& identity) const {
    struct stat st {};
    if (::fstat(handle_->fd, &st) != 0) return SystemError::ofLastCall(path_);
    identity.volume = static_cast<std::uint64_t>(st.st_dev);
    identity.file = static_cast<std::uint64_t>(st.st_ino);
    identity.size = static_cast<std::int64_t>(st.st_size);
    identity.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return {};
}

// Open file description locks: they belong to this descriptor alone, so that no other descriptor
// of the process on the same file drops them when it is closed (as it would drop a classic record
// lock), and they conflict with the classic locks that SQLite takes.
SystemError ReadOnlyFile::lockForReading(const std::vector<ByteRange>& ranges) const {
    for (const ByteRange& range : ranges) {
        struct flock lock {};
        lock.l_type = F_RDLCK;
        lock.l_whence = SEEK_SET;
        lock.l_start = static_cast<off_t>(range.offset);
        lock.l_len = static_cast<off_t>(range.length);
        lock.l_pid = 0;
        if (::fcntl(handle_->fd, F_OFD_SETLK, &lock) != 0) return SystemError::ofLastCall(path_);
    }
    return {};
}

}  // namespace platform
