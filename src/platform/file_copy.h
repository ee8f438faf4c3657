#pragma once

#include <optional>
#include <string>

namespace platform {

// The file whose read or write the system refused, and its code (see system_error.h).
struct CopyFailure {
    std::string file;
    int error = 0;
};

// Copies the regular file `from` to `to`, which is made new with `from`'s permissions: a name that
// is taken already, by a link or anything else, is refused (kExists, file_access.h), never emptied
// or followed. Short and refused transfers are handled as readAt does. Nothing on success; on
// failure, which file failed and why (a partial `to` is left for the caller to remove).
std::optional<CopyFailure> copyFile(const std::string& from, const std::string& to);

}  // namespace platform
