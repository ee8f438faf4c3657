#include "database/engine/salvage/definition_reader.h"

#include "database/engine/store/engine_error.h"

namespace engine::detail {

std::string plainDefinition(const std::string& table, const std::vector<DeclaredColumn>& columns) {
    std::string sql = "CREATE TABLE " + quoteIdentifier(table) + "(";
    for (std::size_t i = 0; i < columns.size(); ++i)
        sql += (i == 0 ? "" : ", ") + quoteIdentifier(columns[i].name) + " " + columns[i].type;
    return sql + ")";
}

DefinitionReader::DefinitionReader() : probe_(Connection::open(":memory:", OpenMode::Create)) {}

std::optional<std::string> DefinitionReader::define(const std::string& sql) {
    try {
        Savepoint sp(*probe_);
        const std::int64_t before = probe_->queryInt("SELECT coalesce(max(rowid), 0) FROM sqlite_schema");
        probe_->exec(sql);
        // One statement, one new table or index (a table's automatic indexes aside, which have no
        // definition of their own): anything else is not a definition to take.
        Statement made = probe_->prepare(
            "SELECT name FROM sqlite_schema WHERE rowid > ? AND type IN ('table', 'index') AND sql IS NOT NULL");
        made.bind(1, before);
        if (!made.step()) return std::nullopt;
        std::string name = made.columnText(0);
        if (made.step()) return std::nullopt;
        sp.commit();
        return name;
    } catch (const EngineError& e) {
        // A text that SQLite does not take as a definition is none.
        if (refusedBySystem(e)) throw;
        return std::nullopt;
    }
}

std::vector<DeclaredColumn> DefinitionReader::columnsOf(const std::string& table) {
    return declaredColumns(*probe_, table);
}

std::optional<DefinedIndex> DefinitionReader::index(const std::string& name) {
    Statement info = probe_->prepare(
        "SELECT s.tbl_name, l.\"unique\" FROM sqlite_schema s, pragma_index_list(s.tbl_name) l"
        " WHERE s.type = 'index' AND s.name = ?1 AND l.name = ?1");
    info.bind(1, name);
    if (!info.step()) return std::nullopt;
    DefinedIndex index{name, info.columnText(0), info.columnInt(1) != 0, {}};
    Statement fields = probe_->prepare("SELECT name FROM pragma_index_info(?) ORDER BY seqno");
    fields.bind(1, name);
    while (fields.step()) index.fields.push_back(fields.columnText(0));
    return index;
}

}  // namespace engine::detail
