#include "database/engine/store/index_store.h"

#include <algorithm>

#include "database/engine/store/engine_error.h"
#include "database/engine/store/file_format.h"
#include "database/engine/store/layout.h"

namespace engine::detail {

namespace {

// Index names repeat across tables ("Key00"), so the SQLite name carries the table too;
// the length prefix keeps ("a_b", "c") and ("a", "b_c") apart.
std::string objectName(const char* kind, const std::string& table, const std::string& index) {
    return std::string("_qn_") + kind + "_" + std::to_string(table.size()) + "_" + table + "_" + index;
}

std::string sqliteIndexName(const std::string& table, const std::string& index) {
    return objectName("ix", table, index);
}

std::string requiredTriggerName(const std::string& table, const std::string& index, const char* suffix) {
    return objectName("rq", table, index) + suffix;
}

std::string joinQuoted(const std::vector<std::string>& names, const std::string& prefix, const std::string& glue) {
    std::string out;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i != 0) out += glue;
        out += prefix + quoteIdentifier(names[i]);
    }
    return out;
}

std::string anyNull(const std::vector<std::string>& fields, const std::string& prefix) {
    return joinQuoted(fields, prefix, " IS NULL OR ") + " IS NULL";
}

// Whether a row read from `from` (a table, with or without an INDEXED BY) has a Null in one of `fields`.
bool holdsNull(Connection& conn, const std::string& from, const std::vector<std::string>& fields) {
    return conn.queryInt("SELECT EXISTS(SELECT 1 FROM " + from + " WHERE " + anyNull(fields, "") + ")") != 0;
}

void dropRequiredTriggers(Connection& conn, const std::string& table, const std::string& index) {
    conn.exec("DROP TRIGGER IF EXISTS " + quoteIdentifier(requiredTriggerName(table, index, "_i")));
    conn.exec("DROP TRIGGER IF EXISTS " + quoteIdentifier(requiredTriggerName(table, index, "_u")));
}

// Required is enforced on later writes by triggers whose message the error mapping knows.
void createRequiredTriggers(Connection& conn, const std::string& table, const IndexRecord& index) {
    const std::string raise = " BEGIN SELECT RAISE(ABORT, '_qn_required'); END";
    conn.exec("CREATE TRIGGER " + quoteIdentifier(requiredTriggerName(table, index.name, "_i")) +
              " BEFORE INSERT ON " + quoteIdentifier(table) + " WHEN " + anyNull(index.fields, "NEW.") + raise);
    conn.exec("CREATE TRIGGER " + quoteIdentifier(requiredTriggerName(table, index.name, "_u")) +
              " BEFORE UPDATE OF " + joinQuoted(index.fields, "", ", ") + " ON " + quoteIdentifier(table) +
              " WHEN " + anyNull(index.fields, "NEW.") + raise);
}

}  // namespace

bool tableExists(Connection& conn, const std::string& table) { return !isReservedName(table) && schemaHasTable(conn, table); }

bool schemaHasTable(Connection& conn, const std::string& table) {
    Statement stmt = conn.prepare("SELECT 1 FROM sqlite_schema WHERE type='table' AND name=?");
    stmt.bind(1, table);
    return stmt.step();
}

void requireTable(Connection& conn, const std::string& table) {
    if (!tableExists(conn, table)) throw EngineError(ErrorCode::TableNotFound, describe::tableNotFound(table));
}

std::vector<std::string> userTables(Connection& conn) {
    Statement stmt = conn.prepare("SELECT name FROM sqlite_schema WHERE type='table' ORDER BY rowid");
    std::vector<std::string> tables;
    while (stmt.step()) {
        std::string name = stmt.columnText(0);
        if (!isReservedName(name)) tables.push_back(std::move(name));
    }
    return tables;
}

std::vector<DeclaredColumn> declaredColumns(Connection& conn, const std::string& table) {
    Statement stmt = conn.prepare("SELECT name, type FROM pragma_table_info(?) ORDER BY cid");
    stmt.bind(1, table);
    std::vector<DeclaredColumn> columns;
    while (stmt.step()) columns.push_back({stmt.columnText(0), stmt.columnText(1)});
    return columns;
}

std::vector<std::string> tableColumns(Connection& conn, const std::string& table) {
    std::vector<std::string> names;
    for (DeclaredColumn& column : declaredColumns(conn, table)) names.push_back(std::move(column.name));
    return names;
}

std::vector<IndexRecord> loadIndexes(Connection& conn, const std::string& table) {
    requireBookkeeping(conn, kIndexTable);
    Statement stmt = conn.prepare(std::string("SELECT m.index_name, m.sqlite_name, m.is_primary, m.required,"
                                              " m.ignore_nulls FROM ") +
                                  kIndexTable +
                                  " m JOIN sqlite_schema s ON s.type='index' AND s.name=m.sqlite_name"
                                  " AND s.tbl_name=m.table_name WHERE m.table_name=? ORDER BY m.position");
    stmt.bind(1, table);
    Statement unique = conn.prepare("SELECT \"unique\" FROM pragma_index_list(?) WHERE name=?");
    Statement fields = conn.prepare("SELECT name FROM pragma_index_info(?) ORDER BY seqno");
    std::vector<IndexRecord> indexes;
    while (stmt.step()) {
        IndexRecord index;
        index.name = stmt.columnText(0);
        index.sqliteName = stmt.columnText(1);
        const std::string& sqliteName = index.sqliteName;
        index.primary = stmt.columnInt(2) != 0;
        index.required = stmt.columnInt(3) != 0;
        index.ignoreNulls = stmt.columnInt(4) != 0;
        unique.reset();
        unique.bind(1, table).bind(2, sqliteName);
        index.unique = unique.step() && unique.columnInt(0) != 0;
        fields.reset();
        fields.bind(1, sqliteName);
        while (fields.step()) index.fields.push_back(fields.columnText(0));
        indexes.push_back(std::move(index));
    }
    return indexes;
}

