#pragma once

#include <optional>
#include <string>

#include "ui/data_file_chooser.h"

namespace ui {

// What the window's flow asks of a platform's view: its controls (made from
// window_layout.h), the desktop's dialogs and calls, and the platform's text conversion.
class WindowView {
public:
    virtual ~WindowView() = default;

    // The path label's text.
    virtual void showPath(const std::string& path) = 0;
    virtual void setStartEnabled(bool enabled) = 0;
    virtual void showBar(bool visible) = 0;
    virtual void setBarValue(int value) = 0;
    // Paints what changed and answers the desktop, but takes no input: a repair runs
    // inside the click.
    virtual void drawNow() = 0;
    // The index of the set option button; nothing when none is set.
    virtual std::optional<int> checkedOption() const = 0;
    virtual void checkOption(int index) = 0;
    virtual void closeWindow() = 0;

    // The chosen file's path as chosen; nothing when the chooser was cancelled.
    virtual std::optional<std::string> chooseFile(const FileChooserSettings& settings) = 0;
    // A modal box over the window with the core's style bits (hooks.h); returns vbOK,
    // vbYes or vbNo.
    virtual int messageBox(const std::string& prompt, int style, const std::string& title) = 0;
    virtual void beep() = 0;
    // Opens the log in the user's viewer for text files.
    virtual void openLog(const std::string& path) = 0;
    // The text in lower case with wide letters, digits, symbols, spaces and katakana made
    // narrow; kanji and hiragana stay. UTF-8 in and out.
    virtual std::string narrowLower(const std::string& text) const = 0;
};

}  // namespace ui
