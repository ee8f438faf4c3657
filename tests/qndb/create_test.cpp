// qndb create: every kind, its tables, indexes and rows, and the refusals.

#include <filesystem>

#include "qndb/qndb_fixture.h"

namespace qndbtest {
namespace {

namespace fs = std::filesystem;
using testsupport::sqlite3Query;

struct KindCase {
    const char* kind;
    const char* key;
    char letter;
};

void PrintTo(const KindCase& c, std::ostream* out) { *out << c.kind; }

class CreateEachKind : public QndbTest, public ::testing::WithParamInterface<KindCase> {};

TEST_P(CreateEachKind, HasTheCatalogueIndexesTheRowsAndTheKindsPassword) {
    const std::string file = create("file.mdb", GetParam().kind, {"--rows", "7"});
    EXPECT_EQ(describeJson(file, GetParam().key), catalogueJson(tablesFor(GetParam().letter), 7));
    EXPECT_EQ(testsupport::integrityCheck(file), "ok");
    expectFailure({"describe", file, "QHWRONG"}, file);
}

INSTANTIATE_TEST_SUITE_P(Kinds, CreateEachKind,
                         ::testing::Values(KindCase{"system", "QHMOR5136", '\0'}, KindCase{"work", "QHTEVZ5136", 'U'},
                                           KindCase{"design", "QHWUNK5136", 'T'},
                                           KindCase{"standard", "QHRIPO5136", '\0'},
                                           KindCase{"user", "QHGAFE5136", '\0'},
                                           KindCase{"learning", "QHZOLU5136", '\0'},
                                           KindCase{"other", "QHBEXI5136", '\0'}),
                         [](const ::testing::TestParamInfo<KindCase>& info) { return std::string(info.param.kind); });

class CreateTest : public QndbTest {};

TEST_F(CreateTest, ColumnsAreTypedByTheirFirstLetterAndEveryValueIsSet) {
    const std::string file = create("design.mdb", "design", {"--rows", "40"});
    EXPECT_EQ(sqlite3Query(file, "SELECT group_concat(name || ':' || type, ' ') FROM pragma_table_info('T014')"),
              "A000:TEXT A004:TEXT A005:TEXT B000:TINYINT D000:REAL D001:REAL L000:INTEGER Payload:TEXT");
    EXPECT_EQ(sqlite3Query(file, "SELECT DISTINCT typeof(A000) || typeof(B000) || typeof(D000) || typeof(L000) ||"
                                 " typeof(Payload) FROM T014"),
              "textintegerrealintegertext");
    EXPECT_EQ(sqlite3Query(file, "SELECT DISTINCT typeof(I000) FROM T043"), "integer");
    EXPECT_EQ(sqlite3Query(file, "SELECT min(B000) >= 0 AND max(B000) <= 255 FROM T010"), "1");
    EXPECT_EQ(sqlite3Query(file, "SELECT min(I000) >= -32768 AND max(I000) <= 32767 FROM T041"), "1");
}

TEST_F(CreateTest, PayloadIsJapaneseTextOf100To300Characters) {
    const std::string file = create("system.mdb", "system", {"--rows", "200"});
    EXPECT_EQ(sqlite3Query(file, "SELECT min(length(Payload)) >= 100, max(length(Payload)) <= 300,"
                                 " count(DISTINCT length(Payload)) > 50 FROM Data"),
              "1|1|1");
    // Three bytes a character: never a character cut in half.
    EXPECT_EQ(sqlite3Query(file, "SELECT count(*) FROM Data WHERE length(CAST(Payload AS BLOB)) != 3 * length(Payload)"),
              "0");
}

TEST_F(CreateTest, SameSeedSameRowsOtherSeedOtherRows) {
    const std::string a = create("a.mdb", "system", {"--rows", "5", "--seed", "42"});
    const std::string b = create("b.mdb", "system", {"--seed", "42", "--rows", "5"});
    const std::string c = create("c.mdb", "system", {"--rows", "5", "--seed", "43"});
    const std::string rows = "SELECT * FROM Data; SELECT * FROM Lock";
    EXPECT_EQ(sqlite3Query(a, rows), sqlite3Query(b, rows));
    EXPECT_NE(sqlite3Query(a, rows), sqlite3Query(c, rows));
    EXPECT_EQ(sqlite3Query(create("d.mdb", "system", {"--rows", "5"}), rows),
              sqlite3Query(create("e.mdb", "system", {"--rows", "5", "--seed", "1"}), rows));
}

TEST_F(CreateTest, EveryIndexStaysUniqueWhenStrippedToItsFirstField) {
    // Each field differs from row to row, so even the first field alone of any index is unique
    // (bytes up to 256 rows): damage can strip any index of a small file.
    const std::string file = create("design.mdb", "design", {"--rows", "256"});
    EXPECT_EQ(sqlite3Query(file, "SELECT count(DISTINCT B000) FROM T090"), "256");
    EXPECT_EQ(sqlite3Query(file, "SELECT count(DISTINCT A004) FROM T010"), "256");
    EXPECT_EQ(sqlite3Query(file, "SELECT count(DISTINCT L001) FROM T030"), "256");
}

TEST_F(CreateTest, PasswordOptionReplacesTheKindsKey) {
    const std::string file = create("other.mdb", "other", {"--password", "MYKEY"});
    EXPECT_NE(describeJson(file, "MYKEY").find("\"rows\":20"), std::string::npos);
    expectFailure({"describe", file, "QHBEXI5136"}, "パスワード");
    const std::string open = create("open.mdb", "user", {"--password", "", "--rows", "0"});
    EXPECT_EQ(describeJson(open, "anything"), catalogueJson(tablesFor('\0'), 0));
}

TEST_F(CreateTest, ExistingFileIsRefusedAndLeftAlone) {
    testsupport::writeBytes(path("taken.mdb"), "someone else's file");
    expectFailure({"create", path("taken.mdb"), "system"}, path("taken.mdb"));
    EXPECT_EQ(testsupport::readBytes(path("taken.mdb")), "someone else's file");
    const std::string made = create("made.mdb", "system", {"--rows", "3"});
    const std::string before = testsupport::readBytes(made);
    expectFailure({"create", made, "design"}, made);
    EXPECT_EQ(testsupport::readBytes(made), before);
}

TEST_F(CreateTest, FailureLeavesNoFileBehind) {
    expectFailure({"create", path("missing/file.mdb"), "system"}, path("missing/file.mdb"));
    EXPECT_FALSE(fs::exists(path("missing")));
    // A file-size limit makes the disk "full" half-way through the rows.
    if (!testsupport::onPosix()) GTEST_SKIP() << "the file-size limit is a POSIX shell's";
    const testsupport::ProcessResult result = testsupport::run(
        {"/bin/sh", "-c", "trap '' XFSZ; ulimit -f 200; exec \"$0\" create \"$1\" design --rows 2000",
         testsupport::binPath("qndb"), path("full.mdb")});
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_NE(result.err.find(path("full.mdb")), std::string::npos) << result.err;
    EXPECT_TRUE(fs::is_empty(dir_.path())) << "left behind: " << fs::directory_iterator(dir_.path())->path();
}

}  // namespace
}  // namespace qndbtest
