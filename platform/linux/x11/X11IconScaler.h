// Chooses the icon picture that suits a size best and scales it to that size.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/linux/Backend.h"

namespace platform::x11 {

// The picture among `images` best for a size × size square: the smallest at least that large, else the
// largest; null when none is usable.
const PixelImage* PickIcon(const std::vector<PixelImage>& images, int size);
// `image` scaled to size × size by area averaging, as premultiplied 0xAARRGGBB.
std::vector<std::uint32_t> ScaleIconPremultiplied(const PixelImage& image, int size);

}  // namespace platform::x11
