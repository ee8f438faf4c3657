#include "database/engine/salvage/tree_census.h"

#include <algorithm>
#include <set>
#include <string>

namespace engine::detail {

namespace {

// The first byte of a b-tree page says what it holds.
constexpr const char* kIndexInterior = "02";
constexpr const char* kIndexLeaf = "0A";
constexpr const char* kTableInterior = "05";
constexpr const char* kTableLeaf = "0D";

// Where a table's tree could not be read, among the rows it lists in order.
class LostRanges {
public:
    void pageLost() {
        // Pages lost one after another, with no row between them, are one range.
        if (ranges_.empty() || ranges_.back().before) ranges_.push_back({highest_, std::nullopt});
    }
    void rowListed(std::int64_t rowid) {
        // The rows after a lost page bound its range by the least of them; a damaged tree may list
        // them out of order.
        for (auto range = ranges_.rbegin(); range != ranges_.rend() && (!range->before || *range->before > rowid);
             ++range)
            range->before = rowid;
        highest_ = std::max(highest_.value_or(rowid), rowid);
    }
    std::vector<RowidRange> take() { return std::move(ranges_); }

private:
    std::optional<std::int64_t> highest_;
    std::vector<RowidRange> ranges_;
};

}  // namespace

TreeWalk censusOf(Connection& view, std::int64_t root, TreeKind kind, std::size_t indexFields,
                  const std::function<void(std::int64_t rowid, const std::vector<FieldValue>& values)>& seen) {
    const std::int64_t pages = view.queryInt("PRAGMA page_count");
    Statement type = view.prepare("SELECT hex(substr(data, 1, 1)) FROM sqlite_dbpage WHERE pgno = ?");
    // sqlite_dbptr gives an interior page's rightmost child first, then the others in order.
    Statement children = view.prepare("SELECT child FROM sqlite_dbptr WHERE pgno = ?");
    Statement rowids = view.prepare("SELECT value FROM sqlite_dbdata WHERE pgno = ? AND field = -1");
    Statement entries = view.prepare("SELECT cell, field, value FROM sqlite_dbdata WHERE pgno = ?");
    const bool index = kind == TreeKind::Index;
    const std::vector<FieldValue> noValues;
    TreeWalk walk;
    LostRanges lost;
    std::vector<std::int64_t> pending = {root};
    std::set<std::int64_t> visited;
    while (!pending.empty()) {
        const std::int64_t page = pending.back();
        pending.pop_back();
        // Page 1 holds the schema, never another tree; a page met twice is a loop in damaged pages.
        std::string what;
        if (page >= 2 && page <= pages && visited.insert(page).second) {
            type.reset();
            type.bind(1, page);
            if (type.step()) what = type.columnText(0);
        }
        const bool interior = what == (index ? kIndexInterior : kTableInterior);
        if (!interior && what != (index ? kIndexLeaf : kTableLeaf)) {
            walk.complete = false;
            lost.pageLost();
            continue;
        }
        if (page == root) walk.rootRead = true;
        if (interior) {
            std::vector<std::int64_t> next;
            children.reset();
            children.bind(1, page);
            while (children.step()) next.push_back(children.columnInt(0));
            // Taken from the back: the leftmost child first, the rightmost last.
            if (!next.empty()) {
                pending.push_back(next.front());
                pending.insert(pending.end(), next.rbegin(), next.rend() - 1);
            }
        }
        if (!index) {
            if (interior) continue;
            rowids.reset();
            rowids.bind(1, page);
            while (rowids.step()) {
                lost.rowListed(rowids.columnInt(0));
                seen(rowids.columnInt(0), noValues);
            }
            continue;
        }
        // An index entry's fields are its values, then the rowid it points to; interior pages hold
        // entries too.
        entries.reset();
        entries.bind(1, page);
        std::int64_t cell = -1;
        std::vector<FieldValue> values;
        while (entries.step()) {
            if (entries.columnInt(0) != cell) {
                cell = entries.columnInt(0);
                values.clear();
            }
            const auto field = static_cast<std::size_t>(entries.columnInt(1));
            if (field == values.size() && field < indexFields)
                values.push_back(entries.column(2));
            else if (field == indexFields && values.size() == indexFields)
                seen(entries.columnInt(2), values);
        }
    }
    if (!index) walk.lostRanges = lost.take();
    return walk;
}

}  // namespace engine::detail
