// Objects used after Close, or built on nothing.

#include "database/engine/engine_fixture.h"

namespace enginetest {
namespace {

using engine::ErrorCode;

class ObjectStateTest : public EngineTest {};

TEST_F(ObjectStateTest, ClosedDatabase) {
    const engine::DatabasePtr db = open(freshFile());
    const engine::TableDef table = db->TableDefs().Item("T");
    db->Close();
    EXPECT_FALSE(db->isOpen());
    for (const auto& use : std::vector<std::function<void()>>{
             [&] { db->TableDefs().Count(); },
             [&] { db->OpenRecordset("T"); },
             [&] { db->CreateTable("U", {{"K", engine::FieldType::Long}}); },
             [&] { table.RecordCount(); },
             [&] { table.Indexes().Count(); },
             [&] { db->Close(); },
         }) {
        const engine::EngineError error = errorOf(use);
        EXPECT_EQ(error.code(), ErrorCode::ObjectClosed);
        EXPECT_FALSE(error.description().empty());
    }
}

TEST_F(ObjectStateTest, ClosedRecordset) {
    const engine::DatabasePtr db = open(freshFile());
    const engine::RecordsetPtr recordset = db->OpenRecordset("T");
    recordset->Close();
    EXPECT_FALSE(recordset->isOpen());
    for (const auto& use : std::vector<std::function<void()>>{
             [&] { recordset->Eof(); },
             [&] { recordset->MoveNext(); },
             [&] { recordset->Fields("K"); },
             [&] { recordset->Delete(); },
             [&] { recordset->AddRow({std::int64_t{1}, "x", 1.0}); },
             [&] { recordset->Close(); },
         })
        EXPECT_EQ(errorOf(use).code(), ErrorCode::ObjectClosed);
}

TEST_F(ObjectStateTest, ClosedWorkspace) {
    const auto workspace = std::make_shared<engine::Workspace>("test", "test");
    workspace->Close();
    EXPECT_EQ(errorOf([&] { workspace->OpenDatabase(freshFile(), false, false, connect(kPassword)); }).code(),
              ErrorCode::ObjectClosed);
}

TEST_F(ObjectStateTest, ObjectsOnNothing) {
    for (const auto& make : std::vector<std::function<void()>>{
             [] { engine::Database(nullptr); },
             [] { engine::TableDefCollection(nullptr); },
             [] { engine::TableDef(nullptr, "T"); },
             [] { engine::IndexCollection(nullptr, "T"); },
             [] { engine::Recordset(nullptr, "T", engine::dbDenyRead); },
         }) {
        const engine::EngineError error = errorOf(make);
        EXPECT_EQ(error.code(), ErrorCode::ObjectNotSet);
        EXPECT_EQ(error.number(), 91);
    }
}

}  // namespace
}  // namespace enginetest
