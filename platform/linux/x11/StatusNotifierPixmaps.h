// The icon pictures a StatusNotifierItem hands to the desktop: the sizes panels ask for, as ARGB32 bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/linux/Backend.h"

namespace platform::x11 {

// One picture of the IconPixmap property: width × height pixels, four bytes each, alpha, red, green,
// blue in that order (network byte order), straight alpha, row by row.
struct StatusNotifierPixmap {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> argb;
};

// The sides every item offers: what panels draw at 1× and 2× scale.
inline constexpr int kStatusNotifierSides[] = {16, 22, 32, 48, 64};

// The icon at every side of kStatusNotifierSides, smallest first, made from `images`: a picture of that
// side as it is; else one whose side divides it, enlarged pixel for pixel so that pixel art stays crisp;
// else the best larger (or the largest) picture, scaled by area averaging. Empty when no image is usable.
std::vector<StatusNotifierPixmap> MakeStatusNotifierPixmaps(const std::vector<PixelImage>& images);

}  // namespace platform::x11
