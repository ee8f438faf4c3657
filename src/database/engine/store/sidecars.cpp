#include "sidecars.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "engine_error.h"
#include "file_read.h"

namespace engine {

namespace {

namespace fs = std::filesystem;

constexpr const char* kJournal = "-journal";
constexpr const char* kWal = "-wal";
constexpr const char* kShm = "-shm";
constexpr std::array<const char*, 3> kSidecars = {kJournal, kWal, kShm};

// SQLite names them after the file's path with its links resolved.
std::string sidecar(const std::string& path, const char* suffix) {
    std::error_code ec;
    const fs::path resolved = fs::canonical(path, ec);
    return (ec ? path : resolved.string()) + suffix;
}

struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

[[noreturn]] void unusable(const std::string& path, const std::string& file, const std::string& detail) {
    throw EngineError(ErrorCode::DiskIo, describe::sidecarUnusable(path, file, detail));
}

// A link counts, wherever it leads.
bool present(const std::string& file) {
    struct stat st {};
    return ::lstat(file.c_str(), &st) == 0;
}

void requireUsable(const std::string& path, const std::string& file) {
    struct stat st {};
    if (::lstat(file.c_str(), &st) != 0) {
        if (errno != ENOENT) unusable(path, file, std::strerror(errno));
        return;
    }
    if (!S_ISREG(st.st_mode)) unusable(path, file, "通常のファイルではありません");
    const Descriptor opened{::open(file.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC)};
    if (opened.fd < 0) unusable(path, file, std::strerror(errno));
    const fs::path folder = fs::path(file).parent_path();
    if (::faccessat(AT_FDCWD, folder.empty() ? "." : folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
        unusable(path, file, std::strerror(errno));
}

// SQLite rolls back a journal that is not empty and whose first byte is not zero (a host in
// TRUNCATE or PERSIST mode keeps an empty or zeroed one between transactions) unless a connection
// holds the RESERVED lock, which the caller's ExcludeWriters rules out.
bool couldBeHot(const std::string& journal) {
    const Descriptor opened{::open(journal.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC)};
    if (opened.fd < 0) return errno != ENOENT;
    char first = 0;
    const std::int64_t n = platform::readAt(opened.fd, &first, 1, 0);
    return n < 0 || (n == 1 && first != 0);
}

}  // namespace

void RequireUsableSidecars(const std::string& path) {
    for (const char* suffix : kSidecars) requireUsable(path, sidecar(path, suffix));
}

bool ClearSidecarsForReplacement(const std::string& path) {
    RequireUsableSidecars(path);
    if (present(sidecar(path, kWal)) || couldBeHot(sidecar(path, kJournal))) return false;
    for (const char* suffix : {kJournal, kShm}) {
        const std::string file = sidecar(path, suffix);
        if (present(file) && ::unlink(file.c_str()) != 0 && errno != ENOENT) unusable(path, file, std::strerror(errno));
    }
    return true;
}

bool SidecarsPresent(const std::string& path) {
    for (const char* suffix : kSidecars)
        if (present(sidecar(path, suffix))) return true;
    return false;
}

void DeleteDataFile(const std::string& path) {
    std::vector<std::string> files = {path};
    for (const char* suffix : kSidecars) files.push_back(sidecar(path, suffix));
    for (const std::string& file : files) {
        std::error_code ec;
        fs::remove(file, ec);
        if (ec) throw EngineError(ErrorCode::DiskIo, describe::diskIo(file, ec.message()));
    }
}

bool detail::hasCrashState(const std::string& path) {
    if (SidecarsPresent(path)) return true;
    // Not blocking on a FIFO: what is no regular file is refused later, as no data file.
    const Descriptor opened{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    struct stat st {};
    if (opened.fd < 0 || ::fstat(opened.fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    // Bytes 18 and 19 of SQLite's header (write and read version) are 2 in WAL mode.
    std::array<char, 20> header{};
    constexpr char kMagic[] = "SQLite format 3";
    return platform::readAt(opened.fd, header.data(), header.size(), 0) == static_cast<std::int64_t>(header.size()) &&
           std::memcmp(header.data(), kMagic, sizeof kMagic) == 0 && (header[18] == 2 || header[19] == 2);
}

}  // namespace engine
