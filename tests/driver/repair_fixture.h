#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"

// A tool folder of its own for each test: a copy of QNrepair, the workgroup file, the
// scratch folder made on first run, and a data folder holding files that qndb made.
class RepairFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;

    std::string toolDir() const { return testsupport::utf8Of(tool_.path()); }
    // The copy of QNrepair in the tool folder.
    std::string programPath() const { return tool_.file(testsupport::executableName("QNrepair")); }
    std::string logPath() const { return tool_.file("QNrepair.txt"); }
    // The log's text (in UTF-8, whatever the system writes it in).
    std::string logText() const { return testsupport::readLog(logPath()); }
    std::string markerPath() const { return tool_.file("QNrepair.dat"); }
    std::string scratchPath() const { return tool_.file("temp/repair.mdb"); }

    // A fresh copy of a pristine file of `kind` ("design", "work", "system", or a password
    // for files of kind "other" with that password), at `name` below the data folder.
    std::string dataFile(const std::string& kind, const std::string& name = "file.mdb");

    testsupport::ProcessResult repair(const std::string& commandLine);
    testsupport::ProcessResult repairFile(const std::string& path, const std::string& password);

    // Runs a repair that must fail and leave the original as it was: the log's messages.
    std::vector<std::string> failedRepair(const std::string& file, const std::string& password);

    // The messages of the log's lines, time fields and line ends removed.
    std::vector<std::string> logMessages() const;
    bool logExists() const;
    bool markerExists() const;

    // {"tables":[...]} of `qndb describe --json`.
    std::string describe(const std::string& path, const std::string& password);
    void damage(const std::string& path, const std::string& password, const std::vector<std::string>& actions);
    // Zeroes the first leaf page of `table`'s own tree in `file`: its rows are lost to a repair,
    // which salvages the rest.
    static void zeroTableLeaf(const std::string& file, const std::string& table);

    testsupport::TempDir tool_;
};

inline const std::string kDesignKey = "QHWUNK5136";
inline const std::string kWorkKey = "QHTEVZ5136";
inline const std::string kSystemKey = "QHMOR5136";
