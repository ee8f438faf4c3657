// qndb workgroup: workgroup files the engine logs on against.

#include "database/engine/db_engine.h"
#include "database/engine/store/engine_error.h"
#include "qndb/qndb_fixture.h"

namespace qndbtest {
namespace {

class WorkgroupTest : public QndbTest {
protected:
    void TearDown() override { engine::DBEngine::instance().setSystemDB(""); }

    bool logsOn(const std::string& user, const std::string& password) {
        engine::DBEngine::instance().setSystemDB(path("QNsys.mdw"));
        try {
            engine::DBEngine::instance().CreateWorkspace("ws", user, password);
            return true;
        } catch (const engine::EngineError& e) {
            EXPECT_EQ(e.code(), engine::ErrorCode::InvalidAccount);
            return false;
        }
    }
};

TEST_F(WorkgroupTest, CreatesTheFileThenAddsAccounts) {
    testsupport::qndb({"workgroup", path("QNsys.mdw"), "QNﾕｰｻﾞｰ", "RW3917"});
    testsupport::qndb({"workgroup", path("QNsys.mdw"), "clerk", "one"});
    EXPECT_TRUE(logsOn("QNﾕｰｻﾞｰ", "RW3917"));
    EXPECT_TRUE(logsOn("clerk", "one"));
    EXPECT_FALSE(logsOn("clerk", "RW3917"));
    EXPECT_EQ(testsupport::integrityCheck(path("QNsys.mdw")), "ok");
}

TEST_F(WorkgroupTest, DataFileIsNotMadeIntoAWorkgroupFile) {
    const std::string file = create("data.mdb", "system", {"--rows", "1"});
    const std::string before = testsupport::readBytes(file);
    expectFailure({"workgroup", file, "admin", "pw"}, file);
    EXPECT_EQ(testsupport::readBytes(file), before);
}

}  // namespace
}  // namespace qndbtest
