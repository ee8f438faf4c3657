#include "module_state.h"

#include <filesystem>

#include "messages.h"

namespace repairM {

bool CommandLineMode = false;
std::string CommandLine;
std::string LogPath;
std::string MarkerPath;
bool RowsLost = false;

namespace {
std::string toolDirectory;
}

const std::string& ToolDirectory() { return toolDirectory; }

void setToolDirectory(const std::string& directory) {
    toolDirectory = directory;
    LogPath = directory + msg::kSeparator + msg::kFilePrefix + msg::kLogName;
    MarkerPath = directory + msg::kSeparator + msg::kFilePrefix + msg::kMarkerName;
}

std::string executableDirectory() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::filesystem::current_path(ec).string();
    return exe.parent_path().string();
}

std::string WorkgroupPath() { return toolDirectory + msg::kSeparator + msg::kFilePrefix + msg::kWorkgroupName; }
std::string ScratchFolder() { return toolDirectory + msg::kSeparator + msg::kScratchFolderName; }
std::string ScratchPath() { return ScratchFolder() + msg::kSeparator + msg::kScratchFileName; }

}  // namespace repairM
