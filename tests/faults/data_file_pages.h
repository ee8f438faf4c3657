#pragma once

// Where a data file keeps what, page by page, and its rows, read with the sqlite3 CLI:
// what the damage tests need to spoil chosen pages and to judge what came back.

#include <map>
#include <string>
#include <vector>

namespace faults {

struct Page {
    long number = 0;    // from 1, as SQLite counts
    std::string table;  // the table the page serves (an index page serves its table); "sqlite_schema" for the schema
    std::string type;   // "leaf", "internal" or "overflow"
    long cells = 0;
    bool ofIndex = false;
};

struct PageMap {
    long pageSize = 0;
    std::vector<Page> pages;
    const Page* find(long number) const;
};

PageMap pagesOf(const std::string& path);

// Every row of every table outside the engine's bookkeeping, as the CLI prints it, sorted.
using TableRows = std::map<std::string, std::vector<std::string>>;
TableRows rowsOf(const std::string& path);

// The rows SQLite's own recovery (the shell's .recover) brings back into each table from the
// file at `path`; `work` is a folder for its output.
TableRows rowsRecoveredBySqlite(const std::string& path, const std::string& work);

// Each row of every table outside the engine's bookkeeping, told by its values, with its key under
// each unique index of its table as a repair's log names a lost row ("L000 = 7, A000 = 'x'").
struct KeyedRow {
    std::string values;
    std::vector<std::string> keys;
};
using KeyedRows = std::map<std::string, std::vector<KeyedRow>>;
KeyedRows keyedRowsOf(const std::string& path);

// The keys under `table`'s index `index` ("Key00") of the rows on its leaf `page`, in key order,
// as a repair's log names lost rows.
std::vector<std::string> keysOfRowsOn(const std::string& path, const std::string& table, long page,
                                      const std::string& index);

// The problems a salvage recorded in the file, one "table|problem" line each; empty when none.
std::vector<std::string> salvageProblems(const std::string& path);

// Damage done in place.
void overwrite(const std::string& path, long offset, const std::string& bytes);
void truncateTo(const std::string& path, long size);

}  // namespace faults
