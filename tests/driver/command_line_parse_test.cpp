#include <gtest/gtest.h>

#include "driver/command_line.h"

using repairM::parseCommandLine;

TEST(ParseCommandLine, TakesBothKeysInAnyOrder) {
    auto v = parseCommandLine("Database Password=pw;Data Source=/d/f.mdb");
    EXPECT_EQ(v.dataSource, "/d/f.mdb");
    EXPECT_EQ(v.password, "pw");
}

TEST(ParseCommandLine, WithoutSemicolonTakesNothing) {
    auto v = parseCommandLine("Data Source=/d/f.mdb");
    EXPECT_EQ(v.dataSource, "");
    EXPECT_EQ(v.password, "");
}

TEST(ParseCommandLine, OnlyExactKeysWithExactlyOneEqualsCount) {
    auto v = parseCommandLine("Data Source=/a=b;data source=/x;Data Source =/y; Data Source=/z;Database Password=p=q;");
    EXPECT_EQ(v.dataSource, "");
    EXPECT_EQ(v.password, "");
}

TEST(ParseCommandLine, LaterOccurrenceReplacesEarlierAndEmptyValuesCount) {
    auto v = parseCommandLine("Data Source=/a;Data Source=/b;Database Password=x;Database Password=");
    EXPECT_EQ(v.dataSource, "/b");
    EXPECT_EQ(v.password, "");
}

TEST(ParseCommandLine, RunsOfSeparatorsAreHarmless) {
    auto v = parseCommandLine(";;;==;=;Data Source=;;Database Password=k;;");
    EXPECT_EQ(v.dataSource, "");
    EXPECT_EQ(v.password, "k");
}
