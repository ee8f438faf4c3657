#include "ui/window_layout.h"

#include <algorithm>

namespace ui::layout {

std::vector<const Control*> controlsInTabOrder() {
    std::vector<const Control*> controls = {&kFileHeading, &kPathLabel,   &kChooseButton, &kKindHeading,
                                            &kProgressBar, &kStartButton, &kCancelButton};
    for (const KindOption& option : kKindOptions) controls.push_back(&option.button);
    std::sort(controls.begin(), controls.end(), [](const Control* a, const Control* b) { return a->tab < b->tab; });
    return controls;
}

int pixels(int twips, int dpi) {
    constexpr int kTwipsPerInch = 1440;
    return (twips * dpi + kTwipsPerInch / 2) / kTwipsPerInch;
}

}  // namespace ui::layout
