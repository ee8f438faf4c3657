#include "faults/data_file_pages.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "support/test_support.h"

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

// The engine's bookkeeping and SQLite's own tables are not the host's.
const char* const kHostTables =
    "m.type = 'table' AND m.name NOT LIKE '\\_qn\\_%' ESCAPE '\\' AND m.name NOT LIKE 'sqlite\\_%' ESCAPE '\\'";

// "'F = ' || unistr_quote("F") || ', G = ' || ...": a key as the log shows it.
std::string keyExpression(const std::vector<std::string>& fields) {
    std::string sql;
    for (const std::string& field : fields)
        sql += (sql.empty() ? "'" : " || ', ") + field + " = ' || unistr_quote(\"" + field + "\")";
    return sql;
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

KeyedRows keyedRowsOf(const std::string& path) {
    struct Shape {
        std::vector<std::string> columns;
        std::map<std::string, std::vector<std::string>> uniqueIndexes;
    };
    std::map<std::string, Shape> shapes;
    const std::string schema =
        std::string("SELECT m.name, '', c.cid, c.name FROM sqlite_schema m, pragma_table_info(m.name) c WHERE ") +
        kHostTables +
        " UNION ALL SELECT m.name, i.name, x.seqno, x.name FROM sqlite_schema m, pragma_index_list(m.name) i,"
        " pragma_index_info(i.name) x WHERE i.\"unique\" AND " + kHostTables + " ORDER BY 1, 2, 3";
    for (const std::string& line : lines(query(path, schema))) {
        const std::vector<std::string> f = fields(line);
        Shape& shape = shapes[f.at(0)];
        (f.at(1).empty() ? shape.columns : shape.uniqueIndexes[f.at(1)]).push_back(f.at(3));
    }
    KeyedRows rows;
    // Fields and rows apart by control characters, which no value of these files holds.
    const std::string unit = "\x1f";
    const std::string record = "\x1e";
    for (const auto& [table, shape] : shapes) {
        std::string sql = "SELECT ";
        for (std::size_t i = 0; i < shape.columns.size(); ++i)
            sql += (i == 0 ? "" : " || ',' || ") + std::string("quote(\"") + shape.columns[i] + "\")";
        for (const auto& [index, indexFields] : shape.uniqueIndexes) sql += ", " + keyExpression(indexFields);
        const testsupport::ProcessResult result = testsupport::runSqlite3(
            {"-readonly", "-separator", unit, "-newline", record, path, sql + " FROM \"" + table + "\""});
        if (result.exitCode != 0) throw std::runtime_error("sqlite3 failed on " + path + ": " + result.err);
        std::vector<KeyedRow>& list = rows[table];
        std::size_t start = 0;
        for (std::size_t end; (end = result.out.find(record, start)) != std::string::npos; start = end + 1) {
            std::vector<std::string> values;
            std::istringstream in(result.out.substr(start, end - start));
            for (std::string value; std::getline(in, value, unit[0]);) values.push_back(value);
            list.push_back({values.at(0), std::vector<std::string>(values.begin() + 1, values.end())});
        }
    }
    return rows;
}

std::vector<std::string> keysOfRowsOn(const std::string& path, const std::string& table, long page,
                                      const std::string& index) {
    // A sound tree's leaves hold its rows in rowid order, each leaf as many as its cells.
    long before = 0;
    long cells = 0;
    for (const std::string& line : lines(query(path, "SELECT pageno, ncell FROM dbstat WHERE name = '" + table +
                                                         "' AND pagetype = 'leaf' ORDER BY path"))) {
        const std::vector<std::string> f = fields(line);
        if (std::stol(f.at(0)) == page) {
            cells = std::stol(f.at(1));
            break;
        }
        before += std::stol(f.at(1));
    }
    std::vector<std::string> keyFields;
    for (const std::string& line :
         lines(query(path, "SELECT x.name FROM _qn_index i, pragma_index_info(i.sqlite_name) x WHERE i.table_name = '" +
                               table + "' AND i.index_name = '" + index + "' ORDER BY x.seqno")))
        keyFields.push_back(line);
    std::string order;
    for (const std::string& field : keyFields) order += (order.empty() ? "\"" : ", \"") + field + "\"";
    return lines(query(path, "SELECT " + keyExpression(keyFields) + " FROM (SELECT * FROM \"" + table +
                                 "\" ORDER BY rowid LIMIT " + std::to_string(cells) + " OFFSET " +
                                 std::to_string(before) + ") ORDER BY " + order));
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
