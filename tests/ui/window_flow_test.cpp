// The window's flow, the same for every view, driven through a fake view that writes down
// every call in order.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/hooks.h"
#include "ui/repair_flow.h"

namespace {

const std::string kTool = "/tool";
const std::string kLog = "/tool/QNrepair.txt";
const std::string kPath = "/tool/作業/Data.MDB";

// The user, the platform and the core around the flow: answers as told and writes down what
// the flow asked of them, one line a call.
class FakeView : public ui::WindowView {
public:
    void showPath(const std::string& path) override { trace.push_back("path " + path); }
    void setStartEnabled(bool enabled) override { trace.push_back(enabled ? "start on" : "start off"); }
    void showBar(bool visible) override { trace.push_back(visible ? "bar shown" : "bar hidden"); }
    void setBarValue(int value) override { trace.push_back("bar " + std::to_string(value)); }
    void drawNow() override { trace.push_back("draw"); }
    std::optional<int> checkedOption() const override { return option; }
    void checkOption(int index) override {
        option = index;
        trace.push_back("option " + std::to_string(index));
    }
    void closeWindow() override { trace.push_back("close"); }
    std::optional<std::string> chooseFile(const ui::FileChooserSettings& settings) override {
        chooser = settings;
        const std::optional<std::string> choice = choices.front();
        choices.pop_front();
        return choice;
    }
    int messageBox(const std::string& prompt, int style, const std::string& title) override {
        trace.push_back("box " + std::to_string(style) + " " + title + " " + prompt);
        return (style & 0x0F) == repairM::vbYesNo ? yesNoAnswer : repairM::vbOK;
    }
    void beep() override { trace.push_back("beep"); }
    void openLog(const std::string& path) override { trace.push_back("open " + path); }
    std::string narrowLower(const std::string& text) const override {
        const auto narrow = narrowForms.find(text);
        return narrow == narrowForms.end() ? text : narrow->second;
    }

    std::vector<std::string> trace;
    std::optional<int> option;
    std::deque<std::optional<std::string>> choices;  // nothing: a cancelled chooser
    std::optional<ui::FileChooserSettings> chooser;
    int yesNoAnswer = repairM::vbNo;
    std::map<std::string, std::string> narrowForms;
};

class WindowFlowTest : public testing::Test {
protected:
    void SetUp() override {
        flow.open();
        view.trace.clear();
    }

    void choose(const std::optional<std::string>& path) {
        view.choices.push_back(path);
        flow.chooseFile();
    }

