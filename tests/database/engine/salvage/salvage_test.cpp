// A damaged file compacted in-process: build it, spoil one page, compact, check what came back.

#include <algorithm>
#include <fstream>
#include <sstream>

#include "database/engine/engine_fixture.h"

namespace enginetest {
namespace {

constexpr int kManyRows = 2000;

class SalvageTest : public EngineTest {
protected:
    void SetUp() override {
        // Not .mdb: the fixture checks every .mdb left behind, and this one is damaged on purpose.
        source_ = path("damaged.db");
        const engine::DatabasePtr db = engine::DBEngine::instance().CreateDatabase(source_, kPassword);
        addTable(*db, "T", kManyRows);
        appendIndex(*db, "T", {"Key00", {"K"}, true, true, true});
        db->Close();
        before_ = walkKeys(*open(source_, kPassword, true), "T");
    }

    std::vector<long> pagesOf(const std::string& name, const std::string& type) const {
        std::istringstream lines(testsupport::sqlite3Query(
            source_, "SELECT pageno FROM dbstat WHERE name = '" + name + "' AND pagetype = '" + type + "' ORDER BY pageno"));
        std::vector<long> pages;
        for (std::string line; std::getline(lines, line);) pages.push_back(std::stol(line));
        return pages;
    }

    void overwrite(long page, long offset, const std::string& bytes) const {
        const long size = std::stol(testsupport::sqlite3Query(source_, "PRAGMA page_size"));
        std::fstream file(source_, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp((page - 1) * size + offset);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    void zero(long page) const {
        overwrite(page, 0, std::string(std::stoul(testsupport::sqlite3Query(source_, "PRAGMA page_size")), '\0'));
    }

    // Compacts the spoilt source; the keys of T that the copy holds, and its losses.
    std::vector<std::int64_t> compacted(std::vector<engine::Database::RowLoss>& losses) {
        engine::DBEngine::instance().CompactDatabase(source_, path("copy.mdb"), "", 0, connect(kPassword));
        const engine::DatabasePtr copy = open(path("copy.mdb"), kPassword, true);
        losses = copy->RowLosses();
        return walkKeys(*copy, "T");
    }

    std::string source_;
    std::vector<std::int64_t> before_;
};

TEST_F(SalvageTest, ZeroedLeafLosesItsRowsAloneAndNamesEachByItsKey) {
    const std::vector<long> leaves = pagesOf("T", "leaf");
    ASSERT_GT(leaves.size(), 3U);
    zero(leaves[1]);
    std::vector<engine::Database::RowLoss> losses;
    const std::vector<std::int64_t> after = compacted(losses);
    std::vector<std::int64_t> lost;
    std::set_difference(before_.begin(), before_.end(), after.begin(), after.end(), std::back_inserter(lost));
    ASSERT_FALSE(lost.empty());
    EXPECT_TRUE(std::includes(before_.begin(), before_.end(), after.begin(), after.end()));
    ASSERT_EQ(losses.size(), 1U);
    EXPECT_EQ(losses[0].table, "T");
    EXPECT_EQ(losses[0].rows, static_cast<std::int64_t>(lost.size()));
    EXPECT_EQ(losses[0].keys.size(), lost.size());
}

// A leaf whose header counts one cell fewer still reads as sound, one row short: the indexes that
// still name that row must send the file to salvage, which counts it, rather than be rebuilt to match.
TEST_F(SalvageTest, LeafCountingACellFewerLosesThatRowAloudNotSilently) {
    // A second unique index, as the host's tables have: salvage counts a row lost only where two agree.
    appendIndex(*open(source_), "T", {"Key01", {"Name"}, false, true});
    const long leaf = pagesOf("T", "leaf")[1];
    const long cells = std::stol(testsupport::sqlite3Query(source_, "SELECT ncell FROM dbstat WHERE pageno = " + std::to_string(leaf)));
    overwrite(leaf, 3, std::string{static_cast<char>((cells - 1) >> 8), static_cast<char>((cells - 1) & 0xff)});
    std::vector<engine::Database::RowLoss> losses;
    EXPECT_EQ(compacted(losses).size(), before_.size() - 1);
    ASSERT_EQ(losses.size(), 1U);
    EXPECT_EQ(losses[0].rows, 1);
}

// A cell of a leaf whose rowid became the one before it: the copy keeps one of the two rows, and
// the table's one index, which still lists the other, cannot be told from a changed index entry.
// The loss is doubtful, never nothing.
TEST_F(SalvageTest, RowidChangedIntoItsNeighboursIsNeverALossUnsaid) {
    const long leaf = pagesOf("T", "leaf")[1];
    const long size = std::stol(testsupport::sqlite3Query(source_, "PRAGMA page_size"));
    std::string page(static_cast<std::size_t>(size), '\0');
    {
        std::ifstream file(source_, std::ios::binary);
        file.seekg((leaf - 1) * size);
        file.read(page.data(), size);
    }
    const auto cellAt = [&](int i) {
        return (static_cast<unsigned char>(page[8 + 2 * i]) << 8) | static_cast<unsigned char>(page[9 + 2 * i]);
    };
    // Each cell: its payload's size (one byte here), then its rowid (two bytes past the first leaf).
    const std::string rowid = page.substr(static_cast<std::size_t>(cellAt(1) + 1), 2);
    ASSERT_NE(static_cast<unsigned char>(rowid[0]) & 0x80, 0) << "a rowid of two bytes";
    overwrite(leaf, cellAt(2) + 1, rowid);
    std::vector<engine::Database::RowLoss> losses;
    EXPECT_EQ(compacted(losses).size(), before_.size() - 1);
    ASSERT_EQ(losses.size(), 1U);
    EXPECT_EQ(losses[0].table, "T");
    EXPECT_FALSE(losses[0].rows.has_value());
}

TEST_F(SalvageTest, ZeroedIndexPageLosesNoRowAndTheIndexIsThereAgain) {
    std::string index = testsupport::sqlite3Query(
        source_, "SELECT name FROM sqlite_schema WHERE type = 'index' AND tbl_name = 'T' AND sql IS NOT NULL");
    index.erase(index.find_last_not_of("\r\n") + 1);
    const std::vector<long> indexPages = pagesOf(index, "leaf");
    ASSERT_FALSE(indexPages.empty()) << index;
    zero(indexPages[indexPages.size() / 2]);
    std::vector<engine::Database::RowLoss> losses;
    EXPECT_EQ(compacted(losses), before_);
    EXPECT_TRUE(losses.empty());
    EXPECT_EQ(indexNames(*open(path("copy.mdb"), kPassword, true), "T"), std::vector<std::string>{"Key00"});
}

// The root of the table's tree zeroed: every leaf is an orphan, its rows counted once, as the
// table's; in a copy larger than SQLite's page cache, which writes pages out and reads them back.
TEST_F(SalvageTest, ZeroedRootLosesEveryRowOnceEvenPastThePageCache) {
    constexpr int kRowsPastTheCache = 100000;
    addTable(*open(source_), "Big", kRowsPastTheCache);
    appendIndex(*open(source_), "Big", {"Key00", {"K"}, true, true, true});
    zero(std::stol(testsupport::sqlite3Query(source_, "SELECT rootpage FROM sqlite_schema WHERE name = 'T'")));
    std::vector<engine::Database::RowLoss> losses;
    EXPECT_TRUE(compacted(losses).empty());
    ASSERT_EQ(losses.size(), 1U);
    EXPECT_EQ(losses[0].table, "T");
    EXPECT_EQ(losses[0].rows, kManyRows);
    EXPECT_EQ(walkKeys(*open(path("copy.mdb"), kPassword, true), "Big").size(), static_cast<std::size_t>(kRowsPastTheCache));
}

TEST_F(SalvageTest, ZeroedSchemaPageStillGivesBackEveryRow) {
    zero(1);
    std::vector<engine::Database::RowLoss> losses;
    EXPECT_EQ(compacted(losses), before_);
}

}  // namespace
}  // namespace enginetest
