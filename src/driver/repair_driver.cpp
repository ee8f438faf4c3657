#include "driver/repair_driver.h"

#include "database/compact_replace.h"
#include "common/error_trap.h"
#include "driver/file_operation.h"
#include "common/hooks.h"
#include "database/host_kinds.h"
#include "common/messages.h"
#include "common/module_state.h"
#include "database/rebuild.h"
#include "common/write_log.h"

using repairM::WriteLog;

namespace {

// A kind's rebuild, and which indexes it deletes and makes again (which the compaction leaves out);
// none for the kinds whose indexes the tool does not know.
struct KindRebuild {
    bool (*rebuild)(const std::string& path, const std::string& password) = nullptr;
    RemakesIndex remakes = nullptr;
};

KindRebuild rebuildOf(const hostkind::HostKind* kind) {
    switch (kind != nullptr ? kind->rebuild : hostkind::Rebuild::None) {
    case hostkind::Rebuild::WorkFile: return {RebuildWorkFile, WorkFileRemakes};
    case hostkind::Rebuild::DesignFile: return {RebuildDesignFile, DesignFileRemakes};
    case hostkind::Rebuild::None: break;
    }
    return {};
}

void stepProgressInWindow() {
    if (!repairM::CommandLineMode) repairM::StepProgress();
}

bool repairSteps(const std::string& path, const std::string& kind, LostRows& lost) {
    std::string folder = path;
    std::string name;
    if (!repairM::FileOperation("Path", folder, name)) {
        WriteLog(msg::kFile + path + msg::kTailNoPathName);
        return false;
    }
    const hostkind::HostKind* hostKind = hostkind::findByKey(kind);
    const KindRebuild rebuild = rebuildOf(hostKind);
    if (!CompactDataFile(path, kind, lost, rebuild.remakes)) {
        WriteLog(msg::kFile + path + msg::kTailNotCompacted);
        return false;
    }
    stepProgressInWindow();

    if (hostKind == nullptr) {
        WriteLog(msg::kThisFile + path + msg::kTailCannotRepair);
        return false;
    }
    if (rebuild.rebuild == nullptr || !rebuild.rebuild(path, kind)) {
        WriteLog(hostKind->word + path + msg::kTailNotRepaired);
        return false;
    }
    stepProgressInWindow();
    if (!ReplaceDataFile(path, lost)) {
        WriteLog(hostKind->word + path + msg::kTailNotReplaced);
        return false;
    }
    stepProgressInWindow();
    return true;
}

// Whatever the outcome, the scratch folder is free again when the repair ends.
struct ScratchRelease {
    ~ScratchRelease() { releaseScratch(); }
};

}  // namespace

RepairOutcome repairDataFile(const std::string& path, const std::string& kind) {
    const ScratchRelease release;
    RepairOutcome outcome;
    outcome.repaired = repairM::runTrapped(msg::kFile + path + msg::kTailNotRepaired,
                                           [&] { return repairSteps(path, kind, outcome.lost); });
    return outcome;
}

bool RepairDataFile(const std::string& path, const std::string& kind) { return repairDataFile(path, kind).repaired; }
