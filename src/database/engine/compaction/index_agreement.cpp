#include "database/engine/compaction/index_agreement.h"

#include <algorithm>
#include <string>

#include "database/engine/store/engine_error.h"
#include "database/engine/store/file_format.h"
#include "database/engine/store/index_store.h"
#include "database/engine/salvage/salvage_report.h"

namespace engine::detail {

bool repairDisagreeingIndexes(Connection& copy, const std::vector<IndexOfTable>& disagreeing) {
    if (disagreeing.empty()) return true;
    Statement list = copy.prepare(std::string("SELECT DISTINCT table_name FROM ") + kIndexTable);
    std::vector<std::string> tables;
    while (list.step()) tables.push_back(list.columnText(0));
    std::size_t dealtWith = 0;
    for (const std::string& table : tables) {
        if (!tableExists(copy, table)) continue;
        for (const IndexRecord& index : loadIndexes(copy, table)) {
            const bool disagrees = std::any_of(disagreeing.begin(), disagreeing.end(), [&](const IndexOfTable& d) {
                return d.table == table && d.index == index.sqliteName;
            });
            if (!disagrees) continue;
            ++dealtWith;
            deleteIndex(copy, table, index.name);
            try {
                appendIndex(copy, table, index);
                recordProblem(copy, table, describe::indexDisagreedRemade(index.name));
            } catch (const EngineError& e) {
                if (!refusesIndex(e)) throw;
                recordProblem(copy, table, describe::indexDisagreedLeftOut(index.name, e.what()));
            }
        }
    }
    return dealtWith == disagreeing.size();
}

}  // namespace engine::detail
