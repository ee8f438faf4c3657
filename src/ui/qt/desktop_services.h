#pragma once

#include <functional>
#include <optional>
#include <string>

#include "ui/data_file_chooser.h"

class QWidget;

namespace ui {

// What the Qt view asks of the desktop. The program uses desktopServices(); tests hand
// the window fakes.
struct DesktopServices {
    // The file the user picked, as a local path; nothing when the choice was cancelled.
    std::function<std::optional<std::string>(QWidget* parent, const FileChooserSettings& settings)> chooseFile;
    // A modal box with the core's style bits (hooks.h); returns vbOK, vbYes or vbNo.
    std::function<int(QWidget* parent, const std::string& prompt, int style, const std::string& title)> messageBox;
    std::function<void()> beep;
    // Opens the log in the user's viewer for text files.
    std::function<void(const std::string& path)> openLog;
};

// Qt's file dialog and message boxes, the system beep, and the user's text viewer.
DesktopServices desktopServices();

}  // namespace ui
