// Damaged sources: real files made by qndb, spoilt on purpose (random bytes in table pages, a
// zeroed page, a zeroed block, a spoilt header or first page, truncation at many offsets) and
// files that are not data files at all. No crash, no hang. Either a repair that brings back
// every row of the pages left intact, each row into its own table and at least as many as
// SQLite's own recovery, and that says so when rows were lost (exit status 2, a line per table,
// the damaged file kept beside the repaired one); or a failure with a log and the original as
// it was.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <set>
#include <sstream>

#include "faults/data_file_pages.h"
#include "faults/fault_fixture.h"

namespace faults {
namespace {

namespace fs = std::filesystem;

constexpr std::chrono::seconds kNoHang{30};

const std::string kSalvageHeadline = "|ファイルが壊れていたため、読める行とインデックスだけを取り出しました";

struct Damage {
    std::string what;
    std::function<void(const std::string& path)> apply;
    std::set<long> pages;  // the pages it may have spoilt
    // Whether SQLite is sure to notice it (a zeroed or missing page); random bytes inside a
    // row's values may read as other values, which nothing can tell from the real ones.
    bool alwaysNoticed = true;
};

struct Tally {
    int repaired = 0;
    int salvaged = 0;
    int lossy = 0;
    int refused = 0;
    long rowsCounted = 0;  // rows the log counts lost in tables
    long rowsNamed = 0;    // of them, rows it names by their keys
};

constexpr int kRepairedWithLoss = 2;

class DamagedSource : public FaultFixture {
protected:
    void SetUp() override {
        FaultFixture::SetUp();
        pristine_ = dataFile("design", "pristine.mdb");
        map_ = pagesOf(pristine_);
        rows_ = rowsOf(pristine_);
        keyedRows_ = keyedRowsOf(pristine_);
        size_ = static_cast<long>(fs::file_size(pristine_));
    }

