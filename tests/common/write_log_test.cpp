#include <gtest/gtest.h>

#include "common/module_state.h"
#include "support/test_support.h"
#include "common/write_log.h"

namespace {

class WriteLogTest : public ::testing::Test {
protected:
    void SetUp() override { repairM::setToolDirectory(dir_.path().string()); }
    testsupport::TempDir dir_;
};

std::string fieldsAfterTime(const std::string& line) {
    return line.substr(line.find(',', line.find(',') + 1) + 1);
}

}  // namespace

TEST_F(WriteLogTest, AppendsOneLinePerCallWithCarriageReturnsRemoved) {
    repairM::WriteLog("first\r\nsecond\r");
    repairM::WriteLog("third");
    const std::string log = testsupport::readBytes(repairM::LogPath);
    const std::size_t end = log.find("\r\n");
    ASSERT_NE(end, std::string::npos);
    EXPECT_EQ(fieldsAfterTime(log.substr(0, end)), "first\nsecond");
    EXPECT_EQ(fieldsAfterTime(log.substr(end + 2)), "third\r\n");
}

TEST_F(WriteLogTest, SecondsFieldCarriesTheFraction) {
    repairM::WriteLog("a");
    const std::string log = testsupport::readBytes(repairM::LogPath);
    const std::size_t first = log.find(',');
    const std::string seconds = log.substr(first + 1, log.find(',', first + 1) - first - 1);
    EXPECT_LE(seconds.size(), 8U) << "single precision shows at most seven digits";
    EXPECT_NO_THROW((void)std::stof(seconds));
}

TEST_F(WriteLogTest, UnwritableLogThrowsToTheCaller) {
    repairM::setToolDirectory(dir_.file("no/such/folder"));
    EXPECT_THROW(repairM::WriteLog("x"), std::runtime_error);
}
