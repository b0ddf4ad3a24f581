// Picking the picture of an icon that suits a size, and scaling it to that size: for the desktop's theme
// icons, the tray's icon and the StatusNotifier pixmaps alike.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/api/Resources.h"

namespace platform {

// Which picture of an icon suits a size × size square.
enum class IconFit {
  // The largest no larger than the square, else the smallest: enlarged, it keeps every pixel of the art.
  KeepPixels,
  // The smallest at least as large as the square, else the largest: what averaging down wants.
  ScaleDown,
  // The largest square picture whose side divides the square's, to enlarge by a whole factor; else none.
  WholeFactor,
};

// Null when no picture fits as asked or none has pixels.
const PixelImage* PickIconPicture(const std::vector<PixelImage>& pictures, int size, IconFit fit);

// `picture` scaled to size × size by nearest neighbour, each target pixel's centre picking its source
// pixel: each pixel of the result is a pixel of the art, and the art's pixels cover equal shares of the
// result up to one pixel of rounding (exactly, for a whole factor).
PixelImage ScaleIconNearest(const PixelImage& picture, int size);
// `picture` scaled to size × size by area averaging, as premultiplied 0xAARRGGBB.
std::vector<std::uint32_t> ScaleIconAveraged(const PixelImage& picture, int size);

}  // namespace platform
