#include "database/engine/table_def.h"

#include <cctype>

#include "database/engine/store/engine_error.h"
#include "database/engine/store/file_format.h"
#include "database/engine/store/index_store.h"

namespace engine {

namespace {

FieldType typeFromDeclared(std::string declared) {
    for (char& c : declared) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (declared == "INTEGER") return FieldType::Long;
    if (declared == "TINYINT") return FieldType::Byte;
    if (declared == "SMALLINT") return FieldType::Integer;
    if (declared == "REAL") return FieldType::Double;
    return FieldType::Text;
}

}  // namespace

TableDef::TableDef(std::shared_ptr<detail::DatabaseFile> db, std::string name) : db_(std::move(db)), name_(std::move(name)) {
    detail::requireObject(db_.get());
}

TableDefCollection::TableDefCollection(std::shared_ptr<detail::DatabaseFile> db) : db_(std::move(db)) {
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
    std::vector<ColumnDef> columns;
    for (const detail::DeclaredColumn& column : detail::declaredColumns(conn, name_))
        columns.push_back({column.name, typeFromDeclared(column.type)});
    return columns;
}

std::vector<std::string> TableDefCollection::names() const {
    return detail::userTables(db_->connection());
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
