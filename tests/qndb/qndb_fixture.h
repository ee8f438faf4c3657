#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"

namespace qndbtest {

inline const std::string kSystemKey = "QHMOR5136";
inline const std::string kWorkKey = "QHTEVZ5136";
inline const std::string kDesignKey = "QHWUNK5136";

// "Data", "Lock" and, for letter 'T' or 'U', the twelve numbered tables.
std::vector<std::string> tablesFor(char letter);

// What `describe --json` must print for a fresh file of `tables` with `rows` rows each,
// built from the index catalogue.
std::string catalogueJson(const std::vector<std::string>& tables, long rows);

class QndbTest : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return dir_.file(name); }
    // Runs qndb create and expects success.
    std::string create(const std::string& name, const std::string& kind, const std::vector<std::string>& options = {});
    // The one line of `describe --json`, without its line end.
    std::string describeJson(const std::string& file, const std::string& password);
    // Expects exit 1, a one-line reason naming `mention`, and nothing on stdout.
    void expectFailure(const std::vector<std::string>& args, const std::string& mention);

    testsupport::TempDir dir_;
};

}  // namespace qndbtest
