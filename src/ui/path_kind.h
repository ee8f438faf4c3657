#pragma once

#include <optional>
#include <string>

namespace ui {

// The option button that a chosen path selects: the first path word, in the order of
// ui::text::kPathWordOrder, that `narrowPath` (already lower case and narrow) holds.
// Nothing when it holds none, which keeps the current selection.
std::optional<int> optionForPath(const std::string& narrowPath);

}  // namespace ui
