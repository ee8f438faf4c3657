#pragma once

// Paths as the program keeps them, in UTF-8 text, and as the system takes them.

#include <filesystem>
#include <string>

#include "platform/system_error.h"

namespace platform {

// What joins a folder and a name in the paths the program builds ("/" on POSIX, "\" on Windows).
extern const char* const kSeparator;

// The path the system takes for the UTF-8 text `path`, and back. On POSIX the bytes as they are,
// whatever their encoding; on Windows the UTF-16 of the text.
std::filesystem::path toPath(const std::string& path);
std::string fromPath(const std::filesystem::path& path);

// The path of the file that `path` names, every link on the way resolved, in `resolved`.
SystemError resolveLinks(const std::string& path, std::string& resolved);

// The folder of the running executable, without a trailing separator; empty when the system
// cannot tell.
std::string executableDirectory();

}  // namespace platform
