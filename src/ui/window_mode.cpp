#include "ui/window_mode.h"

#include <utility>

#include "database/engine/db_engine.h"

namespace ui {

WindowMode::WindowMode(repairM::MessageBoxHook messageBox, repairM::ProgressHook progress,
                       std::function<void()> keepAlive) {
    repairM::installHooks(std::move(messageBox), std::move(progress));
    engine::DBEngine::instance().setKeepAlive(std::move(keepAlive));
}

WindowMode::~WindowMode() {
    engine::DBEngine::instance().setKeepAlive({});
    repairM::installHooks({}, {});
}

}  // namespace ui
