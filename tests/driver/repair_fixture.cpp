#include "driver/repair_fixture.h"

#include <filesystem>
#include <map>
#include <memory>

namespace fs = std::filesystem;
using testsupport::qndb;

namespace {

// Pristine files are made once per run and copied for each test: making them costs
// a password hash and many rows each.
struct Templates {
    testsupport::TempDir dir;
    std::map<std::string, std::string> files;
};

Templates& templates() {
    static Templates t;
    return t;
}

std::string templateFile(const std::string& kind) {
    Templates& t = templates();
    const auto found = t.files.find(kind);
    if (found != t.files.end()) return found->second;
    const std::string path = t.dir.file("template-" + std::to_string(t.files.size()) + ".mdb");
    if (kind == "design" || kind == "work" || kind == "system")
        qndb({"create", path, kind, "--rows", "30"});
    else
        qndb({"create", path, "other", "--rows", "5", "--password", kind});
    t.files[kind] = path;
    return path;
}

}  // namespace

void RepairFixture::SetUpTestSuite() {
    Templates& t = templates();
    if (!fs::exists(t.dir.file("QNsys.mdw"))) qndb({"workgroup", t.dir.file("QNsys.mdw"), "QNﾕｰｻﾞｰ", "RW3917"});
}

void RepairFixture::SetUp() {
    fs::copy_file(testsupport::binPath("QNrepair"), programPath());
    fs::copy_file(templates().dir.file("QNsys.mdw"), tool_.file("QNsys.mdw"));
    fs::create_directories(tool_.file("data"));
}

std::string RepairFixture::dataFile(const std::string& kind, const std::string& name) {
    const std::string path = tool_.file("data/" + name);
    fs::create_directories(testsupport::pathOf(path).parent_path());
    fs::copy_file(templateFile(kind), testsupport::pathOf(path), fs::copy_options::overwrite_existing);
    return path;
}

testsupport::ProcessResult RepairFixture::repair(const std::string& commandLine) {
    return testsupport::run({programPath(), commandLine});
}

testsupport::ProcessResult RepairFixture::repairFile(const std::string& path, const std::string& password) {
    return repair("Data Source=" + path + ";Database Password=" + password);
}

std::vector<std::string> RepairFixture::failedRepair(const std::string& file, const std::string& password) {
    const std::string before = testsupport::readBytes(file);
    const auto result = repairFile(file, password);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_FALSE(markerExists());
    EXPECT_EQ(testsupport::readBytes(file), before) << "the original changed";
    return logMessages();
}

std::vector<std::string> RepairFixture::logMessages() const {
    const std::string log = logText();
    std::vector<std::string> messages;
    std::size_t start = 0;
    while (start < log.size()) {
        const std::size_t end = log.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "log line without CR LF";
        if (end == std::string::npos) break;
        const std::string line = log.substr(start, end - start);
        const std::size_t first = line.find(',');
        const std::size_t second = line.find(',', first + 1);
        EXPECT_NE(second, std::string::npos) << line;
        messages.push_back(line.substr(second + 1));
        start = end + 2;
    }
    return messages;
}

bool RepairFixture::logExists() const { return fs::exists(logPath()); }
bool RepairFixture::markerExists() const { return fs::exists(markerPath()); }

std::string RepairFixture::describe(const std::string& path, const std::string& password) {
    return qndb({"describe", path, password, "--json"}).out;
}

void RepairFixture::damage(const std::string& path, const std::string& password,
                           const std::vector<std::string>& actions) {
    std::vector<std::string> args = {"damage", path, password};
    args.insert(args.end(), actions.begin(), actions.end());
    qndb(args);
}

void RepairFixture::zeroTableLeaf(const std::string& file, const std::string& table) {
    const std::string leaf = testsupport::sqlite3Query(
        file, "SELECT pageno FROM dbstat WHERE name = '" + table + "' AND pagetype = 'leaf' ORDER BY pageno LIMIT 1");
    ASSERT_FALSE(leaf.empty()) << "no leaf of " << table;
    const std::size_t pageSize = std::stoul(testsupport::sqlite3Query(file, "PRAGMA page_size"));
    std::string bytes = testsupport::readBytes(file);
    bytes.replace((std::stoul(leaf) - 1) * pageSize, pageSize, std::string(pageSize, '\0'));
    testsupport::writeBytes(file, bytes);
}