    // Repairs a spoilt copy of the pristine file and judges what came of it.
    void repairDamaged(const Damage& damage) {
        SCOPED_TRACE(damage.what);
        const std::string file = tool_.file("data/damaged.mdb");
        fs::copy_file(pristine_, file, fs::copy_options::overwrite_existing);
        damage.apply(file);
        const std::string before = testsupport::readBytes(file);
        const TableRows bySqlite = rowsRecoveredBySqlite(file, tool_.path().string());
        ChildOptions options;
        options.timeout = kNoHang;
        const Ending ending = runRepair(file, kDesignKey, options);
        const std::vector<std::string> kept = keptOriginals(file);
        for (const std::string& original : kept) EXPECT_TRUE(testsupport::readBytes(original) == before);
        removeKeptOriginals(file);
        ASSERT_TRUE(ending.code == 0 || ending.code == 1 || ending.code == kRepairedWithLoss)
            << "crashed or hung: " << ending.code << "\n"
            << ending.errors;
        const std::vector<std::string> lines = logMessages();
        if (ending.code == 1) {
            ++tally_.refused;
            expectFailureLeavingFile(ending, file, before);
            EXPECT_TRUE(kept.empty());
            ASSERT_FALSE(lines.empty());
            EXPECT_EQ(lines.back(), "ファイル　(" + file + ") を修復できませんでした。");
            return;
        }
        EXPECT_TRUE(markerExists());
        ASSERT_EQ(testsupport::integrityCheck(file), "ok") << "reported repaired, but is damaged";
        const std::vector<std::string> problems = salvageProblems(file);
        // An index that disagreed with its table is rebuilt in the copy: no salvage for that.
        const bool indexesOnly = std::all_of(problems.begin(), problems.end(), [](const std::string& p) {
            return p.find("|インデックス '") != std::string::npos && p.find("' が表と食い違") != std::string::npos;
        });
        if (problems.empty() || indexesOnly) {
            ++tally_.repaired;
        } else {
            ++tally_.salvaged;
            EXPECT_EQ(problems.front(), kSalvageHeadline);
        }
        if (ending.code == kRepairedWithLoss) {
            ++tally_.lossy;
            // The damaged file stays, byte for byte, beside the repaired one, and the log says where.
            ASSERT_EQ(kept.size(), 1U);
            EXPECT_EQ(lines.back(), "ファイル　(" + file + ") の修復前のファイルを " + kept[0] + " として残しました。");
        } else {
            EXPECT_TRUE(kept.empty());
            // Only a lost password verifier made anew is worth a line then.
            for (const std::string& line : lines)
                EXPECT_NE(line.find("パスワードの検証情報が失われていたため"), std::string::npos) << line;
        }
        const TableRows rows = rowsOf(file);
        const bool rowsNamed = std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
            return line.find(") の行（") != std::string::npos;
        });
        const KeyedRows keyedRows = rowsNamed ? keyedRowsOf(file) : KeyedRows{};
        for (const auto& [table, pristineRows] : rows_) {
            SCOPED_TRACE("table " + table);
            const std::vector<std::string> named = namedKeys(lines, file, table);
            if (const std::optional<long> logged = loggedLoss(lines, file, table)) {
                EXPECT_EQ(static_cast<long>(named.size()) + unnamedRows(lines, file, table), *logged)
                    << "the rows named and those that could not be do not add up to the count";
                tally_.rowsCounted += *logged;
                tally_.rowsNamed += static_cast<long>(named.size());
            }
            const std::set<std::string> keysOfLost = keysOfRowsMissing(table, keyedRows);
            for (const std::string& key : named) EXPECT_EQ(keysOfLost.count(key), 1U) << "named but not lost: " << key;
            const long lost = lostRows(pristineRows, rowsIn(rows, table));
            if (lost > 0 && damage.alwaysNoticed) {
                EXPECT_EQ(ending.code, kRepairedWithLoss) << lost << " rows lost without a word";
            }
            // Rows whose bytes were altered but still read as values count as lost here, and
            // nothing can tell them from the real ones.
            if (const std::optional<long> logged = loggedLoss(lines, file, table)) {
                if (damage.alwaysNoticed) {
                    EXPECT_EQ(*logged, lost) << "the log miscounts the rows lost";
                } else {
                    EXPECT_LE(*logged, lost) << "the log counts more rows lost than are";
                }
            }
            EXPECT_LE(lost, lostRows(pristineRows, rowsIn(bySqlite, table))) << "SQLite's recovery brings back more";
            const std::optional<long> bound = mostLost(table, damage.pages);
            if (bound) {
                EXPECT_LE(lost, *bound) << "rows of intact pages did not come back";
            }
        }
    }

    void randomBytesIn(const std::function<bool(const Page&)>& which, int count, const char* kind);

    static const std::vector<std::string>& rowsIn(const TableRows& rows, const std::string& table) {
        static const std::vector<std::string> none;
        const auto found = rows.find(table);
        return found != rows.end() ? found->second : none;
    }

    // The count of the log's line "…のテーブル(<table>) の行を N 行取り出せませんでした。", if any.
    static std::optional<long> loggedLoss(const std::vector<std::string>& lines, const std::string& file,
                                          const std::string& table) {
        const std::string head = "ファイル　(" + file + ") のテーブル(" + table + ") の行を ";
        for (const std::string& line : lines)
            if (line.rfind(head, 0) == 0 && line.find(" 行取り出せませんでした。") != std::string::npos)
                return std::stol(line.substr(head.size()));
        return std::nullopt;
    }

    // The keys of the log's lines "…のテーブル(<table>) の行（<key>）を取り出せませんでした。", in order.
    static std::vector<std::string> namedKeys(const std::vector<std::string>& lines, const std::string& file,
                                              const std::string& table) {
        const std::string head = "ファイル　(" + file + ") のテーブル(" + table + ") の行（";
        const std::string tail = "）を取り出せませんでした。";
        std::vector<std::string> keys;
        for (const std::string& line : lines)
            if (line.rfind(head, 0) == 0 && line.size() >= head.size() + tail.size() &&
                line.compare(line.size() - tail.size(), tail.size(), tail) == 0)
                keys.push_back(line.substr(head.size(), line.size() - head.size() - tail.size()));
        return keys;
    }

