#include "compact_replace.h"

#include <filesystem>
#include <stdexcept>

#include "db_engine.h"
#include "error_trap.h"
#include "file_replace.h"
#include "messages.h"
#include "module_state.h"
#include "repair_c.h"
#include "scratch_guard.h"

bool CompactDataFile(const std::string& path, const std::string& password) {
    return repairM::RunTrapped(msg::kFile + path + msg::kTailNotCompacted, [&] {
        engine::DBEngine& dbEngine = engine::DBEngine::instance();
        const engine::WorkspacePtr workspace =
            dbEngine.CreateWorkspace(msg::kWorkspaceName, msg::kWorkspaceUser, msg::kWorkspacePassword);
        // Held from here until the repair ends, so that no other repair deletes or replaces our copy.
        scratch::hold();
        repairC helper;
        helper.setFileName(repairM::ScratchPath());
        helper.setPassword(password);
        std::error_code ignored;
        // A leftover scratch copy is removed next: it must not be the very file under repair.
        if (std::filesystem::equivalent(path, repairM::ScratchPath(), ignored))
            throw std::runtime_error("ファイル '" + path + "' は修復用の一時ファイルのため、修復できません。");
        if (helper.FileExist()) std::filesystem::remove(repairM::ScratchPath(), ignored);
        scratch::rememberSource(path);
        dbEngine.CompactDatabase(path, repairM::ScratchPath(), "", 0,
                                 msg::kConnectPrefix + password + msg::kConnectSuffix);
        return helper.FileExist();
    });
}

bool ReplaceDataFile(const std::string& path) {
    return repairM::RunTrapped(msg::kFile + path + msg::kTailNotReplaced, [&] {
        replaceFileAtomically(repairM::ScratchPath(), path, [&] { scratch::checkSourceUnchanged(path); });
        return true;
    });
}

void ReleaseScratch() { scratch::release(); }
