#include "paths.h"

namespace platform {

const char* const kSeparator = "/";

std::filesystem::path toPath(const std::string& path) { return std::filesystem::path(path); }

std::string fromPath(const std::filesystem::path& path) { return path.string(); }

std::string executableDirectory() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.parent_path().string();
}

}  // namespace platform
