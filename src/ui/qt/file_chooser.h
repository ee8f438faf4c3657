#pragma once

#include <memory>
#include <optional>
#include <string>

class QFileDialog;
class QString;
class QWidget;

namespace ui {

// The "open" dialog for a host data file, starting in `folder`: existing files only,
// one filter over the three data-file suffixes (matched in any letter case).
std::unique_ptr<QFileDialog> makeDataFileDialog(QWidget* parent, const QString& folder);

// Lets the user pick a data file, starting in the tool's directory. The local path of the
// file, or nothing when the dialog was cancelled.
std::optional<std::string> chooseDataFile(QWidget* parent);

}  // namespace ui
