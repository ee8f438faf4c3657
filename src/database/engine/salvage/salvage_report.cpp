#include "database/engine/salvage/salvage_report.h"

#include "database/engine/store/engine_error.h"
#include "database/engine/store/file_format.h"

namespace engine::detail {

namespace {

constexpr const char* kNote = "note";
constexpr const char* kLostRows = "lost-rows";
constexpr const char* kLostKey = "lost-key";  // one lost row, by its key: a detail of the lost-rows row before it
constexpr const char* kNewVerifier = "new-verifier";

// Rows of the salvage table, made when missing; one statement for however many rows.
class Recorder {
public:
    explicit Recorder(Connection& conn) : insert_(prepared(conn)) {}
    void add(const std::string& table, const std::string& problem, const char* kind, const FieldValue& lostRows) {
        insert_.reset();
        insert_.bind(1, table.empty() ? FieldValue{} : FieldValue{table}).bind(2, problem).bind(3, std::string(kind));
        insert_.bind(4, lostRows);
        insert_.step();
    }

private:
    static Statement prepared(Connection& conn) {
        if (!hasBookkeeping(conn, kSalvageTable)) conn.exec(bookkeepingDefinition(kSalvageTable));
        return conn.prepare(std::string("INSERT INTO ") + kSalvageTable + " VALUES(?, ?, ?, ?)");
    }
    Statement insert_;
};

}  // namespace

void recordProblem(Connection& conn, const std::string& table, const std::string& problem) {
    Recorder(conn).add(table, problem, kNote, {});
}

void recordLostRows(Connection& conn, const std::string& table, std::optional<std::int64_t> rows,
                    const std::vector<std::string>& keys) {
    const auto unnamed = rows ? *rows - static_cast<std::int64_t>(keys.size()) : 0;
    Recorder recorder(conn);
    recorder.add(table,
                 rows ? describe::rowsNotTaken(*rows, table.empty(), unnamed) : describe::rowsUnverified(),
                 kLostRows, rows ? FieldValue{*rows} : FieldValue{std::int64_t{-1}});
    for (const std::string& key : keys) recorder.add(table, key, kLostKey, {});
}

void recordNewVerifier(Connection& conn) {
    Recorder(conn).add("", describe::verifierRenewed(), kNewVerifier, {});
}

std::vector<ReportedProblem> reportedProblems(Connection& conn) {
    std::vector<ReportedProblem> problems;
    if (!hasBookkeeping(conn, kSalvageTable)) return problems;
    Statement stmt = conn.prepare(std::string("SELECT coalesce(table_name, ''), problem FROM ") + kSalvageTable +
                                  " WHERE kind <> ? ORDER BY rowid");
    stmt.bind(1, std::string(kLostKey));
    while (stmt.step()) problems.push_back({stmt.columnText(0), stmt.columnText(1)});
    return problems;
}

std::vector<ReportedLoss> reportedLosses(Connection& conn) {
    std::vector<ReportedLoss> losses;
    if (!hasBookkeeping(conn, kSalvageTable)) return losses;
    Statement stmt = conn.prepare(std::string("SELECT coalesce(table_name, ''), lost_rows, kind = ?1, problem FROM ") +
                                  kSalvageTable + " WHERE kind IN (?1, ?2) ORDER BY rowid");
    stmt.bind(1, std::string(kLostKey)).bind(2, std::string(kLostRows));
    while (stmt.step()) {
        if (stmt.columnInt(2) != 0) {
            if (!losses.empty() && losses.back().table == stmt.columnText(0))
                losses.back().keys.push_back(stmt.columnText(3));
            continue;
        }
        const std::int64_t rows = stmt.columnInt(1);
        losses.push_back({stmt.columnText(0), rows >= 0 ? std::optional<std::int64_t>(rows) : std::nullopt, {}});
    }
    return losses;
}

bool reportedNewVerifier(Connection& conn) {
    if (!hasBookkeeping(conn, kSalvageTable)) return false;
    Statement stmt = conn.prepare(std::string("SELECT 1 FROM ") + kSalvageTable + " WHERE kind = ?");
    stmt.bind(1, std::string(kNewVerifier));
    return stmt.step();
}

}  // namespace engine::detail
