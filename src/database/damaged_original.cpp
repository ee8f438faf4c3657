#include "damaged_original.h"

#include <ctime>
#include <filesystem>
#include <optional>
#include <stdexcept>

#include "file_copy.h"
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

}  // namespace

std::string keepDamagedOriginal(const std::string& path) {
    std::error_code ec;
    const fs::path file = fs::canonical(platform::toPath(path), ec);
    if (ec) fail(path, platform::errorText(ec));
    const fs::path kept = freeName(file);
    if (platform::hardLink(platform::fromPath(file), platform::fromPath(kept)) == 0) {
        flushFolder(file.parent_path());
        return platform::fromPath(kept);
    }
    // A file system without hard links: a copy, complete under its final name or not there at all.
    const fs::path partial = file.parent_path() / platform::toPath("." + platform::fromPath(kept.filename()) + ".partial");
    const std::optional<platform::CopyFailure> failure = platform::copyFile(platform::fromPath(file), platform::fromPath(partial));
    try {
        if (failure) fail(failure->file, failure->error);
        if (const int error = platform::flushFile(platform::fromPath(partial)); error != 0) fail(platform::fromPath(partial), error);
        fs::rename(partial, kept, ec);
        if (ec) fail(platform::fromPath(kept), platform::errorText(ec));
        flushFolder(file.parent_path());
    } catch (...) {
        fs::remove(partial, ec);
        throw;
    }
    return platform::fromPath(kept);
}
