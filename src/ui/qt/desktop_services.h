#pragma once

#include "window_services.h"

namespace ui {

// The real desktop and core behind repairF: Qt's file dialog and message boxes, the
// system beep, repairC's existence check, RepairDataFile, and the user's text viewer.
WindowServices desktopServices();

}  // namespace ui
