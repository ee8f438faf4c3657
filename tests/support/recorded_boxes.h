#pragma once

#include <string>
#include <vector>

#include "common/hooks.h"
#include "common/module_state.h"

namespace testsupport {

// Window mode without a window: the core's message boxes are recorded as
// "prompt|style|title" while an instance lives.
class RecordedBoxes {
public:
    RecordedBoxes() {
        repairM::CommandLineMode = false;
        repairM::installHooks(
            [this](const std::string& prompt, int style, const std::string& title) {
                boxes_.push_back(prompt + "|" + std::to_string(style) + "|" + title);
                return repairM::vbOK;
            },
            nullptr);
    }
    ~RecordedBoxes() { repairM::installHooks(nullptr, nullptr); }
    RecordedBoxes(const RecordedBoxes&) = delete;
    RecordedBoxes& operator=(const RecordedBoxes&) = delete;

    const std::vector<std::string>& all() const { return boxes_; }

private:
    std::vector<std::string> boxes_;
};

}  // namespace testsupport
