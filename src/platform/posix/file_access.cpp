#include "platform/file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace platform {

const int kExists = EEXIST;

SystemError canWriteIn(const std::string& folder) {
    if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0) return SystemError::ofLastCall(folder);
    return {};
}

SystemError canReadWriteRemove(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return SystemError::ofLastCall(path);
    ::close(fd);
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    return canWriteIn(folder.empty() ? "." : folder.string());
}

bool isLink(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

SystemError removeLink(const std::string& path) {
    if (::unlink(path.c_str()) != 0) return SystemError::ofLastCall(path);
    return {};
}

SystemError createNew(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return SystemError::ofLastCall(path);
    ::close(fd);
    return {};
}

SystemError appendToFile(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (file == nullptr) return SystemError::ofLastCall(path);
    SystemError error;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) error = SystemError::ofLastCall(path);
    // Some file systems report a failed write only when the file is closed.
    if (std::fclose(file) != 0 && !error) error = SystemError::ofLastCall(path);
    return error;
}

}  // namespace platform
