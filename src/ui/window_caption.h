#pragma once

#include <string>

namespace ui {

// A program version as the window shows it: major.minor.revision.
struct ProgramVersion {
    int major;
    int minor;
    int revision;
};

// The version this build was made with: the project's.
ProgramVersion builtVersion();

// The window's caption: the design caption, " ver " and the version in plain decimal digits
// ("データファイルの修復 ver 1.0.0").
std::string windowCaption(const ProgramVersion& version);

}  // namespace ui
