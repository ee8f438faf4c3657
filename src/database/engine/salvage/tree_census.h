#pragma once

// Internal to the engine: what a b-tree of a damaged file lists, read page by page.

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "database/engine/store/field_value.h"
#include "database/engine/store/sqlite_connection.h"

namespace engine::detail {

enum class TreeKind { Table, Index };

// The rowids between two that a table's tree lists, both left out; no bound is the end of the range.
struct RowidRange {
    std::optional<std::int64_t> after;
    std::optional<std::int64_t> before;
    bool holds(std::int64_t rowid) const { return (!after || *after < rowid) && (!before || rowid < *before); }
};

struct TreeWalk {
    // False when the walk met a page that is missing or is not a page of such a tree: then the
    // tree may list more than was seen.
    bool complete = true;
    // Whether the root page is a page of such a tree.
    bool rootRead = false;
    // Of a table's tree: where the pages it could not read lay among the rows it lists (the rows
    // listed before such a page and after it bound its range). A row whose rowid falls in one was
    // on a lost page, if the file held it.
    std::vector<RowidRange> lostRanges;
};

// Walks the b-tree rooted at page `root` of the file that `view` (see page_view.h) shows, in the
// order of its keys, and hands `seen` the rowid of every row it lists: a table's own rowids, or
// for an index of `indexFields` fields the rowid that each entry points to, with the entry's
// values in the index's order (empty for a table).
TreeWalk censusOf(Connection& view, std::int64_t root, TreeKind kind, std::size_t indexFields,
                  const std::function<void(std::int64_t rowid, const std::vector<FieldValue>& values)>& seen);

}  // namespace engine::detail
