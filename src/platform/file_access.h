#pragma once

// Questions asked of files before the work starts, and the small files the program writes itself.

#include <string>

#include "platform/system_error.h"

namespace platform {

// Whether this process may make files in `folder` (and so write its log and marker there).
SystemError canWriteIn(const std::string& folder);
// Whether this process may read, write and remove the file at `path` (which it does not follow
// when it is a link).
SystemError canReadWriteRemove(const std::string& path);

// Whether `path` itself is a link (on Windows any reparse point, a junction too); false when
// nothing is there.
bool isLink(const std::string& path);
// Removes the link at `path` itself, never what it leads to.
SystemError removeLink(const std::string& path);

// Makes an empty file at `path`, unless something is there already: kExists then.
SystemError createNew(const std::string& path);
extern const int kExists;

// Appends `bytes` to the file at `path`, created when missing.
SystemError appendToFile(const std::string& path, const std::string& bytes);

}  // namespace platform
