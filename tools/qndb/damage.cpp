#include "qndb/damage.h"

#include <algorithm>
#include <map>

#include "database/engine/store/engine_error.h"
#include "qndb/index_definition.h"
#include "qndb/row_values.h"
#include "qndb/table_layout.h"

namespace qndb {

namespace {

using Kind = DamageAction::Kind;

void requireColumn(const engine::TableDef& table, const std::string& field) {
    const std::vector<engine::ColumnDef> columns = table.columns();
    if (std::none_of(columns.begin(), columns.end(), [&](const engine::ColumnDef& c) { return c.name == field; }))
        throw engine::EngineError(engine::ErrorCode::FieldNotInTable,
                                  engine::describe::fieldNotInTable(table.Name(), field));
}

std::vector<std::string> indexNames(const engine::TableDef& table) {
    std::vector<std::string> names;
    for (const engine::Index& index : table.Indexes().all()) names.push_back(index.Name());
    return names;
}

void checkActions(engine::Database& db, const std::vector<DamageAction>& actions) {
    // Each table's index names as the actions so far leave them.
    std::map<std::string, std::vector<std::string>> planned;
    for (const DamageAction& action : actions) {
        const engine::TableDef table = db.TableDefs().Item(action.table);
        const auto [entry, added] = planned.try_emplace(action.table);
        if (added) entry->second = indexNames(table);
        std::vector<std::string>& names = entry->second;
        if (action.kind == Kind::NullKeys) {
            requireColumn(table, keyFieldOf(action.table));
            names.clear();
            continue;
        }
        const auto found = std::find(names.begin(), names.end(), action.index);
        if (found == names.end())
            throw engine::EngineError(engine::ErrorCode::ItemNotFound,
                                      engine::describe::indexNotFound(action.table, action.index));
        if (action.kind == Kind::DropIndex) names.erase(found);
    }
}

void stripIndex(const engine::TableDef& table, const std::string& name) {
    const engine::Index original = table.Indexes().Item(name);
    const std::vector<std::string> fields = fieldsOf(original);
    const IndexFlags flags = flagsOf(original);
    table.Indexes().Delete(name);
    try {
        appendIndex(table, name, {fields.front()}, flags);
    } catch (...) {
        // The first field alone may not keep the index's promises (a unique field that repeats):
        // leave the index whole rather than lose it.
        appendIndex(table, name, fields, flags);
        throw;
    }
}

// As a damaged file does: the table loses its indexes and gains rows without a key.
void addNullKeys(engine::Database& db, const engine::TableDef& table, std::int64_t count) {
    for (const std::string& name : indexNames(table)) table.Indexes().Delete(name);
    const std::vector<engine::ColumnDef> columns = table.columns();
    const std::string keyField = keyFieldOf(table.Name());
    const auto key = static_cast<std::size_t>(std::distance(
        columns.begin(),
        std::find_if(columns.begin(), columns.end(), [&](const engine::ColumnDef& c) { return c.name == keyField; })));
    const RowMaker maker(columns, table.Name(), kDefaultSeed);
    const std::int64_t first = table.RecordCount() + 1;
    const engine::RecordsetPtr recordset = db.OpenRecordset(table.Name());
    std::vector<engine::FieldValue> row;
    for (std::int64_t number = first; number < first + count; ++number) {
        maker.fill(number, row);
        row[key] = std::monostate{};
        recordset->AddRow(row);
    }
    recordset->Close();
}

void apply(engine::Database& db, const DamageAction& action) {
    const engine::TableDef table = db.TableDefs().Item(action.table);
    switch (action.kind) {
    case Kind::DropIndex: table.Indexes().Delete(action.index); break;
    case Kind::StripIndex: stripIndex(table, action.index); break;
    case Kind::NullKeys: addNullKeys(db, table, action.count); break;
    }
}

}  // namespace

void applyDamage(engine::Database& db, const std::vector<DamageAction>& actions) {
    checkActions(db, actions);
    for (const DamageAction& action : actions) apply(db, action);
}

}  // namespace qndb
