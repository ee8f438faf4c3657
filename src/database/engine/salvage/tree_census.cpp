#include "tree_census.h"

#include <set>
#include <string>
#include <vector>

namespace engine::detail {

namespace {

// The first byte of a b-tree page says what it holds.
constexpr const char* kIndexInterior = "02";
constexpr const char* kIndexLeaf = "0A";
constexpr const char* kTableInterior = "05";
constexpr const char* kTableLeaf = "0D";

}  // namespace

bool censusOf(Connection& view, std::int64_t root, TreeKind kind, std::size_t indexFields,
              const std::function<void(std::int64_t)>& seen) {
    const std::int64_t pages = view.queryInt("PRAGMA page_count");
    Statement type = view.prepare("SELECT hex(substr(data, 1, 1)) FROM sqlite_dbpage WHERE pgno = ?");
    Statement children = view.prepare("SELECT child FROM sqlite_dbptr WHERE pgno = ?");
    Statement rowids = view.prepare("SELECT value FROM sqlite_dbdata WHERE pgno = ? AND field = ?");
    const bool index = kind == TreeKind::Index;
    // An index entry's last field is the rowid it points to; a table's leaf cells carry theirs.
    const std::int64_t rowidField = index ? static_cast<std::int64_t>(indexFields) : -1;
    bool complete = true;
    std::vector<std::int64_t> pending = {root};
    std::set<std::int64_t> visited;
    while (!pending.empty()) {
        const std::int64_t page = pending.back();
        pending.pop_back();
        // Page 1 holds the schema, never another tree; a page met twice is a loop in damaged pages.
        if (page < 2 || page > pages || !visited.insert(page).second) {
            complete = false;
            continue;
        }
        type.reset();
        type.bind(1, page);
        const std::string what = type.step() ? type.columnText(0) : "";
        const bool interior = what == (index ? kIndexInterior : kTableInterior);
        if (!interior && what != (index ? kIndexLeaf : kTableLeaf)) {
            complete = false;
            continue;
        }
        if (interior) {
            children.reset();
            children.bind(1, page);
            while (children.step()) pending.push_back(children.columnInt(0));
        }
        if (interior && !index) continue;
        rowids.reset();
        rowids.bind(1, page).bind(2, rowidField);
        while (rowids.step()) seen(rowids.columnInt(0));
    }
    return complete;
}

}  // namespace engine::detail
