#include "database.h"

#include "engine_error.h"
#include "file_format.h"
#include "index_store.h"
#include "layout.h"
#include "sqlite_connection.h"

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

Database::Database(std::shared_ptr<detail::Connection> conn) : conn_(std::move(conn)) {
    detail::requireObject(conn_.get());
    name_ = conn_->path();
}

detail::Connection& Database::connection() const {
    if (!conn_) throw EngineError(ErrorCode::ObjectClosed, describe::objectClosed());
    return *conn_;
}

void Database::Close() {
    connection();
    conn_.reset();
}

RecordsetPtr Database::OpenRecordset(const std::string& name, int type, int options, int /*lockEdit*/) {
    if (type != dbOpenTable) throw EngineError(ErrorCode::InvalidArgument, describe::unexpected("recordset type"));
    detail::Connection& conn = connection();
    detail::requireTable(conn, name);
    return std::make_shared<Recordset>(conn_, name, options);
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
    detail::refreshLayout(conn);
    sp.commit();
}

void Database::setCommitsFlushed(bool flushed) {
    connection().exec(flushed ? "PRAGMA synchronous=FULL" : "PRAGMA synchronous=OFF");
}

std::vector<Database::SalvageProblem> Database::SalvageProblems() const {
    detail::Connection& conn = connection();
    std::vector<SalvageProblem> problems;
    if (!detail::hasBookkeeping(conn, detail::kSalvageTable)) return problems;
    detail::Statement stmt =
        conn.prepare(std::string("SELECT coalesce(table_name, ''), problem FROM ") + detail::kSalvageTable + " ORDER BY rowid");
    while (stmt.step()) problems.push_back({stmt.columnText(0), stmt.columnText(1)});
    return problems;
}

}  // namespace engine
