#include "path_kind.h"

#include <array>

#include "window_layout.h"

namespace ui {

namespace {

// Option indexes: "sys" before the others, so a path that holds it selects "システム"
// whatever else it holds.
constexpr std::array<int, layout::kKindOptions.size()> kPathWordOrder = {6, 0, 1, 2, 3, 4, 5};

}  // namespace

std::optional<int> optionForPath(const std::string& narrowPath) {
    for (const int index : kPathWordOrder)
        if (narrowPath.find(layout::kKindOptions[index].pathWord) != std::string::npos) return index;
    return std::nullopt;
}

}  // namespace ui
