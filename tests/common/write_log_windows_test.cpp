// The log on Windows, in the ANSI code page the process runs in. Built twice: into
// common_unit_tests, which runs in the tests' Japanese locale (code page 932), and into
// common_utf8_code_page_tests, whose manifest asks for UTF-8 (65001), as every program runs on a
// system set to "Use Unicode UTF-8 for worldwide language support". QN_ANSI_CODE_PAGE says which.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>

#include "common/module_state.h"
#include "support/test_support.h"
#include "common/write_log.h"

namespace {

// A name with characters that code page 932 lacks: the wave dash 〜 (U+301C; its 81 60 is the
// fullwidth tilde ～, U+FF5E), é, which best fit would write as e (Wine's does), and 자. With no
// best fit, each is "?".
const std::string kMessage = "ファイル　(C:\\データ\\設計〜書～é자.mdb) を修復できませんでした。";
const std::map<UINT, std::string> kMessageBytes = {
    // "ファイル　(C:\データ\", "設計〜書～é자.mdb) ", "を修復できませんでした。"
    {932,
     "\x83\x74\x83\x40\x83\x43\x83\x8b\x81\x40(C:\\\x83\x66\x81\x5b\x83\x5e\\"
     "\x90\xdd\x8c\x76?\x8f\x91\x81\x60??.mdb) "
     "\x82\xf0\x8f\x43\x95\x9c\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81\x42"},
    {CP_UTF8, kMessage},
};

TEST(LogInTheAnsiCodePage, IsWrittenByteForByte) {
    ASSERT_EQ(GetACP(), static_cast<UINT>(QN_ANSI_CODE_PAGE));
    testsupport::TempDir dir;
    repairM::setToolDirectory(testsupport::utf8Of(dir.path()));
    repairM::WriteLog(kMessage);
    const std::string log = testsupport::readBytes(repairM::LogPath);
    // The time of day, the seconds since midnight, the message.
    const std::size_t time = log.find(',');
    const std::size_t seconds = log.find(',', time + 1);
    ASSERT_NE(seconds, std::string::npos) << log;
    EXPECT_GT(time, 0U) << "no time of day";
    EXPECT_GT(seconds, time + 1) << "no seconds";
    EXPECT_EQ(log.substr(seconds + 1), kMessageBytes.at(QN_ANSI_CODE_PAGE) + "\r\n");
}

}  // namespace
