// Command lines qndb must refuse before touching anything.

#include <filesystem>

#include "qndb/qndb_fixture.h"

namespace qndbtest {
namespace {

class UsageTest : public QndbTest {};

TEST_F(UsageTest, MalformedCommandLinesExitWith2AndTheUsage) {
    const std::string file = path("new.mdb");
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate"},
        {"create"},
        {"create", file},
        {"create", file, "nosuchkind"},
        {"create", file, "system", "extra"},
        {"create", file, "system", "--rows"},
        {"create", file, "system", "--rows", "ten"},
        {"create", file, "system", "--rows", "-1"},
        {"create", file, "system", "--rows", "10000001"},
        {"create", file, "system", "--rows", "5", "--rows", "6"},
        {"create", file, "system", "--seed", "1.5"},
        {"create", file, "system", "--seed", "18446744073709551616"},
        {"create", file, "system", "--password", "a;PWD=b"},
        {"create", file, "system", "--colour", "red"},
        {"describe", file},
        {"describe", file, "pw", "--yaml"},
        {"describe", file, "pw;x"},
        {"workgroup", file, "admin"},
        {"workgroup", file, "admin", "pw", "more"},
        {"damage", file},
        {"--help", "extra"},
    };
    for (const auto& args : cases) {
        const testsupport::ProcessResult result = testsupport::qndb(args, true);
        EXPECT_EQ(result.exitCode, 2) << ::testing::PrintToString(args);
        EXPECT_EQ(result.err.rfind("qndb: ", 0), 0U) << result.err;
        EXPECT_NE(result.err.find("usage:"), std::string::npos);
        EXPECT_EQ(result.out, "");
    }
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(UsageTest, HelpGoesToStandardOutput) {
    const testsupport::ProcessResult result = testsupport::qndb({"--help"});
    EXPECT_EQ(result.out.rfind("usage:", 0), 0U);
    EXPECT_EQ(result.err, "");
}

TEST_F(UsageTest, FullOutputIsAnError) {
    if (!testsupport::onPosix()) GTEST_SKIP() << "/dev/full and the shell's redirection are POSIX means";
    testsupport::qndb({"create", path("a.mdb"), "system", "--rows", "1"});
    const testsupport::ProcessResult result = testsupport::run(
        {"/bin/sh", "-c", "exec \"$0\" describe \"$1\" QHMOR5136 > /dev/full", testsupport::binPath("qndb"),
         path("a.mdb")});
    EXPECT_EQ(result.exitCode, 1) << result.err;
}

}  // namespace
}  // namespace qndbtest
