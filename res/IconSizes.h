// The program's icon at the sizes a desktop's icon theme asks for, enlarged from the pixel art so that it
// stays crisp.
#pragma once

#include "platform/api/Resources.h"

namespace tilvane {

// The picture of `icon` to enlarge for a size × size square: the largest that is no larger, so that
// every pixel of the art is kept; the smallest when all are larger. Null when the icon has no picture.
const platform::PixelImage* PickIconArt(const platform::IconResource& icon, int size);

// `art` scaled to size × size by nearest neighbour: each pixel of the result is a pixel of the art, and
// the art's pixels cover equal shares of the result up to one pixel of rounding.
platform::PixelImage ScaleNearest(const platform::PixelImage& art, int size);

}  // namespace tilvane
