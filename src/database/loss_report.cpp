#include "database/loss_report.h"

#include <vector>

#include "common/messages.h"
#include "common/write_log.h"

LostRows reportLosses(const std::string& path, engine::Database& copy) {
    const std::string head = msg::kFile + path;
    std::vector<std::string> lines;
    LostRows counts;
    for (const engine::Database::RowLoss& loss : copy.RowLosses()) {
        const auto named = static_cast<std::int64_t>(loss.keys.size());
        if (loss.table.empty()) {
            lines.push_back(head + msg::kRowsOfNoTable + std::to_string(loss.rows.value_or(0)) + msg::kRowsNotTaken);
        } else if (loss.rows) {
            std::string line =
                head + msg::kTable + loss.table + msg::kRowsOf + std::to_string(*loss.rows) + msg::kRowsNotTaken;
            if (*loss.rows > named)
                line += msg::kUnnamedRowsHead + std::to_string(*loss.rows - named) + msg::kUnnamedRowsTail;
            lines.push_back(std::move(line));
        } else {
            lines.push_back(head + msg::kTable + loss.table + msg::kRowsUnverified);
            counts.uncounted = true;
        }
        for (const std::string& key : loss.keys)
            lines.push_back(head + msg::kTable + loss.table + msg::kRowKeyOf + key + msg::kTailRowNotTaken);
        // Where the count is lost, the rows named are lost all the same.
        counts.counted += loss.rows.value_or(named);
        counts.named += named;
    }
    if (copy.VerifierRenewed()) lines.push_back(head + msg::kTailVerifierRenewed);
    repairM::writeLogLines(lines);
    return counts;
}
