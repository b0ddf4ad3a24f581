// Icon 102 in its two sizes: a red-framed check of red, white and magenta with black lettering.
#include "res/ResourceArt.h"

#include <cstdint>
#include <vector>

namespace tilvane::art {

namespace {

// The corners are cut away by transparent pixels, which the icon's mask leaves out.
std::vector<platform::PaletteEntry> IconPalette() {
  return {
      {'.', 0x00000000}, {'r', 0xFFFF0000}, {'w', 0xFFFFFFFF}, {'m', 0xFFFF00FF}, {'k', 0xFF000000},
  };
}

}  // namespace

// The pictures keep one row of pixels to a line, which the formatter would pack together.
// clang-format off

platform::IconResource MainIcon() {
  platform::IconResource icon;
  icon.images.push_back(platform::PixelArt(IconPalette(), {
      "..rrrrrrrrrrrrrrrrrrrrrrrrrrrr..",
      ".rrrrrrrrrrrrrrrrrrrrrrrrrrrrrr.",
      "rrrrrrwwwwrrrrwwwwrrrrwwwwrrrrrr",
      "rrrrrrwwwwrrrrwwwwrrrrwwwwrrrrrr",
      "rrrrrrwwwwrrrrwwwwrrrrwwwwrrrrrr",
      "rrrrrrwwwwrrrrwwwwrrrrwwwwrrrrrr",
      "rrwwwwmmmmwwwwmmmmwwwwmmmmwwwwrr",
      "rrwwwwmmmmwwwwmmmmwwwwmmmmwwwwrr",
      "rrwwwwmmmmwwwwmmmmwwwwmmmmwwwwrr",
      "rrwwwwmmmmwwwwmmmmwwwwmmmmwwwwrr",
      "rrrrrrwwwwwwwwwwwwwwwwwwwwrrrrrr",
      "rrrrrrwwwwkkwwwwwkkkkkkwwwrrrrrr",
      "rrrrrrwwwwkkwwwwwkkkkkkwwwrrrrrr",
      "rrrrrrwwkkkkwwwwwkkwwwwwwwrrrrrr",
      "rrwwwwwwkkkkwwwwwkkwwwwwwwwwwwrr",
      "rrwwwwwwwwkkwwwwwkkkkwwwwwwwwwrr",
      "rrwwwwwwwwkkwwwwwkkkkwwwwwwwwwrr",
      "rrwwwwwwwwkkwwwwwwwwwkkwwwwwwwrr",
      "rrrrrrwwwwkkwwwwwwwwwkkwwwrrrrrr",
      "rrrrrrwwkkkkkkwwwkkkkwwwwwrrrrrr",
      "rrrrrrwwkkkkkkwwwkkkkwwwwwrrrrrr",
      "rrrrrrwwwwwwwwwwwwwwwwwwwwrrrrrr",
      "rrwwwwmmmmwwwwmmmmwwwwmmmmwwwwrr",
      "rrwwwwmmmmwwwwmmmmwwwwmmmmwwwwrr",
      "rrwwwwmmmmwwwwmmmmwwwwmmmmwwwwrr",
      "rrwwwwmmmmwwwwmmmmwwwwmmmmwwwwrr",
      "rrrrrrwwwwrrrrwwwwrrrrwwwwrrrrrr",
      "rrrrrrwwwwrrrrwwwwrrrrwwwwrrrrrr",
      "rrrrrrwwwwrrrrwwwwrrrrwwwwrrrrrr",
      "rrrrrrwwwwrrrrwwwwrrrrwwwwrrrrrr",
      ".rrrrrrrrrrrrrrrrrrrrrrrrrrrrrr.",
      "..rrrrrrrrrrrrrrrrrrrrrrrrrrrr..",
  }));
  icon.images.push_back(platform::PixelArt(IconPalette(), {
      ".rrrrrrrrrrrrrr.",
      "rrrwwrrwwrrwwrrr",
      "rrrwwrrwwrrwwrrr",
      "rwwmmwwmmwwmmwwr",
      "rwwwwwwwwwwwwwwr",
      "rrrwwkwwwkkkwrrr",
      "rrrwkkwwwkwwwrrr",
      "rwwwwkwwwkkwwwwr",
      "rwwwwkwwwwwkwwwr",
      "rrrwkkkwwkkwwrrr",
      "rrrwwwwwwwwwwrrr",
      "rwwmmwwmmwwmmwwr",
      "rwwmmwwmmwwmmwwr",
      "rrrwwrrwwrrwwrrr",
      "rrrwwrrwwrrwwrrr",
      ".rrrrrrrrrrrrrr.",
  }));
  return icon;
}

// clang-format on

}  // namespace tilvane::art
