#pragma once

#include <functional>
#include <string>
#include <vector>

namespace engine {

// Whether the caller of a compaction deletes and makes again, right after it, the index of `table`
// named `index` whose fields are `fields` (in index order): the copy leaves such an index out
// rather than carry it over only for it to be deleted.
using RemadeIndexes =
    std::function<bool(const std::string& table, const std::string& index, const std::vector<std::string>& fields)>;

}  // namespace engine