    FakeView view;
    std::set<std::string> files;
    // Like a repair: steps the bar after each of compaction, rebuild and replacement.
    std::function<RepairOutcome()> repair = [this] {
        for (int step = 0; step < 3; ++step) flow.stepProgress();
        return RepairOutcome{true, {}};
    };
    ui::RepairFlow flow{view,
                        {.fileExists = [this](const std::string& path) { return files.count(path) > 0; },
                         .repair =
                             [this](const std::string& path, const std::string& kindKey) {
                                 view.trace.push_back("repair " + path + " " + kindKey);
                                 return repair();
                             },
                         .toolDirectory = kTool,
                         .logPath = kLog}};
};

using Trace = std::vector<std::string>;

TEST_F(WindowFlowTest, OpensWaitingForAFileAndIgnoresStartUntilOne) {
    ui::RepairFlow opening(view, {});
    opening.open();
    EXPECT_EQ(view.trace, (Trace{"option 1", "start off", "bar hidden", "bar 0"}));
    view.trace.clear();
    flow.startRepair();
    choose(std::nullopt);
    flow.startRepair();
    EXPECT_EQ(view.trace, Trace{});
}

struct ChoiceRow {
    const char* name;
    std::string chosen;
    std::string narrow;  // the view's narrow lower-case form of it
    std::optional<int> option;
};

void PrintTo(const ChoiceRow& row, std::ostream* out) {
    *out << row.name;
}

class ChoiceTest : public WindowFlowTest, public testing::WithParamInterface<ChoiceRow> {};

// The path shown is the path as chosen; only its narrow form is searched for the path words.
TEST_P(ChoiceTest, ShowsThePathAndSetsTheOptionOfItsFirstWord) {
    const ChoiceRow& row = GetParam();
    view.narrowForms[row.chosen] = row.narrow;
    choose(row.chosen);
    Trace expected = {"path " + row.chosen};
    if (row.option) expected.push_back("option " + std::to_string(*row.option));
    expected.push_back("start on");
    EXPECT_EQ(view.trace, expected);
}

INSTANTIATE_TEST_SUITE_P(
    PathWords, ChoiceTest,
    testing::Values(ChoiceRow{"narrow_form_is_searched", "/Ｄ/ユーザー/Ｆ.mdb", "/d/ﾕｰｻﾞｰ/f.mdb", 3},
                    ChoiceRow{"sys_first_even_inside_a_name", "/d/作業/qnsysdata.mdb", "/d/作業/qnsysdata.mdb", 6},
                    ChoiceRow{"word_order_not_position", "/d/学習/作業.mdb", "/d/学習/作業.mdb", 0},
                    ChoiceRow{"no_word_keeps_the_option", "/d/misc/f.mdb", "/d/misc/f.mdb", std::nullopt}),
    [](const testing::TestParamInfo<ChoiceRow>& info) { return info.param.name; });

TEST_F(WindowFlowTest, ChooserOpensInTheToolDirectoryAndCancellingItKeepsTheFile) {
    files.insert(kPath);
    choose(kPath);
    choose(std::nullopt);
    EXPECT_EQ(view.chooser->initialFolder, kTool);
    view.trace.clear();
    flow.startRepair();
    EXPECT_EQ(view.trace.at(3), "repair " + kPath + " QHTEVZ5136");
}

struct OutcomeRow {
    const char* name;
    bool fileThere;
    bool repaired;
    LostRows rowsLost;
    bool logThere;
    int answer;
    std::string box;  // style, title, prompt
    bool logOpened;
    std::optional<int> option = 0;
    std::string key = "QHTEVZ5136";
};

void PrintTo(const OutcomeRow& row, std::ostream* out) {
    *out << row.name;
}

class OutcomeTest : public WindowFlowTest, public testing::WithParamInterface<OutcomeRow> {};

// Every run shows the bar, steps it once and then once for each step of the repair, hides it
// before the beep and the box, and ends with it hidden and empty, ready for the next run.
TEST_P(OutcomeTest, RunShowsTheBarThenBeepsAndShowsItsBox) {
    const OutcomeRow& row = GetParam();
    if (row.fileThere) files.insert(kPath);
    if (row.logThere) files.insert(kLog);
    view.yesNoAnswer = row.answer;
    const std::function<RepairOutcome()> steps = repair;
    repair = [&] { return RepairOutcome{steps().repaired && row.repaired, row.rowsLost}; };
    choose(kPath);
    view.option = row.option;

    Trace expected = {"bar shown", "bar 1", "draw"};
    if (row.fileThere)
        expected.insert(expected.end(),
                        {"repair " + kPath + " " + row.key, "bar 2", "draw", "bar 3", "draw", "bar 4", "draw"});
    expected.insert(expected.end(), {"bar hidden", "beep", "box " + row.box});
    if (row.logOpened) expected.push_back("open " + kLog);
    expected.insert(expected.end(), {"bar hidden", "bar 0"});
    for (int run = 0; run < 2; ++run) {
        view.trace.clear();
        flow.startRepair();
        EXPECT_EQ(view.trace, expected) << "run " << run + 1;
    }
}

const std::string kOffer = " 確認 ファイル　(" + kPath + ") を修復できませんでした。\r\rログを確認しますか。";

INSTANTIATE_TEST_SUITE_P(
    Outcomes, OutcomeTest,
    testing::Values(OutcomeRow{"file_missing", false, true, {}, true, repairM::vbYes,
                               "48 確認 修復するファイル　(" + kPath + ") がありません。", false},
                    OutcomeRow{"repaired", true, true, {}, true, repairM::vbYes,
                               "64 確認 ファイル　(" + kPath + ") を修復しました。", false},
                    OutcomeRow{"repaired_rows_lost_log_opened", true, true, {22, 19, false}, true, repairM::vbYes,
                               "308 確認 ファイル　(" + kPath +
                                   ") を修復しました。\r\r取り出せなかった行が 22 行あります。そのうち 19 行のキーをログに"
                                   "記しました。\r\rログを確認しますか。",
                               true},
                    OutcomeRow{"repaired_rows_lost_some_uncounted", true, true, {3, 3, true}, true, repairM::vbNo,
                               "308 確認 ファイル　(" + kPath +
                                   ") を修復しました。\r\r取り出せなかった行が少なくとも 3 行あります。そのうち 3 行のキーを"
                                   "ログに記しました。\r\rログを確認しますか。",
                               false},
                    OutcomeRow{"repaired_rows_lost_none_counted", true, true, {0, 0, true}, true, repairM::vbNo,
                               "308 確認 ファイル　(" + kPath +
                                   ") を修復しました。\r\r取り出せなかった行があります。\r\rログを確認しますか。",
                               false},
                    OutcomeRow{"failed_log_opened", true, false, {}, true, repairM::vbYes, "308" + kOffer, true},
                    OutcomeRow{"failed_log_declined", true, false, {}, true, repairM::vbNo, "308" + kOffer, false},
                    OutcomeRow{"failed_without_a_log", true, false, {}, false, repairM::vbYes,
                               "48 確認 ファイル　(" + kPath + ") を修復できませんでした。", false},
                    OutcomeRow{"no_option_set_gives_no_key", true, true, {}, false, repairM::vbYes,
                               "64 確認 ファイル　(" + kPath + ") を修復しました。", false, std::nullopt, ""}),
    [](const testing::TestParamInfo<OutcomeRow>& info) { return info.param.name; });

TEST_F(WindowFlowTest, CancelClosesExceptWhileARepairRuns) {
    files.insert(kPath);
    choose(kPath);
    std::vector<bool> mayClose;
    repair = [&] {
        flow.cancel();
        mayClose.push_back(flow.mayClose());
        return RepairOutcome{true, {}};
    };
    flow.startRepair();
    EXPECT_EQ(mayClose, std::vector<bool>{false});
    EXPECT_TRUE(flow.mayClose());
    EXPECT_EQ(std::count(view.trace.begin(), view.trace.end(), "close"), 0);
    flow.cancel();
    EXPECT_EQ(view.trace.back(), "close");
}

}  // namespace
