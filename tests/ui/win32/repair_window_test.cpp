// The window as the system sees it: caption, controls in pixels at the window's DPI, tab order,
// the option group, the keyboard, and the core's hooks over it.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <array>
#include <vector>

#include "common/hooks.h"
#include "ui/win32/win32_window_harness.h"
#include "ui/win32/win32_window_hooks.h"

namespace {

namespace layout = ui::layout;

// left, top, right, bottom
using Box = std::array<LONG, 4>;

struct Place {
    const layout::Control* control;
    const wchar_t* caption;
    Box at96;  // the design's twips divided by 15
    Box at144;  // divided by 10, halves rounded up
};

// In the client area.
const std::vector<Place> kPlaces = {
    {&layout::kFileHeading, L"修復するファイル", {16, 16, 297, 41}, {24, 24, 446, 62}},
    {&layout::kPathLabel, L"修復するファイルを指定してください。", {16, 48, 497, 73}, {24, 72, 746, 110}},
    {&layout::kChooseButton, L"_", {504, 48, 521, 73}, {756, 72, 782, 110}},
    {&layout::kKindHeading, L"データ種類", {16, 80, 145, 105}, {24, 120, 218, 158}},
    {&layout::kKindOptions[0].button, L"作業", {424, 80, 521, 105}, {636, 120, 782, 158}},
    {&layout::kKindOptions[1].button, L"設計書", {16, 112, 113, 137}, {24, 168, 170, 206}},
    {&layout::kKindOptions[2].button, L"標準", {120, 112, 217, 137}, {180, 168, 326, 206}},
    {&layout::kKindOptions[3].button, L"ﾕｰｻﾞｰ", {216, 112, 313, 137}, {324, 168, 470, 206}},
    {&layout::kKindOptions[4].button, L"学習", {320, 112, 417, 137}, {480, 168, 626, 206}},
    {&layout::kKindOptions[5].button, L"その他", {424, 112, 521, 137}, {636, 168, 782, 206}},
    {&layout::kKindOptions[6].button, L"システム", {320, 80, 417, 105}, {480, 120, 626, 158}},
    {&layout::kProgressBar, L"", {16, 152, 289, 185}, {24, 228, 434, 278}},
    {&layout::kStartButton, L"修復実行", {312, 152, 417, 185}, {468, 228, 626, 278}},
    {&layout::kCancelButton, L"キャンセル", {432, 152, 529, 185}, {648, 228, 794, 278}},
};

Box boxOf(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

LONG fontHeight(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfHeight;
}

// What the system sends when the window meets a monitor of another DPI.
void moveToDpi(HWND window, UINT dpi) {
    RECT suggested{40, 30, 640, 330};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

// Its caption from the version resource, aware of each monitor's DPI, waiting for a file.
TEST(RepairWindowTest, OpensAsDesigned) {
    WindowHarness window;
    EXPECT_EQ(textOf(window.window()), L"データファイルの修復 ver " QN_PROJECT_VERSION);
    EXPECT_EQ(GetAwarenessFromDpiAwarenessContext(GetWindowDpiAwarenessContext(window.window())),
              DPI_AWARENESS_PER_MONITOR_AWARE);
    EXPECT_EQ(window.checkedOption(), 1);
    EXPECT_FALSE(IsWindowEnabled(window.item(layout::kStartButton)));
    const HWND bar = window.item(layout::kProgressBar);
    EXPECT_FALSE(IsWindowVisible(bar));
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 0);
    EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, FALSE, 0), 4);
}

class LayoutTest : public testing::TestWithParam<UINT> {};

TEST_P(LayoutTest, ControlsStandWhereTheDesignPutsThemInPixelsOfTheDpi) {
    const UINT dpi = GetParam();
    WindowHarness window;
    moveToDpi(window.window(), 96);
    const LONG heightAt96 = fontHeight(window.item(layout::kStartButton));
    moveToDpi(window.window(), dpi);

    RECT client{};
    GetClientRect(window.window(), &client);
    EXPECT_EQ(boxOf(client), (dpi == 96 ? Box{0, 0, 537, 194} : Box{0, 0, 806, 291}));
    RECT frame{};
    GetWindowRect(window.window(), &frame);
    EXPECT_EQ(frame.left, 40);
    EXPECT_EQ(frame.top, 30);
    for (const Place& place : kPlaces) {
        const HWND control = window.item(*place.control);
        SCOPED_TRACE(place.control->name);
        EXPECT_EQ(boxOf(placeOf(control)), dpi == 96 ? place.at96 : place.at144);
        EXPECT_EQ(textOf(control), place.caption);
        EXPECT_EQ(fontHeight(control) * 96, heightAt96 * static_cast<LONG>(dpi));
    }
}

INSTANTIATE_TEST_SUITE_P(Dpi, LayoutTest, testing::Values(96u, 144u),
                         [](const testing::TestParamInfo<UINT>& info) { return std::to_string(info.param); });

