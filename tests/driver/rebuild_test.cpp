// The index rebuild and the Null-key sweep, through whole repairs of damaged files.
#include <algorithm>
#include <filesystem>

#include "driver/repair_fixture.h"

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using testsupport::sqlite3Query;

class Rebuild : public RepairFixture {
protected:
    void expectRepaired(const std::string& file, const std::string& key) {
        const auto result = repairFile(file, key);
        EXPECT_EQ(result.exitCode, 0) << logText();
        EXPECT_TRUE(markerExists());
        EXPECT_EQ(testsupport::integrityCheck(file), "ok");
    }

    // "name:field,field:flags" for each index of `table`, in collection order.
    std::string indexesOf(const std::string& file, const std::string& table) {
        return sqlite3Query(file,
                            "SELECT group_concat(d, ' ') FROM (SELECT m.index_name || ':' || "
                            "(SELECT group_concat(name, ',') FROM (SELECT name FROM pragma_index_info(m.sqlite_name) "
                            "ORDER BY seqno)) || ':' || m.is_primary || m.required || m.ignore_nulls || "
                            "(SELECT \"unique\" FROM pragma_index_list(m.table_name) WHERE name = m.sqlite_name) AS d "
                            "FROM _qn_index m WHERE m.table_name = '" + table + "' ORDER BY m.position)");
    }

    std::string count(const std::string& file, const std::string& table, const std::string& where = "1") {
        return sqlite3Query(file, "SELECT count(*) FROM \"" + table + "\" WHERE " + where);
    }
};

TEST_F(Rebuild, EveryDamageActionIsUndoneOnADesignFile) {
    const std::string file = dataFile("design");
    const std::string pristine = describe(file, kDesignKey);
    damage(file, kDesignKey,
           {"drop-index", "T000", "Key02", "strip-index", "T014", "Key02", "strip-index", "Data", "Key00",
            "null-keys", "T041", "3", "null-keys", "Lock", "2", "drop-index", "T090", "Ind00"});

    expectRepaired(file, kDesignKey);

    EXPECT_EQ(count(file, "T041"), "30");
    EXPECT_EQ(count(file, "Lock"), "30");
    EXPECT_EQ(indexesOf(file, "T014").find("Key02:L000,A005,D000,D001,A000:1101"), std::string::npos)
        << "Key02 is not primary";
    EXPECT_NE(indexesOf(file, "T014").find("Key02:L000,A005,D000,D001,A000:0101"), std::string::npos)
        << indexesOf(file, "T014");
    EXPECT_NE(indexesOf(file, "Data").find("Key00:A000,A001,A002,A003:1101"), std::string::npos)
        << indexesOf(file, "Data");
    EXPECT_NE(indexesOf(file, "T041").find("Key00:L000,L001,L002,I000,L004:1101"), std::string::npos);
    // Re-created indexes come last in their collection; otherwise the file is as it was made.
    EXPECT_EQ(describe(file, kDesignKey).size(), pristine.size());
}

TEST_F(Rebuild, EveryDamageActionIsUndoneOnAWorkFile) {
    const std::string file = dataFile("work");
    damage(file, kWorkKey, {"null-keys", "U010", "4", "strip-index", "U043", "Key01", "drop-index", "U000", "Key00"});
    expectRepaired(file, kWorkKey);
    EXPECT_EQ(count(file, "U010"), "30");
    EXPECT_EQ(count(file, "U010", "L000 IS NULL"), "0");
    EXPECT_NE(indexesOf(file, "U043").find("Key01:L000,L001,L002,I000,L011,L010:0101"), std::string::npos);
    EXPECT_NE(indexesOf(file, "U000").find("Key00:L000,L001,L002:1101"), std::string::npos);
}

TEST_F(Rebuild, CompleteIndexIsKeptEvenWithExtraFieldsOrAnotherOrder) {
    const std::string file = dataFile("design");
    // Key01 of T030 in the other field order, with a field more: complete for the check.
    testsupport::runSqlite3(
        {file,
         "DROP INDEX \"_qn_ix_4_T030_Key01\"; CREATE UNIQUE INDEX \"_qn_ix_4_T030_Key01\" ON T030(L000, "
         "B000, L001)"});
    const std::string before = indexesOf(file, "T030");
    expectRepaired(file, kDesignKey);
    EXPECT_EQ(indexesOf(file, "T030"), before);
}

