// Two repairs of different files from the same tool folder share its scratch folder: while one
// holds it the other fails cleanly at compaction. Neither file is harmed, and no file ever
// receives the other's repaired copy.
#include "faults/fault_fixture.h"

namespace faults {
namespace {

class RacingRepairs : public FaultFixture {
protected:
    void SetUp() override {
        FaultFixture::SetUp();
        first_ = fileNeedingRepair("design", kDesignKey, "first.mdb");
        second_ = fileNeedingRepair("work", kWorkKey, "second.mdb");
        firstReference_ = referenceRepair(first_, kDesignKey);
        secondReference_ = referenceRepair(second_, kWorkKey);
    }

    // A run ended either repaired with its own copy or failed with its file as it was.
    static bool ownOutcome(const Ending& ending, const std::string& file, const RepairReference& reference) {
        const std::string now = testsupport::readBytes(file);
        return (ending.code == 0 && now == reference.repaired) || (ending.code == 1 && now == reference.before);
    }

    std::string first_;
    std::string second_;
    RepairReference firstReference_;
    RepairReference secondReference_;
};

TEST_F(RacingRepairs, SecondFailsCleanlyWhileTheFirstHoldsTheScratchFolder) {
    const long rename = firstReference_.replacingRename(first_);
    // Just after the scratch folder was taken (calls 2 and 3 create the lock and the copy), the
    // compaction's and the rebuild's writes, the rename that replaces the original.
    for (const long at : {4L, rename / 3, 2 * rename / 3, rename}) {
        SCOPED_TRACE("first repair stopped before call " + std::to_string(at));
        testsupport::writeBytes(first_, firstReference_.before);
        Child first = startFaultedRepair(first_, kDesignKey, at, "stop");
        ASSERT_TRUE(first.waitStopped());

        const Ending second = runRepair(second_, kWorkKey);
        expectFailureLeavingFile(second, second_, secondReference_.before);
        const std::vector<std::string> lines = logMessages();
        ASSERT_EQ(lines.size(), 3U);
        EXPECT_NE(lines[0].find("別の修復が使用中です"), std::string::npos) << lines[0];
        EXPECT_EQ(lines[1], "ファイル　(" + second_ + ") を最適化できませんでした。");

        first.resume();
        const Ending ending = first.wait();
        EXPECT_EQ(ending.code, 0) << testsupport::readBytes(logPath()) << ending.errors;
        EXPECT_TRUE(testsupport::readBytes(first_) == firstReference_.repaired) << "the first file got a wrong copy";
    }
}

TEST_F(RacingRepairs, StartedTogetherNeitherFileIsHarmed) {
    const int rounds = campaign() ? 200 : 8;
    int bothRepaired = 0;
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        testsupport::writeBytes(first_, firstReference_.before);
        testsupport::writeBytes(second_, secondReference_.before);
        Child first = startRepair(first_, kDesignKey);
        Child second = startRepair(second_, kWorkKey);
        const Ending firstEnding = first.wait();
        const Ending secondEnding = second.wait();
        EXPECT_TRUE(ownOutcome(firstEnding, first_, firstReference_)) << firstEnding.code << firstEnding.errors;
        EXPECT_TRUE(ownOutcome(secondEnding, second_, secondReference_)) << secondEnding.code << secondEnding.errors;
        EXPECT_TRUE(firstEnding.code == 0 || secondEnding.code == 0) << "neither repair ran";
        if (firstEnding.code == 0 && secondEnding.code == 0) ++bothRepaired;
    }
    std::cout << "[ faults   ] " << rounds << " races, " << bothRepaired << " with both repaired one after the other\n";
}

}  // namespace
}  // namespace faults