    // How many of the rows that the table's count line says were lost it says could not be named.
    static long unnamedRows(const std::vector<std::string>& lines, const std::string& file, const std::string& table) {
        const std::string head = "ファイル　(" + file + ") のテーブル(" + table + ") の行を ";
        const std::string unnamed = "取り出せませんでした。うち ";
        for (const std::string& line : lines)
            if (line.rfind(head, 0) == 0 && line.find(unnamed) != std::string::npos)
                return std::stol(line.substr(line.find(unnamed) + unnamed.size()));
        return 0;
    }

    // Every key, under any unique index, of the pristine rows of `table` that `repaired` lacks.
    std::set<std::string> keysOfRowsMissing(const std::string& table, const KeyedRows& repaired) const {
        std::set<std::string> present;
        if (const auto found = repaired.find(table); found != repaired.end())
            for (const KeyedRow& row : found->second) present.insert(row.values);
        std::set<std::string> keys;
        if (const auto found = keyedRows_.find(table); found != keyedRows_.end())
            for (const KeyedRow& row : found->second)
                if (present.count(row.values) == 0) keys.insert(row.keys.begin(), row.keys.end());
        return keys;
    }

    static long lostRows(const std::vector<std::string>& pristine, const std::vector<std::string>& got) {
        std::vector<std::string> missing;
        std::set_difference(pristine.begin(), pristine.end(), got.begin(), got.end(), std::back_inserter(missing));
        return static_cast<long>(missing.size());
    }

    // How many rows of `table` the spoilt pages can take with them: none when they are not its
    // pages, the rows they hold when only its leaves are hit; no bound when its interior
    // pages, its overflow pages or the schema are hit.
    std::optional<long> mostLost(const std::string& table, const std::set<long>& pages) const {
        long cells = 0;
        for (const long number : pages) {
            const Page* page = map_.find(number);
            if (page == nullptr || page->ofIndex) continue;
            if (page->table == "sqlite_schema") return std::nullopt;
            if (page->table != table) continue;
            if (page->type != "leaf") return std::nullopt;
            cells += page->cells;
        }
        return cells;
    }

    std::vector<long> pagesWhere(const std::function<bool(const Page&)>& wanted) const {
        std::vector<long> numbers;
        for (const Page& page : map_.pages)
            if (wanted(page)) numbers.push_back(page.number);
        return numbers;
    }

    Damage zeroed(long page) const {
        return {"page " + std::to_string(page) + " zeroed",
                [=, this](const std::string& path) {
                    overwrite(path, (page - 1) * map_.pageSize, std::string(static_cast<std::size_t>(map_.pageSize), '\0'));
                },
                {page}};
    }

    void report(const std::string& what) {
        RecordProperty(what, tally_.repaired + tally_.salvaged + tally_.refused);
        std::cout << "[ faults   ] " << what << ": " << tally_.repaired << " repaired, " << tally_.salvaged
                  << " salvaged (" << tally_.lossy << " with rows lost: " << tally_.rowsCounted << " counted, "
                  << tally_.rowsNamed << " of them named), " << tally_.refused << " refused\n";
    }

    std::string pristine_;
    PageMap map_;
    TableRows rows_;
    KeyedRows keyedRows_;
    long size_ = 0;
    Tally tally_;
};

// Runs of random bytes written into the pages that `which` picks, `count` of them (all of a
// campaign's).
void DamagedSource::randomBytesIn(const std::function<bool(const Page&)>& which, int count, const char* kind) {
    std::mt19937 random(randomSeed());
    const std::vector<long> pages = pagesWhere(which);
    for (int i = 0; i < count && !HasFatalFailure(); ++i) {
        const long page = pages[random() % pages.size()];
        std::string bytes(1 + random() % 48, '\0');
        for (char& b : bytes) b = static_cast<char>(random());
        const long offset = (page - 1) * map_.pageSize + static_cast<long>(random() % (map_.pageSize - bytes.size()));
        repairDamaged({std::to_string(bytes.size()) + " random bytes at " + std::to_string(offset) + " (page " +
                           std::to_string(page) + ", seed " + std::to_string(randomSeed()) + ")",
                       [=](const std::string& path) { overwrite(path, offset, bytes); },
                       {page},
                       false});
    }
    report(kind);
}

