// LCMapStringEx's narrow lower-case forms, on which the path words are searched.
#include <gtest/gtest.h>

#include "narrow_text.h"

namespace {

struct NarrowRow {
    const char* name;
    const char* text;
    const char* narrow;
};

void PrintTo(const NarrowRow& row, std::ostream* out) { *out << row.name; }

class NarrowTextTest : public testing::TestWithParam<NarrowRow> {};

TEST_P(NarrowTextTest, LowerCaseAndSingleWidth) {
    EXPECT_EQ(ui::win32::toNarrowLower(GetParam().text), GetParam().narrow);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, NarrowTextTest,
    testing::Values(NarrowRow{"katakana_folder", "ユーザー", "ﾕｰｻﾞｰ"},
                    NarrowRow{"voiced_and_small_kana", "データベース・ショップ", "ﾃﾞｰﾀﾍﾞｰｽ･ｼｮｯﾌﾟ"},
                    NarrowRow{"wide_digits_symbols_space", "１２３／（ａ）　ｂ", "123/(a) b"},
                    NarrowRow{"kanji_and_hiragana_stay", "作業の設計書", "作業の設計書"},
                    NarrowRow{"a_path", "Ｃ:\\Ｕｓｅｒｓ\\ユーザー\\作業ＡＢＣ.MDB", "c:\\users\\ﾕｰｻﾞｰ\\作業abc.mdb"},
                    NarrowRow{"empty", "", ""}),
    [](const testing::TestParamInfo<NarrowRow>& info) { return info.param.name; });

}  // namespace
