#pragma once

// Internal to the engine: what a b-tree of a damaged file lists, read page by page.

#include <cstdint>
#include <functional>

#include "sqlite_connection.h"

namespace engine::detail {

enum class TreeKind { Table, Index };

// Walks the b-tree rooted at page `root` of the file that `view` (see page_view.h) shows, and
// hands `seen` the rowid of every row it lists: a table's own rowids, or for an index of
// `indexFields` fields the rowid that each entry points to. False when the walk met a page that is
// missing or is not a page of such a tree: then the tree may list more than was seen.
bool censusOf(Connection& view, std::int64_t root, TreeKind kind, std::size_t indexFields,
              const std::function<void(std::int64_t)>& seen);

}  // namespace engine::detail
