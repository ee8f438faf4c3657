#include "file_replacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

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

}  // namespace platform