const std::vector<IndexRecord>& IndexCache::of(Connection& conn, const std::string& table) {
    const std::int64_t version = conn.queryInt("PRAGMA schema_version");
    if (version != schemaVersion_) {
        tables_.clear();
        schemaVersion_ = version;
    }
    const auto found = tables_.find(table);
    if (found != tables_.end()) return found->second;
    return tables_.emplace(table, loadIndexes(conn, table)).first->second;
}

void appendIndex(Connection& conn, const std::string& table, const IndexRecord& index) {
    requireTable(conn, table);
    if (index.fields.empty())
        throw EngineError(ErrorCode::IndexWithoutFields, describe::indexWithoutFields(index.name));
    const std::vector<IndexRecord> existing = loadIndexes(conn, table);
    for (const IndexRecord& other : existing) {
        if (other.name == index.name)
            throw EngineError(ErrorCode::IndexExists, describe::indexExists(table, index.name));
        if (index.primary && other.primary)
            throw EngineError(ErrorCode::PrimaryExists, describe::primaryExists(table));
    }
    const std::vector<std::string> columns = tableColumns(conn, table);
    for (const std::string& field : index.fields) {
        if (std::find(columns.begin(), columns.end(), field) == columns.end())
            throw EngineError(ErrorCode::FieldNotInTable, describe::fieldNotInTable(table, field));
    }

    Savepoint sp(conn);
    // Leftovers of a damaged file under the same names would block the new index.
    const std::string sqliteName = sqliteIndexName(table, index.name);
    conn.exec("DROP INDEX IF EXISTS " + quoteIdentifier(sqliteName));
    dropRequiredTriggers(conn, table, index.name);
    Statement stale = conn.prepare(std::string("DELETE FROM ") + kIndexTable + " WHERE table_name=? AND index_name=?");
    stale.bind(1, table).bind(2, index.name);
    stale.step();

    const auto nullInRequired = [&] {
        return EngineError(ErrorCode::NullInRequired, describe::nullInRequired(table, index.name));
    };
    try {
        conn.exec(std::string("CREATE ") + (index.unique ? "UNIQUE " : "") + "INDEX " + quoteIdentifier(sqliteName) +
                  " ON " + quoteIdentifier(table) + "(" + joinQuoted(index.fields, "", ", ") + ")");
    } catch (const EngineError& e) {
        if (e.code() != ErrorCode::DuplicateValues) throw;
        // A Null in a Required field is the error to report even when values repeat as well.
        if (index.required && holdsNull(conn, quoteIdentifier(table), index.fields)) throw nullInRequired();
        throw EngineError(ErrorCode::DuplicateValues, describe::duplicateValues(table, index.name));
    }
    if (index.required) {
        // Read through the new index, which holds every field to check: a fraction of the table's pages.
        if (holdsNull(conn, quoteIdentifier(table) + " INDEXED BY " + quoteIdentifier(sqliteName), index.fields))
            throw nullInRequired();
        createRequiredTriggers(conn, table, index);
    }

    Statement insert = conn.prepare(std::string("INSERT INTO ") + kIndexTable +
                                    " VALUES(?, ?, ?, (SELECT coalesce(max(position), -1) + 1 FROM " +
                                    kIndexTable + " WHERE table_name=?), ?, ?, ?)");
    insert.bind(1, table).bind(2, index.name).bind(3, sqliteName).bind(4, table);
    insert.bind(5, std::int64_t{index.primary}).bind(6, std::int64_t{index.required});
    insert.bind(7, std::int64_t{index.ignoreNulls});
    insert.step();
    layoutAdd(conn, sqliteName);
    sp.commit();
}

void deleteIndex(Connection& conn, const std::string& table, const std::string& name) {
    requireTable(conn, table);
    const std::vector<IndexRecord> existing = loadIndexes(conn, table);
    const auto found =
        std::find_if(existing.begin(), existing.end(), [&](const IndexRecord& i) { return i.name == name; });
    if (found == existing.end()) throw EngineError(ErrorCode::ItemNotFound, describe::indexNotFound(table, name));
    Savepoint sp(conn);
    conn.exec("DROP INDEX " + quoteIdentifier(found->sqliteName));
    forgetIndex(conn, table, name);
    layoutRemove(conn, found->sqliteName);
    sp.commit();
}

void forgetIndex(Connection& conn, const std::string& table, const std::string& name) {
    dropRequiredTriggers(conn, table, name);
    Statement remove = conn.prepare(std::string("DELETE FROM ") + kIndexTable + " WHERE table_name=? AND index_name=?");
    remove.bind(1, table).bind(2, name);
    remove.step();
}

}  // namespace engine::detail
