// Icons and cursors loaded from the program's resources, and the current cursor.
#pragma once

#include "platform/api/Resources.h"
#include "platform/api/Types.h"

#if !defined(_WIN32)
// On Windows these are the system's own cursors and icons, made from the same pictures.
using HCURSOR = const platform::PixelImage*;
using HICON = const platform::IconResource*;

constexpr UINT IDC_ARROW = 32512;
#endif

// A cursor of the current resource set, or null when it has none with that id.
HCURSOR LoadCursor(UINT id);
HICON LoadIcon(UINT id);
// What stands for a window dragged as an icon: the icon's large picture as a cursor (null for no icon).
HCURSOR IconAsCursor(HICON icon);
#if !defined(_WIN32)
// The desktop's own cursors (only the arrow is known).
HCURSOR LoadStandardCursor(UINT id);
// Makes the cursor current over the window under the pointer; returns the previous one.
HCURSOR SetCursor(HCURSOR cursor);
#endif
