// qndb describe: the exact JSON, the text form, odd names, and files it cannot read.

#include "database/engine/db_engine.h"
#include "qndb/qndb_fixture.h"

namespace qndbtest {
namespace {

class DescribeTest : public QndbTest {};

TEST_F(DescribeTest, JsonIsExact) {
    const std::string file = create("system.mdb", "system", {"--rows", "3"});
    EXPECT_EQ(testsupport::qndb({"describe", file, kSystemKey, "--json"}).out,
              "{\"tables\":[{\"name\":\"Data\",\"rows\":3,\"indexes\":[{\"name\":\"Key00\",\"fields\":[\"A000\",\"A001\","
              "\"A002\",\"A003\"],\"primary\":true,\"unique\":true,\"required\":true,\"ignoreNulls\":false}]},"
              "{\"name\":\"Lock\",\"rows\":3,\"indexes\":[{\"name\":\"Key00\",\"fields\":[\"A000\"],\"primary\":true,"
              "\"unique\":true,\"required\":true,\"ignoreNulls\":false}]}]}\n");
}

TEST_F(DescribeTest, TextFormShowsTablesThenTheirIndexes) {
    const std::string file = create("system.mdb", "system", {"--rows", "1"});
    EXPECT_EQ(testsupport::qndb({"describe", file, kSystemKey}).out,
              "Data: 1 row\n"
              "  Key00 (A000, A001, A002, A003) primary unique required\n"
              "Lock: 1 row\n"
              "  Key00 (A000) primary unique required\n");
}

TEST_F(DescribeTest, OddNamesAndFlagsAreWrittenSafely) {
    {
        const engine::DatabasePtr db = engine::DBEngine::instance().CreateDatabase(path("odd.mdb"), "");
        const std::string table = "q\"b\\s\nt\x01u\xE8\xA1\xA8\xFF";
        db->CreateTable(table, {{"f\"1", engine::FieldType::Long}});
        engine::Index index = db->TableDefs().Item(table).CreateIndex("i\t");
        index.Fields().Append(index.CreateField("f\"1"));
        index.setIgnoreNulls(true);
        db->TableDefs().Item(table).Indexes().Append(index);
        db->CreateTable("Empty", {{"K", engine::FieldType::Long}});
    }
    EXPECT_EQ(describeJson(path("odd.mdb"), ""),
              "{\"tables\":[{\"name\":\"q\\\"b\\\\s\\nt\\u0001u\xE8\xA1\xA8\\ufffd\",\"rows\":0,\"indexes\":["
              "{\"name\":\"i\\t\",\"fields\":[\"f\\\"1\"],\"primary\":false,\"unique\":false,\"required\":false,"
              "\"ignoreNulls\":true}]},{\"name\":\"Empty\",\"rows\":0,\"indexes\":[]}]}");
    const std::string text = testsupport::qndb({"describe", path("odd.mdb"), ""}).out;
    EXPECT_EQ(text.find('\x01'), std::string::npos);
    EXPECT_NE(text.find("  i\\t (f\\\"1) ignore-nulls\n"), std::string::npos) << text;
}

TEST_F(DescribeTest, ReadsWithoutWriting) {
    const std::string file = create("system.mdb", "system", {"--rows", "3"});
    const std::string before = testsupport::readBytes(file);
    describeJson(file, kSystemKey);
    EXPECT_EQ(testsupport::readBytes(file), before);
}

TEST_F(DescribeTest, FilesItCannotRead) {
    const std::string file = create("system.mdb", "system", {"--rows", "1"});
    expectFailure({"describe", file, "QHWRONG"}, "パスワード");
    expectFailure({"describe", file, ""}, file);
    expectFailure({"describe", path("none.mdb"), kSystemKey}, path("none.mdb"));
    testsupport::writeBytes(path("text.txt"), "plain text");
    expectFailure({"describe", path("text.txt"), kSystemKey}, path("text.txt"));
    testsupport::qndb({"workgroup", path("QNsys.mdw"), "admin", "pw"});
    expectFailure({"describe", path("QNsys.mdw"), "pw"}, path("QNsys.mdw"));
}

}  // namespace
}  // namespace qndbtest
