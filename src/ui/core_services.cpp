#include "core_services.h"

#include "repair_c.h"
#include "repair_driver.h"

namespace ui {

namespace {

bool fileExists(const std::string& path) {
    repairC file;
    file.setFileName(path);
    return file.FileExist();
}

}  // namespace

CoreServices coreServices() { return {.fileExists = fileExists, .repair = RepairDataFile}; }

}  // namespace ui
