#pragma once

#include <memory>
#include <optional>
#include <string>

#include "ui/data_file_chooser.h"

class QFileDialog;
class QWidget;

namespace ui {

// The "open" dialog that `settings` describe. Qt's dialog has no read-only choice, and a
// file that must exist lies in a folder that does; its patterns match in any letter case.
std::unique_ptr<QFileDialog> makeDataFileDialog(QWidget* parent, const FileChooserSettings& settings);

// Lets the user pick a file. Its local path, or nothing when the dialog was cancelled.
std::optional<std::string> chooseDataFile(QWidget* parent, const FileChooserSettings& settings);

}  // namespace ui
