#include "database/file_replace.h"

#include <filesystem>
#include <optional>
#include <stdexcept>

#include "common/descriptions.h"
#include "database/engine/store/engine_error.h"
#include "common/failure.h"
#include "platform/file_replacement.h"
#include "platform/open_file.h"
#include "platform/paths.h"
#include "platform/system_error.h"
#include "platform/transient_failures.h"

namespace fs = std::filesystem;

namespace {

using Describe = std::string (*)(const std::string& path, const std::string& reason);

// Throws what the system refused, described as `describe` says it of `path`; a full disk in the
// system's own words, as the engine says it of the files it writes.
void check(Describe describe, const std::string& path, const platform::SystemError& error) {
    if (!error) return;
    if (error.diskFull()) throw repairM::Failure(engine::describe::diskFull(path, error.text()));
    throw repairM::Failure(describe(path, error.text()));
}

void flush(const std::string& path) { check(repairM::describe::notFlushed, path, platform::flushFile(path)); }

void takeOverPermissions(const std::string& path, const std::string& original) {
    const platform::SystemError error = platform::takeOverPermissions(path, original);
    check(repairM::describe::permissionsNotSet, error.file(), error);
}

void removeQuietly(const std::string& path) { platform::removeFile(path); }

// Refused before the copy starts when the disk of `staged` is sure not to hold it.
void requireRoomFor(const std::string& source, const std::string& staged) {
    std::error_code ec;
    const std::uintmax_t needed = fs::file_size(platform::toPath(source), ec);
    if (ec) return;
    const fs::space_info space = fs::space(platform::toPath(staged).parent_path(), ec);
    if (!ec && space.available < needed)
        throw repairM::Failure(engine::describe::noRoomFor(staged, space.available, needed, false));
}

// Whether `a` and `b` lie on one volume, as far as the system tells; a rename says for sure.
bool onOneVolume(const std::string& a, const std::string& b) {
    platform::FileIdentity first, second;
    return platform::identityAt(platform::fromPath(platform::toPath(a).parent_path()), first) ||
           platform::identityAt(platform::fromPath(platform::toPath(b).parent_path()), second) ||
           first.volume == second.volume;
}

// A flushed copy of `source` beside `target` with its permissions, for a move that cannot cross
// volumes; removed again when the object goes, unless it was moved into place.
class StagedCopy {
public:
    StagedCopy(const std::string& source, const std::string& target) : path_(temporaryBeside(target, kStagedCopy)) {
        removeQuietly(path_);
        requireRoomFor(source, path_);
        try {
            const platform::SystemError error = platform::copyFile(source, path_);
            check(error.file() == source ? repairM::describe::notRead : repairM::describe::notCopied, error.file(), error);
            takeOverPermissions(path_, target);
            flush(path_);
        } catch (...) {
            removeQuietly(path_);
            throw;
        }
    }
    ~StagedCopy() {
        if (!moved_) removeQuietly(path_);
    }
    StagedCopy(const StagedCopy&) = delete;
    StagedCopy& operator=(const StagedCopy&) = delete;

    const std::string& path() const { return path_; }
    void movedIntoPlace() { moved_ = true; }

private:
    std::string path_;
    bool moved_ = false;
};

}  // namespace

std::string temporaryBeside(const std::string& target, const char* purpose) {
    const fs::path file = platform::toPath(target);
    return platform::fromPath(file.parent_path() /
                              platform::toPath("." + platform::fromPath(file.filename()) + "." + purpose));
}

void removeTemporariesBeside(const std::string& target) {
    for (const char* purpose : {kStagedCopy, kKeptCopyInProgress}) removeQuietly(temporaryBeside(target, purpose));
}

std::string replaceFileAtomically(const std::string& replacement, const std::string& target,
                                  const ReplacementSteps& steps) {
    std::string original;
    check(repairM::describe::notFound, target, platform::resolveLinks(target, original));
    std::error_code ec;
    if (!fs::is_regular_file(platform::toPath(original), ec))
        throw repairM::Failure(repairM::describe::notReplaced(target, repairM::describe::notRegularFile()));
    if (platform::isReadOnly(original)) throw repairM::Failure(repairM::describe::readOnlyNotReplaced(target));

    takeOverPermissions(replacement, original);
    flush(replacement);
    // Every copy is made before the last check, so that nothing slow stands between it and the rename.
    std::optional<StagedCopy> staged;
    if (!onOneVolume(replacement, original)) staged.emplace(replacement, original);
    if (steps.prepare) steps.prepare(original);
    // A rename that another program's hold refuses (a virus scanner's, for a moment) is tried again
    // after a pause. Where the rename let the original go, a program may have written to it meanwhile:
    // the last check comes again before each try.
    const auto renameChecked = [&](const std::string& from) {
        return platform::waitingOutHolders([&] {
            if (steps.lastCheck) steps.lastCheck();
            return platform::replaceFile(from, original, steps.letGoOfTarget);
        });
    };
    platform::SystemError error = renameChecked(staged ? staged->path() : replacement);
    if (error.code() == platform::kOtherVolume && !staged) {
        // The volumes looked the same and are not (a bind mount, say): the copy is made now.
        staged.emplace(replacement, original);
        error = renameChecked(staged->path());
    }
    check(repairM::describe::notReplaced, target, error);

    // The file is replaced: from here on, what fails is said, not thrown.
    if (staged) {
        staged->movedIntoPlace();
        removeQuietly(replacement);
    }
    const std::string folder = platform::fromPath(platform::toPath(original).parent_path());
    if (const platform::SystemError flushError = platform::flushFolder(folder))
        return repairM::describe::folderNotFlushedAfterReplacement(folder, flushError.text());
    return {};
}
