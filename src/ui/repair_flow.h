#pragma once

#include <string>

#include "ui/core_services.h"
#include "ui/window_view.h"

namespace ui {

// The window's flow, the same on every platform: its states, what each click does, which
// box comes with which text, the bar, and the rule that reads the kind from a path. A view
// forwards its clicks here and carries out what the flow asks of it.
class RepairFlow {
public:
    RepairFlow(WindowView& view, CoreServices core);

    // The view has made its controls: they take the state of an opening window.
    void open();
    // The file button: the chosen path is shown and selects its kind.
    void chooseFile();
    // The start button: repairs the file shown and reports the outcome.
    void startRepair();
    // The cancel button: closes the window.
    void cancel();
    // Whether the window may close now (its close box): not while a repair runs.
    bool mayClose() const;
    // One finished step of the running repair (StepProgress).
    void stepProgress();

private:
    enum class State { NoFile, FileChosen, Running };

    // Shows `outcome` and, when there is a log, offers to open it.
    void offerLog(const std::string& outcome);
    // Hides the bar, beeps and shows an outcome box titled "確認"; returns the answer.
    int announce(const std::string& prompt, int style);
    std::string selectedKindKey() const;
    void endRun();

    WindowView& view_;
    CoreServices core_;
    State state_ = State::NoFile;
    // The chosen file exactly as chosen: it is the one repaired.
    std::string path_;
    int progress_ = 0;
};

}  // namespace ui
