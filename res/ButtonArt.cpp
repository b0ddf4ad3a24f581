// The four header pictures, 27 x 27 pixels on white, drawn as rows of palette characters.
#include "res/ResourceArt.h"

#include <cstdint>
#include <vector>

namespace tilvane::art {

namespace {

// Colours shared by the pictures; every picture has a white background.
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kGrey = 0xFF868686;
constexpr std::uint32_t kNearBlack = 0xFF040404;
constexpr std::uint32_t kSilver = 0xFFC0C0C0;
constexpr std::uint32_t kMagenta = 0xFFFF00FF;
constexpr std::uint32_t kCyan = 0xFF00FFFF;
constexpr std::uint32_t kYellow = 0xFFFFFF00;
constexpr std::uint32_t kPurple = 0xFF800080;

// The speech balloon of Start and About: a grey outline, open at the upper left, with a near-black shadow
// on the right and below, silver where the outline steps, and a magenta sign inside.
std::vector<platform::PaletteEntry> BalloonPalette() {
  return {{'.', kWhite}, {'g', kGrey}, {'k', kNearBlack}, {'s', kSilver}, {'m', kMagenta}};
}

}  // namespace

// The pictures keep one row of pixels to a line, which the formatter would pack together.
// clang-format off

// Start: an arrow pointing up in the balloon.
platform::BitmapResource StartPicture() {
  return platform::PixelArtBitmap(BalloonPalette(), {
      "...........................",
      "..........sgggggs..........",
      ".......sgg.......ggs.......",
      ".....sg.............gs.....",
      "......................gs...",
      "........................g..",
      "..s.........mmm.........kg.",
      "..g........mmmmm.........k.",
      ".s........mmmmmmm........gk",
      ".g.......mmmmmmmmm.......gk",
      ".g......mmmmmmmmmmm......gk",
      ".g........mmmmmm.........gk",
      ".s........mmmmmm.........gk",
      "..g.......mmmmmm.........gk",
      "..s.......mmmmmm........gkk",
      "...g...................gsk.",
      "...kgs...............sgkk..",
      "....kkggs..........sggkk...",
      "......kkgggggg....gkkk.....",
      ".........kkkkkg...gk.......",
      "..............sg..gk.......",
      "...............g..gk.......",
      "...............sg.gk.......",
      "................g.gk.......",
      "................sggk.......",
      ".................gkk.......",
      ".................kk........",
  });
}

// About: a lower-case "i" in the balloon.
platform::BitmapResource AboutPicture() {
  return platform::PixelArtBitmap(BalloonPalette(), {
      "...........................",
      "..........sgggggs..........",
      ".......sgg.......ggs.......",
      ".....sg.....mmm.....gs.....",
      "...........mmmmm......gs...",
      "...........mmmmm........g..",
      "..s.........mmm.........kg.",
      "..g......................k.",
      ".s........mmmmmm.........gk",
      ".g.........mmmmm.........gk",
      ".g..........mmmm.........gk",
      ".g..........mmmm.........gk",
      ".s..........mmmm.........gk",
      "..g.........mmmm.........gk",
      "..s.........mmmm........gkk",
      "...g......mmmmmmmm.....gsk.",
      "...kgs...............sgkk..",
      "....kkggs..........sggkk...",
      "......kkgggggg....gkkk.....",
      ".........kkkkkg...gk.......",
      "..............sg..gk.......",
      "...............g..gk.......",
      "...............sg.gk.......",
      "................g.gk.......",
      "................sggk.......",
      ".................gkk.......",
      ".................kk........",
  });
}

// Colour cycle: three bands rising to the right, magenta, cyan and yellow, two white pixels apart.
platform::BitmapResource ColourPicture() {
  return platform::PixelArtBitmap({{'.', kWhite}, {'m', kMagenta}, {'c', kCyan}, {'y', kYellow}}, {
      "...........mmmmmmmm..cccccc",
      "..........mmmmmmmm..ccccccc",
      ".........mmmmmmmm..cccccccc",
      "........mmmmmmmm..ccccccccc",
      ".......mmmmmmmm..cccccccccc",
      "......mmmmmmmm..ccccccccccc",
      ".....mmmmmmmm..ccccccccccc.",
      "....mmmmmmmm..ccccccccccc..",
      "...mmmmmmmm..ccccccccccc..y",
      "..mmmmmmmm..ccccccccccc..yy",
      ".mmmmmmmm..ccccccccccc..yyy",
      "mmmmmmmm..ccccccccccc..yyyy",
      "mmmmmmm..ccccccccccc..yyyyy",
      "mmmmmm..ccccccccccc..yyyyyy",
      "mmmmm..ccccccccccc..yyyyyyy",
      "mmmm..ccccccccccc..yyyyyyyy",
      "mmm..ccccccccccc..yyyyyyyy.",
      "mm..ccccccccccc..yyyyyyyy..",
      "m..ccccccccccc..yyyyyyyy...",
      "..ccccccccccc..yyyyyyyy....",
      ".ccccccccccc..yyyyyyyy.....",
      "ccccccccccc..yyyyyyyy......",
      "cccccccccc..yyyyyyyy.......",
      "ccccccccc..yyyyyyyy........",
      "cccccccc..yyyyyyyy.........",
      "ccccccc..yyyyyyyy..........",
      "cccccc..yyyyyyyy...........",
  });
}

// Exit: an arrow running into an open doorway whose purple door has swung out towards the viewer.
platform::BitmapResource ExitPicture() {
  return platform::PixelArtBitmap(
      {
          {'.', kWhite}, {'k', kNearBlack}, {'p', kPurple}, {'m', kMagenta}, {'g', kGrey}, {'s', kSilver},
      },
      {
      ".......................mmmm",
      "..........kkkkkkkkmmmmmpppm",
      "..........kgggggggmpppppppm",
      "..........kgggggggmpppppppm",
      "..........kgggggggmpppppppm",
      "..........kgggggggmpppppppm",
      "..........kgggggggmpppppppm",
      "..........kgggggggmpppppppm",
      "......kk..kgggggggmpppppppm",
      "kkkkkkkmkkkgggggggmpppppppm",
      "m......mmmkkggggggmpppppppm",
      "mmmmmmmmmmmmkgggggmpppppppm",
      "mmmmmmmmmmkkggggggmppppp.pm",
      "kkkkkkkmkkkgggggggmppppp.pm",
      "......kk..kgggggggmpppppppm",
      "..........kgggggggmpppppppm",
      "..........kgggggggmpppppppm",
      "..........kgggggggmpppppppm",
      "..........kgggggggmpppppppm",
      "..........kgggggggmpppppppm",
      "..........kgggggggmpppppppm",
      "kkkkkkkkkkkkkkkkkkmpppppppm",
      "s.s.s.s.s.s.s.s.s.smmpppppm",
      ".s.s.s.s.s.s.s.s.s.s.mmpppm",
      "s.s.s.s.s.s.s.s.s.s.s.smppm",
      ".s.s.s.s.s.s.s.s.s.s.s.smmm",
      "s.s.s.s.s.s.s.s.s.s.s.s.s.m",
      });
}

// clang-format on

}  // namespace tilvane::art
