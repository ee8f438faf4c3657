#include "database/engine/engine_fixture.h"

#include <filesystem>

namespace enginetest {

namespace fs = std::filesystem;

std::string connect(const std::string& password) { return ";PWD=" + password + ";"; }

engine::DatabasePtr open(const std::string& path, const std::string& password, bool readOnly) {
    const auto workspace = std::make_shared<engine::Workspace>("test", "test");
    return workspace->OpenDatabase(path, false, readOnly, connect(password));
}

engine::EngineError errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const engine::EngineError& e) {
        return e;
    }
    ADD_FAILURE() << "no engine error was thrown";
    return {engine::ErrorCode::Unexpected, "(none)"};
}

void appendIndex(engine::Database& db, const std::string& table, const IndexShape& shape) {
    const engine::TableDef tableDef = db.TableDefs().Item(table);
    engine::Index index = tableDef.CreateIndex(shape.name);
    for (const std::string& field : shape.fields) index.Fields().Append(index.CreateField(field));
    index.setPrimary(shape.primary);
    index.setUnique(shape.unique);
    index.setRequired(shape.required);
    index.setIgnoreNulls(shape.ignoreNulls);
    tableDef.Indexes().Append(index);
}

std::vector<std::string> indexNames(engine::Database& db, const std::string& table) {
    std::vector<std::string> names;
    for (const engine::Index& index : db.TableDefs().Item(table).Indexes().all()) names.push_back(index.Name());
    return names;
}

void addTable(engine::Database& db, const std::string& table, int rows) {
    db.CreateTable(table, {{"K", engine::FieldType::Long}, {"Name", engine::FieldType::Text},
                           {"Amount", engine::FieldType::Double}});
    const engine::RecordsetPtr recordset = db.OpenRecordset(table);
    for (std::int64_t k = 1; k <= rows; ++k)
        recordset->AddRow({k, "n" + std::to_string(k), static_cast<double>(k) / 2});
    recordset->Close();
}

std::vector<std::int64_t> walkKeys(engine::Database& db, const std::string& table) {
    std::vector<std::int64_t> keys;
    const engine::RecordsetPtr recordset = db.OpenRecordset(table);
    for (; !recordset->Eof(); recordset->MoveNext()) keys.push_back(std::get<std::int64_t>(recordset->Fields("K").Value));
    recordset->Close();
    return keys;
}

void EngineTest::TearDown() {
    for (const fs::directory_entry& entry : fs::directory_iterator(dir_.path())) {
        const std::string extension = entry.path().extension().string();
        if (entry.is_regular_file() && (extension == ".mdb" || extension == ".mdw")) {
            EXPECT_EQ(testsupport::integrityCheck(entry.path().string()), "ok") << entry.path();
        }
    }
}

std::string EngineTest::freshFile(const std::string& name) const {
    static const testsupport::TempDir templateDir;
    static const std::string templatePath = [] {
        const std::string file = templateDir.file("template.mdb");
        const engine::DatabasePtr db = engine::DBEngine::instance().CreateDatabase(file, kPassword);
        addTable(*db, "T", kRows);
        db->Close();
        return file;
    }();
    const std::string copy = path(name);
    fs::copy_file(templatePath, copy);
    return copy;
}

}  // namespace enginetest
