#pragma once

#include <cstdint>
#include <string>

// Module-wide state, fixed once at start-up and read everywhere.
namespace repairM {

// True when the program was started with a command line: then no message box is ever shown.
extern bool CommandLineMode;
extern std::string CommandLine;
extern std::string LogPath;
extern std::string MarkerPath;
// What the last repair could not bring back of a damaged file. True when it lost rows, or cannot
// tell that it did not: the file is usable, but not all that it held.
struct LostRowCounts {
    std::int64_t counted = 0;  // rows known to be lost
    std::int64_t named = 0;    // of them, the rows the log names by their keys
    bool uncounted = false;    // a table may have lost rows that nothing could count
    explicit operator bool() const { return counted > 0 || uncounted; }
};
extern LostRowCounts RowsLost;

// The directory of the running executable, without a trailing separator.
const std::string& ToolDirectory();
// Sets the tool's directory and every path below it (start-up, and tests that run in-process).
void setToolDirectory(const std::string& directory);
// The directory of the running executable.
std::string executableDirectory();

std::string WorkgroupPath();
std::string ScratchFolder();
std::string ScratchPath();

}  // namespace repairM
