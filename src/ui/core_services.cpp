#include "ui/core_services.h"

#include "common/module_state.h"
#include "database/repair_c.h"

namespace ui {

namespace {

bool fileExists(const std::string& path) {
    repairC file;
    file.setFileName(path);
    return file.FileExist();
}

}  // namespace

CoreServices coreServices() {
    return {.fileExists = fileExists,
            .repair = repairDataFile,
            .toolDirectory = repairM::toolDirectory(),
            .logPath = repairM::LogPath};
}

}  // namespace ui
