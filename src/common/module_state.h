#pragma once

#include <string>

// Module-wide state, fixed once at start-up and read everywhere.
namespace repairM {

// True when the program was started with a command line: then no message box is ever shown.
extern bool CommandLineMode;
extern std::string CommandLine;
extern std::string LogPath;
extern std::string MarkerPath;

// The directory of the running executable, without a trailing separator.
const std::string& toolDirectory();
// Sets the tool's directory and every path below it (start-up, and tests that run in-process).
void setToolDirectory(const std::string& directory);
// The directory of the running executable.
std::string executableDirectory();

std::string workgroupPath();
std::string scratchFolder();
std::string scratchPath();

}  // namespace repairM
