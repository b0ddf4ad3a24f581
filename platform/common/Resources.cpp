// The resource set of the running thread, and pixel art turned from rows of characters into pictures.
#include "platform/api/Resources.h"

#include <map>
#include <stdexcept>

namespace platform {
namespace {

// Per thread, so that tests running programs on several threads each see their own resources.
thread_local const ResourceSet* t_resources = nullptr;

std::string Describe(char key) {
  if (key >= 0x20 && key < 0x7F) return std::string("'") + key + "'";
  return "byte " + std::to_string(static_cast<unsigned char>(key));
}

std::map<char, std::uint32_t> PaletteMap(const std::vector<PaletteEntry>& palette) {
  std::map<char, std::uint32_t> colours;
  for (const PaletteEntry& entry : palette) {
    if (!colours.emplace(entry.key, entry.argb).second) {
      throw std::invalid_argument("pixel art palette: " + Describe(entry.key) + " appears twice");
    }
  }
  return colours;
}

}  // namespace

const ResourceSet* CurrentResources() {
  return t_resources;
}

void SetCurrentResources(const ResourceSet* resources) {
  t_resources = resources;
}

PixelImage PixelArt(const std::vector<PaletteEntry>& palette, const std::vector<std::string>& rows) {
  const std::map<char, std::uint32_t> colours = PaletteMap(palette);
  PixelImage image;
  image.height = static_cast<int>(rows.size());
  image.width = rows.empty() ? 0 : static_cast<int>(rows.front().size());
  image.argb.reserve(static_cast<size_t>(image.width) * rows.size());
  for (size_t y = 0; y < rows.size(); ++y) {
    if (rows[y].size() != static_cast<size_t>(image.width)) {
      throw std::invalid_argument("pixel art row " + std::to_string(y) + " is " +
                                  std::to_string(rows[y].size()) + " pixels wide; row 0 is " +
                                  std::to_string(image.width));
    }
    for (size_t x = 0; x < rows[y].size(); ++x) {
      auto it = colours.find(rows[y][x]);
      if (it == colours.end()) {
        throw std::invalid_argument("pixel art row " + std::to_string(y) + ", column " + std::to_string(x) +
                                    ": " + Describe(rows[y][x]) + " is not in the palette");
      }
      image.argb.push_back(it->second);
    }
  }
  return image;
}

BitmapResource PixelArtBitmap(const std::vector<PaletteEntry>& palette,
                              const std::vector<std::string>& rows) {
  PixelImage image = PixelArt(palette, rows);
  BitmapResource bitmap;
  bitmap.width = image.width;
  bitmap.height = image.height;
  bitmap.rgb.reserve(image.argb.size());
  // A bitmap is opaque: the alpha of the palette has no meaning here and is dropped.
  for (std::uint32_t argb : image.argb) bitmap.rgb.push_back(argb & 0x00FFFFFF);
  return bitmap;
}

}  // namespace platform
