#include "window_caption.h"

#include "ui_texts.h"

namespace ui {

std::string windowCaption() {
    return std::string(text::kCaption) + text::kVersionWord + std::to_string(QN_VERSION_MAJOR) + "." +
           std::to_string(QN_VERSION_MINOR) + "." + std::to_string(QN_VERSION_PATCH);
}

}  // namespace ui
