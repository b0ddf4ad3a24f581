// The program's icon at the sizes a desktop's icon theme asks for, enlarged from the pixel art so that it
// stays crisp.
#include "res/IconSizes.h"

#include <cstddef>

namespace tilvane {

const platform::PixelImage* PickIconArt(const platform::IconResource& icon, int size) {
  const platform::PixelImage* largestFitting = nullptr;
  const platform::PixelImage* smallest = nullptr;
  for (const platform::PixelImage& image : icon.images) {
    if (image.width <= 0 || image.height <= 0) continue;
    if (image.width <= size && (!largestFitting || image.width > largestFitting->width))
      largestFitting = &image;
    if (!smallest || image.width < smallest->width) smallest = &image;
  }
  return largestFitting ? largestFitting : smallest;
}

platform::PixelImage ScaleNearest(const platform::PixelImage& art, int size) {
  platform::PixelImage out;
  if (size <= 0 || art.width <= 0 || art.height <= 0) return out;
  out.width = size;
  out.height = size;
  out.argb.reserve(static_cast<std::size_t>(size) * static_cast<std::size_t>(size));
  // The centre of each target pixel picks its source pixel, in integers so that every size is exact.
  for (int y = 0; y < size; ++y) {
    const int sy = (2 * y + 1) * art.height / (2 * size);
    for (int x = 0; x < size; ++x) {
      const int sx = (2 * x + 1) * art.width / (2 * size);
      out.argb.push_back(art.argb[static_cast<std::size_t>(sy) * static_cast<std::size_t>(art.width) +
                                  static_cast<std::size_t>(sx)]);
    }
  }
  return out;
}

}  // namespace tilvane
