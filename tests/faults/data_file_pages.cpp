#include "data_file_pages.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "test_support.h"

namespace faults {

namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> result;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '|');) result.push_back(field);
    return result;
}

std::string query(const std::string& path, const std::string& sql) {
    const testsupport::ProcessResult result = testsupport::runSqlite3({"-readonly", path, sql});
    if (result.exitCode != 0) throw std::runtime_error("sqlite3 failed on " + path + ": " + result.err);
    return result.out;
}

}  // namespace

const Page* PageMap::find(long number) const {
    for (const Page& page : pages)
        if (page.number == number) return &page;
    return nullptr;
}

PageMap pagesOf(const std::string& path) {
    PageMap map;
    map.pageSize = std::stol(query(path, "PRAGMA page_size"));
    const std::string sql =
        "SELECT d.pageno, coalesce(s.tbl_name, d.name), d.pagetype, d.ncell, coalesce(s.type, 'table') = 'index'"
        " FROM dbstat d LEFT JOIN sqlite_schema s ON s.name = d.name ORDER BY d.pageno";
    for (const std::string& line : lines(query(path, sql))) {
        const std::vector<std::string> f = fields(line);
        map.pages.push_back({std::stol(f.at(0)), f.at(1), f.at(2), std::stol(f.at(3)), f.at(4) == "1"});
    }
    return map;
}

TableRows rowsOf(const std::string& path) {
    TableRows rows;
    std::string sql;
    for (const std::string& table : lines(query(path, "SELECT name FROM sqlite_schema WHERE type = 'table' AND "
                                                      "name NOT LIKE '\\_qn\\_%' ESCAPE '\\' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'"))) {
        rows[table];
        sql += "SELECT '" + table + "', * FROM \"" + table + "\";";
    }
    if (sql.empty()) return rows;
    for (const std::string& line : lines(query(path, sql))) {
        const std::size_t bar = line.find('|');
        rows[line.substr(0, bar)].push_back(line.substr(bar + 1));
    }
    for (auto& [table, list] : rows) std::sort(list.begin(), list.end());
    return rows;
}

TableRows rowsRecoveredBySqlite(const std::string& path, const std::string& work) {
    const std::string sql = work + "/recovered.sql";
    const std::string recovered = work + "/recovered.db";
    std::filesystem::remove(recovered);
    testsupport::writeBytes(sql, testsupport::runSqlite3({"-readonly", path, ".recover"}).out);
    testsupport::runSqlite3({recovered, ".read " + sql});
    return rowsOf(recovered);
}

std::vector<std::string> salvageProblems(const std::string& path) {
    if (query(path, "SELECT count(*) FROM sqlite_schema WHERE name = '_qn_salvage'").rfind("0", 0) == 0) return {};
    return lines(query(path, "SELECT coalesce(table_name, ''), problem FROM _qn_salvage ORDER BY rowid"));
}

void overwrite(const std::string& path, long offset, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY);
    const bool written = fd >= 0 && ::pwrite(fd, bytes.data(), bytes.size(), offset) == static_cast<ssize_t>(bytes.size());
    if (fd >= 0) ::close(fd);
    if (!written) throw std::runtime_error("cannot damage " + path);
}

void truncateTo(const std::string& path, long size) { std::filesystem::resize_file(path, static_cast<std::uintmax_t>(size)); }

}  // namespace faults
