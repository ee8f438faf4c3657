#pragma once

#include <optional>
#include <string>

namespace ui {

// The option button that a chosen path selects: the first path word found in `narrowPath`
// (already lower case and narrow), the words taken in the order of the host's kinds, which puts
// "sys" first.
// Nothing when it holds none, which keeps the current selection.
std::optional<int> optionForPath(const std::string& narrowPath);

}  // namespace ui
