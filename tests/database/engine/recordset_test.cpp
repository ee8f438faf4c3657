// Walking a table-type recordset, deleting as it goes, and adding rows.

#include <functional>

#include "database/engine/engine_fixture.h"

namespace enginetest {
namespace {

using engine::ErrorCode;

std::int64_t keyOf(const engine::Recordset& recordset) { return std::get<std::int64_t>(recordset.Fields("K").Value); }

// Which of the rows K = 1..kRows a walk deletes.
struct DeletionPattern {
    const char* name;
    std::function<bool(std::int64_t)> deletes;
};

void PrintTo(const DeletionPattern& pattern, std::ostream* out) { *out << pattern.name; }

class DeleteWhileWalking : public EngineTest, public ::testing::WithParamInterface<DeletionPattern> {};

// Once through the table itself, once from an index that holds K in another order than the rows'
// (Name sorts "n10" before "n2"), which a walk that reads only K takes its rows from.
TEST_P(DeleteWhileWalking, VisitsEveryRowOnceAndKeepsExactlyTheOthers) {
    for (const bool indexed : {false, true}) {
        SCOPED_TRACE(indexed ? "rows from an index" : "rows from the table");
        const std::string name = indexed ? "indexed.mdb" : "data.mdb";
        const engine::DatabasePtr db = open(freshFile(name));
        if (indexed) appendIndex(*db, "T", {"ByName", {"Name", "K"}});
        const engine::RecordsetPtr recordset = db->OpenRecordset("T");
        std::vector<std::int64_t> visited;
        std::vector<std::int64_t> kept;
        long deleted = 0;
        for (; !recordset->Eof(); recordset->MoveNext()) {
            const std::int64_t k = keyOf(*recordset);
            visited.push_back(k);
            if (!GetParam().deletes(k)) {
                kept.push_back(k);
                continue;
            }
            recordset->Delete();
            ++deleted;
            // Seen at once by the holder, through the same file.
            EXPECT_EQ(db->TableDefs().Item("T").RecordCount(), kRows - deleted);
            EXPECT_EQ(errorOf([&] { recordset->Fields("K"); }).code(), ErrorCode::NoCurrentRecord);
        }
        std::vector<std::int64_t> all(kRows);
        for (int i = 0; i < kRows; ++i) all[static_cast<std::size_t>(i)] = i + 1;
        EXPECT_EQ(visited, all);
        recordset->Close();
        db->Close();

        EXPECT_EQ(walkKeys(*open(path(name)), "T"), kept);
        EXPECT_EQ(testsupport::sqlite3Query(path(name), "SELECT count(*) FROM T"), std::to_string(kept.size()));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, DeleteWhileWalking,
    ::testing::Values(DeletionPattern{"Every", [](std::int64_t) { return true; }},
                      DeletionPattern{"None", [](std::int64_t) { return false; }},
                      DeletionPattern{"EveryOther", [](std::int64_t k) { return k % 2 == 0; }},
                      DeletionPattern{"EveryOtherFromFirst", [](std::int64_t k) { return k % 2 == 1; }},
                      DeletionPattern{"ConsecutiveRun", [](std::int64_t k) { return k >= 3 && k <= 7; }},
                      DeletionPattern{"TwoRuns", [](std::int64_t k) { return k <= 3 || k >= 8; }},
                      DeletionPattern{"FirstAndLast", [](std::int64_t k) { return k == 1 || k == kRows; }}),
    [](const ::testing::TestParamInfo<DeletionPattern>& info) { return std::string(info.param.name); });

class RecordsetTest : public EngineTest {};

TEST_F(RecordsetTest, WalkKeepsItsPlaceWhileDeletionsEmptyWholePages) {
    constexpr int kBigRows = 20000;
    const engine::DatabasePtr db = open(freshFile());
    addTable(*db, "Big", kBigRows);
    // Long runs empty whole pages and merge others while the walk is inside them.
    const auto deletes = [](std::int64_t k) { return (k > 5000 && k <= 15000) || k % 3 != 0; };
    const engine::RecordsetPtr recordset = db->OpenRecordset("Big");
    std::int64_t expected = 1;
    std::vector<std::int64_t> kept;
    for (; !recordset->Eof(); recordset->MoveNext(), ++expected) {
        const std::int64_t k = keyOf(*recordset);
        ASSERT_EQ(k, expected);
        if (deletes(k))
            recordset->Delete();
        else
            kept.push_back(k);
    }
    EXPECT_EQ(expected, kBigRows + 1);
    recordset->Close();
    EXPECT_EQ(walkKeys(*db, "Big"), kept);
}

// A walk that began reading K alone, from the table or from an index, reads another column of the
// row it stands on and goes on from there.
TEST_F(RecordsetTest, AnotherColumnAskedMidWalkIsThatOfTheCurrentRow) {
    for (const bool indexed : {false, true}) {
        SCOPED_TRACE(indexed ? "rows from an index" : "rows from the table");
        const engine::DatabasePtr db = open(freshFile(indexed ? "indexed.mdb" : "data.mdb"));
        if (indexed) appendIndex(*db, "T", {"ByName", {"Name", "K"}});
        const engine::RecordsetPtr recordset = db->OpenRecordset("T");
        std::vector<std::int64_t> keys;
        for (; !recordset->Eof(); recordset->MoveNext()) {
            const std::int64_t k = keyOf(*recordset);
            keys.push_back(k);
            if (k == 4) {
                recordset->Delete();
                continue;
            }
            if (k >= 6) {
                EXPECT_EQ(std::get<std::string>(recordset->Fields("Name").Value), "n" + std::to_string(k));
            }
        }
        EXPECT_EQ(keys.size(), static_cast<std::size_t>(kRows));
        EXPECT_EQ(keys.back(), kRows);
        recordset->Close();
    }
}

TEST_F(RecordsetTest, DeletionsAreCommittedAtCloseAndHiddenFromOthersUntilThen) {
    const std::string file = freshFile();
    const engine::DatabasePtr db = open(file);
    const engine::RecordsetPtr recordset = db->OpenRecordset("T");
    recordset->Delete();
    recordset->MoveNext();
    recordset->Delete();
    // Deny-read: another connection cannot even read meanwhile.
    EXPECT_EQ(errorOf([&] { open(file)->TableDefs().Item("T").RecordCount(); }).code(), ErrorCode::FileLocked);
    recordset->Close();
    EXPECT_EQ(open(file)->TableDefs().Item("T").RecordCount(), kRows - 2);
}

TEST_F(RecordsetTest, ARecordsetDestroyedWithoutCloseStillCommits) {
    const std::string file = freshFile();
    {
        const engine::DatabasePtr db = open(file);
        db->OpenRecordset("T")->Delete();
    }
    EXPECT_EQ(walkKeys(*open(file), "T").front(), 2);
}

TEST_F(RecordsetTest, NullIsNeitherEmptyTextNorZero) {
    const engine::DatabasePtr db = open(freshFile());
    db->CreateTable("V", {{"K", engine::FieldType::Long}, {"S", engine::FieldType::Text}});
    engine::RecordsetPtr recordset = db->OpenRecordset("V");
    recordset->AddRow({std::monostate{}, std::monostate{}});
    recordset->AddRow({std::int64_t{0}, std::string()});
    recordset->Close();

    recordset = db->OpenRecordset("V");
    EXPECT_TRUE(engine::isNull(recordset->Fields("K").Value));
    EXPECT_TRUE(engine::isNull(recordset->Fields("S").Value));
    recordset->MoveNext();
    EXPECT_EQ(recordset->Fields("K").Value, engine::FieldValue(std::int64_t{0}));
    EXPECT_EQ(recordset->Fields("S").Value, engine::FieldValue(std::string()));
    EXPECT_EQ(recordset->Fields("S").Name, "S");
    recordset->Close();
    EXPECT_EQ(testsupport::sqlite3Query(path("data.mdb"), "SELECT count(*) FROM V WHERE K IS NULL AND S IS NULL"), "1");
}

TEST_F(RecordsetTest, MisuseIsRefused) {
    const engine::DatabasePtr db = open(freshFile());
    const engine::RecordsetPtr recordset = db->OpenRecordset("T");
    EXPECT_EQ(errorOf([&] { recordset->Fields("Nope"); }).code(), ErrorCode::ItemNotFound);
    EXPECT_EQ(errorOf([&] { recordset->AddRow({std::int64_t{1}}); }).code(), ErrorCode::InvalidArgument);
    recordset->Delete();
    EXPECT_EQ(errorOf([&] { recordset->Delete(); }).code(), ErrorCode::NoCurrentRecord);
    while (!recordset->Eof()) recordset->MoveNext();
    EXPECT_EQ(errorOf([&] { recordset->MoveNext(); }).code(), ErrorCode::NoCurrentRecord);
    EXPECT_EQ(errorOf([&] { recordset->Delete(); }).code(), ErrorCode::NoCurrentRecord);
    EXPECT_EQ(errorOf([&] { recordset->Fields("K"); }).code(), ErrorCode::NoCurrentRecord);
    EXPECT_EQ(errorOf([&] { db->OpenRecordset("T", 99); }).code(), ErrorCode::InvalidArgument);
}

}  // namespace
}  // namespace enginetest
