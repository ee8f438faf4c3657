#include "scratch_guard.h"

#include <array>
#include <memory>
#include <optional>
#include <stdexcept>

#include "file_replacement.h"
#include "lock_file.h"
#include "module_state.h"
#include "open_file.h"
#include "paths.h"
#include "sidecars.h"
#include "system_error.h"
#include "writer_exclusion.h"

namespace scratch {

namespace {

constexpr const char* kLockName = "repair.lock";

std::unique_ptr<platform::LockFile> scratchLock;
// The original, held against writers from the last check until release().
std::unique_ptr<platform::ReadOnlyFile> heldSource;

struct SourceState {
    platform::FileIdentity identity;
    // The file's header carries a change counter that every committed write moves.
    std::array<char, 100> header;
    bool operator==(const SourceState&) const = default;
};

std::optional<SourceState> remembered;

[[noreturn]] void failToRead(const std::string& path, int error) {
    throw std::runtime_error("ファイル '" + path + "' の状態を調べられません (" + platform::systemErrorText(error) + ")。");
}

std::unique_ptr<platform::ReadOnlyFile> openForReading(const std::string& path) {
    int error = 0;
    std::unique_ptr<platform::ReadOnlyFile> file = platform::ReadOnlyFile::open(path, error);
    if (!file) failToRead(path, error);
    return file;
}

SourceState stateOf(const platform::ReadOnlyFile& file, const std::string& path) {
    SourceState state{};
    if (!file.identity(state.identity)) failToRead(path, platform::lastSystemError());
    if (file.readAt(state.header.data(), state.header.size(), 0) < 0)
        throw std::runtime_error("ファイル '" + path + "' を読めません (" +
                                 platform::systemErrorText(platform::lastSystemError()) + ")。");
    return state;
}

}  // namespace

void hold() {
    if (scratchLock) return;
    const std::string lockPath = repairM::ScratchFolder() + platform::kSeparator + kLockName;
    int error = 0;
    switch (platform::LockFile::take(lockPath, scratchLock, error)) {
    case platform::LockFile::Outcome::Held: return;
    case platform::LockFile::Outcome::HeldByAnother:
        throw std::runtime_error("修復用の一時フォルダー '" + repairM::ScratchFolder() +
                                 "' は別の修復が使用中です。その修復が終わってからやり直してください。");
    case platform::LockFile::Outcome::Failed:
        throw std::runtime_error("修復用の一時フォルダー '" + repairM::ScratchFolder() + "' を使えません (" +
                                 platform::systemErrorText(error) + ")。");
    }
}

void release() {
    remembered.reset();
    heldSource.reset();
    scratchLock.reset();
}

void rememberSource(const std::string& path) { remembered = stateOf(*openForReading(path), path); }

void checkSourceUnchanged(const std::string& path) {
    heldSource = openForReading(path);
    // Held before the check, so that no write can land between the check and the replacement.
    if (!engine::ExcludeWriters(*heldSource))
        throw std::runtime_error("ファイル '" + path + "' は他のプログラムが書き込み中のため、置き換えませんでした。");
    // A log beside the file holds writes the copy lacks, a hot journal the undoing of a write the
    // copy may hold; SQLite would apply either to the copy once it stands in the file's place.
    if (!remembered || !(*remembered == stateOf(*heldSource, path)) || !engine::ClearSidecarsForReplacement(path))
        throw std::runtime_error("ファイル '" + path +
                                 "' は修復中に他のプログラムによって変更されたため、置き換えませんでした。");
    // Where the rename needs the file closed, a program that opens it from now on makes the rename
    // fail, and the original stays.
    if (platform::kReplacingNeedsTargetClosed) heldSource.reset();
}

}  // namespace scratch
