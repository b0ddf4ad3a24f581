// Picks and scales icon pictures for a tray that decides the icon's size itself.
#include "platform/linux/x11/X11IconScaler.h"

#include <algorithm>
#include <cmath>

namespace platform::x11 {

namespace {

bool Usable(const PixelImage& image) {
  return image.width > 0 && image.height > 0 &&
         image.argb.size() >= static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
}

}  // namespace

const PixelImage* PickIcon(const std::vector<PixelImage>& images, int size) {
  const PixelImage* bestLarger = nullptr;
  const PixelImage* largest = nullptr;
  for (const PixelImage& image : images) {
    if (!Usable(image)) continue;
    const int side = std::min(image.width, image.height);
    if (side >= size && (!bestLarger || side < std::min(bestLarger->width, bestLarger->height)))
      bestLarger = &image;
    if (!largest || side > std::min(largest->width, largest->height)) largest = &image;
  }
  return bestLarger ? bestLarger : largest;
}

std::vector<std::uint32_t> ScaleIconPremultiplied(const PixelImage& image, int size) {
  std::vector<std::uint32_t> out(
      static_cast<size_t>(std::max(size, 0)) * static_cast<size_t>(std::max(size, 0)), 0);
  if (size <= 0 || !Usable(image)) return out;
  // Each target pixel averages the source area it covers, weighted by overlap, in premultiplied
  // colour so that transparent pixels do not darken the edges. Enlarging falls out as nearest-like.
  const double scaleX = static_cast<double>(image.width) / size;
  const double scaleY = static_cast<double>(image.height) / size;
  for (int ty = 0; ty < size; ++ty) {
    const double y0 = ty * scaleY;
    const double y1 = (ty + 1) * scaleY;
    for (int tx = 0; tx < size; ++tx) {
      const double x0 = tx * scaleX;
      const double x1 = (tx + 1) * scaleX;
      double a = 0, r = 0, g = 0, b = 0, area = 0;
      for (int sy = static_cast<int>(y0); sy < image.height && sy < y1; ++sy) {
        const double wy = std::min<double>(sy + 1, y1) - std::max<double>(sy, y0);
        for (int sx = static_cast<int>(x0); sx < image.width && sx < x1; ++sx) {
          const double w = wy * (std::min<double>(sx + 1, x1) - std::max<double>(sx, x0));
          if (w <= 0) continue;
          const std::uint32_t p =
              image
                  .argb[static_cast<size_t>(sy) * static_cast<size_t>(image.width) + static_cast<size_t>(sx)];
          const double pa = (p >> 24) / 255.0;
          a += w * pa;
          r += w * pa * ((p >> 16) & 0xFF);
          g += w * pa * ((p >> 8) & 0xFF);
          b += w * pa * (p & 0xFF);
          area += w;
        }
      }
      if (area <= 0) continue;
      auto byte = [area](double v) {
        return static_cast<std::uint32_t>(std::clamp(std::lround(v / area), 0l, 255l));
      };
      out[static_cast<size_t>(ty) * static_cast<size_t>(size) + static_cast<size_t>(tx)] =
          (byte(a * 255.0) << 24) | (byte(r) << 16) | (byte(g) << 8) | byte(b);
    }
  }
  return out;
}

}  // namespace platform::x11
