// The command-line parser on any bytes. Besides not crashing, what it reads must be a part of
// one piece of the line: no ";" or "=" in a value, nothing made up, nothing from a line
// without a ";".
#include <cstddef>
#include <cstdint>
#include <string>

#include "driver/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string commandLine(reinterpret_cast<const char*>(data), size);
    const repairM::CommandLineValues values = repairM::parseCommandLine(commandLine);
    for (const std::string* value : {&values.dataSource, &values.password}) {
        if (value->find_first_of(";=") != std::string::npos) __builtin_trap();
        if (!value->empty() && commandLine.find("=" + *value) == std::string::npos) __builtin_trap();
        if (!value->empty() && commandLine.find(';') == std::string::npos) __builtin_trap();
    }
    return 0;
}
