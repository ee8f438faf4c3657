// Indexes: appending and deleting through the collection, every refusal, and what is kept.

#include "database/engine/engine_fixture.h"

namespace enginetest {
namespace {

using engine::ErrorCode;

class IndexTest : public EngineTest {
protected:
    void SetUp() override { db_ = open(freshFile()); }

    // The SQLite objects (indexes and triggers) of the file, to show a refused append left none.
    std::string schemaObjects() {
        db_->Close();
        const std::string objects = testsupport::sqlite3Query(
            path("data.mdb"), "SELECT group_concat(name) FROM (SELECT name FROM sqlite_schema"
                              " WHERE type IN ('index','trigger') ORDER BY name)");
        db_ = open(path("data.mdb"));
        return objects;
    }

    // Appending `shape` must fail with `code` and leave the file as it was.
    void expectRefused(const IndexShape& shape, ErrorCode code) {
        const std::string before = schemaObjects();
        const std::vector<std::string> names = indexNames(*db_, "T");
        const engine::EngineError error = errorOf([&] { appendIndex(*db_, "T", shape); });
        EXPECT_EQ(error.code(), code) << error.description();
        EXPECT_FALSE(error.description().empty());
        EXPECT_EQ(indexNames(*db_, "T"), names);
        EXPECT_EQ(schemaObjects(), before);
    }

    void addRow(const engine::FieldValue& k, const engine::FieldValue& name) {
        const engine::RecordsetPtr recordset = db_->OpenRecordset("T");
        recordset->AddRow({k, name, 1.5});
        recordset->Close();
    }

