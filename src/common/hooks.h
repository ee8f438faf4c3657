#pragma once

#include <functional>
#include <string>

// The two ways the core reaches the window. Window mode installs them; command-line
// mode leaves them empty, and nothing is ever shown while CommandLineMode is set.
namespace repairM {

// Message-box styles (buttons + icon + default button), as the window understands them.
constexpr int vbOKOnly = 0;
constexpr int vbYesNo = 4;
constexpr int vbExclamation = 48;
constexpr int vbInformation = 64;
constexpr int vbDefaultButton2 = 256;
// Answers.
constexpr int vbOK = 1;
constexpr int vbYes = 6;
constexpr int vbNo = 7;

using MessageBoxHook = std::function<int(const std::string& prompt, int style, const std::string& title)>;
using ProgressHook = std::function<void()>;

void installHooks(MessageBoxHook messageBox, ProgressHook progress);

// Shows a modal message box and returns the answer; returns 0 without showing anything
// in command-line mode or when no window is there.
int MsgBox(const std::string& prompt, int style, const std::string& title);

// An error trap's box: the description, information icon, title "エラー".
void showErrorBox(const std::string& description);

// Advances the window's progress bar by one; does nothing without a window.
void StepProgress();

}  // namespace repairM
