#include "path_kind.h"

#include "ui_texts.h"

namespace ui {

std::optional<int> optionForPath(const std::string& narrowPath) {
    for (const int index : text::kPathWordOrder)
        if (narrowPath.find(text::kKindOptions[index].pathWord) != std::string::npos) return index;
    return std::nullopt;
}

}  // namespace ui
