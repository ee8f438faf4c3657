#pragma once

#include <string>
#include <vector>

namespace platform {

// The command line as the host passes it: on POSIX the arguments after the program's name joined
// by single spaces; on Windows the raw text after the program's name, so that an unquoted path
// with blanks arrives whole, without the one pair of double quotes that wraps it all, if one does.
std::string commandLine(int argc, char** argv);

// The arguments after the program's name, one by one, in UTF-8.
std::vector<std::string> arguments(int argc, char** argv);

// Standard output and error write the bytes given, with no line ends added.
void useBinaryOutput();

}  // namespace platform