TEST_F(Rebuild, NullKeysAreSweptConsecutiveOnesIncluded) {
    const std::string file = dataFile("design");
    damage(file, kDesignKey, {"null-keys", "T020", "5", "null-keys", "Data", "1"});
    // Nulls at the start, in a run in the middle and at the end of the table.
    testsupport::runSqlite3({file,
                             "UPDATE T020 SET L000 = NULL WHERE rowid IN (1, 2, 10, 11, 12);"
                             "UPDATE Data SET A000 = NULL WHERE rowid = 1"});
    const std::string keptRows = count(file, "T020", "L000 IS NOT NULL");

    expectRepaired(file, kDesignKey);

    EXPECT_EQ(count(file, "T020"), keptRows);
    EXPECT_EQ(count(file, "T020", "L000 IS NULL"), "0");
    EXPECT_EQ(count(file, "Data", "A000 IS NULL"), "0");
    EXPECT_EQ(count(file, "Data"), "29");
}

TEST_F(Rebuild, FailedDeletionStopsBeforeCreating) {
    const std::string file = dataFile("design");
    // An incomplete Key01 that SQLite will not drop: the index behind a UNIQUE constraint.
    testsupport::runSqlite3({file,
                             "CREATE TABLE x AS SELECT * FROM T031; DROP TABLE T031;"
                             "CREATE TABLE T031(B000 TINYINT, L000 INTEGER, L001 INTEGER, Payload TEXT, UNIQUE(L000));"
                             "INSERT INTO T031 SELECT B000, L000, L001, Payload FROM x; DROP TABLE x;"
                             "DELETE FROM _qn_index WHERE table_name = 'T031';"
                             "INSERT INTO _qn_index VALUES('T031', 'Ind00', 'sqlite_autoindex_T031_1', 0, 0, 1, 0)"});
    const Lines lines = [&] {
        const auto result = repairFile(file, kDesignKey);
        EXPECT_EQ(result.exitCode, 1);
        return logMessages();
    }();
    EXPECT_EQ(lines, (Lines{"ファイル　(" + file + ") のテーブル(T031) のインデックス（Ind00）を削除できませんでした。",
                            "設計書ファイル　(" + file + ") を修復できませんでした。",
                            "ファイル　(" + file + ") を修復できませんでした。"}));
    EXPECT_FALSE(markerExists());
}

TEST_F(Rebuild, IndexThatCannotBeCreatedStopsTheRepair) {
    const std::string file = dataFile("design");
    // Two rows equal under Key01 of T030 (L001, L000) make the unique index impossible.
    damage(file, kDesignKey, {"drop-index", "T030", "Key01", "drop-index", "T030", "Key00", "drop-index", "T030",
                              "Ind00"});
    testsupport::runSqlite3({file, "INSERT INTO T030 SELECT * FROM T030 WHERE rowid = 1"});
    const std::string before = testsupport::readBytes(file);

    EXPECT_EQ(repairFile(file, kDesignKey).exitCode, 1);

    const Lines lines = logMessages();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "ファイル　(" + file + ") のテーブル(T030) のインデックス（Ind00）を作成できませんでした。");
    EXPECT_EQ(testsupport::readBytes(file), before);
}

TEST_F(Rebuild, TableWithoutItsKeyFieldEndsThroughTheErrorTrap) {
    const std::string file = dataFile("design");
    testsupport::runSqlite3({file, "ALTER TABLE T040 RENAME COLUMN L000 TO X000"});
    EXPECT_EQ(repairFile(file, kDesignKey).exitCode, 1);
    const Lines lines = logMessages();
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_EQ(lines[0].rfind("ファイル　(" + file + ") を修復できませんでした。", 0), 0U) << lines[0];
    EXPECT_NE(lines[0].find("'L000'"), std::string::npos) << lines[0];
    EXPECT_EQ(lines[1], "設計書ファイル　(" + file + ") を修復できませんでした。");
}

TEST_F(Rebuild, MissingPhaseOneTableSkipsEveryOtherTable) {
    const std::string file = dataFile("work");
    damage(file, kWorkKey, {"null-keys", "U000", "2"});
    testsupport::runSqlite3({file, "DROP TABLE Lock"});
    EXPECT_EQ(repairFile(file, kWorkKey).exitCode, 1);
    EXPECT_EQ(logMessages(), (Lines{"作業ファイル　(" + file + ") のテーブル(Lock) を開けませんでした。",
                                    "作業ファイル　(" + file + ") を修復できませんでした。",
                                    "ファイル　(" + file + ") を修復できませんでした。"}));
    EXPECT_EQ(testsupport::sqlite3Query(scratchPath(), "SELECT count(*) FROM U000 WHERE L000 IS NULL"), "2")
        << "no U table was visited";
}
