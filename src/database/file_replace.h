#pragma once

#include <functional>
#include <string>

// What the caller does at the steps of a replacement.
struct ReplacementSteps {
    // Runs once the new file is ready (flushed, with the old one's permissions, on the old one's
    // volume), before the last check: `original` is the file the target names, links resolved.
    std::function<void(const std::string& original)> prepare;
    // The last check, immediately before the rename, and again before each try of a rename that
    // another program's hold on a file refused.
    std::function<void()> lastCheck;
    // Runs just before a rename that the system makes only over a file that no one holds open
    // (older Windows, or a file system without such a rename), for the caller to let go of the
    // original; elsewhere the original stays held across the rename.
    std::function<void()> letGoOfTarget;
};

// Puts the file `replacement` in place of `target` so that `target` is at every moment either the
// old file or the complete new one: flushed, moved over in one step, folder flushed. A link is
// followed: the file it names is replaced and the link stays. The new file keeps the old one's
// permissions. A read-only target is refused. Where `replacement` lies on another volume, a copy
// of it is made beside `target` first. Before the rename, every failure (what `steps` throw
// included) throws with a Japanese description and leaves `target` as it was. The rename is the
// line: nothing after it throws. Returns what is uncertain after it (a folder that could not be
// flushed, so that the replacement might not outlive a power cut), empty when nothing is.
std::string replaceFileAtomically(const std::string& replacement, const std::string& target,
                                  const ReplacementSteps& steps = {});

// The name of a file this program makes beside `target` for a while, ".<name>.<purpose>": hidden,
// and the same from run to run, so that a run ended before its time leaves nothing that the next
// one does not find.
std::string temporaryBeside(const std::string& target, const char* purpose);
inline constexpr const char* kStagedCopy = "qnrepair";
inline constexpr const char* kKeptCopyInProgress = "qnrepair-kept";

// Removes each file of those names beside `target`, a link as a link.
void removeTemporariesBeside(const std::string& target);
