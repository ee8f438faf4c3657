#pragma once

#include <string>

#include "system_error.h"

namespace platform {

// Copies the regular file `from` to `to`, which is made new with `from`'s permissions: a name that
// is taken already, by a link or anything else, is refused (kExists, file_access.h), never emptied
// or followed. Short and refused transfers are handled as ReadOnlyFile::readAt does. On failure,
// the file whose read or write the system refused (a partial `to` is left for the caller to remove).
SystemError copyFile(const std::string& from, const std::string& to);

}  // namespace platform
