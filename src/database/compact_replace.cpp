#include "database/compact_replace.h"

#include <filesystem>
#include <future>
#include <stdexcept>

#include "database/damaged_original.h"
#include "common/descriptions.h"
#include "database/engine/db_engine.h"
#include "database/engine/store/engine_error.h"
#include "common/error_trap.h"
#include "common/failure.h"
#include "database/file_replace.h"
#include "platform/file_replacement.h"
#include "database/loss_report.h"
#include "common/messages.h"
#include "common/module_state.h"
#include "platform/paths.h"
#include "database/repair_c.h"
#include "database/scratch_guard.h"
#include "database/engine/store/sidecars.h"
#include "common/write_log.h"

namespace {

// Compacts the file at `path` into the scratch copy, from its last committed state.
void compactIntoScratch(const std::string& path, const std::string& connect, RemakesIndex remakes) {
    // Held from here until the repair ends, so that no other repair deletes or replaces our copy.
    scratch::hold();
    std::error_code ignored;
    // A leftover scratch copy is removed next: it must not be the very file under repair.
    if (std::filesystem::equivalent(platform::toPath(path), platform::toPath(repairM::scratchPath()), ignored))
        throw repairM::Failure(repairM::describe::scratchCopyIsTheFile(path));
    // With it goes whatever SQLite left beside it, which it would apply to the new copy, and what
    // a run ended before its time left beside the file under repair.
    engine::deleteDataFile(repairM::scratchPath());
    if (std::string original; !platform::resolveLinks(path, original)) removeTemporariesBeside(original);
    engine::DBEngine& dbEngine = engine::DBEngine::instance();
    // What a crashed host left beside the file goes into it first, so that the state
    // remembered, compacted and checked before the replacement is its last committed one.
    dbEngine.RecoverDatabase(path, connect);
    scratch::rememberSource(path);
    engine::RemadeIndexes remade;
    if (remakes != nullptr) remade = remakes;
    dbEngine.CompactDatabase(path, repairM::scratchPath(), "", 0, connect, remade);
}

}  // namespace

bool CompactDataFile(const std::string& path, const std::string& password, LostRows& lost, RemakesIndex remakes) {
    return repairM::runTrapped(msg::kFile + path + msg::kTailNotCompacted, [&] {
        engine::DBEngine& dbEngine = engine::DBEngine::instance();
        // The logon's password check is costly by design and touches no data file: it runs on
        // another core meanwhile, and the repair goes no further than the scratch copy until it
        // has passed.
        std::future<engine::WorkspacePtr> logon = std::async(std::launch::async, [&dbEngine] {
            return dbEngine.CreateWorkspace(msg::kWorkspaceName, msg::kWorkspaceUser, msg::kWorkspacePassword);
        });
        const std::string connect = msg::kConnectPrefix + password + msg::kConnectSuffix;
        repairC helper;
        helper.setFileName(repairM::scratchPath());
        helper.setPassword(password);
        try {
            compactIntoScratch(path, connect, remakes);
        } catch (...) {
            // A failed logon is what to report first, as when it ran before the compaction.
            logon.get();
            throw;
        }
        const engine::WorkspacePtr workspace = logon.get();
        if (!helper.FileExist()) return false;
        lost = reportLosses(path, *workspace->OpenDatabase(repairM::scratchPath(), false, true, connect));
        return true;
    });
}

bool ReplaceDataFile(const std::string& path, const LostRows& lost) {
    std::string kept;
    std::string uncertain;
    const bool replaced = repairM::runTrapped(msg::kFile + path + msg::kTailNotReplaced, [&] {
        ReplacementSteps steps;
        // The damaged file may still hold what the repair could not bring back.
        steps.prepare = [&](const std::string& original) {
            if (lost.any()) kept = keepDamagedOriginal(original);
        };
        steps.lastCheck = [&] { scratch::checkSourceUnchanged(path); };
        steps.letGoOfTarget = scratch::releaseSource;
        try {
            uncertain = replaceFileAtomically(repairM::scratchPath(), path, steps);
        } catch (...) {
            // Nothing was replaced: a name kept for the original, still in place, would only puzzle
            // its user. Where that cannot be shown, the kept copy stays, as the original may be all it is.
            if (!kept.empty() && scratch::sourceStillAt(path) && !platform::removeFile(kept)) kept.clear();
            throw;
        }
        return true;
    });
    if (!kept.empty()) repairM::writeLogIfPossible(msg::kFile + path + msg::kKeptOriginal + kept + msg::kTailKept);
    if (!uncertain.empty()) repairM::writeLogIfPossible(msg::kFile + path + msg::kReplacedBut + uncertain + "。");
    return replaced;
}

void discardUnfinishedScratchCopy() {
    if (!engine::sidecarsPresent(repairM::scratchPath())) return;
    try {
        engine::deleteDataFile(repairM::scratchPath());
    } catch (const engine::EngineError&) {
        // The next repair removes it before it makes its copy, or fails saying why.
    }
}

void releaseScratch() { scratch::release(); }
