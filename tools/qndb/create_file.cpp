#include "qndb/create_file.h"

#include <filesystem>

#include "qndb/index_definition.h"
#include "database/engine/db_engine.h"
#include "database/index_catalogue.h"
#include "platform/paths.h"
#include "qndb/row_values.h"
#include "qndb/table_layout.h"

namespace qndb {

namespace {

// Rows go in one at a time and are committed together when the recordset closes, so even a
// million rows never sit in memory.
void loadRows(engine::Database& db, const std::string& table, std::int64_t rows, std::uint64_t seed) {
    const RowMaker maker(columnsOf(table), table, seed);
    const engine::RecordsetPtr recordset = db.OpenRecordset(table);
    std::vector<engine::FieldValue> row;
    for (std::int64_t number = 1; number <= rows; ++number) {
        maker.fill(number, row);
        recordset->AddRow(row);
    }
    recordset->Close();
}

// After the rows: SQLite builds an index over existing rows in one sorted pass.
void appendCatalogueIndexes(engine::Database& db, const std::string& table) {
    const engine::TableDef tableDef = db.TableDefs().Item(table);
    for (const catalogue::IndexDefinition& index : catalogue::indexesOf(table))
        appendIndex(tableDef, index.name, index.fields, {index.primary(), true, true, false});
}

void fill(engine::Database& db, const CreateCommand& command) {
    const std::vector<std::string> tables = tablesOf(*command.kind);
    for (const std::string& table : tables) db.CreateTable(table, columnsOf(table));
    for (const std::string& table : tables) {
        loadRows(db, table, command.rows, command.seed);
        appendCatalogueIndexes(db, table);
    }
}

}  // namespace

void createFile(const CreateCommand& command) {
    const std::string password = command.password.value_or(std::string(command.kind->key));
    engine::DatabasePtr db = engine::DBEngine::instance().CreateDatabase(command.file, password);
    try {
        fill(*db, command);
        db->Close();
    } catch (...) {
        // Only a complete file may stand under the name: a half-made one would pass for a real file.
        db.reset();
        std::error_code ec;
        std::filesystem::remove(platform::toPath(command.file), ec);
        throw;
    }
}

}  // namespace qndb
