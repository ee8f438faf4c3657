#pragma once

#include <string>

namespace ui {

// The window's caption: the design caption, " ver " and the program's
// major.minor.revision in plain decimal digits ("データファイルの修復 ver 1.0.0").
std::string windowCaption();

}  // namespace ui
