#pragma once

#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace ui {

// Everything repairF asks of the desktop and of the core. The program uses
// desktopServices(); tests hand the window fakes.
struct WindowServices {
    // The file the user picked, as a local path; nothing when the choice was cancelled.
    std::function<std::optional<std::string>(QWidget* parent)> chooseFile;
    // A modal box with the core's style bits (hooks.h); returns vbOK, vbYes or vbNo.
    std::function<int(QWidget* parent, const std::string& prompt, int style, const std::string& title)> messageBox;
    std::function<void()> beep;
    std::function<bool(const std::string& path)> fileExists;
    // RepairDataFile: true when the file was repaired and put in place.
    std::function<bool(const std::string& path, const std::string& kindKey)> repair;
    // Opens the log in the user's viewer for text files.
    std::function<void(const std::string& path)> openLog;
};

}  // namespace ui
