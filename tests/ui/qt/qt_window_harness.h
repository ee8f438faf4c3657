#pragma once

#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/hooks.h"
#include "ui/qt/repair_f.h"

// A message box as the user saw it, with the bar of the window behind it.
struct ShownBox {
    std::string prompt;
    int style = 0;
    std::string title;
    bool barVisible = false;
    int barValue = -1;
};

// Stands in for the user and the desktop around repairF: answers the chooser and the boxes
// as told and records what the window showed and asked for. Files exist when they do on disk.
struct FakeDesktop {
    ui::DesktopServices services();
    // The core's services, the tool directory and the log being the harness's own (set first).
    ui::CoreServices core();

    std::deque<std::optional<std::string>> choices;  // nothing: a cancelled chooser
    int yesNoAnswer = repairM::vbNo;
    std::function<bool(const std::string& path, const std::string& kindKey)> repair = [](auto&, auto&) {
        return true;
    };

    std::vector<ShownBox> boxes;
    std::vector<std::pair<std::string, std::string>> repairs;  // path, kind key
    std::vector<std::string> openedLogs;
    int beeps = 0;
};

// A shown repairF over a FakeDesktop, with a tool directory of its own (where the log lives)
// and the core's hooks installed as window mode installs them.
class WindowHarness {
public:
    WindowHarness();
    ~WindowHarness();

    template <class Control>
    Control* control(const char* name) {
        return form->findChild<Control*>(QString::fromLatin1(name));
    }
    void click(const char* name);
    // Picks `path` in the chooser; nothing cancels it.
    void choose(const std::optional<std::string>& path);
    int checkedOption();
    // An empty file below the tool directory.
    std::string makeFile(const std::string& relativePath) const;
    std::string toolDirectory() const { return toolDir_.path().toStdString(); }

    FakeDesktop desktop;
    std::unique_ptr<repairF> form;

private:
    QTemporaryDir toolDir_;
};
