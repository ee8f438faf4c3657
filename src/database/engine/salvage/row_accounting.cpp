#include "row_accounting.h"

#include <algorithm>

#include "file_format.h"
#include "index_store.h"
#include "tree_census.h"

namespace engine::detail {

namespace {

constexpr const char* kExpected = "temp.qn_expected";

// Whether the rowids the table's trees list could be read whole; they go into the expected set.
bool expectFromTrees(Connection& view, const std::string& table, Connection& destination,
                     const std::vector<LayoutEntry>& layout, DefinitionReader& definitions) {
    Statement insert = destination.prepare(std::string("INSERT OR IGNORE INTO ") + kExpected + " VALUES(?)");
    const auto seen = [&](std::int64_t rowid) {
        insert.reset();
        insert.bind(1, rowid);
        insert.step();
    };
    bool complete = false;
    for (const LayoutEntry& entry : layout) {
        if (entry.type != "index" || entry.table != table) continue;
        definitions.define(entry.sql);
        if (const std::optional<DefinedIndex> index = definitions.index(entry.name))
            complete = censusOf(view, entry.rootPage, TreeKind::Index, index->fields.size(), seen) || complete;
    }
    if (complete) return true;
    for (const LayoutEntry& entry : layout)
        if (entry.type == "table" && entry.name == table)
            return censusOf(view, entry.rootPage, TreeKind::Table, 0, seen);
    return false;
}

std::vector<std::string> tablesToAccount(Connection& destination, const std::vector<LayoutEntry>& layout) {
    std::vector<std::string> tables = userTables(destination);
    for (const LayoutEntry& entry : layout)
        if (entry.type == "table" && !isReservedName(entry.name) &&
            std::find(tables.begin(), tables.end(), entry.name) == tables.end())
            tables.push_back(entry.name);
    return tables;
}

}  // namespace

std::vector<TableLoss> lostRows(Connection* view, Connection& destination, const std::vector<LayoutEntry>& layout,
                                DefinitionReader& definitions) {
    std::vector<TableLoss> losses;
    destination.exec(std::string("CREATE TABLE ") + kExpected + "(rowid INTEGER PRIMARY KEY)");
    for (const std::string& table : tablesToAccount(destination, layout)) {
        destination.exec(std::string("DELETE FROM ") + kExpected);
        const bool complete = view != nullptr && expectFromTrees(*view, table, destination, layout, definitions);
        const bool present = tableExists(destination, table);
        const std::int64_t missing = destination.queryInt(
            std::string("SELECT count(*) FROM ") + kExpected +
            (present ? " WHERE rowid NOT IN (SELECT rowid FROM " + quoteIdentifier(table) + ")" : ""));
        // A tree met damage on the way, or none could be found: it may have listed more.
        if (!complete)
            losses.push_back({table, std::nullopt});
        else if (missing > 0)
            losses.push_back({table, missing});
    }
    destination.exec(std::string("DROP TABLE ") + kExpected);
    return losses;
}

}  // namespace engine::detail
