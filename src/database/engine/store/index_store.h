#pragma once

// Internal to the engine: indexes as SQLite indexes plus a row of bookkeeping each.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "database/engine/store/sqlite_connection.h"

namespace engine::detail {

struct IndexRecord {
    std::string name;
    std::string sqliteName;  // set when read from the file
    std::vector<std::string> fields;
    bool primary = false;
    bool required = false;
    bool unique = false;
    bool ignoreNulls = false;
};

bool tableExists(Connection& conn, const std::string& table);
// Whether the schema holds a table of that name, bookkeeping tables included.
bool schemaHasTable(Connection& conn, const std::string& table);
// Throws TableNotFound for a missing or reserved table.
void requireTable(Connection& conn, const std::string& table);

// The user tables of the file in the order they were made; bookkeeping tables are left out.
std::vector<std::string> userTables(Connection& conn);

struct DeclaredColumn {
    std::string name;
    std::string type;  // as declared: "TEXT", "INTEGER", ...
};
std::vector<DeclaredColumn> declaredColumns(Connection& conn, const std::string& table);
std::vector<std::string> tableColumns(Connection& conn, const std::string& table);

// The table's indexes in collection order. Bookkeeping rows whose SQLite index is gone
// (a damaged file) are not indexes; garbled bookkeeping throws Damaged.
std::vector<IndexRecord> loadIndexes(Connection& conn, const std::string& table);

// The indexes of each table as loadIndexes reads them, read again only once the schema has changed
// (SQLite's schema version moves with every change of it, whoever makes it): the index checks of
// a repair ask for the same table's indexes many times over.
class IndexCache {
public:
    const std::vector<IndexRecord>& of(Connection& conn, const std::string& table);

private:
    std::int64_t schemaVersion_ = -1;
    std::map<std::string, std::vector<IndexRecord>> tables_;
};

// Checks and adds one index in a single transaction.
void appendIndex(Connection& conn, const std::string& table, const IndexRecord& index);
void deleteIndex(Connection& conn, const std::string& table, const std::string& name);
// What deleteIndex does besides dropping the SQLite index: the Required triggers and the row of
// bookkeeping go (for an index whose SQLite index is gone already); the caller keeps the layout.
void forgetIndex(Connection& conn, const std::string& table, const std::string& name);

}  // namespace engine::detail
