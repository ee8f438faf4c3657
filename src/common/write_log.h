#pragma once

#include <string>
#include <vector>

namespace repairM {

// Appends one time-stamped line to the log at LogPath. No error trap of its own:
// a failure to write the log throws to the caller's trap.
void WriteLog(const std::string& message);

// Appends one line per message, all stamped with the same time, opening the log once: a report
// of many lines (every row a repair lost) costs one write, not one open and close a line.
// Throws as WriteLog does; a failure leaves none of the lines or some of them.
void writeLogLines(const std::vector<std::string>& messages);

// For what is said once the outcome is settled (the file replaced): a log that cannot be written
// then costs the line, not the outcome.
void writeLogIfPossible(const std::string& message);

}  // namespace repairM
