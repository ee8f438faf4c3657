#include "ui/path_kind.h"

#include "database/host_kinds.h"
#include "ui/window_layout.h"

namespace ui {

std::optional<int> optionForPath(const std::string& narrowPath) {
    for (const hostkind::HostKind& kind : hostkind::kKinds) {
        if (narrowPath.find(kind.pathWord) == std::string::npos) continue;
        for (std::size_t index = 0; index < layout::kKindOptions.size(); ++index)
            if (layout::kKindOptions[index].kind == &kind) return static_cast<int>(index);
    }
    return std::nullopt;
}

}  // namespace ui
