// Tables: creation, the collection's order, and names the engine keeps for itself.

#include "database/engine/engine_fixture.h"

namespace enginetest {
namespace {

using engine::ErrorCode;

class TableTest : public EngineTest {
protected:
    void SetUp() override { db_ = open(freshFile()); }
    engine::DatabasePtr db_;
};

TEST_F(TableTest, CollectionKeepsCreationOrderAndHidesBookkeeping) {
    for (const char* name : {"Lock", "Data", "A"}) db_->CreateTable(name, {{"K", engine::FieldType::Long}});
    const std::vector<std::string> expected = {"T", "Lock", "Data", "A"};
    EXPECT_EQ(db_->TableDefs().names(), expected);
    EXPECT_EQ(db_->TableDefs().Count(), 4);
    EXPECT_EQ(db_->TableDefs().Item(2).Name(), "Data");
    EXPECT_EQ(errorOf([&] { db_->TableDefs().Item(4); }).code(), ErrorCode::ItemNotFound);
    db_->Close();
    db_ = open(path("data.mdb"));
    EXPECT_EQ(db_->TableDefs().names(), expected);
}

TEST_F(TableTest, ReservedEmptyAndColumnlessTablesAreRefused) {
    for (const char* name : {"_qn_meta", "_qn_mine", "sqlite_x", ""}) {
        const engine::EngineError error = errorOf([&] { db_->CreateTable(name, {{"K", engine::FieldType::Long}}); });
        EXPECT_EQ(error.code(), ErrorCode::InvalidArgument) << name;
    }
    EXPECT_EQ(errorOf([&] { db_->CreateTable("V", {}); }).code(), ErrorCode::InvalidArgument);
    EXPECT_EQ(db_->TableDefs().names(), std::vector<std::string>{"T"});
}

}  // namespace
}  // namespace enginetest
