#include "ui/repair_flow.h"

#include <utility>

#include "common/hooks.h"
#include "common/messages.h"
#include "ui/path_kind.h"
#include "ui/ui_texts.h"
#include "ui/window_layout.h"

namespace ui {

namespace {

// How many rows were lost, when that can be counted, and how many of them the log names.
std::string lostRowsNotice(const LostRows& lost) {
    if (lost.counted == 0) return msg::kRowsLostNotice;
    return (lost.uncounted ? msg::kRowsLostAtLeastHead : msg::kRowsLostHead) + std::to_string(lost.counted) +
           msg::kRowsLostTail + msg::kRowsNamedHead + std::to_string(lost.named) + msg::kRowsNamedTail;
}

}  // namespace

RepairFlow::RepairFlow(WindowView& view, CoreServices core) : view_(view), core_(std::move(core)) {}

void RepairFlow::open() {
    view_.checkOption(layout::kInitialOption);
    view_.setStartEnabled(false);
    view_.showBar(false);
    view_.setBarValue(0);
}

void RepairFlow::chooseFile() {
    if (state_ == State::Running) return;
    std::optional<std::string> chosen = view_.chooseFile(dataFileChooser(core_.toolDirectory));
    if (!chosen) return;
    path_ = std::move(*chosen);
    view_.showPath(path_);
    // Only the search uses the narrow lower-case form; file names here are case-sensitive.
    if (const std::optional<int> option = optionForPath(view_.narrowLower(path_))) view_.checkOption(*option);
    view_.setStartEnabled(true);
    state_ = State::FileChosen;
}

void RepairFlow::cancel() {
    if (mayClose()) view_.closeWindow();
}

bool RepairFlow::mayClose() const { return state_ != State::Running; }

void RepairFlow::stepProgress() {
    view_.setBarValue(++progress_);
    view_.drawNow();
}

std::string RepairFlow::selectedKindKey() const {
    const std::optional<int> option = view_.checkedOption();
    return option ? layout::kKindOptions[static_cast<std::size_t>(*option)].kind->key : std::string();
}

int RepairFlow::announce(const std::string& prompt, int style) {
    view_.showBar(false);
    view_.beep();
    return view_.messageBox(prompt, style, msg::kConfirmTitle);
}

void RepairFlow::startRepair() {
    // Without a file the button is disabled, and a running repair holds the click.
    if (state_ != State::FileChosen) return;
    state_ = State::Running;
    // The bar is hidden and empty after every run, whatever the outcome.
    struct EndOfRun {
        RepairFlow& flow;
        ~EndOfRun() { flow.endRun(); }
    } const endOfRun{*this};
    view_.showBar(true);
    const std::string kindKey = selectedKindKey();
    stepProgress();
    if (!core_.fileExists(path_)) {
        announce(msg::kFileToRepair + path_ + msg::kTailMissing, repairM::vbOKOnly | repairM::vbExclamation);
        return;
    }
    const RepairOutcome outcome = core_.repair(path_, kindKey);
    if (!outcome.repaired) {
        offerLog(msg::kFile + path_ + msg::kTailNotRepaired);
    } else if (outcome.lost.any()) {
        // Usable, but not all that it held: the log says what is missing.
        offerLog(msg::kFile + path_ + msg::kTailRepaired + text::kParagraphBreak + lostRowsNotice(outcome.lost));
    } else {
        announce(msg::kFile + path_ + msg::kTailRepaired, repairM::vbOKOnly | repairM::vbInformation);
    }
}

void RepairFlow::endRun() {
    view_.showBar(false);
    progress_ = 0;
    view_.setBarValue(progress_);
    state_ = State::FileChosen;
}

void RepairFlow::offerLog(const std::string& outcome) {
    if (!core_.fileExists(core_.logPath)) {
        announce(outcome, repairM::vbOKOnly | repairM::vbExclamation);
        return;
    }
    const int answer = announce(outcome + text::kParagraphBreak + msg::kAskOpenLog,
                                repairM::vbYesNo | repairM::vbExclamation | repairM::vbDefaultButton2);
    if (answer == repairM::vbYes) view_.openLog(core_.logPath);
}

}  // namespace ui
