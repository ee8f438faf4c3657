#include "database/damaged_original.h"

#include <ctime>
#include <filesystem>
#include <optional>
#include <stdexcept>

#include "common/descriptions.h"
#include "common/failure.h"
#include "database/file_replace.h"
#include "platform/file_replacement.h"
#include "platform/paths.h"
#include "platform/system_error.h"
#include "platform/user_locale.h"

namespace fs = std::filesystem;

namespace {

// Throws what the system refused, if anything.
void check(const platform::SystemError& error) {
    if (error) throw repairM::Failure(repairM::describe::notKept(error.file(), error.text()));
}

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

void removeQuietly(const fs::path& file) { platform::removeFile(platform::fromPath(file)); }

// A copy for a file system without hard links: complete under its final name, or not there at all.
void copyWhole(const fs::path& file, const fs::path& kept) {
    const fs::path partial = platform::toPath(temporaryBeside(platform::fromPath(file), kKeptCopyInProgress));
    removeQuietly(partial);
    try {
        check(platform::copyFile(platform::fromPath(file), platform::fromPath(partial)));
        check(platform::flushFile(platform::fromPath(partial)));
        check(platform::renameToNew(platform::fromPath(partial), platform::fromPath(kept)));
    } catch (...) {
        removeQuietly(partial);
        throw;
    }
}

}  // namespace

std::string keepDamagedOriginal(const std::string& original) {
    const fs::path file = platform::toPath(original);
    const fs::path kept = freeName(file);
    if (platform::hardLink(original, platform::fromPath(kept))) copyWhole(file, kept);
    try {
        check(platform::flushFolder(platform::fromPath(file.parent_path())));
    } catch (...) {
        removeQuietly(kept);
        throw;
    }
    return platform::fromPath(kept);
}
