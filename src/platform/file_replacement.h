#pragma once

// Putting one file in place of another, so that the path holds at every moment either the old
// file or the complete new one.

#include <functional>
#include <string>

#include "platform/system_error.h"

namespace platform {

// Moves `replacement` over `target` in one step, writing through to the disk, while the target is
// open elsewhere (as ReadOnlyFile opens it, held against writers) where the system allows: POSIX,
// and Windows 10 on NTFS. Where it renames only over a file that no one holds open,
// `letGoOfTarget` runs just before, for the caller to close its own. Only within one volume:
// kOtherVolume otherwise, with both files as they were. A file that another program holds open
// fails it at once (SystemError::heldByAnother): the caller waits, and as the target may have been
// let go meanwhile, holds and checks it again before it tries again.
SystemError replaceFile(const std::string& replacement, const std::string& target, const std::function<void()>& letGoOfTarget);
extern const int kOtherVolume;

// Copies the regular file `from` to `to`, which is made new with `from`'s permissions: a name that
// is taken already, by a link or anything else, is refused (kExists, file_access.h), never emptied
// or followed. Short and refused transfers are handled as ReadOnlyFile::readAt does. On failure,
// the file whose read or write the system refused (a partial `to` is left for the caller to remove).
SystemError copyFile(const std::string& from, const std::string& to);

// Removes the file (or empty folder) at `path`, a link as a link; nothing is refused when nothing is there.
// On Windows a file that another program holds for a moment is waited for (transient_failures.h).
SystemError removeFile(const std::string& path);
// Gives the file `from` the name `to` in the same folder, which must be free: kExists (file_access.h)
// when it is taken, and nothing moves. Waited for as removeFile is.
SystemError renameToNew(const std::string& from, const std::string& to);

// Gives `file` the permissions (and, where the process may, the owner) of `original`.
SystemError takeOverPermissions(const std::string& file, const std::string& original);
// Whether the file at `path` is marked read-only (no one may write it); false when that cannot be told.
bool isReadOnly(const std::string& path);

// Flushes the file at `path` to the disk.
SystemError flushFile(const std::string& path);
// Flushes the folder's entries (a rename in it) to the disk, where the system keeps them apart.
SystemError flushFolder(const std::string& path);

// A second name `link` for the file `file` (the file systems that have none refuse).
SystemError hardLink(const std::string& file, const std::string& link);

}  // namespace platform