// Keys as the user presses them, through the window's own message loop.
void press(WindowHarness& window, WPARAM key) {
    PostMessageW(GetFocus(), WM_KEYDOWN, key, 0);
    window.runQueued();
}

std::vector<std::string> focusWalk(WindowHarness& window, WPARAM key, int steps) {
    std::vector<std::string> names;
    for (int i = 0; i < steps; ++i) {
        press(window, key);
        for (const Place& place : kPlaces)
            if (window.item(*place.control) == GetFocus()) names.push_back(place.control->name);
    }
    return names;
}

TEST(RepairWindowTest, TabVisitsTheButtonsInTheDesignsOrderAndTheSetOptionOnce) {
    WindowHarness window;
    window.choose(L"C:\\d\\f.mdb");
    SetFocus(window.item(layout::kCancelButton));
    EXPECT_EQ(focusWalk(window, VK_TAB, 4), (std::vector<std::string>{"Command1", "Command2", "Option1", "Command3"}));
    window.click(layout::kKindOptions[4].button);
    SetFocus(window.item(layout::kChooseButton));
    EXPECT_EQ(focusWalk(window, VK_TAB, 1), std::vector<std::string>{"Option4"});
}

TEST(RepairWindowTest, ArrowKeysSetEachOptionOfTheOneGroupInTheDesignsOrder) {
    WindowHarness window;
    SetFocus(window.option(1));
    EXPECT_EQ(focusWalk(window, VK_RIGHT, 7), (std::vector<std::string>{"Option2", "Option3", "Option4", "Option5",
                                                                         "Option6", "Option0", "Option1"}));
    EXPECT_EQ(window.checkedOption(), 1);
    window.click(layout::kKindOptions[0].button);
    EXPECT_EQ(window.checkedOption(), 0);
}

struct KeyRow {
    const char* name;
    const layout::Control* focus;
    UINT message;  // to the focused control; WM_SYSCOMMAND goes to the window
    WPARAM key;
    int dialogs;
    int boxes;
    bool closed;
};

void PrintTo(const KeyRow& row, std::ostream* out) { *out << row.name; }

class KeyTest : public testing::TestWithParam<KeyRow> {};

// Enter presses the focused push button and nothing else; Escape and the close box close as
// キャンセル does.
TEST_P(KeyTest, KeyGivesItsCommand) {
    const KeyRow& row = GetParam();
    WindowHarness window;
    window.choose(L"C:\\d\\f.mdb");
    window.desktop.choices.push_back(std::nullopt);
    SetFocus(window.item(*row.focus));
    PostMessageW(row.message == WM_SYSCOMMAND ? window.window() : GetFocus(), row.message, row.key, 0);
    window.runQueued();
    EXPECT_EQ(window.desktop.dialogs.size(), static_cast<std::size_t>(row.dialogs));
    EXPECT_EQ(window.desktop.boxes.size(), static_cast<std::size_t>(row.boxes));
    EXPECT_EQ(window.form->handle() == nullptr, row.closed);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyTest,
    testing::Values(KeyRow{"escape_closes", &layout::kKindOptions[1].button, WM_KEYDOWN, VK_ESCAPE, 1, 0, true},
                    KeyRow{"escape_on_start_closes", &layout::kStartButton, WM_KEYDOWN, VK_ESCAPE, 1, 0, true},
                    KeyRow{"close_box_closes", &layout::kStartButton, WM_SYSCOMMAND, SC_CLOSE, 1, 0, true},
                    KeyRow{"enter_on_an_option_does_nothing", &layout::kKindOptions[1].button, WM_KEYDOWN, VK_RETURN,
                           1, 0, false},
                    KeyRow{"enter_presses_the_focused_button", &layout::kChooseButton, WM_KEYDOWN, VK_RETURN, 2, 0,
                           false},
                    KeyRow{"enter_on_start_starts", &layout::kStartButton, WM_KEYDOWN, VK_RETURN, 1, 1, false},
                    KeyRow{"enter_on_cancel_closes", &layout::kCancelButton, WM_KEYDOWN, VK_RETURN, 1, 0, true}),
    [](const testing::TestParamInfo<KeyRow>& info) { return info.param.name; });

std::pair<bool, LRESULT> barOf(const WindowHarness& window) {
    const HWND bar = window.item(layout::kProgressBar);
    return {IsWindowVisible(bar) != FALSE, SendMessageW(bar, PBM_GETPOS, 0, 0)};
}