TEST_F(DamagedSource, RandomBytesInTablePages) {
    randomBytesIn([](const Page& p) { return !p.ofIndex && p.table.rfind("_qn_", 0) != 0 && p.table != "sqlite_schema"; },
                  campaign() ? 1000 : 20, "random bytes");
}

// Bytes of an index entry that change its values but not its shape pass SQLite's quick check:
// only proving every index against its table tells such an index from a sound one.
TEST_F(DamagedSource, RandomBytesInIndexPages) {
    randomBytesIn([](const Page& p) { return p.ofIndex && p.table.rfind("_qn_", 0) != 0; }, campaign() ? 1000 : 20,
                  "random bytes in indexes");
}

TEST_F(DamagedSource, ZeroedPageOfEveryKind) {
    // The schema, the bookkeeping, a table's interior page, leaves, an index page, the last page.
    std::vector<long> pages = {1, map_.pages.back().number};
    for (const std::string table : {"_qn_meta", "_qn_index", "Data", "T000", "T041"}) {
        for (const long n : pagesWhere([&](const Page& p) { return p.table == table; })) {
            pages.push_back(n);
            if (!campaign()) break;
        }
    }
    const std::vector<long> leaves = pagesWhere([](const Page& p) { return p.type == "leaf" && !p.ofIndex; });
    pages.push_back(leaves[leaves.size() / 2]);
    if (campaign())
        for (const Page& page : map_.pages) pages.push_back(page.number);
    for (const long page : pages) {
        repairDamaged(zeroed(page));
        if (HasFatalFailure()) return;
    }
    report("zeroed pages");
}

// The schema lies on pages up to the end of the file (the engine's triggers come last), so most
// cuts take some of it: what the layout and SQLite's recovery still find comes back, and the
// rest is reported lost.
TEST_F(DamagedSource, TruncatedAtManyOffsets) {
    std::vector<long> offsets = {0, 1, 99, 100, map_.pageSize - 1, map_.pageSize, map_.pageSize + 1, size_ - 1};
    std::mt19937 random(randomSeed());
    const int count = campaign() ? 400 : 8;
    for (int i = 0; i < count; ++i) offsets.push_back(static_cast<long>(random() % static_cast<unsigned long>(size_)));
    for (const long offset : offsets) {
        std::set<long> cut;
        for (long page = offset / map_.pageSize + 1; page <= size_ / map_.pageSize; ++page) cut.insert(page);
        repairDamaged({"truncated to " + std::to_string(offset) + " bytes",
                       [=](const std::string& path) { truncateTo(path, offset); }, cut});
        if (HasFatalFailure()) return;
    }
    report("truncations");
}

// Damage that spares no page of a kind: the first 100 bytes (SQLite's header), the whole first
// page (the header and the schema that leads to every table), 64 KiB blocks at a few places.
// The layout puts back in its table every record that the schema page led to.
TEST_F(DamagedSource, HeaderFirstPageAndBlocks) {
    const auto zeroBytes = [](long offset, long count, std::set<long> pages) {
        return Damage{std::to_string(count) + " bytes zeroed at " + std::to_string(offset),
                      [=](const std::string& path) { overwrite(path, offset, std::string(static_cast<std::size_t>(count), '\0')); },
                      std::move(pages)};
    };
    repairDamaged(zeroBytes(0, 100, {}));
    repairDamaged(zeroBytes(0, map_.pageSize, {}));
    // A host killed inside a write, and the settings' page lost: the hot journal is rolled back
    // first, then the damaged file is salvaged under the key given.
    const long settings = pagesWhere([](const Page& p) { return p.table == "_qn_meta"; }).front();
    repairDamaged({"a hot journal, and the settings' page zeroed",
                   [&](const std::string& path) {
                       leaveKilledHost(path, KilledHost::InsideAWrite);
                       overwrite(path, (settings - 1) * map_.pageSize,
                                 std::string(static_cast<std::size_t>(map_.pageSize), '\0'));
                   },
                   {settings}});
    EXPECT_TRUE(sidecarsOf(tool_.file("data/damaged.mdb")).empty());
    EXPECT_EQ(tally_.lossy, 0) << "every row lives on pages left intact";
    constexpr long kBlock = 65536;
    for (const long at : {size_ / 5, size_ / 2, size_ - kBlock}) {
        std::set<long> pages;
        for (long page = at / map_.pageSize + 1; page <= (at + kBlock) / map_.pageSize; ++page) pages.insert(page);
        repairDamaged(zeroBytes(at - at % map_.pageSize, kBlock, pages));
        if (HasFatalFailure()) return;
    }
    report("header, first page, blocks");
}

