#include "database/scratch_guard.h"

#include <array>
#include <memory>
#include <optional>
#include <stdexcept>

#include "common/descriptions.h"
#include "common/failure.h"
#include "platform/file_access.h"
#include "platform/lock_file.h"
#include "common/module_state.h"
#include "platform/open_file.h"
#include "platform/paths.h"
#include "database/engine/store/sidecars.h"
#include "platform/system_error.h"
#include "database/engine/store/writer_exclusion.h"

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

[[noreturn]] void failToRead(const std::string& path, const platform::SystemError& error) {
    throw repairM::Failure(repairM::describe::stateUnreadable(path, error.text()));
}

std::unique_ptr<platform::ReadOnlyFile> openForReading(const std::string& path) {
    std::unique_ptr<platform::ReadOnlyFile> file;
    if (const platform::SystemError error = platform::ReadOnlyFile::open(path, file)) failToRead(path, error);
    return file;
}

[[noreturn]] void failToUseFolder(const std::string& reason) {
    throw repairM::Failure(repairM::describe::scratchFolderUnusable(repairM::scratchFolder(), reason));
}

SourceState stateOf(const platform::ReadOnlyFile& file, const std::string& path) {
    SourceState state{};
    if (const platform::SystemError error = file.identity(state.identity)) failToRead(path, error);
    std::int64_t read = 0;
    if (const platform::SystemError error = file.readAt(state.header.data(), state.header.size(), 0, read))
        throw repairM::Failure(repairM::describe::notRead(path, error.text()));
    return state;
}

// A link at one of the scratch folder's own names leads out of it: it goes, as a link.
void removeLinkAt(const std::string& path) {
    if (!platform::isLink(path)) return;
    if (const platform::SystemError error = platform::removeLink(path)) failToUseFolder(error.text());
}

}  // namespace

void hold() {
    if (scratchLock) return;
    if (platform::isLink(repairM::scratchFolder())) failToUseFolder(repairM::describe::scratchFolderIsALink());
    const std::string lockPath = repairM::scratchFolder() + platform::kSeparator + kLockName;
    removeLinkAt(lockPath);
    if (const platform::SystemError error = platform::LockFile::take(lockPath, scratchLock)) {
        if (error.code() == platform::kHeldByAnother)
            throw repairM::Failure(repairM::describe::scratchFolderBusy(repairM::scratchFolder()));
        failToUseFolder(error.text());
    }
    for (const std::string& name : engine::dataFileNames(repairM::scratchPath())) removeLinkAt(name);
}

void release() {
    remembered.reset();
    heldSource.reset();
    scratchLock.reset();
}

void rememberSource(const std::string& path) { remembered = stateOf(*openForReading(path), path); }

void checkSourceUnchanged(const std::string& path) {
    // Held before the check, so that no write can land between the check and the replacement. Held
    // once: it is opened again only where a rename that needed the file closed let it go.
    if (!heldSource) {
        std::unique_ptr<platform::ReadOnlyFile> file = openForReading(path);
        if (!engine::excludeWriters(*file)) throw repairM::Failure(repairM::describe::beingWritten(path));
        heldSource = std::move(file);
    }
    // A log beside the file holds writes the copy lacks, a hot journal the undoing of a write the
    // copy may hold; SQLite would apply either to the copy once it stands in the file's place.
    if (!remembered || !(*remembered == stateOf(*heldSource, path)) || !engine::clearSidecarsForReplacement(path))
        throw repairM::Failure(repairM::describe::changedMeanwhile(path));
}

// Called where the rename needs the file closed: a program that opens the file from now on makes
// the rename fail, and the file is held and checked again before the rename is tried again.
void releaseSource() { heldSource.reset(); }

bool sourceStillAt(const std::string& path) {
    platform::FileIdentity now;
    return remembered && !platform::identityAt(path, now) && now.volume == remembered->identity.volume &&
           now.file == remembered->identity.file;
}

}  // namespace scratch
