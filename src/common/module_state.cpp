#include "module_state.h"

#include <filesystem>

#include "messages.h"
#include "paths.h"

namespace repairM {

bool CommandLineMode = false;
std::string CommandLine;
std::string LogPath;
std::string MarkerPath;

namespace {
std::string toolDirectory;
}

const std::string& ToolDirectory() { return toolDirectory; }

void setToolDirectory(const std::string& directory) {
    toolDirectory = directory;
    LogPath = directory + platform::kSeparator + msg::kFilePrefix + msg::kLogName;
    MarkerPath = directory + platform::kSeparator + msg::kFilePrefix + msg::kMarkerName;
}

std::string executableDirectory() {
    const std::string directory = platform::executableDirectory();
    if (!directory.empty()) return directory;
    std::error_code ec;
    return platform::fromPath(std::filesystem::current_path(ec));
}

std::string WorkgroupPath() { return toolDirectory + platform::kSeparator + msg::kFilePrefix + msg::kWorkgroupName; }
std::string ScratchFolder() { return toolDirectory + platform::kSeparator + msg::kScratchFolderName; }
std::string ScratchPath() { return ScratchFolder() + platform::kSeparator + msg::kScratchFileName; }

}  // namespace repairM