// A salvage that lost rows says how many, and names each by its key where an index of the damaged
// file still names it: here the rows of one leaf, whose keys are read from the undamaged original.
TEST_F(DamagedSource, SalvagedFileListsWhatWasLost) {
    enum class Zeroed { Leaf, LeafAndItsIndexPages, IndexPage };
    struct Case {
        const char* name;
        std::string kind;
        std::string key;
        std::string table;
        Zeroed zeroed;
        std::string edit;  // SQL run on the original first
    };
    const std::vector<Case> cases = {
        {"a leaf whose indexes survive", "design", kDesignKey, "T000", Zeroed::Leaf, ""},
        {"a leaf of a table with one index", "design", kDesignKey, "T042", Zeroed::Leaf, ""},
        {"a leaf of a work file, its key partly text", "work", kWorkKey, "U010", Zeroed::Leaf, ""},
        {"a leaf of Data, a key of four texts and one index", "work", kWorkKey, "Data", Zeroed::Leaf, ""},
        {"text keys with blanks, commas and quotes", "design", kDesignKey, "T010", Zeroed::Leaf,
         "UPDATE T010 SET A000 = 'a b, ''c'' \"d\" ' || rowid"},
        // At 30 rows each index is one page: every index page of the table names the leaf's rows.
        {"the leaf and the index pages that name its rows", "design", kDesignKey, "T000", Zeroed::LeafAndItsIndexPages,
         ""},
        {"an index page alone", "design", kDesignKey, "T000", Zeroed::IndexPage, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string original = dataFile(c.kind, "original.mdb");
        if (!c.edit.empty()) {
            ASSERT_EQ(testsupport::runSqlite3({original, c.edit}).exitCode, 0);
        }
        const PageMap map = pagesOf(original);
        std::vector<long> leaves;
        std::vector<long> indexPages;
        for (const Page& page : map.pages) {
            if (page.table != c.table) continue;
            if (page.ofIndex)
                indexPages.push_back(page.number);
            else if (page.type == "leaf")
                leaves.push_back(page.number);
        }
        ASSERT_GE(leaves.size(), 3U);
        const long leaf = leaves[leaves.size() / 2];
        std::vector<long> zeroedPages = {leaf};
        if (c.zeroed == Zeroed::LeafAndItsIndexPages) zeroedPages.insert(zeroedPages.end(), indexPages.begin(), indexPages.end());
        if (c.zeroed == Zeroed::IndexPage) zeroedPages = {indexPages.front()};
        const std::vector<std::string> keysOnLeaf = keysOfRowsOn(original, c.table, leaf, "Key00");
        ASSERT_EQ(static_cast<long>(keysOnLeaf.size()), map.find(leaf)->cells);

        const std::string file = tool_.file("data/damaged.mdb");
        fs::copy_file(original, file, fs::copy_options::overwrite_existing);
        for (const long page : zeroedPages)
            overwrite(file, (page - 1) * map.pageSize, std::string(static_cast<std::size_t>(map.pageSize), '\0'));
        const Ending ending = runRepair(file, c.key);
        removeKeptOriginals(file);
        const std::vector<std::string> lines = logMessages();
        const std::vector<std::string> named = namedKeys(lines, file, c.table);
        const std::string described = testsupport::qndb({"describe", file, c.key}).out;
        const std::string head = "ファイル　(" + file + ") のテーブル(" + c.table + ") の行";
        switch (c.zeroed) {
        case Zeroed::Leaf:
            EXPECT_EQ(ending.code, kRepairedWithLoss);
            EXPECT_EQ(named, keysOnLeaf);
            ASSERT_FALSE(lines.empty());
            EXPECT_EQ(lines.front(), head + "を " + std::to_string(keysOnLeaf.size()) + " 行取り出せませんでした。");
            EXPECT_EQ(rowsOf(file).at(c.table).size(), rowsOf(original).at(c.table).size() - keysOnLeaf.size());
            EXPECT_NE(described.find(c.table + ": " + std::to_string(keysOnLeaf.size()) + " 行を取り出せませんでした\n"),
                      std::string::npos)
                << described;
            break;
        case Zeroed::LeafAndItsIndexPages:
            // No tree lists the leaf's rows any more: neither how many there were nor which.
            EXPECT_EQ(ending.code, kRepairedWithLoss);
            EXPECT_EQ(named, std::vector<std::string>{});
            ASSERT_FALSE(lines.empty());
            EXPECT_EQ(lines.front(), head + "をすべて取り出せたかどうか確かめられませんでした。");
            break;
        case Zeroed::IndexPage:
            EXPECT_EQ(ending.code, 0);
            EXPECT_EQ(lines, std::vector<std::string>{});
            EXPECT_EQ(rowsOf(file), rowsOf(original));
            break;
        }
        if (!c.edit.empty()) {
            ASSERT_FALSE(named.empty());
            EXPECT_NE(named.front().find(", A000 = 'a b, ''c'' \"d\" "), std::string::npos) << named.front();
        }
        if (ending.code == kRepairedWithLoss) {
            EXPECT_NE(described.find("salvaged:\n  (file): ファイルが壊れていたため、読める行とインデックスだけを取り出しました\n"),
                      std::string::npos)
                << described;
        }
    }
}

// An index that still lists rows its table lost, or values its rows no longer hold (as many
// entries as rows: only a proof of each entry tells), passes SQLite's quick check: the copy is
// kept, with that index rebuilt.
TEST_F(DamagedSource, IndexDisagreeingWithItsTableIsRebuilt) {
    struct Case {
        const char* name;
        std::string change;  // made while the index is attached to another table
        std::size_t rowsLeft;
    };
    const std::size_t rows = rows_.at("T030").size();
    for (const Case& c : {Case{"rows deleted", "DELETE FROM T030 WHERE rowid % 5 = 0", rows - rows / 5},
                          Case{"values changed", "UPDATE T030 SET L001 = L001 + 1000000 WHERE rowid % 7 = 0", rows}}) {
        SCOPED_TRACE(c.name);
        const std::string file = tool_.file("data/damaged.mdb");
        fs::copy_file(pristine_, file, fs::copy_options::overwrite_existing);
        const std::string index = "'_qn_ix_4_T030_Key01'";
        const auto attachTo = [&](const std::string& from, const std::string& to) {
            return "PRAGMA writable_schema=ON; UPDATE sqlite_schema SET tbl_name='" + to + "', sql=replace(sql, 'ON \"" +
                   from + "\"', 'ON \"" + to + "\"') WHERE name=" + index;
        };
        for (const std::string& sql : {attachTo("T030", "T000"), c.change, attachTo("T000", "T030")})
            ASSERT_EQ(testsupport::runSqlite3({file, sql}).exitCode, 0) << sql;
        ASSERT_NE(testsupport::integrityCheck(file), "ok");

        ASSERT_EQ(runRepair(file, kDesignKey).code, 0) << testsupport::readBytes(logPath());

        EXPECT_EQ(testsupport::integrityCheck(file), "ok");
        EXPECT_EQ(rowsOf(file).at("T030").size(), c.rowsLeft);
        EXPECT_EQ(salvageProblems(file),
                  std::vector<std::string>{"T030|インデックス 'Key01' が表と食い違っていたため、作り直しました"});
    }
}

// A bookkeeping table whose definition is garbled passes SQLite's own check. Its rows still stand
// in the engine's order, and are read by position: every row and every index comes back, and
// the password verifier still decides.
TEST_F(DamagedSource, GarbledBookkeeping) {
    const std::string file = tool_.file("data/damaged.mdb");
    const auto garble = [&](const std::string& table, const std::string& column) {
        fs::copy_file(pristine_, file, fs::copy_options::overwrite_existing);
        testsupport::garbleDefinition(file, table, column);
    };
    const std::string indexList = "SELECT table_name || '.' || index_name FROM _qn_index ORDER BY 1";

    for (const auto& [table, column] : {std::pair{"_qn_index", "position"}, std::pair{"_qn_meta", "value"}}) {
        SCOPED_TRACE(table);
        garble(table, column);
        ASSERT_EQ(runRepair(file, kDesignKey).code, 0) << testsupport::readBytes(logPath());
        EXPECT_EQ(testsupport::integrityCheck(file), "ok");
        EXPECT_EQ(rowsOf(file), rows_);
        EXPECT_EQ(testsupport::sqlite3Query(file, indexList), testsupport::sqlite3Query(pristine_, indexList));
        EXPECT_EQ(salvageProblems(file), (std::vector<std::string>{kSalvageHeadline,
                                                                   std::string("|管理用の表 ") + table +
                                                                       " の定義が壊れていたため、列の順に読みました"}));
    }

    garble("_qn_meta", "value");
    const std::string before = testsupport::readBytes(file);
    const Ending ending = runRepair(file, "QHWRONG5136");
    expectFailureLeavingFile(ending, file, before);
    const std::vector<std::string> lines = logMessages();
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines[0].find("のパスワードが違います"), std::string::npos) << lines[0];
}

