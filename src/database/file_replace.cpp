#include "file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <stdexcept>

#include "engine_error.h"
#include "file_copy.h"
#include "system_error.h"

namespace fs = std::filesystem;

namespace {

[[noreturn]] void fail(const std::string& what, const std::string& path, int error) {
    // A full disk in the system's own words, as the engine says it of the files it writes.
    if (error == ENOSPC) throw std::runtime_error(engine::describe::diskFull(path, platform::systemErrorText(error)));
    throw std::runtime_error("ファイル '" + path + "' を" + what + " (" + platform::systemErrorText(error) + ")。");
}

void flush(const std::string& path) {
    if (const int error = flushToDisk(path); error != 0) fail("ディスクに書き込めません", path, error);
}

void takeOverAttributes(const std::string& path, const struct stat& original) {
    if (::chmod(path.c_str(), original.st_mode & 07777) != 0) fail("設定できません", path, errno);
    if (::geteuid() == 0 && ::chown(path.c_str(), original.st_uid, original.st_gid) != 0)
        fail("設定できません", path, errno);
}

// Refused before the copy starts when the disk of `staged` is sure not to hold it.
void requireRoomFor(const std::string& source, const fs::path& staged) {
    std::error_code ec;
    const std::uintmax_t needed = fs::file_size(source, ec);
    if (ec) return;
    const fs::space_info space = fs::space(staged.parent_path(), ec);
    if (!ec && space.available < needed)
        throw std::runtime_error(engine::describe::noRoomFor(staged.string(), space.available, needed, false));
}

// A copy of `source` beside `target`, flushed, for a rename that cannot cross file systems.
std::string stageBeside(const std::string& source, const fs::path& target, const struct stat& original) {
    const fs::path staged = target.parent_path() / ("." + target.filename().string() + ".qnrepair");
    std::error_code ec;
    fs::remove(staged, ec);
    requireRoomFor(source, staged);
    if (const std::optional<platform::CopyFailure> failure = platform::copyFile(source, staged.string())) {
        fs::remove(staged, ec);
        fail(failure->file == source ? "読めません" : "コピーできません", failure->file, failure->error);
    }
    try {
        takeOverAttributes(staged.string(), original);
        flush(staged.string());
    } catch (...) {
        fs::remove(staged, ec);
        throw;
    }
    return staged.string();
}

}  // namespace

void replaceFileAtomically(const std::string& replacement, const std::string& target,
                           const std::function<void()>& lastCheck) {
    std::error_code ec;
    const fs::path resolved = fs::canonical(target, ec);
    if (ec) fail("見つけられません", target, ec.value());
    struct stat original {};
    if (::stat(resolved.c_str(), &original) != 0) fail("見つけられません", target, errno);
    if (!S_ISREG(original.st_mode)) fail("置き換えられません", target, EINVAL);
    if ((original.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        throw std::runtime_error("ファイル '" + target + "' は読み取り専用のため置き換えられません。");

    takeOverAttributes(replacement, original);
    flush(replacement);
    if (lastCheck) lastCheck();
    if (::rename(replacement.c_str(), resolved.c_str()) != 0) {
        if (errno != EXDEV) fail("置き換えられません", target, errno);
        const std::string staged = stageBeside(replacement, resolved, original);
        if (::rename(staged.c_str(), resolved.c_str()) != 0) {
            const int error = errno;
            fs::remove(staged, ec);
            fail("置き換えられません", target, error);
        }
        fs::remove(replacement, ec);
    }
    flush(resolved.parent_path().string());
}

int flushToDisk(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    const int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return error;
}
