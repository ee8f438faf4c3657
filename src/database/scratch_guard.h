#pragma once

#include <string>

// What keeps one repair's scratch copy and original safe from another process.
namespace scratch {

// Holds the scratch folder for this process until release(); throws when another repair
// holds it, or when the folder is a link. Its own names are never followed: a link found at the
// lock or at the scratch copy's names is removed as a link. Calling it again while held is
// harmless.
void hold();
void release();

// Remembers the state of the file under repair, and later throws if the file was
// changed, replaced or removed since, is being written to now, or has beside it a log or a
// journal that SQLite would still apply to it; what else SQLite left beside it is removed.
// From that check until releaseSource() or release() no other process can write to the file,
// and this process does not open it again; checked again after releaseSource(), it is held anew.
void rememberSource(const std::string& path);
void checkSourceUnchanged(const std::string& path);
void releaseSource();
// Whether the file at `path` is still the one remembered (not replaced, not gone).
bool sourceStillAt(const std::string& path);

}  // namespace scratch
