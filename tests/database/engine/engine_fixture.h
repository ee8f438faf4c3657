#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "database/engine/db_engine.h"
#include "database/engine/store/engine_error.h"
#include "support/test_support.h"

namespace enginetest {

inline const std::string kPassword = "QHTEST5136";
// Rows of table "T" in the fixture's file: K = 1..kRows.
inline constexpr int kRows = 10;

std::string connect(const std::string& password);

// Opens through a workspace constructed directly, as the tools do.
engine::DatabasePtr open(const std::string& path, const std::string& password = kPassword, bool readOnly = false);

// The engine error that `action` throws; fails the test when it throws none.
engine::EngineError errorOf(const std::function<void()>& action);

struct IndexShape {
    std::string name;
    std::vector<std::string> fields;
    bool primary = false;
    bool unique = false;
    bool required = false;
    bool ignoreNulls = false;
};
void appendIndex(engine::Database& db, const std::string& table, const IndexShape& shape);
std::vector<std::string> indexNames(engine::Database& db, const std::string& table);

// Table `table` (K long, Name text, Amount double) with rows K = 1..rows, Name "n<K>", Amount K/2.
void addTable(engine::Database& db, const std::string& table, int rows);
// The K of every row, walking a recordset from the first row to EOF.
std::vector<std::int64_t> walkKeys(engine::Database& db, const std::string& table);

// Each test gets a folder; every .mdb and .mdw file left in it must pass integrity_check.
class EngineTest : public ::testing::Test {
protected:
    void TearDown() override;
    std::string path(const std::string& name) const { return dir_.file(name); }
    // A copy of a file made once per run: password kPassword, table "T" with kRows rows, no index.
    std::string freshFile(const std::string& name = "data.mdb") const;

    testsupport::TempDir dir_;
};

}  // namespace enginetest
