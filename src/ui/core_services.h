#pragma once

#include <functional>
#include <string>

namespace ui {

// What the window asks of the core.
struct CoreServices {
    std::function<bool(const std::string& path)> fileExists;
    // RepairDataFile: true when the file was repaired and put in place.
    std::function<bool(const std::string& path, const std::string& kindKey)> repair;
};

// repairC's existence check and RepairDataFile.
CoreServices coreServices();

}  // namespace ui
