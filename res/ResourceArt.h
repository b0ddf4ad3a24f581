// The pictures of the resource set, each drawn as pixel art by its own builder.
#pragma once

#include "platform/api/Resources.h"

namespace tilvane::art {

// Icon 102 in its two sizes, 32 x 32 and 16 x 16.
platform::IconResource MainIcon();

// The 27 x 27 header pictures.
platform::BitmapResource StartPicture();
platform::BitmapResource AboutPicture();
platform::BitmapResource ColourPicture();
platform::BitmapResource ExitPicture();

// The 32 x 32 hand cursors with their hot spots.
platform::CursorResource GripCursor();
platform::CursorResource PointerCursor();

}  // namespace tilvane::art
