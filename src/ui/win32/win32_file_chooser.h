#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "ui/data_file_chooser.h"
#include "ui/win32/desktop.h"

namespace ui::win32 {

// Lets the user pick a file in the "open" dialog that `settings` describe, owned by `owner`.
// The picked file's full path, or nothing when the dialog was cancelled or failed.
std::optional<std::string> chooseDataFile(const Desktop& desktop, HWND owner, const FileChooserSettings& settings);

}  // namespace ui::win32
