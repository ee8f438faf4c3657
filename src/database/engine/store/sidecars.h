#pragma once

// What SQLite keeps beside a data file to recover from a crash: a rollback journal
// ("<file>-journal"), or a write-ahead log and its index ("<file>-wal", "<file>-shm"). SQLite
// applies whatever of it it finds beside a file to that file, so none of it may be left beside a
// file that replaces the one it belongs to.

#include <string>
#include <vector>

namespace engine {

// Throws EngineError (DiskIo) naming the first file beside `path` that is not a regular file
// this process can read, write and remove: SQLite could neither recover from it nor be kept
// from applying it.
void requireUsableSidecars(const std::string& path);

// For the last check before `path` is replaced, while excludeWriters holds it. False when SQLite
// would still apply a file beside it to it (a write-ahead log, a journal that could be hot).
// Otherwise removes what is left (a journal that can never be applied, an index without its
// log) and returns true. Opens nothing but those files, so the caller's locks stay.
bool clearSidecarsForReplacement(const std::string& path);

// For the files the engine makes itself (a compacted copy): their names are the path as written
// and the names of what SQLite keeps beside it, each made from that path and never from where a
// link there leads. A link at one of them is another program's file, not ours.
std::vector<std::string> dataFileNames(const std::string& path);

// Whether anything SQLite keeps beside a file is beside `path` (dataFileNames).
bool sidecarsPresent(const std::string& path);

// Removes the file at `path`, if any, and whatever SQLite keeps beside it (dataFileNames; a link
// as a link): a journal left beside a path would be applied to the next file made there. Throws
// EngineError (DiskIo) naming the file that could not be removed.
void deleteDataFile(const std::string& path);

namespace detail {
// Whether `path` needs SQLite's recovery before it is read as it was last committed: anything
// beside it, or a header that puts it in WAL mode.
bool hasCrashState(const std::string& path);
}  // namespace detail

}  // namespace engine
