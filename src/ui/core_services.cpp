#include "core_services.h"

#include "module_state.h"
#include "repair_c.h"

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
            .toolDirectory = repairM::ToolDirectory(),
            .logPath = repairM::LogPath};
}

}  // namespace ui
