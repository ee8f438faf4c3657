#include "row_accounting.h"

#include <algorithm>

#include "file_format.h"
#include "index_store.h"
#include "tree_census.h"

namespace engine::detail {

namespace {

constexpr const char* kExpected = "temp.qn_expected";  // each rowid listed, with how many trees list it
constexpr const char* kListed = "temp.qn_listed";      // the rowids one tree lists

struct Census {
    int trees = 0;
    bool anyComplete = false;
    bool allComplete = true;
};

// Walks every tree of `table` (each of its indexes and its own), counting in the expected set how
// many of them list each rowid.
Census expectFromTrees(Connection& view, const std::string& table, Connection& destination,
                       const std::vector<LayoutEntry>& layout, DefinitionReader& definitions) {
    Statement insert = destination.prepare(std::string("INSERT OR IGNORE INTO ") + kListed + " VALUES(?)");
    const auto seen = [&](std::int64_t rowid) {
        insert.reset();
        insert.bind(1, rowid);
        insert.step();
    };
    Census census;
    const auto walked = [&](bool complete) {
        ++census.trees;
        census.anyComplete = census.anyComplete || complete;
        census.allComplete = census.allComplete && complete;
        destination.exec(std::string("INSERT INTO ") + kExpected + " SELECT rowid, 1 FROM " + kListed +
                         " WHERE true ON CONFLICT(rowid) DO UPDATE SET trees = trees + 1");
        destination.exec(std::string("DELETE FROM ") + kListed);
    };
    for (const LayoutEntry& entry : layout) {
        if (entry.type != "index" || entry.table != table) continue;
        definitions.define(entry.sql);
        if (const std::optional<DefinedIndex> index = definitions.index(entry.name))
            walked(censusOf(view, entry.rootPage, TreeKind::Index, index->fields.size(), seen));
    }
    for (const LayoutEntry& entry : layout)
        if (entry.type == "table" && entry.name == table) walked(censusOf(view, entry.rootPage, TreeKind::Table, 0, seen));
    return census;
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
    destination.exec(std::string("CREATE TABLE ") + kExpected + "(rowid INTEGER PRIMARY KEY, trees INTEGER NOT NULL)");
    destination.exec(std::string("CREATE TABLE ") + kListed + "(rowid INTEGER PRIMARY KEY)");
    for (const std::string& table : tablesToAccount(destination, layout)) {
        destination.exec(std::string("DELETE FROM ") + kExpected);
        const Census census = view != nullptr ? expectFromTrees(*view, table, destination, layout, definitions) : Census{};
        // Where every tree could be read whole, a rowid that only one of them lists is that tree's
        // damage (a changed byte in an index entry), not a row the file had.
        const int corroborated = census.allComplete && census.trees >= 2 ? 2 : 1;
        const bool present = tableExists(destination, table);
        const std::int64_t missing = destination.queryInt(
            std::string("SELECT count(*) FROM ") + kExpected + " WHERE trees >= " + std::to_string(corroborated) +
            (present ? " AND rowid NOT IN (SELECT rowid FROM " + quoteIdentifier(table) + ")" : ""));
        // A tree met damage on the way, or none could be found: it may have listed more.
        if (!census.anyComplete)
            losses.push_back({table, std::nullopt});
        else if (missing > 0)
            losses.push_back({table, missing});
    }
    destination.exec(std::string("DROP TABLE ") + kListed);
    destination.exec(std::string("DROP TABLE ") + kExpected);
    return losses;
}

}  // namespace engine::detail
