#include "common/hooks.h"

#include "common/messages.h"
#include "common/module_state.h"

namespace repairM {

namespace {
MessageBoxHook messageBoxHook;
ProgressHook progressHook;
}  // namespace

void installHooks(MessageBoxHook messageBox, ProgressHook progress) {
    messageBoxHook = std::move(messageBox);
    progressHook = std::move(progress);
}

int MsgBox(const std::string& prompt, int style, const std::string& title) {
    if (CommandLineMode || !messageBoxHook) return 0;
    return messageBoxHook(prompt, style, title);
}

void showErrorBox(const std::string& description) { MsgBox(description, vbInformation, msg::kErrorTitle); }

void StepProgress() {
    if (progressHook) progressHook();
}

}  // namespace repairM
