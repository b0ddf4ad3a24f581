// Icons and cursors loaded from the program's resources, and the current cursor.
#pragma once

#include "platform/api/Resources.h"
#include "platform/api/Types.h"

// A cursor of the program's resources, or null when it has none with that id.
HCURSOR LoadCursor(UINT id);
HICON LoadIcon(UINT id);
// What stands for a window dragged as an icon: the icon's large picture as a cursor (null for no icon).
HCURSOR IconAsCursor(HICON icon);
