#include "platform/paths.h"

namespace platform {

const char* const kSeparator = "/";

std::filesystem::path toPath(const std::string& path) { return std::filesystem::path(path); }

std::string fromPath(const std::filesystem::path& path) { return path.string(); }

SystemError resolveLinks(const std::string& path, std::string& resolved) {
    std::error_code ec;
    const std::filesystem::path target = std::filesystem::canonical(path, ec);
    if (ec) return {ec.value(), path};
    resolved = target.string();
    return {};
}

std::string executableDirectory() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.parent_path().string();
}

}  // namespace platform
