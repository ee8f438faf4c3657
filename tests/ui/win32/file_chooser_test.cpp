// Choosing a file: the dialog as GetOpenFileNameW receives it, and what the chosen path does to
// the window.
#include <gtest/gtest.h>
#include <windows.h>
#include <commdlg.h>

#include "ui/win32/win32_window_harness.h"

namespace {

namespace layout = ui::layout;

// A cancelled dialog changes nothing: the flow's own tests say what; here the window hears of it.
TEST(FileChooserTest, DialogIsSetUpAsDesignedOverTheWindow) {
    WindowHarness window;
    window.choose(std::nullopt);
    EXPECT_EQ(textOf(window.item(layout::kPathLabel)), L"修復するファイルを指定してください。");
    EXPECT_FALSE(IsWindowEnabled(window.item(layout::kStartButton)));
    ASSERT_EQ(window.desktop.dialogs.size(), 1u);
    const ChooserCall& dialog = window.desktop.dialogs[0];
    EXPECT_EQ(dialog.owner, window.window());
    EXPECT_EQ(dialog.title, L"修復データファイル");
    EXPECT_EQ(dialog.defaultExtension, L"mdb");
    const wchar_t filter[] = L"データ ファイル (*.mdb)(*.tmp)(*.mdc)\0*.mdb;*.tmp;*.mdc";
    EXPECT_EQ(dialog.filter, std::wstring(filter, std::size(filter)));
    EXPECT_EQ(dialog.flags, static_cast<DWORD>(OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST |
                                               OFN_NOCHANGEDIR));
    EXPECT_EQ(dialog.initialFolder, window.toolDirectory().wstring());
}

struct ChoiceRow {
    const char* name;
    const wchar_t* path;
    int option;
};

void PrintTo(const ChoiceRow& row, std::ostream* out) { *out << row.name; }

class ChoiceTest : public testing::TestWithParam<ChoiceRow> {};

// The label shows the path as chosen; LCMapStringEx's narrow lower-case form of it sets the kind.
TEST_P(ChoiceTest, PathIsShownAsChosenAndItsNarrowFormSetsTheKind) {
    const ChoiceRow& row = GetParam();
    WindowHarness window;
    window.click(layout::kKindOptions[2].button);
    window.choose(row.path);
    EXPECT_EQ(textOf(window.item(layout::kPathLabel)), row.path);
    EXPECT_EQ(window.checkedOption(), row.option);
    EXPECT_TRUE(IsWindowEnabled(window.item(layout::kStartButton)));
}

INSTANTIATE_TEST_SUITE_P(
    PathWords, ChoiceTest,
    testing::Values(ChoiceRow{"capitals", L"C:\\Data\\SYSTEM\\DATA.MDB", 6},
                    ChoiceRow{"wide_katakana", L"C:\\Data\\ユーザー\\Data.MDB", 3},
                    ChoiceRow{"wide_capitals", L"C:\\Ｓｙｓ\\設計書\\f.mdb", 6},
                    ChoiceRow{"no_word_keeps_the_option", L"C:\\Data\\misc\\f.mdb", 2}),
    [](const testing::TestParamInfo<ChoiceRow>& info) { return info.param.name; });

}  // namespace
