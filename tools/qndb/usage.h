#pragma once

#include <stdexcept>
#include <string>

namespace qndb {

// A command line qndb cannot understand; main answers it with the usage text and exit code 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string usageText();

}  // namespace qndb
