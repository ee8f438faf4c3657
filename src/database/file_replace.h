#pragma once

#include <functional>
#include <string>

// Puts the file `replacement` in place of `target` so that `target` is at every moment
// either the old file or the complete new one: flushed, moved over in one step, folder flushed.
// A symlink is followed: the file it names is replaced. The new file keeps the old one's
// permissions. A read-only target is refused. Throws with a Japanese description.
// `lastCheck` runs once the new file is flushed, immediately before it is moved over (or,
// across volumes, copied beside) `target`; what it throws leaves `target` as it was.
void replaceFileAtomically(const std::string& replacement, const std::string& target,
                           const std::function<void()>& lastCheck = {});
