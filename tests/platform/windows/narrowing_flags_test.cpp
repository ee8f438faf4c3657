// Wine takes any flags for WideCharToMultiByte: only this choice shows what Windows would refuse.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>

#include "platform/windows/narrowing_flags.h"

namespace {

TEST(NarrowingFlags, NoBestFitWhereTheCodePageTakesTheFlag) {
    const std::map<UINT, DWORD> flagsFor = {
        {932, WC_NO_BEST_FIT_CHARS}, {1252, WC_NO_BEST_FIT_CHARS}, {CP_UTF8, 0}, {54936, 0}};
    for (const auto& [codePage, flags] : flagsFor)
        EXPECT_EQ(platform::windows::narrowingFlags(codePage), flags) << codePage;
}

}  // namespace
