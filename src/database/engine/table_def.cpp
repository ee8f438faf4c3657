#include "table_def.h"

#include "database.h"
#include "engine_error.h"
#include "file_format.h"
#include "index_store.h"

namespace engine {

namespace {

FieldType typeFromDeclared(const std::string& declared) {
    if (declared == "INTEGER") return FieldType::Long;
    if (declared == "TINYINT") return FieldType::Byte;
    if (declared == "SMALLINT") return FieldType::Integer;
    if (declared == "REAL") return FieldType::Double;
    return FieldType::Text;
}

}  // namespace

TableDef::TableDef(std::shared_ptr<Database> db, std::string name) : db_(std::move(db)), name_(std::move(name)) {
    detail::requireObject(db_.get());
}

TableDefCollection::TableDefCollection(std::shared_ptr<Database> db) : db_(std::move(db)) {
    detail::requireObject(db_.get());
}

long TableDef::RecordCount() const {
    detail::Connection& conn = db_->connection();
    detail::requireTable(conn, name_);
    return static_cast<long>(conn.queryInt("SELECT count(*) FROM " + detail::quoteIdentifier(name_)));
}

std::vector<ColumnDef> TableDef::columns() const {
    detail::Connection& conn = db_->connection();
    detail::requireTable(conn, name_);
    detail::Statement stmt = conn.prepare("SELECT name, upper(type) FROM pragma_table_info(?) ORDER BY cid");
    stmt.bind(1, name_);
    std::vector<ColumnDef> columns;
    while (stmt.step()) columns.push_back({stmt.columnText(0), typeFromDeclared(stmt.columnText(1))});
    return columns;
}

std::vector<std::string> TableDefCollection::names() const {
    detail::Connection& conn = db_->connection();
    detail::Statement stmt = conn.prepare("SELECT name FROM sqlite_schema WHERE type='table' ORDER BY rowid");
    std::vector<std::string> names;
    while (stmt.step()) {
        std::string name = stmt.columnText(0);
        if (!detail::isReservedName(name)) names.push_back(std::move(name));
    }
    return names;
}

long TableDefCollection::Count() const { return static_cast<long>(names().size()); }

TableDef TableDefCollection::Item(long position) const {
    const std::vector<std::string> all = names();
    if (position < 0 || position >= static_cast<long>(all.size()))
        throw EngineError(ErrorCode::ItemNotFound, describe::positionOutOfRange(position));
    return TableDef(db_, all[static_cast<std::size_t>(position)]);
}

TableDef TableDefCollection::Item(const std::string& name) const {
    detail::requireTable(db_->connection(), name);
    return TableDef(db_, name);
}

}  // namespace engine
