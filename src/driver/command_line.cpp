#include "driver/command_line.h"

#include <vector>

#include "common/messages.h"

namespace repairM {

namespace {

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t at = text.find(separator); at != std::string::npos; at = text.find(separator, start)) {
        parts.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    parts.push_back(text.substr(start));
    return parts;
}

}  // namespace

CommandLineValues parseCommandLine(const std::string& commandLine) {
    CommandLineValues values;
    const std::vector<std::string> pieces = split(commandLine, ';');
    if (pieces.size() == 1) return values;
    for (const std::string& piece : pieces) {
        const std::vector<std::string> parts = split(piece, '=');
        if (parts.size() != 2) continue;
        if (parts[0] == msg::kDataSourceKey) values.dataSource = parts[1];
        if (parts[0] == msg::kPasswordKey) values.password = parts[1];
    }
    return values;
}

}  // namespace repairM