// A damaged tree can give back rows out of order, and rows it already gave: here a leaf holds a
// copy of an earlier leaf, and the leaf after it is lost. Salvage once walked back over the
// copied rows for ever, copying them again each time.
TEST_F(DamagedSource, RowsGivenBackTwiceAreCopiedOnce) {
    std::vector<long> leaves;  // T000's leaves in the order of their rows
    std::istringstream numbers(testsupport::sqlite3Query(
        pristine_, "SELECT pageno FROM dbstat WHERE name = 'T000' AND pagetype = 'leaf' ORDER BY path"));
    for (long number = 0; numbers >> number;) leaves.push_back(number);
    ASSERT_GE(leaves.size(), 5U);
    const long copied = leaves[1];
    const long overwritten = leaves[3];
    const long lost = leaves[4];
    const long pageSize = map_.pageSize;
    repairDamaged({"leaf " + std::to_string(overwritten) + " overwritten with leaf " + std::to_string(copied) +
                       ", leaf " + std::to_string(lost) + " zeroed",
                   [=, this](const std::string& path) {
                       overwrite(
                           path, (overwritten - 1) * pageSize,
                           testsupport::readBytes(pristine_).substr(static_cast<std::size_t>((copied - 1) * pageSize),
                                                                    static_cast<std::size_t>(pageSize)));
                       overwrite(path, (lost - 1) * pageSize, std::string(static_cast<std::size_t>(pageSize), '\0'));
                   },
                   {overwritten, lost}});
    ASSERT_EQ(tally_.salvaged, 1);
    const std::vector<std::string> rows = rowsOf(tool_.file("data/damaged.mdb")).at("T000");
    EXPECT_EQ(std::adjacent_find(rows.begin(), rows.end()), rows.end()) << "a row was copied twice";
}

