#include "database/rebuild.h"

#include <algorithm>
#include <vector>

#include "database/compact_replace.h"
#include "database/engine/db_engine.h"
#include "common/error_trap.h"
#include "database/index_catalogue.h"
#include "common/messages.h"
#include "common/module_state.h"
#include "database/repair_c.h"
#include "common/write_log.h"

namespace {

struct TablePass {
    std::string table;
    std::string keyField;
};

// What differs between the two rebuilds: the word that heads their messages and their tables.
struct RebuildPlan {
    std::string kindHead;
    std::vector<std::string> tables;  // after "Data" and "Lock", key field "L000"
};

const RebuildPlan kWorkPlan = {msg::kWorkKindHead, catalogue::numberedTables('U')};
const RebuildPlan kDesignPlan = {"", catalogue::numberedTables('T')};

std::vector<std::vector<TablePass>> phasesOf(const RebuildPlan& plan) {
    std::vector<TablePass> second;
    for (const std::string& table : plan.tables) second.push_back({table, "L000"});
    return {{{"Data", "A000"}, {"Lock", "A000"}}, second};
}

class Rebuild {
public:
    Rebuild(const RebuildPlan& plan, const std::string& path) : head_(plan.kindHead + msg::kFile + path) {}

    bool run(const RebuildPlan& plan, const std::string& password) {
        engine::WorkspacePtr workspace = engine::DBEngine::instance().CreateWorkspace(
            msg::kWorkspaceName, msg::kWorkspaceUser, msg::kWorkspacePassword);
        helper_.setFileName(repairM::scratchPath());
        helper_.setPassword(password);
        if (!helper_.dbopen(workspace, db_)) {
            repairM::WriteLog(head_ + msg::kTailNotOpened + helper_.systemFailure());
            return false;
        }
        // The scratch copy is flushed whole before it replaces the original, and a copy left by a
        // crash is compacted afresh: its commits need not wait for the disk.
        db_->setCommitsFlushed(false);
        bool result = true;
        for (const std::vector<TablePass>& phase : phasesOf(plan)) {
            for (const TablePass& pass : phase) {
                result = tablePass(pass);
                if (!result) break;
            }
            if (!result) break;
        }
        helper_.dbclose(db_);
        return result;
    }

private:
    bool tablePass(const TablePass& pass) {
        helper_.setTablename(pass.table);
        engine::RecordsetPtr records;
        if (!helper_.rsopen(db_, records)) {
            repairM::WriteLog(head_ + msg::kTable + pass.table + msg::kTailNotOpened + helper_.systemFailure());
            return false;
        }
        while (!records->Eof()) {
            if (engine::isNull(records->Fields(pass.keyField).Value)) records->Delete();
            records->MoveNext();
        }
        // Closing commits the sweep; a failed commit must stop the repair, so it goes to the trap.
        records->Close();
        records.reset();
        for (const catalogue::IndexDefinition& index : catalogue::indexesOf(pass.table))
            if (!indexCheck(pass.table, index)) return false;
        return true;
    }

    // Keeps an index holding every field it should; re-creates one that lacks a field or is missing.
    bool indexCheck(const std::string& table, const catalogue::IndexDefinition& index) {
        // The helper reports a read the system refused as a plain false, and the check goes on as
        // designed: what then fails, fails for that refusal, which its line names.
        std::string refusal;
        const auto noted = [&](bool result) {
            if (!helper_.systemFailure().empty()) refusal = helper_.systemFailure();
            return result;
        };
        if (noted(helper_.daoIndexExist(db_, table, index.name))) {
            bool complete = true;
            for (const std::string& field : index.fields) {
                if (!noted(helper_.daoFieldExist(db_, table, index.name, field))) {
                    complete = false;
                    break;
                }
            }
            if (complete) return true;
            if (!noted(helper_.daoDeleteIndex(db_, table, index.name))) {
                repairM::WriteLog(head_ + msg::kTable + table + msg::kIndex + index.name + msg::kTailIndexNotDeleted +
                                  refusal);
                return false;
            }
        }
        if (!noted(helper_.daoCreateIndex(db_, table, index.name))) {
            repairM::WriteLog(head_ + msg::kTable + table + msg::kIndex + index.name + msg::kTailIndexNotCreated +
                              refusal);
            return false;
        }
        return true;
    }

    std::string head_;
    repairC helper_;
    engine::DatabasePtr db_;
};

bool remadeBy(const RebuildPlan& plan, const std::string& table, const std::string& index,
              const std::vector<std::string>& fields) {
    bool visited = false;
    for (const std::vector<TablePass>& phase : phasesOf(plan))
        for (const TablePass& pass : phase) visited = visited || pass.table == table;
    const catalogue::IndexDefinition* definition = catalogue::findIndex(table, index);
    if (!visited || definition == nullptr) return false;
    return std::any_of(definition->fields.begin(), definition->fields.end(), [&](const std::string& field) {
        return std::find(fields.begin(), fields.end(), field) == fields.end();
    });
}

bool rebuildScratchCopy(const RebuildPlan& plan, const std::string& path, const std::string& password) {
    const bool rebuilt = repairM::runTrapped(plan.kindHead + msg::kFile + path + msg::kTailNotRepaired,
                                             [&] { return Rebuild(plan, path).run(plan, password); });
    if (!rebuilt) discardUnfinishedScratchCopy();
    return rebuilt;
}

}  // namespace

bool RebuildWorkFile(const std::string& path, const std::string& password) {
    return rebuildScratchCopy(kWorkPlan, path, password);
}

bool RebuildDesignFile(const std::string& path, const std::string& password) {
    return rebuildScratchCopy(kDesignPlan, path, password);
}

bool WorkFileRemakes(const std::string& table, const std::string& index, const std::vector<std::string>& fields) {
    return remadeBy(kWorkPlan, table, index, fields);
}

bool DesignFileRemakes(const std::string& table, const std::string& index, const std::vector<std::string>& fields) {
    return remadeBy(kDesignPlan, table, index, fields);
}
