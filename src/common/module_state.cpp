#include "common/module_state.h"

#include <filesystem>

#include "common/messages.h"
#include "platform/paths.h"

namespace repairM {

bool CommandLineMode = false;
std::string CommandLine;
std::string LogPath;
std::string MarkerPath;

namespace {
std::string directoryOfTool;
}

const std::string& toolDirectory() { return directoryOfTool; }

void setToolDirectory(const std::string& directory) {
    directoryOfTool = directory;
    LogPath = directory + platform::kSeparator + msg::kFilePrefix + msg::kLogName;
    MarkerPath = directory + platform::kSeparator + msg::kFilePrefix + msg::kMarkerName;
}

std::string executableDirectory() {
    const std::string directory = platform::executableDirectory();
    if (!directory.empty()) return directory;
    std::error_code ec;
    return platform::fromPath(std::filesystem::current_path(ec));
}

std::string workgroupPath() { return directoryOfTool + platform::kSeparator + msg::kFilePrefix + msg::kWorkgroupName; }
std::string scratchFolder() { return directoryOfTool + platform::kSeparator + msg::kScratchFolderName; }
std::string scratchPath() { return scratchFolder() + platform::kSeparator + msg::kScratchFileName; }

}  // namespace repairM