// A page that claims more cells than it has: SQLite once read it differently from run to run.
TEST_F(DamagedSource, SalvageGivesTheSameFileEveryTime) {
    const long leaf = pagesWhere([](const Page& p) { return p.table == "T000" && p.type == "leaf" && !p.ofIndex; })[1];
    const std::string file = tool_.file("data/damaged.mdb");
    std::set<std::string> results;
    for (int run = 0; run < 6; ++run) {
        fs::copy_file(pristine_, file, fs::copy_options::overwrite_existing);
        overwrite(file, (leaf - 1) * map_.pageSize + 3, std::string("\x00\x40", 2));
        const Ending ending = runRepair(file, kDesignKey);
        ASSERT_TRUE(ending.code == 0 || ending.code == kRepairedWithLoss) << testsupport::readBytes(logPath());
        removeKeptOriginals(file);
        results.insert(testsupport::readBytes(file));
    }
    EXPECT_EQ(results.size(), 1U);
}

// Files that users brought, each one a repair once got wrong (tests/faults/reproducers/, xz-packed),
// with the key of its kind. Each is repaired as the damaged file it is, never refused as though
// its surroundings failed (work-random-bytes.mdb was once refused for a full disk), and keeps at
// least the rows that SQLite's own recovery brings back.
TEST_F(DamagedSource, Reproducers) {
    for (const auto& [name, key] : {std::pair{"work-random-bytes.mdb", kWorkKey}}) {
        SCOPED_TRACE(name);
        const std::string file = tool_.file(std::string("data/") + name);
        const testsupport::ProcessResult unpacked =
            testsupport::run({"/usr/bin/xz", "--decompress", "--stdout", std::string(QN_REPRODUCERS) + name + ".xz"});
        ASSERT_EQ(unpacked.exitCode, 0) << unpacked.err;
        testsupport::writeBytes(file, unpacked.out);
        const TableRows bySqlite = rowsRecoveredBySqlite(file, tool_.path().string());
        ChildOptions options;
        options.timeout = kNoHang;
        const Ending ending = runRepair(file, key, options);
        ASSERT_NE(ending.code, 1) << testsupport::readBytes(logPath());
        EXPECT_EQ(testsupport::integrityCheck(file), "ok");
        const TableRows rows = rowsOf(file);
        for (const auto& [table, recovered] : bySqlite) {
            if (table == "lost_and_found") continue;
            EXPECT_GE(rowsIn(rows, table).size(), recovered.size()) << table;
        }
    }
}