    engine::DatabasePtr db_;
};

TEST_F(IndexTest, FieldsAndFlagsAreKeptAndReadBack) {
    appendIndex(*db_, "T", {"Key00", {"K"}, true, true, true, false});
    appendIndex(*db_, "T", {"Ind00", {"Name", "Amount", "K"}, false, false, false, true});
    db_->Close();
    db_ = open(path("data.mdb"));
    const engine::Index key = db_->TableDefs().Item("T").Indexes().Item("Key00");
    EXPECT_TRUE(key.Primary());
    EXPECT_TRUE(key.Unique());
    EXPECT_TRUE(key.Required());
    EXPECT_FALSE(key.IgnoreNulls());
    const engine::Index other = db_->TableDefs().Item("T").Indexes().Item(1);
    EXPECT_EQ(other.Name(), "Ind00");
    ASSERT_EQ(other.Fields().Count(), 3);
    EXPECT_EQ(other.Fields().Item(0).Name(), "Name");
    EXPECT_EQ(other.Fields().Item(1).Name(), "Amount");
    EXPECT_EQ(other.Fields().Item(2).Name(), "K");
    EXPECT_FALSE(other.Primary() || other.Unique() || other.Required());
    EXPECT_TRUE(other.IgnoreNulls());
}

// What the layout must mirror: every table and index the schema defines, with its root page.
std::string layoutDisagreement(const std::string& file) {
    const std::string schema =
        "SELECT type, name, tbl_name, rootpage, sql FROM sqlite_schema WHERE type IN ('table', 'index')"
        " AND sql IS NOT NULL AND name NOT IN ('_qn_layout', '_qn_salvage')";
    const std::string layout = "SELECT type, name, tbl_name, rootpage, sql FROM _qn_layout";
    return testsupport::sqlite3Query(file, "SELECT count(*) FROM (" + schema + " EXCEPT " + layout + ")") + "," +
           testsupport::sqlite3Query(file, "SELECT count(*) FROM (" + layout + " EXCEPT " + schema + ")");
}

TEST_F(IndexTest, CollectionOrderSurvivesDeleteAppendReopenAndCompaction) {
    for (const char* name : {"A", "B", "C", "D"}) appendIndex(*db_, "T", {name, {"K"}});
    db_->TableDefs().Item("T").Indexes().Delete("B");
    EXPECT_EQ(indexNames(*db_, "T"), (std::vector<std::string>{"A", "C", "D"}));
    appendIndex(*db_, "T", {"B", {"Name"}});
    db_->TableDefs().Item("T").Indexes().Delete("A");
    appendIndex(*db_, "T", {"A", {"Amount"}});
    const std::vector<std::string> expected = {"C", "D", "B", "A"};
    EXPECT_EQ(indexNames(*db_, "T"), expected);
    EXPECT_EQ(db_->TableDefs().Item("T").Indexes().Item(2).Name(), "B");
    db_->Close();
    EXPECT_EQ(layoutDisagreement(path("data.mdb")), "0,0") << "the layout lost step with the schema";
    db_ = open(path("data.mdb"));
    EXPECT_EQ(indexNames(*db_, "T"), expected);
    engine::DBEngine::instance().CompactDatabase(path("data.mdb"), path("copy.mdb"), "", 0, connect(kPassword));
    EXPECT_EQ(indexNames(*open(path("copy.mdb")), "T"), expected);
    EXPECT_EQ(layoutDisagreement(path("copy.mdb")), "0,0") << "the copy's layout names the source's root pages";
}

TEST_F(IndexTest, MissingTable) {
    EXPECT_EQ(errorOf([&] { db_->TableDefs().Item("Nope"); }).code(), ErrorCode::TableNotFound);
    EXPECT_EQ(errorOf([&] { appendIndex(*db_, "Nope", {"Key00", {"K"}}); }).code(), ErrorCode::TableNotFound);
    EXPECT_EQ(errorOf([&] { db_->OpenRecordset("Nope"); }).code(), ErrorCode::TableNotFound);
    // The engine's own bookkeeping is no table of the file.
    EXPECT_EQ(errorOf([&] { db_->OpenRecordset("_qn_index"); }).code(), ErrorCode::TableNotFound);
    const engine::EngineError error = errorOf([&] { engine::IndexCollection(db_, "Nope").Delete("Key00"); });
    EXPECT_EQ(error.code(), ErrorCode::TableNotFound);
    EXPECT_NE(error.description().find("Nope"), std::string::npos);
}

TEST_F(IndexTest, NameAlreadyPresent) {
    appendIndex(*db_, "T", {"Key00", {"K"}});
    expectRefused({"Key00", {"Name"}}, ErrorCode::IndexExists);
}

TEST_F(IndexTest, FieldMissingFromTable) { expectRefused({"Key00", {"K", "Nope"}}, ErrorCode::FieldNotInTable); }

TEST_F(IndexTest, IndexWithoutFields) { expectRefused({"Key00", {}}, ErrorCode::IndexWithoutFields); }

TEST_F(IndexTest, SecondPrimaryIndex) {
    appendIndex(*db_, "T", {"Key00", {"K"}, true, true, true});
    expectRefused({"Key01", {"Name"}, true, true, true}, ErrorCode::PrimaryExists);
    appendIndex(*db_, "T", {"Key01", {"Name"}, false, true, true});
}

TEST_F(IndexTest, DuplicateValuesUnderAUniqueIndex) {
    addRow(std::int64_t{3}, "dup");
    expectRefused({"Key00", {"K"}, false, true}, ErrorCode::DuplicateValues);
    appendIndex(*db_, "T", {"Key00", {"K"}});  // the same fields without Unique are fine
}

TEST_F(IndexTest, DuplicateValueWrittenLater) {
    appendIndex(*db_, "T", {"Key00", {"K"}, false, true});
    EXPECT_EQ(errorOf([&] { addRow(std::int64_t{3}, "dup"); }).code(), ErrorCode::DuplicateValues);
    EXPECT_EQ(db_->TableDefs().Item("T").RecordCount(), kRows);
}

TEST_F(IndexTest, NullUnderARequiredIndexWhenAppending) {
    addRow(std::monostate{}, "no key");
    expectRefused({"Key00", {"Name", "K"}, false, false, true}, ErrorCode::NullInRequired);
    appendIndex(*db_, "T", {"Key00", {"Name", "K"}, false, true, false});  // Null is no duplicate
}

TEST_F(IndexTest, NullWrittenLaterUnderARequiredIndex) {
    appendIndex(*db_, "T", {"Key00", {"K", "Name"}, false, false, true});
    EXPECT_EQ(errorOf([&] { addRow(std::int64_t{99}, std::monostate{}); }).code(), ErrorCode::NullInRequired);
    EXPECT_EQ(errorOf([&] { addRow(std::monostate{}, "x"); }).code(), ErrorCode::NullInRequired);
    addRow(std::int64_t{99}, "");  // empty text is a value
    EXPECT_EQ(db_->TableDefs().Item("T").RecordCount(), kRows + 1);
}

TEST_F(IndexTest, MissingIndexOrField) {
    appendIndex(*db_, "T", {"Key00", {"K"}});
    const engine::IndexCollection indexes = db_->TableDefs().Item("T").Indexes();
    EXPECT_EQ(errorOf([&] { indexes.Item("Key01"); }).code(), ErrorCode::ItemNotFound);
    EXPECT_EQ(errorOf([&] { indexes.Item(1); }).code(), ErrorCode::ItemNotFound);
    EXPECT_EQ(errorOf([&] { indexes.Item(-1); }).code(), ErrorCode::ItemNotFound);
    EXPECT_EQ(errorOf([&] { engine::IndexCollection(indexes).Delete("Key01"); }).code(), ErrorCode::ItemNotFound);
    EXPECT_EQ(errorOf([&] { indexes.Item("Key00").Fields().Item("Name"); }).code(), ErrorCode::ItemNotFound);
    EXPECT_EQ(errorOf([&] { indexes.Item("Key00").Fields().Item(1); }).code(), ErrorCode::ItemNotFound);
}

TEST_F(IndexTest, AnAppendedIndexCannotBeChanged) {
    engine::Index index = db_->TableDefs().Item("T").CreateIndex("Key00");
    index.Fields().Append(index.CreateField("K"));
    db_->TableDefs().Item("T").Indexes().Append(index);
    EXPECT_EQ(errorOf([&] { index.setUnique(true); }).code(), ErrorCode::InvalidArgument);
    EXPECT_EQ(errorOf([&] { index.Fields().Append(index.CreateField("Name")); }).code(), ErrorCode::InvalidArgument);
    EXPECT_EQ(errorOf([&] { db_->TableDefs().Item("T").Indexes().Append(index); }).code(),
              ErrorCode::InvalidArgument);
    engine::Index readBack = db_->TableDefs().Item("T").Indexes().Item("Key00");
    EXPECT_EQ(errorOf([&] { readBack.setPrimary(true); }).code(), ErrorCode::InvalidArgument);
}

}  // namespace
}  // namespace enginetest
