#pragma once

#include <functional>
#include <string>

#include "driver/repair_driver.h"

namespace ui {

// What the window asks of the core, and where the core keeps its files.
struct CoreServices {
    std::function<bool(const std::string& path)> fileExists;
    std::function<RepairOutcome(const std::string& path, const std::string& kindKey)> repair;
    std::string toolDirectory;
    std::string logPath;
};

// repairC's existence check, the repair, and the tool's folder and log as start-up fixed them.
CoreServices coreServices();

}  // namespace ui