// Files that are not data files of ours, in each way they can fail to be.
TEST_F(DamagedSource, NotADataFile) {
    struct Case {
        std::string name;
        std::function<void(const std::string&)> make;
        std::string logged;  // part of the first log line
    };
    const std::string notOurs = "データ ファイルではないか、壊れています";
    const std::vector<Case> cases = {
        {"empty.mdb", [](const std::string& p) { testsupport::writeBytes(p, ""); }, notOurs},
        {"text.mdb", [](const std::string& p) { testsupport::writeBytes(p, "Data Source=x;\r\nnot a database\r\n"); },
         notOurs},
        {"foreign.mdb",
         [](const std::string& p) {
             testsupport::runSqlite3({p, "CREATE TABLE Data(A000 TEXT); INSERT INTO Data VALUES('x');"});
         },
         notOurs},
        {"workgroup.mdb", [this](const std::string& p) { fs::copy_file(tool_.file("QNsys.mdw"), p); }, notOurs},
        {"newer.mdb",
         [this](const std::string& p) {
             fs::copy_file(pristine_, p);
             testsupport::runSqlite3({p, "PRAGMA user_version=2"});
         },
         notOurs},
        {"header-only.mdb",
         [this](const std::string& p) { testsupport::writeBytes(p, testsupport::readBytes(pristine_).substr(0, 100)); },
         ""},
        {"noise.mdb",
         [](const std::string& p) {
             std::mt19937 random(randomSeed());
             std::string bytes = std::string("SQLite format 3", 16);
             while (bytes.size() < 65536) bytes += static_cast<char>(random());
             testsupport::writeBytes(p, bytes);
         },
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = tool_.file("data/" + c.name);
        c.make(file);
        const std::string before = testsupport::readBytes(file);
        ChildOptions options;
        options.timeout = kNoHang;
        const Ending ending = runRepair(file, kDesignKey, options);
        expectFailureLeavingFile(ending, file, before);
        const std::vector<std::string> lines = logMessages();
        ASSERT_EQ(lines.size(), 3U);
        EXPECT_EQ(lines[0].rfind("ファイル　(" + file + ") を最適化できませんでした。", 0), 0U) << lines[0];
        EXPECT_NE(lines[0].find(c.logged), std::string::npos) << lines[0];
    }

    const std::string folder = tool_.file("data/folder.mdb");
    fs::create_directories(folder);
    const Ending ending = runRepair(folder, kDesignKey);
    EXPECT_EQ(ending.code, 1);
    EXPECT_EQ(logMessages(), std::vector<std::string>{"修復するファイル　(" + folder + ") がありません。"});
    EXPECT_TRUE(fs::is_directory(folder));
}

}  // namespace
}  // namespace faults
