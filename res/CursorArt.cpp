// The two hand cursors: a gripping hand while the window is dragged and a pointing hand otherwise.
#include "res/ResourceArt.h"

#include <cstdint>
#include <vector>

namespace tilvane::art {

namespace {

// White hands shaded grey with a black outline and a purple and magenta cuff; the rest is transparent.
std::vector<platform::PaletteEntry> HandPalette() {
  return {
      {'.', 0x00000000}, {'k', 0xFF000000}, {'w', 0xFFFFFFFF},
      {'g', 0xFF808080}, {'p', 0xFF800080}, {'m', 0xFFFF00FF},
  };
}

}  // namespace

// The pictures keep one row of pixels to a line, which the formatter would pack together.
// clang-format off

// The closed hand, tilted, with the loop of thumb and finger at the upper left around the hot spot.
platform::CursorResource GripCursor() {
  platform::CursorResource cursor;
  cursor.image = platform::PixelArt(HandPalette(), {
      "................................",
      "................................",
      "................................",
      "..............kkk...............",
      ".....kkkkk...kwwgk..............",
      "....kwkkkgk..kwwwgk.............",
      "....kk...kwkkkkwwwgk............",
      "....kk...kwwwwkkwwwgk...........",
      "....kk...kwkwwwkkwwwgk..........",
      "....kgkkkwwkkwwwwwwwwgk.........",
      ".....kwwwwwwkkwwwwwwwwgk........",
      "......kwkkwwwkwwwwwwwwwgk.......",
      "......kwwkkwwwwwwwwwwwwwgk......",
      "......kgwwkkwwwwwwwwwwwwgk......",
      "......kkwwwwwwwwwwwwwwwwgk......",
      "........kwwwwwwwwwwwwwwwgk......",
      "........kgwwwwwwwwwwwwwwwgk.....",
      ".........kgwwwwwwwwwwwwwwwwkk...",
      "..........kgwwwwwwwwwwwwwwkmmk..",
      "...........kgwwwwwwwwwwwwkmmmpk.",
      "............kgwwwwwwwwwwkmmmpppk",
      ".............kggggwwwwwkmmmppppk",
      "..............kkkkgwwwkmmmpppppk",
      "..................kwwkmmmpppppk.",
      "...................kkmmmpppppk..",
      "...................kmmmpppppk...",
      "....................kmpppppk....",
      ".....................kppppk.....",
      "......................kppk......",
      ".......................kk.......",
      "................................",
      "................................",
  });
  cursor.image.hotspot = POINT{7, 7};
  return cursor;
}

// The hand pointing up with its index finger; the hot spot is the fingertip.
platform::CursorResource PointerCursor() {
  platform::CursorResource cursor;
  cursor.image = platform::PixelArt(HandPalette(), {
      "................................",
      "...........kkk..................",
      "..........kwwgk.................",
      "..........kwwgk.................",
      "..........kwwgk.................",
      "..........kwwgk.................",
      "..........kwwgk.................",
      "..........kwwgk.................",
      "..........kwwwwkkk..............",
      "..........kwwgkwwwkkkk..........",
      "..........kwwgkwwgkwwgk.........",
      "..........kwwgkwwgkwwwwkk.......",
      "......kkkkwwwgkwwgkwwgkwgk......",
      ".....kwwwwwwwgkwwgkwwgkwgk......",
      ".....kwwgkwwwgkwwgkwwgkwgk......",
      ".....kwwgkwwwwwwwwwwwwwwgk......",
      ".....kgwgkwwwwwwwwwwwwwwgk......",
      "......kggkwwwwwwwwwwwwwwgk......",
      ".......kgwwwwwwwwwwwwwwwgk......",
      "........kwwwwwwwwwwwwwwwgk......",
      ".........kwwwwwwwwwwwwwwgk......",
      ".........kwwwwwwwwwwwwwwgk......",
      ".........kggggggggggggggk.......",
      ".........kkkkkkkkkkkkkkkk.......",
      ".........kkkkkkkkkkkkkkkk.......",
      ".........kmmmmmmmmmmmmmmk.......",
      ".........kmmmmmmmmmmmmmmk.......",
      ".........kppppppppppppppk.......",
      ".........kppppppppppppppk.......",
      ".........kppppppppppppppk.......",
      ".........kkkkkkkkkkkkkkkk.......",
      "................................",
  });
  cursor.image.hotspot = POINT{12, 1};
  return cursor;
}

// clang-format on

}  // namespace tilvane::art
