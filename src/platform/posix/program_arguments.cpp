#include "platform/program_arguments.h"

namespace platform {

std::string commandLine(int argc, char** argv) {
    // The host passes one argument; a caller that did not quote gets its words back joined.
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line += " ";
        line += argv[i];
    }
    return line;
}

std::vector<std::string> arguments(int argc, char** argv) { return std::vector<std::string>(argv + 1, argv + argc); }

void useBinaryOutput() {}

}  // namespace platform
