// qndb damage: each action as describe shows it afterwards, and every refusal.

#include "qndb/qndb_fixture.h"

namespace qndbtest {
namespace {

using testsupport::sqlite3Query;

class DamageTest : public QndbTest {
protected:
    void SetUp() override { file_ = create("design.mdb", "design", {"--rows", "30"}); }

    void damage(const std::vector<std::string>& actions) {
        std::vector<std::string> args = {"damage", file_, kDesignKey};
        args.insert(args.end(), actions.begin(), actions.end());
        testsupport::qndb(args);
        EXPECT_EQ(testsupport::integrityCheck(file_), "ok");
    }

    // The "indexes" array of `table` in describe's JSON.
    std::string indexesOf(const std::string& table) {
        const std::string json = describeJson(file_, kDesignKey);
        const std::size_t start = json.find("{\"name\":\"" + table + "\"");
        const std::size_t open = json.find("\"indexes\":[", start);
        const std::size_t close = json.find("]}", open);
        return json.substr(open + 10, close - open - 9);
    }

    std::string file_;
};

const std::string kT000Key00 =
    "{\"name\":\"Key00\",\"fields\":[\"L000\",\"L001\",\"L002\"],\"primary\":true,\"unique\":true,\"required\":true,"
    "\"ignoreNulls\":false}";

TEST_F(DamageTest, DropIndexRemovesOnlyThatIndex) {
    damage({"drop-index", "T000", "Key02"});
    const std::string indexes = indexesOf("T000");
    EXPECT_EQ(indexes.find("\"Key02\""), std::string::npos) << indexes;
    for (const char* other : {"\"Key00\"", "\"Key01\"", "\"Key03\"", "\"Key04\""})
        EXPECT_NE(indexes.find(other), std::string::npos) << other;
    EXPECT_NE(indexesOf("U000").size(), 0U);
}

TEST_F(DamageTest, StripIndexKeepsTheFirstFieldAndTheFlags) {
    damage({"strip-index", "T000", "Key00"});
    const std::string indexes = indexesOf("T000");
    // Re-created, so it comes last in the collection.
    const std::string stripped = "{\"name\":\"Key00\",\"fields\":[\"L000\"],\"primary\":true,\"unique\":true,"
                                 "\"required\":true,\"ignoreNulls\":false}]";
    EXPECT_EQ(indexes.substr(indexes.size() - stripped.size()), stripped) << indexes;
    EXPECT_EQ(indexes.find("\"L001\",\"L002\"]"), std::string::npos);
}

TEST_F(DamageTest, StripIndexThatCannotStayUniqueLeavesItWhole) {
    file_ = create("big.mdb", "design", {"--rows", "300"});
    const testsupport::ProcessResult result =
        testsupport::qndb({"damage", file_, kDesignKey, "strip-index", "T010", "Ind00"}, true);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("Ind00"), std::string::npos) << result.err;
    EXPECT_NE(indexesOf("T010").find("{\"name\":\"Ind00\",\"fields\":[\"B000\",\"L000\",\"A000\"],\"primary\":false,"
                                     "\"unique\":true,\"required\":true"),
              std::string::npos);
    EXPECT_EQ(testsupport::integrityCheck(file_), "ok");
}

TEST_F(DamageTest, NullKeysDropsTheIndexesAndAddsRowsWithoutAKey) {
    damage({"null-keys", "T041", "4", "null-keys", "Data", "2"});
    EXPECT_EQ(indexesOf("T041"), "[]");
    EXPECT_EQ(indexesOf("Data"), "[]");
    EXPECT_EQ(sqlite3Query(file_, "SELECT count(*), count(L000), count(L001), count(I000), count(A001), count(Payload)"
                                  " FROM T041"),
              "34|30|34|34|34|34");
    EXPECT_EQ(sqlite3Query(file_, "SELECT count(*), count(A000), count(A003), count(Payload) FROM Data"), "32|30|32|32");
    EXPECT_NE(indexesOf("Lock"), "[]");
}

TEST_F(DamageTest, ActionsApplyInOrder) {
    damage({"strip-index", "T000", "Key01", "drop-index", "T000", "Key01", "drop-index", "T014", "Key02"});
    EXPECT_EQ(indexesOf("T000").find("\"Key01\""), std::string::npos);
    EXPECT_EQ(indexesOf("T014").find("\"Key02\""), std::string::npos);
    EXPECT_EQ(indexesOf("T000").find(kT000Key00), 1U);
}

TEST_F(DamageTest, WrongNamesChangeNothing) {
    const std::string before = testsupport::readBytes(file_);
    struct Case {
        std::vector<std::string> actions;
        std::string named;
    };
    const std::vector<Case> cases = {
        {{"drop-index", "T000", "Key00", "drop-index", "T999", "Key00"}, "T999"},
        {{"drop-index", "T000", "Key00", "strip-index", "T000", "Key09"}, "Key09"},
        // The first action already removes what the second names.
        {{"drop-index", "T000", "Key00", "drop-index", "T000", "Key00"}, "Key00"},
        {{"null-keys", "T000", "3", "strip-index", "T000", "Key01"}, "Key01"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"damage", file_, kDesignKey};
        args.insert(args.end(), c.actions.begin(), c.actions.end());
        expectFailure(args, c.named);
        EXPECT_EQ(testsupport::readBytes(file_), before) << c.named;
    }
}

TEST_F(DamageTest, MissingKeyFieldChangesNothing) {
    file_ = create("odd.mdb", "other", {"--rows", "2", "--password", kDesignKey});
    testsupport::runSqlite3({file_, "CREATE TABLE Extra(X INTEGER)"});
    const std::string before = testsupport::readBytes(file_);
    expectFailure({"damage", file_, kDesignKey, "null-keys", "Extra", "1"}, "L000");
    EXPECT_EQ(testsupport::readBytes(file_), before);
}

TEST_F(DamageTest, WrongPasswordChangesNothing) {
    const std::string before = testsupport::readBytes(file_);
    expectFailure({"damage", file_, kWorkKey, "drop-index", "T000", "Key00"}, "パスワード");
    EXPECT_EQ(testsupport::readBytes(file_), before);
}

TEST_F(DamageTest, MalformedActionListsAreUsageErrorsAndChangeNothing) {
    const std::string before = testsupport::readBytes(file_);
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"drop-index", "T000"},
        {"drop-index", "T000", "Key00", "strip-index"},
        {"drop-index", "T000", "Key00", "explode", "T000"},
        {"null-keys", "T000", "many"},
        {"null-keys", "T000", "0"},
        {"null-keys", "T000", "-3"},
        {"null-keys", "T000", "3x"},
        {"drop-index", "T000", "Key00", "null-keys", "T000"},
    };
    for (const auto& actions : cases) {
        std::vector<std::string> args = {"damage", file_, kDesignKey};
        args.insert(args.end(), actions.begin(), actions.end());
        const testsupport::ProcessResult result = testsupport::qndb(args, true);
        EXPECT_EQ(result.exitCode, 2) << ::testing::PrintToString(actions);
        EXPECT_NE(result.err.find("usage:"), std::string::npos);
    }
    EXPECT_EQ(testsupport::readBytes(file_), before);
}

}  // namespace
}  // namespace qndbtest
