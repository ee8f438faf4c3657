#include "damaged_original.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <optional>
#include <stdexcept>

#include "file_copy.h"
#include "system_error.h"

#include "file_replace.h"

namespace fs = std::filesystem;

namespace {

[[noreturn]] void fail(const std::string& path, int error) {
    throw std::runtime_error("ファイル '" + path + "' を残せません (" + platform::systemErrorText(error) + ")。");
}

std::string stamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

// "<name>.damaged-<stamp><ext>" beside `file`, with "-2", "-3"... after the stamp when a repair of
// the same second already kept one.
fs::path freeName(const fs::path& file) {
    const std::string base = file.stem().string() + ".damaged-" + stamp();
    for (int n = 1;; ++n) {
        const fs::path candidate =
            file.parent_path() / (base + (n == 1 ? "" : "-" + std::to_string(n)) + file.extension().string());
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(candidate, ec))) return candidate;
    }
}

void flush(const std::string& path) {
    if (const int error = flushToDisk(path); error != 0) fail(path, error);
}

}  // namespace

std::string keepDamagedOriginal(const std::string& path) {
    std::error_code ec;
    const fs::path file = fs::canonical(path, ec);
    if (ec) fail(path, ec.value());
    const fs::path kept = freeName(file);
    if (::link(file.c_str(), kept.c_str()) == 0) {
        flush(file.parent_path().string());
        return kept.string();
    }
    // A file system without hard links: a copy, complete under its final name or not there at all.
    const fs::path partial = file.parent_path() / ("." + kept.filename().string() + ".partial");
    const std::optional<platform::CopyFailure> failure = platform::copyFile(file.string(), partial.string());
    try {
        if (failure) fail(failure->file, failure->error);
        flush(partial.string());
        if (::rename(partial.c_str(), kept.c_str()) != 0) fail(kept.string(), errno);
        flush(file.parent_path().string());
    } catch (...) {
        fs::remove(partial, ec);
        throw;
    }
    return kept.string();
}
