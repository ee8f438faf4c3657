#include "ui/qt/qt_window_hooks.h"

#include <QApplication>

#include "ui/qt/message_box.h"
#include "ui/qt/repair_f.h"

namespace ui {

repairF* loadedRepairF() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* form = qobject_cast<repairF*>(window)) return form;
    return nullptr;
}

void StepProgress() {
    if (repairF* form = loadedRepairF()) form->stepProgress();
}

int showMessageBox(const std::string& prompt, int style, const std::string& title) {
    return execMessageBox(loadedRepairF(), prompt, style, title);
}

}  // namespace ui
