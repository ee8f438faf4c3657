#pragma once

// Internal to the engine: the salvage table, where compaction lists what it could not carry over
// from a damaged source (see Database::SalvageProblems and Database::RowLosses).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "database/engine/store/sqlite_connection.h"

namespace engine::detail {

// Appends one problem; `table` empty for the file as a whole.
void recordProblem(Connection& conn, const std::string& table, const std::string& problem);
// Appends that rows of `table` (empty: of a table that could not be told) could not be brought
// back: `rows` of them, or an unknown number; and `keys`, those of them that can be named.
void recordLostRows(Connection& conn, const std::string& table, std::optional<std::int64_t> rows,
                    const std::vector<std::string>& keys = {});
// Appends that the password verifier was lost and a new one was stored for the key given.
void recordNewVerifier(Connection& conn);

struct ReportedProblem {
    std::string table;
    std::string problem;
};
struct ReportedLoss {
    std::string table;
    std::optional<std::int64_t> rows;
    std::vector<std::string> keys;
};
// Every problem but the keys of lost rows, which only detail a loss.
std::vector<ReportedProblem> reportedProblems(Connection& conn);
std::vector<ReportedLoss> reportedLosses(Connection& conn);
bool reportedNewVerifier(Connection& conn);

}  // namespace engine::detail
