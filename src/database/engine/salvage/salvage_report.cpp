#include "salvage_report.h"

#include "file_format.h"

namespace engine::detail {

namespace {

constexpr const char* kNote = "note";
constexpr const char* kLostRows = "lost-rows";
constexpr const char* kNewVerifier = "new-verifier";

void record(Connection& conn, const std::string& table, const std::string& problem, const char* kind,
            const FieldValue& lostRows) {
    if (!hasBookkeeping(conn, kSalvageTable)) conn.exec(bookkeepingDefinition(kSalvageTable));
    Statement stmt = conn.prepare(std::string("INSERT INTO ") + kSalvageTable + " VALUES(?, ?, ?, ?)");
    stmt.bind(1, table.empty() ? FieldValue{} : FieldValue{table}).bind(2, problem).bind(3, std::string(kind));
    stmt.bind(4, lostRows);
    stmt.step();
}

}  // namespace

void recordProblem(Connection& conn, const std::string& table, const std::string& problem) {
    record(conn, table, problem, kNote, {});
}

void recordLostRows(Connection& conn, const std::string& table, std::optional<std::int64_t> rows) {
    const std::string whose = table.empty() ? "どのテーブルのものか分からない " : "";
    record(conn, table,
           rows ? whose + std::to_string(*rows) + " 行を取り出せませんでした"
                : "行をすべて取り出せたかどうか確かめられませんでした",
           kLostRows, rows ? FieldValue{*rows} : FieldValue{std::int64_t{-1}});
}

void recordNewVerifier(Connection& conn) {
    record(conn, "", "パスワードの検証情報が失われていたため、指定されたパスワードで作り直しました", kNewVerifier, {});
}

std::vector<ReportedProblem> reportedProblems(Connection& conn) {
    std::vector<ReportedProblem> problems;
    if (!hasBookkeeping(conn, kSalvageTable)) return problems;
    Statement stmt =
        conn.prepare(std::string("SELECT coalesce(table_name, ''), problem FROM ") + kSalvageTable + " ORDER BY rowid");
    while (stmt.step()) problems.push_back({stmt.columnText(0), stmt.columnText(1)});
    return problems;
}

std::vector<ReportedLoss> reportedLosses(Connection& conn) {
    std::vector<ReportedLoss> losses;
    if (!hasBookkeeping(conn, kSalvageTable)) return losses;
    Statement stmt = conn.prepare(std::string("SELECT coalesce(table_name, ''), lost_rows FROM ") + kSalvageTable +
                                  " WHERE kind = ? ORDER BY rowid");
    stmt.bind(1, std::string(kLostRows));
    while (stmt.step()) {
        const std::int64_t rows = stmt.columnInt(1);
        losses.push_back({stmt.columnText(0), rows >= 0 ? std::optional<std::int64_t>(rows) : std::nullopt});
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
