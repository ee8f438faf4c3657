#include "damaged_original.h"

#include <ctime>
#include <filesystem>
#include <optional>
#include <stdexcept>

#include "file_copy.h"
#include "file_replace.h"
#include "file_replacement.h"
#include "local_time.h"
#include "paths.h"
#include "system_error.h"

namespace fs = std::filesystem;

namespace {

[[noreturn]] void fail(const std::string& path, const std::string& reason) {
    throw std::runtime_error("ファイル '" + path + "' を残せません (" + reason + ")。");
}

[[noreturn]] void fail(const std::string& path, int error) { fail(path, platform::systemErrorText(error)); }

std::string stamp() {
    const std::tm local = platform::localTime(std::time(nullptr));
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

// "<name>.damaged-<stamp><ext>" beside `file`, with "-2", "-3"... after the stamp when a repair of
// the same second already kept one.
fs::path freeName(const fs::path& file) {
    const std::string base = platform::fromPath(file.stem()) + ".damaged-" + stamp();
    for (int n = 1;; ++n) {
        const fs::path candidate = file.parent_path() / platform::toPath(base + (n == 1 ? "" : "-" + std::to_string(n)) +
                                                                        platform::fromPath(file.extension()));
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(candidate, ec))) return candidate;
    }
}

void flushFolder(const fs::path& folder) {
    if (const int error = platform::flushFolder(platform::fromPath(folder)); error != 0) fail(platform::fromPath(folder), error);
}

void removeQuietly(const fs::path& file) { platform::removeFile(platform::fromPath(file)); }

// A copy for a file system without hard links: complete under its final name, or not there at all.
void copyWhole(const fs::path& file, const fs::path& kept) {
    const fs::path partial = platform::toPath(temporaryBeside(platform::fromPath(file), kKeptCopyInProgress));
    removeQuietly(partial);
    try {
        if (const std::optional<platform::CopyFailure> failure =
                platform::copyFile(platform::fromPath(file), platform::fromPath(partial)))
            fail(failure->file, failure->error);
        if (const int error = platform::flushFile(platform::fromPath(partial)); error != 0)
            fail(platform::fromPath(partial), error);
        if (const int error = platform::renameToNew(platform::fromPath(partial), platform::fromPath(kept)); error != 0)
            fail(platform::fromPath(kept), error);
    } catch (...) {
        removeQuietly(partial);
        throw;
    }
}

}  // namespace

std::string keepDamagedOriginal(const std::string& original) {
    const fs::path file = platform::toPath(original);
    const fs::path kept = freeName(file);
    if (platform::hardLink(original, platform::fromPath(kept)) != 0) copyWhole(file, kept);
    try {
        flushFolder(file.parent_path());
    } catch (...) {
        removeQuietly(kept);
        throw;
    }
    return platform::fromPath(kept);
}
