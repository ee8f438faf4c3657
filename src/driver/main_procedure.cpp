#include "driver/main_procedure.h"

#include <filesystem>

#include "driver/command_line.h"
#include "database/engine/db_engine.h"
#include "common/descriptions.h"
#include "common/failure.h"
#include "common/hooks.h"
#include "common/messages.h"
#include "common/module_state.h"
#include "database/repair_c.h"
#include "platform/file_access.h"
#include "platform/paths.h"
#include "driver/repair_driver.h"
#include "platform/system_error.h"
#include "common/write_log.h"

namespace repairM {

namespace {

namespace fs = std::filesystem;

// The file is repaired and usable (the marker is there), but rows of the damaged file could not
// be brought back: the log says which, and where the damaged file was kept.
constexpr int kExitRepairedWithLoss = 2;

void removeIfPresent(const std::string& path) {
    const fs::path file = platform::toPath(path);
    if (fs::exists(fs::symlink_status(file))) fs::remove(file);
}

// The run's one repair.
RepairOutcome repairFromCommandLine() {
    const CommandLineValues values = parseCommandLine(CommandLine);
    repairC check;
    check.setFileName(values.dataSource);
    check.setPassword(values.password);
    if (!check.FileExist()) {
        WriteLog(msg::kFileToRepair + values.dataSource + msg::kTailMissing);
        return {};
    }
    const RepairOutcome outcome = repairDataFile(values.dataSource, values.password);
    if (!outcome.repaired) WriteLog(msg::kFile + values.dataSource + msg::kTailNotRepaired);
    return outcome;
}

// The marker is the host's only sign of success and the log its only explanation: a run that
// could write neither must fail before it touches the file.
void requireWritableToolDirectory() {
    if (const platform::SystemError error = platform::canWriteIn(toolDirectory()))
        throw Failure(describe::toolFolderNotWritable(toolDirectory(), error.text()));
}

// After the file was replaced: the exit status still tells the host, and the log says why the
// marker is missing.
void createMarker() {
    if (const platform::SystemError error = platform::appendToFile(MarkerPath, ""))
        writeLogIfPossible(describe::markerNotCreated(MarkerPath, error.text()));
}

void createScratchFolder() {
    const fs::path folder = platform::toPath(scratchFolder());
    std::error_code ec;
    // A link there is left for the repair to refuse, saying why, rather than followed.
    if (platform::isLink(scratchFolder()) || fs::is_directory(folder, ec)) return;
    if (!fs::create_directory(folder, ec) && ec)
        throw Failure(describe::folderNotCreated(scratchFolder(), platform::errorText(ec)));
}

}  // namespace

int Main(const std::string& commandLine, const std::function<void()>& showWindow) {
    try {
        setToolDirectory(executableDirectory());
        if (!commandLine.empty()) {
            CommandLineMode = true;
            CommandLine = commandLine;
            removeIfPresent(MarkerPath);
            requireWritableToolDirectory();
        }
        removeIfPresent(LogPath);
        if (!fs::exists(platform::toPath(workgroupPath()))) {
            WriteLog(msg::kFile + workgroupPath() + msg::kTailNoSetup);
            return 1;
        }
        createScratchFolder();
        engine::DBEngine::instance().setSystemDB(workgroupPath());

        if (!CommandLineMode) {
            showWindow();
            return 0;
        }
        const RepairOutcome outcome = repairFromCommandLine();
        if (!outcome.repaired) return 1;
        createMarker();
        return outcome.lost.any() ? kExitRepairedWithLoss : 0;
    } catch (const std::exception& e) {
        showErrorBox(e.what());
        // Without a window the log is the only place left to say why the run ended.
        writeLogIfPossible(e.what());
        return 1;
    }
}

}  // namespace repairM
