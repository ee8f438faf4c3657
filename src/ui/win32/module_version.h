#pragma once

#include "ui/window_caption.h"

namespace ui::win32 {

// The file version in the running executable's version resource (VS_FIXEDFILEINFO), the one
// Explorer shows: major, minor and the third number as the revision. Zeros when it has none.
ProgramVersion moduleVersion();

}  // namespace ui::win32
