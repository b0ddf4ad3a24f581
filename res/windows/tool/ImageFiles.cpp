// Icons, cursors and bitmaps written as the files windres reads: device-independent bitmaps bottom-up, with
// a palette of the colours the art uses and, for icons and cursors, an AND mask for the transparent pixels.
#include "res/windows/tool/ImageFiles.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace tilvane::rc {

namespace {

constexpr std::uint32_t kOpaque = 0xFF000000;

void PutWord(std::string& out, std::uint32_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void PutDword(std::string& out, std::uint32_t value) {
  PutWord(out, value & 0xFFFF);
  PutWord(out, value >> 16);
}

// Bytes in one row of a DIB, which pads every row to a whole number of 32-bit words.
std::uint32_t Stride(int width, int bits) {
  return static_cast<std::uint32_t>((width * bits + 31) / 32 * 4);
}

// A picture as indexes into a palette of 0x00RRGGBB colours, with the positions of transparent pixels.
struct IndexedPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> palette;
  std::vector<std::uint8_t> indexes;
  std::vector<bool> transparent;
};

std::uint8_t IndexOf(std::vector<std::uint32_t>& palette, std::uint32_t rgb, std::size_t limit) {
  auto found = std::find(palette.begin(), palette.end(), rgb);
  if (found == palette.end()) {
    if (palette.size() == limit) {
      throw std::invalid_argument("the picture has more than " + std::to_string(limit) + " colours");
    }
    found = palette.insert(palette.end(), rgb);
  }
  return static_cast<std::uint8_t>(found - palette.begin());
}

// Transparent pixels take black, which the screen's pixel under the mask's set bit passes unchanged.
IndexedPicture Indexed(int width, int height, const std::vector<std::uint32_t>& argb, std::size_t limit) {
  IndexedPicture picture{width, height, {}, {}, {}};
  for (std::uint32_t pixel : argb) {
    const std::uint32_t alpha = pixel & kOpaque;
    if (alpha != kOpaque && alpha != 0) throw std::invalid_argument("the picture is partly transparent");
    picture.transparent.push_back(alpha == 0);
    picture.indexes.push_back(IndexOf(picture.palette, alpha ? pixel & 0x00FFFFFF : 0, limit));
  }
  return picture;
}

// BITMAPINFOHEADER and palette; `rows` is the height the header gives (twice the picture's for an icon).
void PutInfo(std::string& out, const IndexedPicture& picture, int bits, int rows, std::uint32_t imageBytes) {
  const std::uint32_t colours = 1u << bits;
  PutDword(out, 40);
  PutDword(out, static_cast<std::uint32_t>(picture.width));
  PutDword(out, static_cast<std::uint32_t>(rows));
  PutWord(out, 1);
  PutWord(out, static_cast<std::uint32_t>(bits));
  PutDword(out, 0);  // BI_RGB
  PutDword(out, imageBytes);
  PutDword(out, 0);
  PutDword(out, 0);
  PutDword(out, colours);
  PutDword(out, 0);
  for (std::uint32_t i = 0; i < colours; ++i)
    PutDword(out, i < picture.palette.size() ? picture.palette[i] : 0);
}

// The rows bottom-up, as DIBs keep them; `bit(x, y)` is the value of one pixel of `bits` bits.
template <typename PixelBits>
void PutRows(std::string& out, int width, int height, int bits, PixelBits bit) {
  for (int y = height - 1; y >= 0; --y) {
    std::string row(Stride(width, bits), '\0');
    for (int x = 0; x < width; ++x) {
      const int shift = 8 - bits - (x * bits) % 8;
      row[static_cast<std::size_t>(x * bits / 8)] |= static_cast<char>(bit(x, y) << shift);
    }
    out += row;
  }
}

// An icon's or cursor's image: the header, the colour bits and the AND mask.
std::string IconImage(const IndexedPicture& picture) {
  constexpr int kBits = 4;
  const auto at = [&picture](int x, int y) { return static_cast<std::size_t>(y * picture.width + x); };
  const std::uint32_t bytes =
      (Stride(picture.width, kBits) + Stride(picture.width, 1)) * static_cast<std::uint32_t>(picture.height);
  std::string out;
  PutInfo(out, picture, kBits, 2 * picture.height, bytes);
  PutRows(out, picture.width, picture.height, kBits, [&](int x, int y) { return picture.indexes[at(x, y)]; });
  PutRows(out, picture.width, picture.height, 1,
          [&](int x, int y) { return picture.transparent[at(x, y)] ? 1 : 0; });
  return out;
}

IndexedPicture IconColours(const platform::PixelImage& image) {
  if (image.width <= 0 || image.width > 256 || image.height <= 0 || image.height > 256) {
    throw std::invalid_argument("an icon or cursor is 1 to 256 pixels wide and high");
  }
  return Indexed(image.width, image.height, image.argb, 16);
}

// ICONDIR and its entries, then the images. A cursor's entry holds its hot spot where an icon's holds its
// planes and bits.
std::string Directory(const std::vector<platform::PixelImage>& pictures, bool cursor) {
  std::vector<std::string> images;
  for (const platform::PixelImage& picture : pictures) images.push_back(IconImage(IconColours(picture)));
  std::string out;
  PutWord(out, 0);
  PutWord(out, cursor ? 2 : 1);
  PutWord(out, static_cast<std::uint32_t>(images.size()));
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    const platform::PixelImage& picture = pictures[i];
    out.push_back(static_cast<char>(picture.width & 0xFF));  // 0 stands for 256
    out.push_back(static_cast<char>(picture.height & 0xFF));
    out.push_back(16);
    out.push_back(0);
    PutWord(out, cursor ? static_cast<std::uint32_t>(picture.hotspot.x) : 1);
    PutWord(out, cursor ? static_cast<std::uint32_t>(picture.hotspot.y) : 4);
    PutDword(out, static_cast<std::uint32_t>(images[i].size()));
    PutDword(out, offset);
    offset += static_cast<std::uint32_t>(images[i].size());
  }
  for (const std::string& image : images) out += image;
  return out;
}

}  // namespace

std::string IconFile(const std::vector<platform::PixelImage>& pictures) {
  return Directory(pictures, false);
}

std::string CursorFile(const platform::PixelImage& picture) {
  return Directory({picture}, true);
}

std::string BitmapFile(const platform::BitmapResource& bitmap) {
  constexpr int kBits = 8;
  std::vector<std::uint32_t> argb;
  for (std::uint32_t rgb : bitmap.rgb) argb.push_back(kOpaque | rgb);
  const IndexedPicture picture = Indexed(bitmap.width, bitmap.height, argb, 256);
  const std::uint32_t bytes = Stride(bitmap.width, kBits) * static_cast<std::uint32_t>(bitmap.height);
  std::string info;
  PutInfo(info, picture, kBits, bitmap.height, bytes);
  std::string out = "BM";
  PutDword(out, 14 + static_cast<std::uint32_t>(info.size()) + bytes);
  PutDword(out, 0);
  PutDword(out, 14 + static_cast<std::uint32_t>(info.size()));
  out += info;
  PutRows(out, bitmap.width, bitmap.height, kBits,
          [&](int x, int y) { return picture.indexes[static_cast<std::size_t>(y * bitmap.width + x)]; });
  return out;
}

}  // namespace tilvane::rc
