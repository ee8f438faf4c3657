// repairC against real files of the engine: results, boxes and what reaches the file.
#include <gtest/gtest.h>

#include "database/engine/db_engine.h"
#include "database/index_catalogue.h"
#include "common/module_state.h"
#include "support/recorded_boxes.h"
#include "database/repair_c.h"
#include "support/test_support.h"

namespace {

class RepairCTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = dir_.file("t.mdb");
        engine::DatabasePtr db = engine::DBEngine::instance().CreateDatabase(path_, "pw");
        db->CreateTable("T090", {{"B000", engine::FieldType::Byte},
                                 {"L000", engine::FieldType::Long},
                                 {"L001", engine::FieldType::Long},
                                 {"L002", engine::FieldType::Long},
                                 {"L003", engine::FieldType::Long},
                                 {"L004", engine::FieldType::Long},
                                 {"L010", engine::FieldType::Long}});
        engine::RecordsetPtr rs = db->OpenRecordset("T090");
        for (std::int64_t i = 0; i < 5; ++i) rs->AddRow({i % 2, i, i, i, i, i, i});
        rs->Close();
        db->Close();
        helper_.setFileName(path_);
        helper_.setPassword("pw");
        workspace_ = std::make_shared<engine::Workspace>("test", "test");
        ASSERT_TRUE(helper_.dbopen(workspace_, db_));
    }

    testsupport::TempDir dir_;
    std::string path_;
    repairC helper_;
    engine::WorkspacePtr workspace_;
    engine::DatabasePtr db_;
    testsupport::RecordedBoxes boxes_;
};

}  // namespace

TEST_F(RepairCTest, CreatesCatalogueIndexesWithTheirFlags) {
    for (const char* name : {"Ind00", "Key00", "Key01", "Key02"}) EXPECT_TRUE(helper_.daoCreateIndex(db_, "T090", name));
    const std::vector<engine::Index> indexes = db_->TableDefs().Item("T090").Indexes().all();
    ASSERT_EQ(indexes.size(), 4U);
    EXPECT_EQ(indexes[1].Name(), "Key00");
    EXPECT_TRUE(indexes[1].Primary());
    EXPECT_FALSE(indexes[2].Primary());
    for (const engine::Index& index : indexes) {
        EXPECT_TRUE(index.Unique());
        EXPECT_TRUE(index.Required());
        EXPECT_FALSE(index.IgnoreNulls());
    }
    EXPECT_EQ(indexes[2].Fields().Item(4L).Name(), "L001");
    EXPECT_TRUE(boxes_.all().empty());
}

TEST_F(RepairCTest, IndexOutsideTheCatalogueIsQuietlyRefused) {
    EXPECT_FALSE(helper_.daoCreateIndex(db_, "T090", "Key03"));
    EXPECT_TRUE(boxes_.all().empty());
    EXPECT_EQ(db_->TableDefs().Item("T090").Indexes().Count(), 0);
}

TEST_F(RepairCTest, MissingTableFailsWithABoxEvenForAnUnknownIndex) {
    EXPECT_FALSE(helper_.daoCreateIndex(db_, "T091", "Key03"));
    ASSERT_EQ(boxes_.all().size(), 1U);
    EXPECT_EQ(boxes_.all()[0], "テーブル 'T091' が見つかりません。|64|エラー");
}

TEST_F(RepairCTest, SecondCreationOfAnIndexFails) {
    EXPECT_TRUE(helper_.daoCreateIndex(db_, "T090", "Key00"));
    EXPECT_FALSE(helper_.daoCreateIndex(db_, "T090", "Key00"));
    EXPECT_EQ(boxes_.all().size(), 1U);
}

TEST_F(RepairCTest, NameTestsAreExactAndCaseSensitive) {
    ASSERT_TRUE(helper_.daoCreateIndex(db_, "T090", "Key01"));
    EXPECT_TRUE(helper_.daoIndexExist(db_, "T090", "Key01"));
    EXPECT_FALSE(helper_.daoIndexExist(db_, "T090", "key01"));
    EXPECT_TRUE(helper_.daoFieldExist(db_, "T090", "Key01", "L003"));
    EXPECT_FALSE(helper_.daoFieldExist(db_, "T090", "Key01", "l003"));
    EXPECT_FALSE(helper_.daoFieldExist(db_, "T090", "Key01", "L010"));
    EXPECT_TRUE(boxes_.all().empty());
    EXPECT_FALSE(helper_.daoFieldExist(db_, "T090", "Key02", "L000")) << "a missing index is an error";
    EXPECT_EQ(boxes_.all().size(), 1U);
}

