// Menu 181: the one popup menu, reached from the tray icon and by a right click on the window.
#pragma once

#include "platform/api/Resources.h"

namespace tilvane {
platform::MenuResource PopupMenu();
}
