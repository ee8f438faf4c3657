#pragma once

#include <string>

namespace repairM {

// One named file-system operation ("CopyFile", "Path", ...). False, with a log line and
// (unless CommandLineMode) an "エラー" box, when it fails; an unknown name does nothing.
bool FileOperation(const std::string& operation, std::string& a, std::string& b);

}  // namespace repairM
