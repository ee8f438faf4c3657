#include "scratch_guard.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <optional>
#include <stdexcept>

#include "file_read.h"
#include "module_state.h"
#include "sidecars.h"
#include "system_error.h"
#include "writer_exclusion.h"

namespace scratch {

namespace {

constexpr const char* kLockName = "repair.lock";

int lockFd = -1;
// The original, held against writers from the last check until release().
int sourceFd = -1;

struct SourceState {
    dev_t device;
    ino_t inode;
    off_t size;
    timespec modified;
    // The file's header carries a change counter that every committed write moves.
    std::array<char, 100> header;
};

std::optional<SourceState> remembered;

[[noreturn]] void failToRead(const std::string& path, int error) {
    throw std::runtime_error("ファイル '" + path + "' の状態を調べられません (" + std::strerror(error) + ")。");
}

int openForReading(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) failToRead(path, errno);
    return fd;
}

SourceState stateOf(int fd, const std::string& path) {
    SourceState state{};
    struct stat st {};
    if (::fstat(fd, &st) != 0) failToRead(path, errno);
    state.device = st.st_dev;
    state.inode = st.st_ino;
    state.size = st.st_size;
    state.modified = st.st_mtim;
    if (platform::readAt(fd, state.header.data(), state.header.size(), 0) < 0)
        throw std::runtime_error("ファイル '" + path + "' を読めません (" + platform::systemErrorText(errno) + ")。");
    return state;
}

bool same(const SourceState& a, const SourceState& b) {
    return a.device == b.device && a.inode == b.inode && a.size == b.size &&
           a.modified.tv_sec == b.modified.tv_sec && a.modified.tv_nsec == b.modified.tv_nsec && a.header == b.header;
}

}  // namespace

void hold() {
    if (lockFd >= 0) return;
    const std::string lockPath = repairM::ScratchFolder() + "/" + kLockName;
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        throw std::runtime_error("修復用の一時フォルダー '" + repairM::ScratchFolder() + "' を使えません (" +
                                 std::strerror(errno) + ")。");
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        throw std::runtime_error("修復用の一時フォルダー '" + repairM::ScratchFolder() +
                                 "' は別の修復が使用中です。その修復が終わってからやり直してください。");
    }
    lockFd = fd;
}

void release() {
    remembered.reset();
    for (int* fd : {&sourceFd, &lockFd}) {
        if (*fd >= 0) ::close(*fd);
        *fd = -1;
    }
}

void rememberSource(const std::string& path) {
    const struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } file{openForReading(path)};
    remembered = stateOf(file.fd, path);
}

void checkSourceUnchanged(const std::string& path) {
    if (sourceFd >= 0) ::close(sourceFd);
    sourceFd = openForReading(path);
    // Held before the check, so that no write can land between the check and the replacement.
    if (!engine::ExcludeWriters(sourceFd))
        throw std::runtime_error("ファイル '" + path + "' は他のプログラムが書き込み中のため、置き換えませんでした。");
    // A log beside the file holds writes the copy lacks, a hot journal the undoing of a write the
    // copy may hold; SQLite would apply either to the copy once it stands in the file's place.
    if (!remembered || !same(*remembered, stateOf(sourceFd, path)) || !engine::ClearSidecarsForReplacement(path))
        throw std::runtime_error("ファイル '" + path +
                                 "' は修復中に他のプログラムによって変更されたため、置き換えませんでした。");
}

}  // namespace scratch
