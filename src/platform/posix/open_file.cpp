#include "open_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "read_at.h"

namespace platform {

struct ReadOnlyFile::Handle {
    int fd;
    ~Handle() { ::close(fd); }
};

bool identityAt(const std::string& path, FileIdentity& identity) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    identity = FileIdentity{};
    identity.volume = static_cast<std::uint64_t>(st.st_dev);
    identity.file = static_cast<std::uint64_t>(st.st_ino);
    return true;
}

ReadOnlyFile::ReadOnlyFile(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
ReadOnlyFile::~ReadOnlyFile() = default;

std::unique_ptr<ReadOnlyFile> ReadOnlyFile::open(const std::string& path, int& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    return std::unique_ptr<ReadOnlyFile>(new ReadOnlyFile(std::unique_ptr<Handle>(new Handle{fd})));
}

std::int64_t ReadOnlyFile::readAt(void* buffer, std::size_t size, std::int64_t offset) const {
    return posix::readAt(handle_->fd, buffer, size, offset);
}

bool ReadOnlyFile::isRegular() const {
    struct stat st {};
    return ::fstat(handle_->fd, &st) == 0 && S_ISREG(st.st_mode);
}

bool ReadOnlyFile::identity(FileIdentity& identity) const {
    struct stat st {};
    if (::fstat(handle_->fd, &st) != 0) return false;
    identity.volume = static_cast<std::uint64_t>(st.st_dev);
    identity.file = static_cast<std::uint64_t>(st.st_ino);
    identity.size = static_cast<std::int64_t>(st.st_size);
    identity.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return true;
}

// Open file description locks: they belong to this descriptor alone, so that no other descriptor
// of the process on the same file drops them when it is closed (as it would drop a classic record
// lock), and they conflict with the classic locks that SQLite takes.
bool ReadOnlyFile::lockForReading(const std::vector<ByteRange>& ranges) const {
    for (const ByteRange& range : ranges) {
        struct flock lock {};
        lock.l_type = F_RDLCK;
        lock.l_whence = SEEK_SET;
        lock.l_start = static_cast<off_t>(range.offset);
        lock.l_len = static_cast<off_t>(range.length);
        lock.l_pid = 0;
        if (::fcntl(handle_->fd, F_OFD_SETLK, &lock) != 0) return false;
    }
    return true;
}

}  // namespace platform
