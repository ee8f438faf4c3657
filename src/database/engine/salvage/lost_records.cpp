#include "database/engine/salvage/lost_records.h"

#include <set>

#include "database/engine/store/file_format.h"
#include "database/engine/store/index_store.h"
#include "database/engine/salvage/recovery_stream.h"

namespace engine::detail {

namespace {

// The number of value columns (c0, c1, ...) of the lost-and-found table.
std::size_t lostValueColumns(Connection& conn) {
    return static_cast<std::size_t>(conn.queryInt(std::string("SELECT count(*) - 4 FROM pragma_table_info('") +
                                                  kLostTable + "')"));
}

std::string valueColumns(std::size_t count) {
    std::string columns;
    for (std::size_t i = 0; i < count; ++i) columns += ", c" + std::to_string(i);
    return columns;
}

// Layout rows from `select`, which yields the layout's six columns in order.
void readLayoutRows(Connection& conn, const std::string& select, std::vector<LayoutEntry>& entries,
                    std::set<std::string>& names) {
    Statement stmt = conn.prepare(select);
    while (stmt.step()) {
        if (stmt.columnText(0) != kLayoutMark) continue;
        LayoutEntry entry{stmt.columnText(1), stmt.columnText(2), stmt.columnText(3), stmt.columnInt(4),
                          stmt.columnText(5)};
        if ((entry.type == "table" || entry.type == "index") && names.insert(entry.name).second)
            entries.push_back(std::move(entry));
    }
}

std::string layoutRecordsOfLost() {
    return std::string(" FROM ") + kLostTable + " WHERE nfield = 6 AND id IS NOT NULL AND c0 = '" + kLayoutMark + "'";
}

// Records of SQLite's own schema table, whose leaves lost the page that led to them: they say
// the same as the layout's.
std::string schemaRecordsOfLost() {
    return std::string(" FROM ") + kLostTable +
           " WHERE nfield = 5 AND id IS NOT NULL AND c0 IN ('table', 'index', 'trigger', 'view')"
           " AND typeof(c1) = 'text' AND typeof(c3) = 'integer' AND (c4 LIKE 'CREATE %' OR c4 IS NULL)";
}

}  // namespace

std::vector<LayoutEntry> recoveredLayout(Connection& destination) {
    std::vector<LayoutEntry> entries;
    std::set<std::string> names;
    // The layout table is read by position, whatever its definition became.
    for (const std::string& table : {std::string(kLayoutTable), recoveredBookkeepingName(kLayoutTable)})
        if (schemaHasTable(destination, table) && tableColumns(destination, table).size() == 6)
            readLayoutRows(destination, "SELECT * FROM " + quoteIdentifier(table), entries, names);
    if (!schemaHasTable(destination, kLostTable)) return entries;
    const std::size_t available = lostValueColumns(destination);
    if (available >= 6)
        readLayoutRows(destination, "SELECT c0, c1, c2, c3, c4, c5" + layoutRecordsOfLost(), entries, names);
    if (available >= 5)
        readLayoutRows(destination, std::string("SELECT '") + kLayoutMark + "', c0, c1, c2, c3, c4" + schemaRecordsOfLost(),
                       entries, names);
    return entries;
}

void placeLostRecords(Connection& destination, const std::vector<LayoutEntry>& layout, DefinitionReader& definitions) {
    if (!schemaHasTable(destination, kLostTable)) return;
    const std::size_t available = lostValueColumns(destination);
    if (available >= 6) destination.exec("DELETE" + layoutRecordsOfLost());
    if (available >= 5) destination.exec("DELETE" + schemaRecordsOfLost());
    for (const LayoutEntry& entry : layout) {
        if (entry.type != "table" || entry.name == kLayoutTable) continue;
        if (!schemaHasTable(destination, entry.name)) {
            if (isReservedName(entry.name) || !definitions.define(entry.sql)) continue;
            destination.exec(plainDefinition(entry.name, definitions.columnsOf(entry.name)));
        }
        const std::vector<std::string> columns = tableColumns(destination, entry.name);
        if (columns.empty() || columns.size() > available) continue;
        std::string names = "rowid";
        for (const std::string& column : columns) names += ", " + quoteIdentifier(column);
        const std::string which = " FROM " + std::string(kLostTable) + " WHERE rootpgno = " +
                                  std::to_string(entry.rootPage) + " AND nfield = " + std::to_string(columns.size()) +
                                  " AND id IS NOT NULL";
        destination.exec("INSERT OR IGNORE INTO " + quoteIdentifier(entry.name) + "(" + names + ") SELECT id" +
                         valueColumns(columns.size()) + which);
        destination.exec("DELETE" + which);
    }
    destination.exec(std::string("DELETE FROM ") + kLostTable + " WHERE id IS NULL");
}

void forgetUnplacedRecords(Connection& destination, std::size_t fields, const std::string& rowids) {
    if (!schemaHasTable(destination, kLostTable)) return;
    destination.exec(std::string("DELETE FROM ") + kLostTable + " WHERE nfield = " + std::to_string(fields) +
                     " AND id IN (" + rowids + ")");
}

std::int64_t unplacedRecords(Connection& destination) {
    if (!schemaHasTable(destination, kLostTable)) return 0;
    return destination.queryInt(std::string("SELECT count(*) FROM ") + kLostTable + " WHERE id IS NOT NULL AND nfield > 0");
}

}  // namespace engine::detail
