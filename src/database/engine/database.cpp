#include "database/engine/database.h"

#include "database/engine/store/engine_error.h"
#include "database/engine/store/file_format.h"
#include "database/engine/store/index_store.h"
#include "database/engine/store/layout.h"
#include "database/engine/salvage/salvage_report.h"
#include "database/engine/store/sqlite_connection.h"

namespace engine {

namespace {

const char* declaredType(FieldType type) {
    switch (type) {
    case FieldType::Long: return "INTEGER";
    case FieldType::Byte: return "TINYINT";
    case FieldType::Integer: return "SMALLINT";
    case FieldType::Double: return "REAL";
    case FieldType::Text: break;
    }
    return "TEXT";
}

}  // namespace

Database::Database(std::shared_ptr<detail::Connection> conn) : DatabaseFile(std::move(conn)) {}

TableDefCollection Database::TableDefs() { return TableDefCollection(shared_from_this()); }

RecordsetPtr Database::OpenRecordset(const std::string& name, int type, int options, int /*lockEdit*/) {
    if (type != dbOpenTable) throw EngineError(ErrorCode::InvalidArgument, describe::unexpected("recordset type"));
    detail::requireTable(connection(), name);
    return std::make_shared<Recordset>(sharedConnection(), name, options);
}

void Database::CreateTable(const std::string& name, const std::vector<ColumnDef>& columns) {
    detail::Connection& conn = connection();
    if (name.empty() || detail::isReservedName(name) || columns.empty())
        throw EngineError(ErrorCode::InvalidArgument, describe::invalidName(name));
    std::string sql = "CREATE TABLE " + detail::quoteIdentifier(name) + "(";
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i != 0) sql += ", ";
        sql += detail::quoteIdentifier(columns[i].name) + " " + declaredType(columns[i].type);
    }
    detail::Savepoint sp(conn);
    conn.exec(sql + ")");
    detail::layoutAdd(conn, name);
    sp.commit();
}

void Database::setCommitsFlushed(bool flushed) {
    connection().exec(flushed ? "PRAGMA synchronous=FULL" : "PRAGMA synchronous=OFF");
}

std::vector<Database::SalvageProblem> Database::SalvageProblems() const {
    std::vector<SalvageProblem> problems;
    for (detail::ReportedProblem& reported : detail::reportedProblems(connection()))
        problems.push_back({std::move(reported.table), std::move(reported.problem)});
    return problems;
}

std::vector<Database::RowLoss> Database::RowLosses() const {
    std::vector<RowLoss> losses;
    for (detail::ReportedLoss& reported : detail::reportedLosses(connection()))
        losses.push_back({std::move(reported.table), reported.rows, std::move(reported.keys)});
    return losses;
}

bool Database::VerifierRenewed() const { return detail::reportedNewVerifier(connection()); }

}  // namespace engine
