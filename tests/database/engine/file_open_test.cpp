// Opening data files, and what the engine says about every file it cannot open.

#include <filesystem>

#include "database/engine/engine_fixture.h"

namespace enginetest {
namespace {

using engine::ErrorCode;
namespace fs = std::filesystem;

class FileOpenTest : public EngineTest {
protected:
    // The error of opening `file`, whose description must name the file.
    engine::EngineError openError(const std::string& file, const std::string& password = kPassword) {
        const engine::EngineError error = errorOf([&] { open(file, password); });
        EXPECT_NE(error.description().find(file), std::string::npos) << error.description();
        return error;
    }
};

TEST_F(FileOpenTest, OpensItsOwnFileWithTheRightPassword) {
    const engine::DatabasePtr db = open(freshFile());
    EXPECT_EQ(db->TableDefs().names(), std::vector<std::string>{"T"});
    EXPECT_EQ(db->TableDefs().Item("T").RecordCount(), kRows);
}

TEST_F(FileOpenTest, MissingFile) { EXPECT_EQ(openError(path("none.mdb")).code(), ErrorCode::FileNotFound); }

TEST_F(FileOpenTest, ForeignFilesAreNotOurs) {
    testsupport::runSqlite3({path("foreign.db"), "CREATE TABLE T(K INTEGER)"});
    testsupport::writeBytes(path("text.txt"), "This is a plain text file, not a database.\n");
    testsupport::writeBytes(path("empty.mdb.bad"), "");
    fs::create_directory(path("folder"));
    for (const char* name : {"foreign.db", "text.txt", "empty.mdb.bad", "folder"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(openError(path(name)).code(), ErrorCode::NotOurFormat);
    }
    EXPECT_EQ(testsupport::readBytes(path("text.txt")), "This is a plain text file, not a database.\n");
    EXPECT_EQ(fs::file_size(path("empty.mdb.bad")), 0U);
}

TEST_F(FileOpenTest, WorkgroupFileIsNotADataFile) {
    engine::DBEngine::instance().CreateAccount(path("system.mdw"), "admin", "pw");
    EXPECT_EQ(openError(path("system.mdw")).code(), ErrorCode::NotOurFormat);
}

TEST_F(FileOpenTest, DamagedFile) {
    const std::string file = freshFile();
    std::string bytes = testsupport::readBytes(file);
    // Keep the 100-byte header, so the file still reads as ours, and wreck the schema after it.
    for (std::size_t i = 100; i < 4096 && i < bytes.size(); ++i) bytes[i] = static_cast<char>(0xA5);
    testsupport::writeBytes(path("damaged.bad"), bytes);
    EXPECT_EQ(openError(path("damaged.bad")).code(), ErrorCode::Damaged);
}

// The table of settings holds the password; the indexes' bookkeeping is needed only for indexes.
TEST_F(FileOpenTest, GarbledBookkeeping) {
    const std::string settings = freshFile("settings.mdb");
    testsupport::garbleDefinition(settings, "_qn_meta", "value");
    EXPECT_EQ(openError(settings).code(), ErrorCode::Damaged);

    const std::string indexes = freshFile("indexes.mdb");
    testsupport::garbleDefinition(indexes, "_qn_index", "position");
    const engine::DatabasePtr db = open(indexes);
    EXPECT_EQ(db->TableDefs().Item("T").RecordCount(), kRows);
    const engine::EngineError error = errorOf([&] { db->TableDefs().Item("T").Indexes().Count(); });
    EXPECT_EQ(error.code(), ErrorCode::Damaged);
    EXPECT_NE(error.description().find("_qn_index"), std::string::npos) << error.description();
}

TEST_F(FileOpenTest, WrongPassword) {
    const std::string file = freshFile();
    EXPECT_EQ(openError(file, "QHWRONG").code(), ErrorCode::WrongPassword);
    EXPECT_EQ(openError(file, "").code(), ErrorCode::WrongPassword);
    EXPECT_EQ(openError(file, kPassword + "x").code(), ErrorCode::WrongPassword);
}

TEST_F(FileOpenTest, FileWithoutPasswordAcceptsAny) {
    engine::DBEngine::instance().CreateDatabase(path("open.mdb"), "")->Close();
    for (const char* password : {"", "anything", "QHMOR5136"}) EXPECT_NO_THROW(open(path("open.mdb"), password));
}

TEST_F(FileOpenTest, PasswordIsNotStoredInTheFile) {
    const std::string bytes = testsupport::readBytes(freshFile());
    EXPECT_EQ(bytes.find(kPassword), std::string::npos);
}

TEST_F(FileOpenTest, ReadOnlyOpenRefusesWrites) {
    const std::string file = freshFile();
    const std::string before = testsupport::readBytes(file);
    const engine::DatabasePtr db = open(file, kPassword, true);
    EXPECT_EQ(errorOf([&] { appendIndex(*db, "T", {"Key00", {"K"}}); }).code(), ErrorCode::ReadOnly);
    EXPECT_EQ(errorOf([&] { db->CreateTable("U", {{"K", engine::FieldType::Long}}); }).code(), ErrorCode::ReadOnly);
    const engine::RecordsetPtr recordset = db->OpenRecordset("T");
    EXPECT_EQ(errorOf([&] { recordset->Delete(); }).code(), ErrorCode::ReadOnly);
    EXPECT_EQ(errorOf([&] { recordset->AddRow({std::int64_t{1}, "x", 1.0}); }).code(), ErrorCode::ReadOnly);
    recordset->Close();
    db->Close();
    EXPECT_EQ(testsupport::readBytes(file), before);
}

TEST_F(FileOpenTest, CreateRefusesAnExistingNameAndLeavesItAlone) {
    const std::string file = freshFile();
    const std::string before = testsupport::readBytes(file);
    const engine::EngineError error =
        errorOf([&] { engine::DBEngine::instance().CreateDatabase(file, "other"); });
    EXPECT_EQ(error.code(), ErrorCode::DestinationExists);
    EXPECT_NE(error.description().find(file), std::string::npos);
    EXPECT_EQ(testsupport::readBytes(file), before);

    std::error_code linked;
    fs::create_symlink(path("nowhere"), path("dangling.mdb"), linked);
    if (linked) GTEST_SKIP() << "no symbolic links here: " << linked.message();
    EXPECT_EQ(errorOf([&] { engine::DBEngine::instance().CreateDatabase(path("dangling.mdb"), ""); }).code(),
              ErrorCode::DestinationExists);
    EXPECT_FALSE(fs::exists(path("nowhere")));
}

TEST_F(FileOpenTest, CreateInAMissingFolderLeavesNothing) {
    const std::string file = path("missing/new.mdb");
    EXPECT_EQ(errorOf([&] { engine::DBEngine::instance().CreateDatabase(file, ""); }).code(), ErrorCode::FileNotFound);
    EXPECT_FALSE(fs::exists(path("missing")));
}

}  // namespace
}  // namespace enginetest
