#pragma once

#include <memory>
#include <string>

class QMessageBox;
class QWidget;

namespace ui {

// A box for the core's style bits (hooks.h): the buttons (vbOKOnly, vbYesNo), the icon
// (vbExclamation, vbInformation) and vbDefaultButton2. The prompt is plain text, its
// carriage returns shown as line breaks.
std::unique_ptr<QMessageBox> makeMessageBox(QWidget* parent, const std::string& prompt, int style,
                                            const std::string& title);

// The answer (vbOK, vbYes or vbNo) that a closed box stands for.
int answerOf(const QMessageBox& box);

// Shows the box modally and returns the answer.
int execMessageBox(QWidget* parent, const std::string& prompt, int style, const std::string& title);

}  // namespace ui
