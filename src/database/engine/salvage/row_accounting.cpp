#include "database/engine/salvage/row_accounting.h"

#include <algorithm>

#include "database/engine/store/file_format.h"
#include "database/engine/store/index_store.h"
#include "database/engine/salvage/lost_records.h"
#include "database/engine/salvage/lost_row_keys.h"
#include "database/engine/salvage/tree_census.h"

namespace engine::detail {

namespace {

constexpr const char* kExpected = "temp.qn_expected";  // each rowid listed, with how many trees list it
constexpr const char* kListed = "temp.qn_listed";      // the rowids one tree lists

struct Census {
    int trees = 0;
    bool anyComplete = false;
    bool allComplete = true;
    bool inOrder = true;  // the table's own tree lists each rowid once, in order
    std::vector<RowidRange> lostRanges;  // of the table's own tree
};

// The indexes of `table` that the layout defines, with what the bookkeeping says of each.
std::vector<IndexTree> indexTreesOf(const std::string& table, Connection& destination,
                                    const std::vector<LayoutEntry>& layout, DefinitionReader& definitions) {
    Statement primary = destination.prepare(std::string("SELECT is_primary FROM ") + kIndexTable +
                                            " WHERE table_name = ? AND sqlite_name = ?");
    std::vector<IndexTree> indexes;
    for (const LayoutEntry& entry : layout) {
        if (entry.type != "index" || entry.table != table) continue;
        definitions.define(entry.sql);
        std::optional<DefinedIndex> index = definitions.index(entry.name);
        if (!index) continue;
        primary.reset();
        primary.bind(1, table).bind(2, entry.name);
        const bool isPrimary = primary.step() && primary.columnInt(0) != 0;
        indexes.push_back({std::move(*index), entry.rootPage, isPrimary});
    }
    return indexes;
}

// Walks every tree of `table` (each of its indexes and its own), counting in the expected set how
// many of them list each rowid, and recording the index entries whose rows did not come back.
Census expectFromTrees(Connection& view, const std::string& table, Connection& destination,
                       const std::vector<LayoutEntry>& layout, std::vector<IndexTree>& indexes) {
    Statement insert = destination.prepare(std::string("INSERT OR IGNORE INTO ") + kListed + " VALUES(?)");
    const auto listed = [&](std::int64_t rowid) {
        insert.reset();
        insert.bind(1, rowid);
        insert.step();
    };
    EntryRecorder entries(destination, table);
    Census census;
    const auto walked = [&](const TreeWalk& walk) {
        ++census.trees;
        census.anyComplete = census.anyComplete || walk.complete;
        census.allComplete = census.allComplete && walk.complete;
        destination.exec(std::string("INSERT INTO ") + kExpected + " SELECT rowid, 1 FROM " + kListed +
                         " WHERE true ON CONFLICT(rowid) DO UPDATE SET trees = trees + 1");
        destination.exec(std::string("DELETE FROM ") + kListed);
    };
    for (std::size_t tree = 0; tree < indexes.size(); ++tree) {
        const TreeWalk walk =
            censusOf(view, indexes[tree].root, TreeKind::Index, indexes[tree].definition.fields.size(),
                     [&](std::int64_t rowid, const std::vector<FieldValue>& values) {
                         listed(rowid);
                         entries.record(tree, rowid, values);
                     });
        indexes[tree].rootRead = walk.rootRead;
        walked(walk);
    }
    for (const LayoutEntry& entry : layout) {
        if (entry.type != "table" || entry.name != table) continue;
        std::optional<std::int64_t> last;
        const TreeWalk walk = censusOf(view, entry.rootPage, TreeKind::Table, 0,
                                       [&](std::int64_t rowid, const std::vector<FieldValue>&) {
                                           census.inOrder = census.inOrder && (!last || *last < rowid);
                                           last = rowid;
                                           listed(rowid);
                                       });
        walked(walk);
        census.lostRanges.insert(census.lostRanges.end(), walk.lostRanges.begin(), walk.lostRanges.end());
    }
    return census;
}

// Sorted by name, as the report lists them.
std::vector<std::string> tablesToAccount(Connection& destination, const std::vector<LayoutEntry>& layout) {
    std::vector<std::string> tables = userTables(destination);
    for (const LayoutEntry& entry : layout)
        if (entry.type == "table" && !isReservedName(entry.name) &&
            std::find(tables.begin(), tables.end(), entry.name) == tables.end())
            tables.push_back(entry.name);
    std::sort(tables.begin(), tables.end());
    return tables;
}

std::size_t widestIndex(const std::vector<LayoutEntry>& layout, DefinitionReader& definitions) {
    std::size_t widest = 0;
    for (const LayoutEntry& entry : layout) {
        if (entry.type != "index") continue;
        definitions.define(entry.sql);
        if (const std::optional<DefinedIndex> index = definitions.index(entry.name))
            widest = std::max(widest, index->fields.size());
    }
    return widest;
}

}  // namespace

std::vector<TableLoss> lostRows(Connection* view, Connection& destination, const std::vector<LayoutEntry>& layout,
                                DefinitionReader& definitions) {
    std::vector<TableLoss> losses;
    destination.exec(std::string("CREATE TABLE ") + kExpected + "(rowid INTEGER PRIMARY KEY, trees INTEGER NOT NULL)");
    destination.exec(std::string("CREATE TABLE ") + kListed + "(rowid INTEGER PRIMARY KEY)");
    makeEntryStore(destination, widestIndex(layout, definitions));
    for (const std::string& table : tablesToAccount(destination, layout)) {
        destination.exec(std::string("DELETE FROM ") + kExpected);
        std::vector<IndexTree> indexes = indexTreesOf(table, destination, layout, definitions);
        const Census census = view != nullptr ? expectFromTrees(*view, table, destination, layout, indexes) : Census{};
        // Where every tree could be read whole, a rowid that only one of them lists is that tree's
        // damage (a changed byte in an index entry), not a row the file had.
        const int corroborated = census.allComplete && census.trees >= 2 ? 2 : 1;
        const bool present = tableExists(destination, table);
        // The rowids that at least `trees` trees list and that did not come back.
        const auto absentListedBy = [&](int trees) {
            return std::string("SELECT rowid FROM ") + kExpected + " WHERE trees >= " + std::to_string(trees) +
                   (present ? " AND rowid NOT IN (SELECT rowid FROM main." + quoteIdentifier(table) + ")" : "");
        };
        const std::string lost = absentListedBy(corroborated);
        const std::int64_t missing = destination.queryInt("SELECT count(*) FROM (" + lost + ")");
        // A table's tree that lists a rowid out of order or twice had bytes of its rows changed: a
        // row whose rowid became another's is gone, and only an index still lists it. Whether a
        // rowid that one tree alone lists is such a row, or a changed byte of an index, cannot be
        // told; where nothing else is counted lost, the table is not said to have lost nothing.
        const bool doubtful = present && !census.inOrder && corroborated == 2 && missing == 0 &&
                              destination.queryInt("SELECT count(*) FROM (" + absentListedBy(1) + ")") > 0;
        // Counted here, they are not counted again as records the recovery could not place.
        if (present && missing > 0) forgetUnplacedRecords(destination, tableColumns(destination, table).size(), lost);
        // A tree met damage on the way, or none could be found: it may have listed more.
        if (!census.anyComplete || missing > 0 || doubtful)
            losses.push_back({table, census.anyComplete && !doubtful ? std::optional<std::int64_t>(missing) : std::nullopt,
                              lostRowKeys(destination, table, indexes, census.lostRanges, lost)});
    }
    dropEntryStore(destination);
    destination.exec(std::string("DROP TABLE ") + kListed);
    destination.exec(std::string("DROP TABLE ") + kExpected);
    return losses;
}

}  // namespace engine::detail
