#include "file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace platform {

const int kExists = EEXIST;

int canWriteIn(const std::string& folder) {
    return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0 ? 0 : errno;
}

int canReadWriteRemove(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return errno;
    ::close(fd);
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    return canWriteIn(folder.empty() ? "." : folder.string());
}

bool isLink(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

int removeLink(const std::string& path) { return ::unlink(path.c_str()) == 0 ? 0 : errno; }

int createNew(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return errno;
    ::close(fd);
    return 0;
}

int appendToFile(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (file == nullptr) return errno;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int error = written ? 0 : errno;
    if (std::fclose(file) != 0 && error == 0) return errno;
    return error;
}

}  // namespace platform
