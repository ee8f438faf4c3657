#include "common/write_log.h"

#include <stdexcept>

#include "common/descriptions.h"
#include "common/failure.h"
#include "platform/file_access.h"
#include "common/module_state.h"
#include "platform/system_error.h"
#include "platform/user_locale.h"

namespace repairM {

void WriteLog(const std::string& message) { writeLogLines({message}); }

void writeLogLines(const std::vector<std::string>& messages) {
    // Nothing to say makes no log: a run that wrote none has none.
    if (messages.empty()) return;
    // The host's tools read the log in the system's narrow encoding, its time fields in the
    // user's locale.
    const std::string time = platform::logTimeFields();
    std::string text;
    for (const std::string& message : messages) {
        std::string line;
        for (const char c : message)
            if (c != '\r') line += c;
        text += time + platform::toLogEncoding(line) + "\r\n";
    }
    if (const platform::SystemError error = platform::appendToFile(LogPath, text))
        throw Failure(describe::logNotWritten(LogPath, error.text()));
}

void writeLogIfPossible(const std::string& message) {
    try {
        WriteLog(message);
    } catch (const std::exception&) {
    }
}

}  // namespace repairM