TEST(RepairWindowTest, CoreStepsTheBarAndPaintsTheWindowButTakesNoInput) {
    WindowHarness window;
    std::vector<std::pair<bool, LRESULT>> steps;
    std::vector<bool> painted;
    bool inputQueued = false;
    window.desktop.repair = [&](auto&, auto&) {
        steps.push_back(barOf(window));
        PostMessageW(window.item(layout::kCancelButton), WM_KEYDOWN, VK_SPACE, 0);
        for (int i = 0; i < 3; ++i) {
            InvalidateRect(window.window(), nullptr, TRUE);
            repairM::StepProgress();
            painted.push_back(GetUpdateRect(window.window(), nullptr, FALSE) == FALSE);
            steps.push_back(barOf(window));
        }
        MSG key;
        inputQueued = PeekMessageW(&key, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE) != FALSE;
        return true;
    };
    window.makeFile("f.mdb");
    window.choose((window.toolDirectory() / L"f.mdb").wstring());
    window.click(layout::kStartButton);
    EXPECT_EQ(steps, (std::vector<std::pair<bool, LRESULT>>{{true, 1}, {true, 2}, {true, 3}, {true, 4}}));
    EXPECT_EQ(painted, (std::vector<bool>{true, true, true}));
    EXPECT_TRUE(inputQueued);
    EXPECT_EQ(barOf(window), std::make_pair(false, LRESULT{0}));
}

TEST(RepairWindowTest, CoreErrorBoxStandsOverTheWindow) {
    WindowHarness window;
    window.desktop.repair = [](auto&, auto&) {
        repairM::showErrorBox("説明");
        return false;
    };
    window.makeFile("f.mdb");
    window.choose((window.toolDirectory() / L"f.mdb").wstring());
    window.click(layout::kStartButton);
    ASSERT_EQ(window.desktop.boxes.size(), 2u);  // then the window's own failure box
    const ShownBox& box = window.desktop.boxes[0];
    EXPECT_EQ(box.owner, window.window());
    EXPECT_EQ(box.text, L"説明");
    EXPECT_EQ(box.caption, L"エラー");
    EXPECT_EQ(box.type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
}

// How the log is opened: not at all, by the program associated with text files, or, when there
// is none, by Notepad.
enum class Viewer { None, Associated, Notepad };

struct OutcomeRow {
    const char* name;
    bool fileThere;
    bool repaired;
    bool logWritten;
    int answer;
    UINT type;
    Viewer viewer;
};

void PrintTo(const OutcomeRow& row, std::ostream* out) { *out << row.name; }

class OutcomeTest : public testing::TestWithParam<OutcomeRow> {};

// The flow's boxes reach MessageBoxW with their styles, after a MessageBeep, over the window and
// with the bar hidden; はい opens the log through the shell, or Notepad where no program opens text
// files. Which box comes with which outcome is the flow's (window_flow_test).
TEST_P(OutcomeTest, OutcomeBoxReachesTheSystem) {
    const OutcomeRow& row = GetParam();
    WindowHarness window;
    if (row.fileThere) window.makeFile("f.mdb");
    window.desktop.repair = [&](auto&, auto&) {
        if (row.logWritten) window.makeFile("QNrepair.txt");
        return row.repaired;
    };
    window.desktop.yesNoAnswer = row.answer;
    if (row.viewer == Viewer::Notepad) window.desktop.textFileResult = SE_ERR_NOASSOC;
    window.choose((window.toolDirectory() / L"f.mdb").wstring());
    window.click(layout::kStartButton);

    ASSERT_EQ(window.desktop.boxes.size(), 1u);
    const ShownBox& box = window.desktop.boxes[0];
    EXPECT_EQ(box.owner, window.window());
    EXPECT_EQ(box.caption, L"確認");
    EXPECT_EQ(box.type, row.type);
    EXPECT_FALSE(box.barVisible);
    EXPECT_EQ(window.desktop.beeps, std::vector<UINT>{MB_OK});

    const std::wstring log = (window.toolDirectory() / L"QNrepair.txt").wstring();
    std::vector<std::pair<std::wstring, std::wstring>> opened;  // file, parameters
    if (row.viewer != Viewer::None) opened.emplace_back(log, L"");
    if (row.viewer == Viewer::Notepad) opened.emplace_back(L"notepad.exe", L"\"" + log + L"\"");
    std::vector<std::pair<std::wstring, std::wstring>> calls;
    for (const ShellCall& call : window.desktop.shellCalls) {
        EXPECT_EQ(call.owner, window.window());
        EXPECT_EQ(call.verb, L"open");
        EXPECT_EQ(call.show, SW_SHOWNORMAL);
        calls.emplace_back(call.file, call.parameters);
    }
    EXPECT_EQ(calls, opened);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, OutcomeTest,
    testing::Values(OutcomeRow{"failed_log_opened", true, false, true, IDYES, 308, Viewer::Associated},
                    OutcomeRow{"log_opened_without_an_association", true, false, true, IDYES, 308, Viewer::Notepad}),
    [](const testing::TestParamInfo<OutcomeRow>& info) { return info.param.name; });

TEST(RepairWindowTest, HooksWithoutAWindowDoNothing) {
    ui::win32::StepProgress();
    EXPECT_EQ(ui::win32::showMessageBox("説明", MB_ICONINFORMATION, "エラー"), 0);
}

}  // namespace
