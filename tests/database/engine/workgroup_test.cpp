// Logging on against the workgroup file that SystemDB names.

#include <filesystem>

#include "database/engine/engine_fixture.h"

namespace enginetest {
namespace {

using engine::ErrorCode;

class WorkgroupTest : public EngineTest {
protected:
    void SetUp() override {
        previous_ = engine::DBEngine::instance().SystemDB();
        engine::DBEngine::instance().CreateAccount(path("QNsys.mdw"), "admin", "secret");
    }
    void TearDown() override {
        engine::DBEngine::instance().setSystemDB(previous_);
        EngineTest::TearDown();
    }
    engine::EngineError logOnError(const std::string& systemDB, const std::string& user, const std::string& password) {
        engine::DBEngine::instance().setSystemDB(systemDB);
        return errorOf([&] { engine::DBEngine::instance().CreateWorkspace("ws", user, password); });
    }

    std::string previous_;
};

TEST_F(WorkgroupTest, LogsOnWithAnAccountOfTheFile) {
    engine::DBEngine::instance().setSystemDB(path("QNsys.mdw"));
    const engine::WorkspacePtr workspace = engine::DBEngine::instance().CreateWorkspace("ws", "admin", "secret");
    EXPECT_EQ(workspace->Name(), "ws");
    EXPECT_EQ(workspace->UserName(), "admin");
    EXPECT_NO_THROW(workspace->OpenDatabase(freshFile(), false, false, connect(kPassword)));
}

TEST_F(WorkgroupTest, UnknownAccountOrWrongAccountPassword) {
    for (const auto& [user, password] : std::vector<std::pair<std::string, std::string>>{
             {"nobody", "secret"}, {"admin", "wrong"}, {"admin", ""}, {"Admin", "secret"}}) {
        const engine::EngineError error = logOnError(path("QNsys.mdw"), user, password);
        EXPECT_EQ(error.code(), ErrorCode::InvalidAccount) << user << "/" << password;
        EXPECT_NE(error.description().find(user), std::string::npos);
    }
}

TEST_F(WorkgroupTest, AddingAnAccountKeepsTheOthersAndReplacingOneChangesItsPassword) {
    engine::DBEngine::instance().CreateAccount(path("QNsys.mdw"), "clerk", "one");
    engine::DBEngine::instance().CreateAccount(path("QNsys.mdw"), "clerk", "two");
    engine::DBEngine::instance().setSystemDB(path("QNsys.mdw"));
    EXPECT_NO_THROW(engine::DBEngine::instance().CreateWorkspace("ws", "admin", "secret"));
    EXPECT_NO_THROW(engine::DBEngine::instance().CreateWorkspace("ws", "clerk", "two"));
    EXPECT_EQ(logOnError(path("QNsys.mdw"), "clerk", "one").code(), ErrorCode::InvalidAccount);
}

TEST_F(WorkgroupTest, NoWorkgroupFileSet) {
    const engine::EngineError error = logOnError("", "admin", "secret");
    EXPECT_EQ(error.code(), ErrorCode::WorkgroupUnavailable);
    EXPECT_FALSE(error.description().empty());
}

TEST_F(WorkgroupTest, MissingWorkgroupFile) {
    const engine::EngineError error = logOnError(path("none.mdw"), "admin", "secret");
    EXPECT_EQ(error.code(), ErrorCode::WorkgroupUnavailable);
    EXPECT_NE(error.description().find(path("none.mdw")), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(path("none.mdw")));
}

TEST_F(WorkgroupTest, ForeignWorkgroupFile) {
    testsupport::writeBytes(path("text.bad"), "not a workgroup file");
    std::filesystem::create_directory(path("folder"));
    for (const std::string& file : {freshFile(), path("text.bad"), path("folder")}) {
        const engine::EngineError error = logOnError(file, "admin", "secret");
        EXPECT_EQ(error.code(), ErrorCode::WorkgroupUnavailable) << file;
        EXPECT_NE(error.description().find(file), std::string::npos);
    }
}

TEST_F(WorkgroupTest, GarbledAccountTableIsForeign) {
    engine::DBEngine::instance().CreateAccount(path("garbled.mdw"), "admin", "secret");
    testsupport::garbleDefinition(path("garbled.mdw"), "_qn_accounts", "verifier");
    EXPECT_EQ(logOnError(path("garbled.mdw"), "admin", "secret").code(), ErrorCode::WorkgroupUnavailable);
}

TEST_F(WorkgroupTest, AccountsAreNotAddedToADataFile) {
    const std::string file = freshFile();
    const std::string before = testsupport::readBytes(file);
    EXPECT_EQ(errorOf([&] { engine::DBEngine::instance().CreateAccount(file, "admin", "x"); }).code(),
              ErrorCode::WorkgroupUnavailable);
    EXPECT_EQ(testsupport::readBytes(file), before);
}

}  // namespace
}  // namespace enginetest
