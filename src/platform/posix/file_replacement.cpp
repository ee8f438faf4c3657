#include "platform/file_replacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "platform/posix/read_at.h"
#include "platform/transient_failures.h"

namespace platform {

const int kOtherVolume = EXDEV;

// A rename over a file that others hold open replaces it for every later open.
SystemError replaceFile(const std::string& replacement, const std::string& target, const std::function<void()>&) {
    if (::rename(replacement.c_str(), target.c_str()) != 0) return SystemError::ofLastCall(target);
    return {};
}

SystemError removeFile(const std::string& path) {
    if (::remove(path.c_str()) != 0 && errno != ENOENT) return SystemError::ofLastCall(path);
    return {};
}

// Without replacing what may have appeared at `to`; a file system that cannot tell falls back on a
// second name, and one without those on a look before the rename.
SystemError renameToNew(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return {};
    if (errno != EINVAL && errno != ENOSYS) return SystemError::ofLastCall(to);
    if (::link(from.c_str(), to.c_str()) == 0)
        return ::unlink(from.c_str()) == 0 ? SystemError() : SystemError::ofLastCall(from);
    if (errno == EEXIST) return SystemError::ofLastCall(to);
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) return {EEXIST, to};
    if (::rename(from.c_str(), to.c_str()) != 0) return SystemError::ofLastCall(to);
    return {};
}

SystemError takeOverPermissions(const std::string& file, const std::string& original) {
    struct stat st {};
    if (::stat(original.c_str(), &st) != 0) return SystemError::ofLastCall(original);
    if (::chmod(file.c_str(), st.st_mode & 07777) != 0) return SystemError::ofLastCall(file);
    if (::geteuid() == 0 && ::chown(file.c_str(), st.st_uid, st.st_gid) != 0) return SystemError::ofLastCall(file);
    return {};
}

bool isReadOnly(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

SystemError flushFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return SystemError::ofLastCall(path);
    const SystemError error = ::fsync(fd) == 0 ? SystemError() : SystemError::ofLastCall(path);
    ::close(fd);
    return error;
}

SystemError flushFolder(const std::string& path) { return flushFile(path); }

SystemError hardLink(const std::string& file, const std::string& link) {
    if (::link(file.c_str(), link.c_str()) != 0) return SystemError::ofLastCall(link);
    return {};
}

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
