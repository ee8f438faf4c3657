// CompactDatabase: a complete copy, a source that is only read, and every refusal.

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "database/engine/engine_fixture.h"

namespace enginetest {
namespace {

using engine::ErrorCode;
namespace fs = std::filesystem;

class CompactionTest : public EngineTest {
protected:
    void SetUp() override {
        source_ = freshFile();
        const engine::DatabasePtr db = open(source_);
        appendIndex(*db, "T", {"Ind00", {"Name", "K"}, false, false, false, true});
        appendIndex(*db, "T", {"Key00", {"K"}, true, true, true});
        addTable(*db, "U", 3);
        // Deleted rows leave free pages behind, which the copy drops.
        const engine::RecordsetPtr recordset = db->OpenRecordset("T");
        recordset->Delete();
        recordset->Close();
        db->Close();
    }

    void compact(const std::string& destination, const std::string& password = kPassword) {
        engine::DBEngine::instance().CompactDatabase(source_, destination, "", 0, connect(password));
    }

    std::string source_;
};

TEST_F(CompactionTest, CopyKeepsRowsIndexesFlagsAndPassword) {
    const std::string before = testsupport::readBytes(source_);
    compact(path("copy.mdb"));
    EXPECT_EQ(testsupport::readBytes(source_), before);

    const engine::DatabasePtr original = open(source_, kPassword, true);
    const engine::DatabasePtr copy = open(path("copy.mdb"), kPassword, true);
    EXPECT_EQ(copy->TableDefs().names(), original->TableDefs().names());
    for (const char* table : {"T", "U"}) EXPECT_EQ(walkKeys(*copy, table), walkKeys(*original, table));
    const std::vector<engine::Index> indexes = copy->TableDefs().Item("T").Indexes().all();
    ASSERT_EQ(indexes.size(), 2U);
    EXPECT_EQ(indexes[0].Name(), "Ind00");
    EXPECT_EQ(indexes[0].Fields().Count(), 2);
    EXPECT_TRUE(indexes[0].IgnoreNulls());
    EXPECT_FALSE(indexes[0].Unique() || indexes[0].Primary() || indexes[0].Required());
    EXPECT_EQ(indexes[1].Name(), "Key00");
    EXPECT_TRUE(indexes[1].Primary() && indexes[1].Unique() && indexes[1].Required());
    EXPECT_EQ(errorOf([&] { open(path("copy.mdb"), "wrong"); }).code(), ErrorCode::WrongPassword);
}

// An index the caller makes again is left out of the copy as though deleted: its bookkeeping and
// its Required triggers go with it, the other indexes are copied, and it can be appended again.
TEST_F(CompactionTest, IndexTheCallerMakesAgainIsLeftOut) {
    std::vector<std::string> asked;
    engine::DBEngine::instance().CompactDatabase(
        source_, path("copy.mdb"), "", 0, connect(kPassword),
        [&](const std::string& table, const std::string& index, const std::vector<std::string>& fields) {
            std::string shape = table + "." + index + "(";
            for (const std::string& field : fields) shape += field + (&field == &fields.back() ? ")" : ",");
            asked.push_back(shape);
            return index == "Key00";
        });
    EXPECT_EQ(asked, (std::vector<std::string>{"T.Ind00(Name,K)", "T.Key00(K)"}));
    EXPECT_EQ(testsupport::sqlite3Query(path("copy.mdb"), "SELECT name FROM sqlite_schema WHERE type IN ('index', 'trigger')"
                                                          " AND name LIKE '%Key00%' UNION ALL SELECT index_name FROM _qn_index"
                                                          " WHERE index_name = 'Key00'"),
              "");
    const engine::DatabasePtr copy = open(path("copy.mdb"));
    EXPECT_EQ(indexNames(*copy, "T"), std::vector<std::string>{"Ind00"});
    EXPECT_EQ(walkKeys(*copy, "T"), walkKeys(*open(source_, kPassword, true), "T"));
    appendIndex(*copy, "T", {"Key00", {"K"}, true, true, true});
    EXPECT_EQ(indexNames(*copy, "T"), (std::vector<std::string>{"Ind00", "Key00"}));
}

TEST_F(CompactionTest, RequiredIsStillEnforcedInTheCopy) {
    compact(path("copy.mdb"));
    const engine::DatabasePtr copy = open(path("copy.mdb"));
    const engine::RecordsetPtr recordset = copy->OpenRecordset("T");
    EXPECT_EQ(errorOf([&] { recordset->AddRow({std::monostate{}, "x", 1.0}); }).code(), ErrorCode::NullInRequired);
}

// A straight copy would carry the garbled definition over and leave a copy whose indexes
// cannot be read: salvage reads the bookkeeping's rows by position instead and rebuilds the indexes.
TEST_F(CompactionTest, GarbledIndexBookkeepingIsSalvaged) {
    testsupport::garbleDefinition(source_, "_qn_index", "position");
    compact(path("copy.mdb"));
    const engine::DatabasePtr copy = open(path("copy.mdb"));
    EXPECT_EQ(copy->TableDefs().Item("T").RecordCount(), kRows - 1);
    EXPECT_EQ(copy->TableDefs().Item("U").RecordCount(), 3);
    EXPECT_EQ(indexNames(*copy, "T"), (std::vector<std::string>{"Ind00", "Key00"}));
    const std::vector<engine::Database::SalvageProblem> problems = copy->SalvageProblems();
    ASSERT_EQ(problems.size(), 2U);
    EXPECT_EQ(problems[1].problem, "管理用の表 _qn_index の定義が壊れていたため、列の順に読みました");
    EXPECT_TRUE(copy->RowLosses().empty());
}

// Every lost row that an index still names is named by its key, in key order, however many: here
// all the rows of a table whose own pages are lost while its primary index survives.
TEST_F(CompactionTest, SalvageNamesEveryLostRowThatAnIndexNames) {
    constexpr int kLost = 100000;
    const std::string damaged = freshFile("big.bad");
    {
        const engine::DatabasePtr db = open(damaged);
        addTable(*db, "Big", kLost);
        appendIndex(*db, "Big", {"Key00", {"K"}, true, true, true});
    }
    const long pageSize = std::stol(testsupport::sqlite3Query(damaged, "PRAGMA page_size"));
    std::fstream file(damaged, std::ios::in | std::ios::out | std::ios::binary);
    std::istringstream pages(testsupport::sqlite3Query(damaged, "SELECT pageno FROM dbstat WHERE name = 'Big'"));
    for (long page = 0; pages >> page;) {
        file.seekp((page - 1) * pageSize);
        file << std::string(static_cast<std::size_t>(pageSize), '\0');
    }
    file.close();

    engine::DBEngine::instance().CompactDatabase(damaged, path("copy.mdb"), "", 0, connect(kPassword));
    const std::vector<engine::Database::RowLoss> losses = open(path("copy.mdb"))->RowLosses();
    ASSERT_EQ(losses.size(), 1U);
    EXPECT_EQ(losses[0].table, "Big");
    EXPECT_EQ(losses[0].rows, kLost);
    ASSERT_EQ(losses[0].keys.size(), static_cast<std::size_t>(kLost));
    for (int k = 1; k <= kLost; ++k)
        if (losses[0].keys[static_cast<std::size_t>(k - 1)] != "K = " + std::to_string(k))
            FAIL() << "key " << k << " is " << losses[0].keys[static_cast<std::size_t>(k - 1)];
}

TEST_F(CompactionTest, DestinationAlreadyPresent) {
    testsupport::writeBytes(path("copy.mdb.bad"), "keep me");
    const engine::EngineError error = errorOf([&] { compact(path("copy.mdb.bad")); });
    EXPECT_EQ(error.code(), ErrorCode::DestinationExists);
    EXPECT_NE(error.description().find(path("copy.mdb.bad")), std::string::npos);
    EXPECT_EQ(testsupport::readBytes(path("copy.mdb.bad")), "keep me");
}

TEST_F(CompactionTest, RefusalsLeaveNoDestination) {
    EXPECT_EQ(errorOf([&] { compact(path("copy.mdb"), "wrong"); }).code(), ErrorCode::WrongPassword);
    EXPECT_FALSE(fs::exists(path("copy.mdb")));
    source_ = path("none.mdb");
    EXPECT_EQ(errorOf([&] { compact(path("copy.mdb")); }).code(), ErrorCode::FileNotFound);
    EXPECT_FALSE(fs::exists(path("copy.mdb")));
    testsupport::writeBytes(path("text.bad"), "not ours");
    source_ = path("text.bad");
    EXPECT_EQ(errorOf([&] { compact(path("copy.mdb")); }).code(), ErrorCode::NotOurFormat);
    EXPECT_FALSE(fs::exists(path("copy.mdb")));
}

TEST_F(CompactionTest, KeepAliveRunsDuringALongCompactionOnlyOnTheThreadThatSetIt) {
    addTable(*open(source_), "Big", 5000);
    std::vector<std::thread::id> callers;
    engine::DBEngine::instance().setKeepAlive([&] { callers.push_back(std::this_thread::get_id()); });
    compact(path("copy.mdb"));
    engine::DBEngine::instance().setKeepAlive({});
    ASSERT_FALSE(callers.empty());
    for (const std::thread::id& caller : callers) EXPECT_EQ(caller, std::this_thread::get_id());
    const std::size_t calls = callers.size();
    compact(path("copy2.mdb"));
    EXPECT_EQ(callers.size(), calls) << "an empty keep-alive is never called";
}

}  // namespace
}  // namespace enginetest