TEST_F(RepairCTest, DeleteIndexRemovesItOnce) {
    ASSERT_TRUE(helper_.daoCreateIndex(db_, "T090", "Key00"));
    EXPECT_TRUE(helper_.daoDeleteIndex(db_, "T090", "Key00"));
    EXPECT_FALSE(helper_.daoIndexExist(db_, "T090", "Key00"));
    EXPECT_FALSE(helper_.daoDeleteIndex(db_, "T090", "Key00"));
    EXPECT_EQ(boxes_.all().size(), 1U);
}

TEST_F(RepairCTest, ClosingWhatIsNotSetFailsAndKeepsOutParameters) {
    engine::DatabasePtr none;
    engine::RecordsetPtr noRecords;
    EXPECT_FALSE(helper_.dbclose(none));
    EXPECT_FALSE(helper_.rsclose(noRecords));
    EXPECT_EQ(boxes_.all().size(), 2U);
    helper_.setTablename("T090");
    EXPECT_TRUE(helper_.rsopen(db_, noRecords));
    EXPECT_TRUE(helper_.rsclose(noRecords));
    EXPECT_EQ(noRecords, nullptr);
    EXPECT_TRUE(helper_.dbclose(db_));
    EXPECT_EQ(db_, nullptr);
    EXPECT_FALSE(helper_.dbclose(db_));
}

TEST_F(RepairCTest, OpenFailuresLeaveTheOutParameterAlone) {
    repairC other;
    other.setFileName(path_);
    other.setPassword("");  // the connect string still carries ";PWD=;", which is wrong here
    engine::DatabasePtr kept = db_;
    EXPECT_FALSE(other.dbopen(workspace_, kept));
    EXPECT_EQ(kept, db_);
    ASSERT_EQ(boxes_.all().size(), 1U);
    EXPECT_NE(boxes_.all()[0].find("パスワードが違います"), std::string::npos);
    helper_.setTablename("Nope");
    engine::RecordsetPtr records;
    EXPECT_FALSE(helper_.rsopen(db_, records));
    EXPECT_EQ(records, nullptr);
}

TEST_F(RepairCTest, CommandLineModeNeverShowsABox) {
    repairM::CommandLineMode = true;
    engine::DatabasePtr none;
    EXPECT_FALSE(helper_.dbclose(none));
    EXPECT_FALSE(helper_.daoCreateIndex(db_, "Nope", "Key00"));
    repairM::CommandLineMode = false;
    EXPECT_TRUE(boxes_.all().empty());
}

TEST_F(RepairCTest, FileExistSeesOnlyRegularFiles) {
    repairC probe;
    EXPECT_FALSE(probe.FileExist());
    probe.setFileName(path_);
    EXPECT_TRUE(probe.FileExist());
    probe.setFileName(dir_.path().string());
    EXPECT_FALSE(probe.FileExist());
    probe.setFileName(dir_.file("*.mdb"));
    EXPECT_FALSE(probe.FileExist()) << "a pattern is not a file";
    probe.setFileName(std::string("bad\0name", 8));
    EXPECT_FALSE(probe.FileExist());
    EXPECT_TRUE(boxes_.all().empty());
}

TEST(IndexCatalogue, PairedTablesShareDefinitions) {
    for (const auto& entry : catalogue::indexCatalogue())
        for (const std::string& table : entry.tables)
            EXPECT_EQ(&catalogue::indexesOf(table), &entry.indexes) << table;
    EXPECT_EQ(catalogue::findIndex("T090", "Key03"), nullptr);
    EXPECT_EQ(catalogue::findIndex("t041", "Key00"), nullptr);
    ASSERT_NE(catalogue::findIndex("U041", "Key01"), nullptr);
    EXPECT_EQ(catalogue::findIndex("U041", "Key01"), catalogue::findIndex("T041", "Key01"));
}
