#include "database/engine/store/sidecars.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "database/engine/store/engine_error.h"
#include "platform/file_access.h"
#include "platform/file_replacement.h"
#include "platform/open_file.h"
#include "platform/paths.h"
#include "platform/sqlite_files.h"
#include "platform/system_error.h"

namespace engine {

namespace {

namespace fs = std::filesystem;

constexpr const char* kJournal = "-journal";
constexpr const char* kWal = "-wal";
constexpr const char* kShm = "-shm";
constexpr std::array<const char*, 3> kSidecars = {kJournal, kWal, kShm};

// Where SQLite looks beside the data file `path`, which may be a link the host opens it by.
std::string sidecar(const std::string& path, const char* suffix) { return platform::sqliteSidecarBase(path) + suffix; }

[[noreturn]] void unusable(const std::string& path, const std::string& file, const std::string& detail) {
    throw EngineError(ErrorCode::DiskIo, describe::sidecarUnusable(path, file, detail));
}

// What is at `file`, a link as a link; throws naming `path` when even that cannot be told.
fs::file_status statusOf(const std::string& path, const std::string& file) {
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(platform::toPath(file), ec);
    if (ec && status.type() != fs::file_type::not_found) unusable(path, file, platform::errorText(ec));
    return status;
}

// A link counts, wherever it leads.
bool present(const std::string& file) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(platform::toPath(file), ec));
}

void requireUsable(const std::string& path, const std::string& file) {
    const fs::file_status status = statusOf(path, file);
    if (!fs::exists(status)) return;
    if (!fs::is_regular_file(status)) unusable(path, file, describe::notARegularFile());
    if (const platform::SystemError error = platform::canReadWriteRemove(file)) unusable(path, file, error.text());
}

// SQLite rolls back a journal that is not empty and whose first byte is not zero (a host in
// TRUNCATE or PERSIST mode keeps an empty or zeroed one between transactions) unless a connection
// holds the RESERVED lock, which the caller's excludeWriters rules out.
bool couldBeHot(const std::string& journal) {
    if (!present(journal)) return false;
    std::unique_ptr<platform::ReadOnlyFile> opened;
    if (platform::ReadOnlyFile::open(journal, opened)) return true;
    char first = 0;
    std::int64_t n = 0;
    return opened->readAt(&first, 1, 0, n) || (n == 1 && first != 0);
}

}  // namespace

void requireUsableSidecars(const std::string& path) {
    for (const char* suffix : kSidecars) requireUsable(path, sidecar(path, suffix));
}

bool clearSidecarsForReplacement(const std::string& path) {
    requireUsableSidecars(path);
    if (present(sidecar(path, kWal)) || couldBeHot(sidecar(path, kJournal))) return false;
    for (const char* suffix : {kJournal, kShm}) {
        const std::string file = sidecar(path, suffix);
        if (const platform::SystemError error = platform::removeFile(file)) unusable(path, file, error.text());
    }
    return true;
}

std::vector<std::string> dataFileNames(const std::string& path) {
    std::vector<std::string> names = {path};
    for (const char* suffix : kSidecars) names.push_back(path + suffix);
    return names;
}

bool sidecarsPresent(const std::string& path) {
    const std::vector<std::string> names = dataFileNames(path);
    return std::any_of(names.begin() + 1, names.end(), present);
}

void deleteDataFile(const std::string& path) {
    for (const std::string& file : dataFileNames(path))
        if (const platform::SystemError error = platform::removeFile(file))
            throw EngineError(ErrorCode::DiskIo, describe::diskIo(file, error.text()));
}

bool detail::hasCrashState(const std::string& path) {
    for (const char* suffix : kSidecars)
        if (present(sidecar(path, suffix))) return true;
    // What is no regular file is refused later, as no data file (a FIFO does not block the open).
    std::unique_ptr<platform::ReadOnlyFile> opened;
    if (platform::ReadOnlyFile::open(path, opened) || !opened->isRegular()) return false;
    // Bytes 18 and 19 of SQLite's header (write and read version) are 2 in WAL mode.
    std::array<char, 20> header{};
    constexpr char kMagic[] = "SQLite format 3";
    std::int64_t n = 0;
    return !opened->readAt(header.data(), header.size(), 0, n) && n == static_cast<std::int64_t>(header.size()) &&
           std::memcmp(header.data(), kMagic, sizeof kMagic) == 0 && (header[18] == 2 || header[19] == 2);
}

}  // namespace engine
