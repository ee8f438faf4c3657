#include "index_agreement.h"

#include <algorithm>
#include <string>
#include <vector>

#include "engine_error.h"
#include "file_format.h"
#include "index_proof.h"
#include "index_store.h"
#include "salvage_report.h"

namespace engine::detail {

void repairDisagreeingIndexes(Connection& copy) {
    Statement list = copy.prepare(std::string("SELECT DISTINCT table_name FROM ") + kIndexTable);
    std::vector<std::string> tables;
    while (list.step()) tables.push_back(list.columnText(0));
    for (const std::string& table : tables) {
        if (!tableExists(copy, table)) continue;
        const std::vector<std::string> disagreeing = disagreeingIndexes(copy, table);
        for (const IndexRecord& index : loadIndexes(copy, table)) {
            if (std::find(disagreeing.begin(), disagreeing.end(), index.sqliteName) == disagreeing.end()) continue;
            deleteIndex(copy, table, index.name);
            try {
                appendIndex(copy, table, index);
                recordProblem(copy, table, "インデックス '" + index.name + "' が表と食い違っていたため、作り直しました");
            } catch (const EngineError& e) {
                if (!refusesIndex(e)) throw;
                recordProblem(copy, table,
                              "インデックス '" + index.name + "' が表と食い違い、作り直せなかったため、除きました (" +
                                  e.what() + ")");
            }
        }
    }
}

}  // namespace engine::detail
