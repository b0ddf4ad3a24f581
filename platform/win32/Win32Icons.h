// The small picture of an icon of the program, for the places that show an icon small: the window's small
// icon (the title bar, the task switcher) and the notification area.
#pragma once

#include "platform/api/Types.h"

namespace platform {

// For an icon that LoadIcon loaded, the module's picture of the system's small icon size (16 pixels at
// 96 DPI) of the same icon; any other icon as it is.
HICON SmallIconOf(HICON icon);

}  // namespace platform
