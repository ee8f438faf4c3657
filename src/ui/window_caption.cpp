#include "ui/window_caption.h"

#include "ui/ui_texts.h"

namespace ui {

ProgramVersion builtVersion() { return {QN_VERSION_MAJOR, QN_VERSION_MINOR, QN_VERSION_PATCH}; }

std::string windowCaption(const ProgramVersion& version) {
    return std::string(text::kCaption) + text::kVersionWord + std::to_string(version.major) + "." +
           std::to_string(version.minor) + "." + std::to_string(version.revision);
}

}  // namespace ui
