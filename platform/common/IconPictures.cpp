// Picks and scales icon pictures: written once, for every place that shows the program's icon at a size.
#include "platform/api/IconPictures.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace platform {

namespace {

bool Usable(const PixelImage& image) {
  return image.width > 0 && image.height > 0 &&
         image.argb.size() >= static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
}

int Side(const PixelImage& image) {
  return std::min(image.width, image.height);
}

// Whether `candidate` suits the square better than `best` (null: nothing yet), for one way of fitting.
bool Better(const PixelImage& candidate, const PixelImage* best, int size, IconFit fit) {
  const int side = Side(candidate);
  switch (fit) {
    case IconFit::KeepPixels: return side <= size && (!best || side > Side(*best));
    case IconFit::ScaleDown: return side >= size && (!best || side < Side(*best));
    case IconFit::WholeFactor:
      return candidate.width == candidate.height && size % side == 0 && (!best || side > Side(*best));
  }
  return false;
}

}  // namespace

const PixelImage* PickIconPicture(const std::vector<PixelImage>& pictures, int size, IconFit fit) {
  const PixelImage* best = nullptr;
  // What stands in when no picture fits: the smallest for KeepPixels, the largest for ScaleDown.
  const PixelImage* fallback = nullptr;
  for (const PixelImage& picture : pictures) {
    if (!Usable(picture)) continue;
    if (Better(picture, best, size, fit)) best = &picture;
    const bool smaller = !fallback || Side(picture) < Side(*fallback);
    const bool larger = !fallback || Side(picture) > Side(*fallback);
    if ((fit == IconFit::KeepPixels && smaller) || (fit == IconFit::ScaleDown && larger)) fallback = &picture;
  }
  return best ? best : fallback;
}

PixelImage ScaleIconNearest(const PixelImage& art, int size) {
  PixelImage out;
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

std::vector<std::uint32_t> ScaleIconAveraged(const PixelImage& image, int size) {
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

}  // namespace platform
