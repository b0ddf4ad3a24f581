// Makes the IconPixmap pictures of a StatusNotifierItem from the program's icon pictures.
#include "platform/linux/x11/StatusNotifierPixmaps.h"

#include <algorithm>

#include "platform/api/IconPictures.h"

namespace platform::x11 {

namespace {

void AppendPixel(std::vector<std::uint8_t>& bytes, std::uint32_t argb) {
  bytes.push_back(static_cast<std::uint8_t>(argb >> 24));
  bytes.push_back(static_cast<std::uint8_t>(argb >> 16));
  bytes.push_back(static_cast<std::uint8_t>(argb >> 8));
  bytes.push_back(static_cast<std::uint8_t>(argb));
}

StatusNotifierPixmap Enlarged(const PixelImage& image, int side) {
  StatusNotifierPixmap pixmap{side, side, {}};
  pixmap.argb.reserve(static_cast<size_t>(side) * static_cast<size_t>(side) * 4);
  for (std::uint32_t pixel : ScaleIconNearest(image, side).argb) AppendPixel(pixmap.argb, pixel);
  return pixmap;
}

// The scaler works in premultiplied colour; the property wants straight alpha.
std::uint32_t Unpremultiplied(std::uint32_t premultiplied) {
  const std::uint32_t alpha = premultiplied >> 24;
  if (alpha == 0) return 0;
  auto channel = [&](int shift) {
    const std::uint32_t value = (premultiplied >> shift) & 0xFF;
    return std::min<std::uint32_t>(255, (value * 255 + alpha / 2) / alpha) << shift;
  };
  return (alpha << 24) | channel(16) | channel(8) | channel(0);
}

StatusNotifierPixmap Scaled(const PixelImage& image, int side) {
  StatusNotifierPixmap pixmap{side, side, {}};
  pixmap.argb.reserve(static_cast<size_t>(side) * static_cast<size_t>(side) * 4);
  for (std::uint32_t pixel : ScaleIconAveraged(image, side)) AppendPixel(pixmap.argb, Unpremultiplied(pixel));
  return pixmap;
}

}  // namespace

std::vector<StatusNotifierPixmap> MakeStatusNotifierPixmaps(const std::vector<PixelImage>& images) {
  std::vector<StatusNotifierPixmap> pixmaps;
  for (int side : kStatusNotifierSides) {
    if (const PixelImage* exact = PickIconPicture(images, side, IconFit::WholeFactor)) {
      pixmaps.push_back(Enlarged(*exact, side));
    } else if (const PixelImage* picked = PickIconPicture(images, side, IconFit::ScaleDown)) {
      pixmaps.push_back(Scaled(*picked, side));
    }
  }
  return pixmaps;
}

}  // namespace platform::x11
