#include "file_replace.h"

#include <filesystem>
#include <optional>
#include <stdexcept>

#include "engine_error.h"
#include "file_copy.h"
#include "file_replacement.h"
#include "paths.h"
#include "system_error.h"

namespace fs = std::filesystem;

namespace {

[[noreturn]] void fail(const std::string& what, const std::string& path, const std::string& reason) {
    throw std::runtime_error("ファイル '" + path + "' を" + what + " (" + reason + ")。");
}

[[noreturn]] void fail(const std::string& what, const std::string& path, int error) {
    // A full disk in the system's own words, as the engine says it of the files it writes.
    if (platform::isDiskFull(error))
        throw std::runtime_error(engine::describe::diskFull(path, platform::systemErrorText(error)));
    fail(what, path, platform::systemErrorText(error));
}

void flush(const std::string& path) {
    if (const int error = platform::flushFile(path); error != 0) fail("ディスクに書き込めません", path, error);
}

void takeOverPermissions(const std::string& path, const std::string& original) {
    if (const int error = platform::takeOverPermissions(path, original); error != 0) fail("設定できません", path, error);
}

// Refused before the copy starts when the disk of `staged` is sure not to hold it.
void requireRoomFor(const std::string& source, const std::string& staged) {
    std::error_code ec;
    const std::uintmax_t needed = fs::file_size(platform::toPath(source), ec);
    if (ec) return;
    const fs::space_info space = fs::space(platform::toPath(staged).parent_path(), ec);
    if (!ec && space.available < needed)
        throw std::runtime_error(engine::describe::noRoomFor(staged, space.available, needed, false));
}

// A copy of `source` beside `target`, flushed, for a move that cannot cross volumes.
std::string stageBeside(const std::string& source, const fs::path& target) {
    const std::string staged =
        platform::fromPath(target.parent_path() / platform::toPath("." + platform::fromPath(target.filename()) + ".qnrepair"));
    std::error_code ec;
    fs::remove(platform::toPath(staged), ec);
    requireRoomFor(source, staged);
    if (const std::optional<platform::CopyFailure> failure = platform::copyFile(source, staged)) {
        fs::remove(platform::toPath(staged), ec);
        fail(failure->file == source ? "読めません" : "コピーできません", failure->file, failure->error);
    }
    try {
        takeOverPermissions(staged, platform::fromPath(target));
        flush(staged);
    } catch (...) {
        fs::remove(platform::toPath(staged), ec);
        throw;
    }
    return staged;
}

}  // namespace

void replaceFileAtomically(const std::string& replacement, const std::string& target,
                           const std::function<void()>& lastCheck) {
    std::error_code ec;
    const fs::path resolved = fs::canonical(platform::toPath(target), ec);
    if (ec) fail("見つけられません", target, platform::errorText(ec));
    const std::string original = platform::fromPath(resolved);
    if (!fs::is_regular_file(resolved, ec)) fail("置き換えられません", target, "通常のファイルではありません");
    if (platform::isReadOnly(original))
        throw std::runtime_error("ファイル '" + target + "' は読み取り専用のため置き換えられません。");

    takeOverPermissions(replacement, original);
    flush(replacement);
    if (lastCheck) lastCheck();
    if (const int error = platform::replaceFile(replacement, original); error != 0) {
        if (error != platform::kOtherVolume) fail("置き換えられません", target, error);
        const std::string staged = stageBeside(replacement, resolved);
        if (const int stagedError = platform::replaceFile(staged, original); stagedError != 0) {
            fs::remove(platform::toPath(staged), ec);
            fail("置き換えられません", target, stagedError);
        }
        fs::remove(platform::toPath(replacement), ec);
    }
    if (const int error = platform::flushFolder(platform::fromPath(resolved.parent_path())); error != 0)
        fail("ディスクに書き込めません", platform::fromPath(resolved.parent_path()), error);
}
