#include "database/engine/salvage/salvage.h"

#include <memory>
#include <optional>
#include <vector>

#include "database/engine/salvage/definition_reader.h"
#include "database/engine/store/engine_error.h"
#include "database/engine/store/file_format.h"
#include "database/engine/store/index_store.h"
#include "database/engine/store/layout.h"
#include "database/engine/salvage/lost_records.h"
#include "database/engine/store/new_file.h"
#include "database/engine/salvage/page_view.h"
#include "database/engine/store/password.h"
#include "database/engine/salvage/recovery_stream.h"
#include "database/engine/salvage/row_accounting.h"
#include "database/engine/salvage/salvage_report.h"

namespace engine::detail {

namespace {

// A bookkeeping table recovered with a garbled definition (a stray bit in its name or a column's)
// still holds the engine's rows in the engine's order: they are read by position into ours.
void adoptGarbledBookkeeping(Connection& copy) {
    for (const char* name : kDataBookkeeping) {
        const std::string recovered = recoveredBookkeepingName(name);
        if (!schemaHasTable(copy, recovered)) continue;
        if (tableColumns(copy, recovered).size() == tableColumns(copy, name).size()) {
            copy.exec(std::string("INSERT OR IGNORE INTO ") + name + " SELECT * FROM " + quoteIdentifier(recovered));
            recordProblem(copy, "", describe::bookkeepingReadByColumnOrder(name));
        } else {
            recordProblem(copy, "", describe::bookkeepingUnreadable(name));
        }
        copy.exec("DROP TABLE " + quoteIdentifier(recovered));
    }
}

bool showsOurs(const Recovered& recovered, const std::vector<LayoutEntry>& layout) {
    if (!layout.empty()) return true;
    for (const std::string& table : recovered.tables)
        if (table == kMetaTable || table == kIndexTable) return true;
    return false;
}

// A verifier that can be read still decides; one that was lost is made anew for the key the
// caller gave: the rows are not encrypted, so it protected nothing that the damage left.
void settleVerifier(Connection& copy, const std::string& source, const std::string& password) {
    const std::string verifier = storedVerifier(copy);
    if (!verifier.empty()) {
        if (!verifyPassword(verifier, password))
            throw EngineError(ErrorCode::WrongPassword, describe::wrongPassword(source));
        return;
    }
    if (password.empty()) return;
    storeVerifier(copy, makeVerifier(password));
    recordNewVerifier(copy);
}

std::optional<DefinedIndex> definitionOf(const std::string& sqliteName, const std::vector<LayoutEntry>& layout,
                                         DefinitionReader& definitions) {
    if (std::optional<DefinedIndex> index = definitions.index(sqliteName)) return index;
    for (const LayoutEntry& entry : layout)
        if (entry.type == "index" && entry.name == sqliteName) definitions.define(entry.sql);
    return definitions.index(sqliteName);
}

// Every index the bookkeeping lists, rebuilt over the rows that came back; one that cannot be
// (its definition lost, or its rows now break its promises) is left out and said so.
void rebuildIndexes(Connection& copy, const std::vector<LayoutEntry>& layout, DefinitionReader& definitions) {
    struct Listed {
        IndexRecord record;
        std::string table;
    };
    std::vector<Listed> listed;
    Statement list = copy.prepare(std::string("SELECT table_name, index_name, sqlite_name, is_primary, required,"
                                              " ignore_nulls FROM ") +
                                  kIndexTable + " ORDER BY table_name, position");
    while (list.step()) {
        IndexRecord record;
        record.name = list.columnText(1);
        record.sqliteName = list.columnText(2);
        record.primary = list.columnInt(3) != 0;
        record.required = list.columnInt(4) != 0;
        record.ignoreNulls = list.columnInt(5) != 0;
        listed.push_back({std::move(record), list.columnText(0)});
    }
    for (Listed& index : listed) {
        if (!tableExists(copy, index.table)) continue;
        const std::optional<DefinedIndex> definition = definitionOf(index.record.sqliteName, layout, definitions);
        if (!definition || definition->table != index.table) {
            recordProblem(copy, index.table, describe::indexDefinitionLost(index.record.name));
            continue;
        }
        index.record.fields = definition->fields;
        index.record.unique = definition->unique;
        try {
            appendIndex(copy, index.table, index.record);
        } catch (const EngineError& e) {
            if (!refusesIndex(e)) throw;
            recordProblem(copy, index.table, describe::indexNotRemade(index.record.name, e.what()));
        }
    }
    // What is left of the rest: rows that name no index.
    copy.exec(std::string("DELETE FROM ") + kIndexTable +
              " WHERE sqlite_name NOT IN (SELECT name FROM sqlite_schema WHERE type = 'index')");
}

// A file made before the layout existed still has the layout its schema gives, when that can
// be read.
std::vector<LayoutEntry> layoutOf(Connection& copy, const std::string& source) {
    std::vector<LayoutEntry> layout = recoveredLayout(copy);
    if (!layout.empty()) return layout;
    try {
        return layoutFromSchema(*Connection::open(source, OpenMode::ReadOnly));
    } catch (const EngineError& e) {
        if (!showsDamage(e)) throw;
        return layout;
    }
}

// The damaged file page by page, for counting what its trees list; null when the recovery found
// no page size to read it by.
std::shared_ptr<Connection> pageView(const std::string& source, int pageSize) {
    if (pageSize < 512 || pageSize > 65536 || (pageSize & (pageSize - 1)) != 0) return nullptr;
    try {
        return openPageView(source, pageSize);
    } catch (const EngineError& e) {
        if (!showsDamage(e)) throw;
        return nullptr;
    }
}

}  // namespace

void salvage(const std::string& source, const std::string& destination, const std::string& password,
             bool headerIsOurs) {
    std::shared_ptr<Connection> damaged = Connection::open(source, OpenMode::ReadOnly);
    std::shared_ptr<Connection> copy = Connection::open(destination, OpenMode::Create);
    copy->exec("PRAGMA journal_mode=OFF");
    copy->exec("BEGIN");
    initialiseFile(*copy, FileKind::Data);
    // Room for the damaged file's own layout, which tells where its records belong.
    copy->exec(std::string("DELETE FROM ") + kLayoutTable);
    recordProblem(*copy, "", describe::salvaged());

    DefinitionReader definitions;
    const Recovered recovered = recoverInto(*damaged, *copy, definitions);
    if (!recovered.stoppedBecause.empty())
        recordProblem(*copy, "", describe::recoveryStopped(recovered.stoppedBecause));
    adoptGarbledBookkeeping(*copy);
    const std::vector<LayoutEntry> layout = layoutOf(*copy, source);
    if (!headerIsOurs && !showsOurs(recovered, layout))
        throw EngineError(ErrorCode::NotOurFormat, describe::notOurFormat(source));
    placeLostRecords(*copy, layout, definitions);
    settleVerifier(*copy, source, password);
    if (userTables(*copy).empty())
        throw EngineError(ErrorCode::Damaged, describe::damaged(source, describe::noReadableTable()));

    damaged.reset();
    const std::shared_ptr<Connection> view = pageView(source, recovered.pageSize);
    for (const TableLoss& loss : lostRows(view.get(), *copy, layout, definitions))
        recordLostRows(*copy, loss.table, loss.rows, loss.keys);
    if (const std::int64_t unplaced = unplacedRecords(*copy); unplaced > 0) recordLostRows(*copy, "", unplaced);

    rebuildIndexes(*copy, layout, definitions);
    copy->exec(std::string("DROP TABLE IF EXISTS ") + kLostTable);
    refreshLayout(*copy);
    copy->exec("COMMIT");
}

}  // namespace engine::detail
