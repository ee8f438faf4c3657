// Files held by another process.

#include <filesystem>

#include "database/engine/engine_fixture.h"
#include "support/sqlite3_session.h"

namespace enginetest {
namespace {

using engine::ErrorCode;

class LockTest : public EngineTest {};

TEST_F(LockTest, FileHeldByAnotherProcess) {
    const std::string file = freshFile();
    {
        testsupport::Sqlite3Session holder(file);
        ASSERT_EQ(holder.run("BEGIN EXCLUSIVE;"), "");
        for (const bool readOnly : {true, false}) {
            const engine::EngineError error = errorOf([&] { open(file, kPassword, readOnly); });
            EXPECT_EQ(error.code(), ErrorCode::FileLocked);
            EXPECT_NE(error.description().find(file), std::string::npos);
        }
        EXPECT_EQ(errorOf([&] {
                      engine::DBEngine::instance().CompactDatabase(file, path("copy.mdb"), "", 0, connect(kPassword));
                  }).code(),
                  ErrorCode::FileLocked);
        EXPECT_FALSE(std::filesystem::exists(path("copy.mdb")));
    }
    EXPECT_EQ(open(file)->TableDefs().Item("T").RecordCount(), kRows);
}

}  // namespace
}  // namespace enginetest
