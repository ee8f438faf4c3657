#include "repair_driver.h"

#include "compact_replace.h"
#include "data_kinds.h"
#include "error_trap.h"
#include "file_operation.h"
#include "hooks.h"
#include "messages.h"
#include "module_state.h"
#include "write_log.h"

using repairM::WriteLog;

namespace {

void stepProgressInWindow() {
    if (!repairM::CommandLineMode) repairM::StepProgress();
}

bool repairSteps(const std::string& path, const std::string& kind) {
    std::string folder = path;
    std::string name;
    if (!repairM::FileOperation("Path", folder, name)) {
        WriteLog(msg::kFile + path + msg::kTailNoPathName);
        return false;
    }
    const repairM::DataKind* dataKind = repairM::findDataKind(kind);
    if (!CompactDataFile(path, kind, dataKind != nullptr ? dataKind->remakes : nullptr)) {
        WriteLog(msg::kFile + path + msg::kTailNotCompacted);
        return false;
    }
    stepProgressInWindow();

    if (dataKind == nullptr) {
        WriteLog(msg::kThisFile + path + msg::kTailCannotRepair);
        return false;
    }
    if (dataKind->rebuild == nullptr || !dataKind->rebuild(path, kind)) {
        WriteLog(dataKind->word + path + msg::kTailNotRepaired);
        return false;
    }
    stepProgressInWindow();
    if (!ReplaceDataFile(path)) {
        WriteLog(dataKind->word + path + msg::kTailNotReplaced);
        return false;
    }
    stepProgressInWindow();
    return true;
}

// Whatever the outcome, the scratch folder is free again when the repair ends.
struct ScratchRelease {
    ~ScratchRelease() { ReleaseScratch(); }
};

}  // namespace

bool RepairDataFile(const std::string& path, const std::string& kind) {
    const ScratchRelease release;
    repairM::RowsLost = false;
    return repairM::RunTrapped(msg::kFile + path + msg::kTailNotRepaired, [&] { return repairSteps(path, kind); });
}
