#include "qndb/qndb_fixture.h"

#include "database/index_catalogue.h"

namespace qndbtest {

std::vector<std::string> tablesFor(char letter) {
    std::vector<std::string> tables = {"Data", "Lock"};
    if (letter != '\0')
        for (const char* number : {"000", "010", "014", "020", "024", "030", "031", "040", "041", "042", "043", "090"})
            tables.push_back(letter + std::string(number));
    return tables;
}

std::string catalogueJson(const std::vector<std::string>& tables, long rows) {
    std::string json = "{\"tables\":[";
    for (std::size_t t = 0; t < tables.size(); ++t) {
        const std::string& table = tables[t];
        json += std::string(t == 0 ? "" : ",") + "{\"name\":\"" + table + "\",\"rows\":" + std::to_string(rows) + ",\"indexes\":[";
        const auto& indexes = catalogue::indexesOf(table);
        for (std::size_t i = 0; i < indexes.size(); ++i) {
            json += std::string(i == 0 ? "" : ",") + "{\"name\":\"" + indexes[i].name + "\",\"fields\":[";
            for (std::size_t f = 0; f < indexes[i].fields.size(); ++f)
                json += std::string(f == 0 ? "" : ",") + "\"" + indexes[i].fields[f] + "\"";
            json += "],\"primary\":" + std::string(indexes[i].name == "Key00" ? "true" : "false") +
                    ",\"unique\":true,\"required\":true,\"ignoreNulls\":false}";
        }
        json += "]}";
    }
    return json + "]}";
}

std::string QndbTest::create(const std::string& name, const std::string& kind,
                             const std::vector<std::string>& options) {
    std::vector<std::string> args = {"create", path(name), kind};
    args.insert(args.end(), options.begin(), options.end());
    testsupport::qndb(args);
    return path(name);
}

std::string QndbTest::describeJson(const std::string& file, const std::string& password) {
    std::string out = testsupport::qndb({"describe", file, password, "--json"}).out;
    EXPECT_EQ(out.empty() ? '\0' : out.back(), '\n');
    if (!out.empty()) out.pop_back();
    return out;
}

void QndbTest::expectFailure(const std::vector<std::string>& args, const std::string& mention) {
    const testsupport::ProcessResult result = testsupport::qndb(args, true);
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind("qndb: ", 0), 0U) << result.err;
    EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << "reason must be one line: " << result.err;
    EXPECT_NE(result.err.find(mention), std::string::npos) << result.err;
}

}  // namespace qndbtest
