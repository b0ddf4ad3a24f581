// The painted pixels of the main window and its tiles: rim, pattern, header pictures, tiles and the hole.
#include <gtest/gtest.h>

#include "ProgramHarness.h"
#include "platform/api/DC.h"
#include "platform/api/Gdi.h"
#include "platform/linux/FontCatalog.h"
#include "res/TilvaneResources.h"

namespace program_test {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kRed = Screen(RGB(255, 0, 0));
constexpr std::uint32_t kLightRed = Screen(RGB(255, 150, 150));

TEST(Paint, TheRimIsAThreePixelRingInTheThemeColourPaintedOverThePattern) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs);
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    auto at = [&](int x, int y) { return WindowPixel(run.backend, dlg, x, y); };
    // The ring is x 0 to 2 and 207 to 209, y 0 to 2 and 242 to 244 of the 210 x 245 window.
    EXPECT_FALSE(at(210, 122).has_value());
    EXPECT_FALSE(at(100, 245).has_value());
    // Top and bottom edges in an even pattern column, whose even rows (0 and 34) are light.
    for (int y : {0, 1, 2, 242, 243, 244}) EXPECT_EQ(at(100, y), kRed) << "y " << y;
    EXPECT_EQ(at(100, 3), kLightRed);
    EXPECT_EQ(at(100, 241), kLightRed);
    // The left edge in an even row (light in column 0), the right edge in an odd row of an odd column
    // (white).
    for (int x : {0, 1, 2, 207, 208, 209}) EXPECT_EQ(at(x, 115), kRed) << "x " << x;
    EXPECT_EQ(at(3, 115), kLightRed);
    EXPECT_EQ(at(206, 122), kWhite);
  });
  run.Run();
}

// Draws the pattern of the running window into a white bitmap of the frame's size.
class CPatternCanvas {
 public:
  explicit CPatternCanvas(CPuzzleDlg& dlg, int nStep) {
    RECT frame;
    dlg.GetFrameRect(&frame);
    m_bitmap.CreateBitmap(frame.right, frame.bottom);
    m_dc.CreateCompatibleDC(nullptr);
    m_dc.SelectObject(&m_bitmap);
    m_dc.FillSolidRect(frame, RGB(255, 255, 255));
    dlg.DrawPattern(&m_dc, nStep, RGB(255, 0, 0), RGB(255, 150, 150));
  }
  // Whether every pixel of the square (x, y)-(x + s, y + s) has the colour.
  bool Square(int x, int y, int s, COLORREF cr) const {
    for (int j = y; j < y + s; ++j) {
      for (int i = x; i < x + s; ++i) {
        if (m_dc.GetPixel(i, j) != cr) return false;
      }
    }
    return true;
  }
  COLORREF At(int x, int y) const { return m_dc.GetPixel(x, y); }

 private:
  CBitmap m_bitmap;
  CDC m_dc;
};

TEST(Paint, PatternStep3RepeatsASixPixelBlockOfLightThemeThemeAndWhite) {
  ProgramRun run;
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    CPatternCanvas canvas(dlg, 3);
    EXPECT_TRUE(canvas.Square(30, 30, 3, RGB(255, 150, 150)));
    EXPECT_TRUE(canvas.Square(33, 30, 3, RGB(255, 0, 0)));
    EXPECT_TRUE(canvas.Square(30, 33, 3, RGB(255, 0, 0)));
    EXPECT_TRUE(canvas.Square(33, 33, 3, RGB(255, 255, 255)));
    for (int y = 0; y + 6 <= 245; y += 6) {
      for (int x = 0; x + 6 <= 210; x += 6) {
        ASSERT_TRUE(canvas.Square(x, y, 3, RGB(255, 150, 150))) << x << "," << y;
        ASSERT_TRUE(canvas.Square(x + 3, y + 3, 3, RGB(255, 255, 255))) << x << "," << y;
      }
    }
  });
  // On the window itself, left of the board, where neither header nor tiles cover it.
  run.backend.Wait(kRestTimeMs);
  run.Command(ID_PATTERN_3);
  run.backend.Wait(10);
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    auto at = [&](int x, int y) { return WindowPixel(run.backend, dlg, x, y); };
    EXPECT_EQ(at(6, 60), kLightRed);
    EXPECT_EQ(at(9, 60), kRed);
    EXPECT_EQ(at(6, 63), kRed);
    EXPECT_EQ(at(9, 63), kWhite);
  });
  run.Run();
}

TEST(Paint, AnOddColumnThatWouldReachPastTheRightEdgeIsNotDrawn) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs);
  run.Command(ID_BOARD_64).Command(ID_PATTERN_15);
  run.backend.Wait(10);
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    RECT frame;
    dlg.GetFrameRect(&frame);
    ASSERT_EQ(frame.right, 350);
    CPatternCanvas canvas(dlg, 15);
    // Column 22 (x 330 to 345) is drawn down the whole frame; column 23 nowhere.
    EXPECT_TRUE(canvas.Square(330, 0, 15, RGB(255, 150, 150)));
    EXPECT_TRUE(canvas.Square(330, 15, 15, RGB(255, 0, 0)));
    for (int y = 0; y < 385; ++y) {
      for (int x = 345; x < 350; ++x) ASSERT_EQ(canvas.At(x, y), RGB(255, 255, 255)) << x << "," << y;
    }
    // The rows of the even columns go one pair past the bottom, clipped; nothing breaks at the edge.
    EXPECT_TRUE(canvas.Square(0, 360, 15, RGB(255, 150, 150)));
    // On the window the strip of column 23 stays white, x 345 and 346, up to the rim at x 347 to 349.
    for (int y : {60, 75, 200}) {
      EXPECT_NE(WindowPixel(run.backend, dlg, 344, y), kWhite) << y;
      EXPECT_EQ(WindowPixel(run.backend, dlg, 345, y), kWhite) << y;
      EXPECT_EQ(WindowPixel(run.backend, dlg, 346, y), kWhite) << y;
      EXPECT_EQ(WindowPixel(run.backend, dlg, 347, y), kRed) << y;
    }
  });
  run.Run();
}

TEST(Paint, AStepOfZeroDrawsNoPattern) {
  ProgramRun run;
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    CPatternCanvas canvas(dlg, 0);
    EXPECT_TRUE(canvas.Square(0, 0, 200, RGB(255, 255, 255)));
  });
  run.Run();
}

// Checks the face, number and bevel of the tile of one cell, and returns how many pixels show the number.
int CheckTile(const platform::CHeadlessBackend& backend, const CPuzzleDlg& dlg, std::size_t cell,
              std::uint32_t face, std::uint32_t text) {
  const RECT rc = dlg.m_tileRects[cell];
  const int w = rc.right - rc.left;
  const int h = rc.bottom - rc.top;
  auto at = [&](int x, int y) { return WindowPixel(backend, dlg, rc.left + x, rc.top + y); };
  for (int x = 0; x < w; ++x) {
    EXPECT_EQ(at(x, 0), kWhite) << "top row, x " << x;
    EXPECT_EQ(at(x, h - 1), kBlack) << "bottom row, x " << x;
  }
  for (int y = 0; y < h - 1; ++y) EXPECT_EQ(at(0, y), kWhite) << "left column, y " << y;
  for (int y = 1; y < h; ++y) EXPECT_EQ(at(w - 1, y), kBlack) << "right column, y " << y;
  EXPECT_EQ(at(0, h - 1), kBlack);
  EXPECT_EQ(at(w - 1, 0), kWhite);
  int inked = 0;
  for (int y = 1; y < h - 1; ++y) {
    for (int x = 1; x < w - 1; ++x) {
      if (at(x, y) == text) ++inked;
    }
  }
  // The face shows in the corners of the inside, where no digit reaches.
  for (POINT pt : {POINT{1, 1}, POINT{w - 2, 1}, POINT{1, h - 2}, POINT{w - 2, h - 2}}) {
    EXPECT_EQ(at(pt.x, pt.y), face);
  }
  return inked;
}

TEST(Paint, ATileShowsItsFaceItsNumberAndItsBevel) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs);
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    for (std::size_t cell = 0; cell < 16; ++cell) {
      SCOPED_TRACE(testing::Message() << "cell " << cell << ", number " << dlg.m_game.m_board[cell]);
      if (dlg.m_game.m_board[cell] == 0) continue;
      EXPECT_GT(CheckTile(run.backend, dlg, cell, kLightRed, kRed), 10);
    }
  });
  run.Command(ID_COLOR_BLUE);
  run.backend.Wait(10);
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    const std::size_t cell = dlg.m_game.m_nHole == 0 ? 1 : 0;
    EXPECT_GT(CheckTile(run.backend, dlg, cell, Screen(RGB(150, 150, 255)), Screen(RGB(0, 0, 255))), 10);
  });
  run.Run();
}

// The numbers ask for "ＭＳ ゴシック" before "MS UI Gothic": fixed-pitch digits of the MS Gothic grid, not
// the proportional interface face.
TEST(Paint, TileNumbersAreDrawnInTheGothicFaceBeforeTheInterfaceFace) {
  ASSERT_TRUE(platform::IsFamilyInstalled("IPAGothic") && platform::IsFamilyInstalled("IPAPGothic"))
      << "the fonts-ipafont-gothic package is needed";
  ProgramRun run;
  run.backend.Wait(kRestTimeMs);
  run.Check([](CRecordingPuzzleDlg& dlg) {
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CFont font;
    ASSERT_TRUE(CTileWnd::CreateNumberFont(font, &dc, dlg.m_nFontHeight));
    dc.SelectObject(&font);
    EXPECT_EQ(dc.GetTextFace(), "IPAGothic");
  });
  run.Run();
}

TEST(Paint, TheHoleIsWhiteWithABlackBottomAndRightEdge) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs);
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    const std::size_t hole = static_cast<std::size_t>(dlg.m_game.m_nHole);
    EXPECT_EQ(CheckTile(run.backend, dlg, hole, kWhite, kRed), 0);
  });
  run.Run();
}

// Whether the window shows the picture stretched over the rectangle with pixel replication.
bool ShowsPicture(const platform::CHeadlessBackend& backend, const CPuzzleDlg& dlg, const RECT& rc, UINT id) {
  const platform::BitmapResource& picture = TilvaneResources().bitmaps.at(id);
  const int w = rc.right - rc.left;
  const int h = rc.bottom - rc.top;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int sx = x * picture.width / w;
      const int sy = y * picture.height / h;
      const std::uint32_t expected =
          picture.rgb[static_cast<std::size_t>(sy * picture.width + sx)] & 0xFFFFFF;
      if (WindowPixel(backend, dlg, rc.left + x, rc.top + y) != expected) return false;
    }
  }
  return true;
}

TEST(Paint, TheHeaderShowsTheFourPicturesOnAWhiteBand) {
  ProgramRun run;
  constexpr UINT kIds[] = {IDB_START, IDB_ABOUT, IDB_COLOR, IDB_EXIT};
  run.backend.Wait(kRestTimeMs);
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    for (int i = 0; i < 4; ++i)
      EXPECT_TRUE(ShowsPicture(run.backend, dlg, dlg.m_rcButtons[static_cast<std::size_t>(i)], kIds[i])) << i;
    // The band (17, 17, 193, 52) is white beside the pictures; its rounded corners leave the pattern.
    EXPECT_EQ(WindowPixel(run.backend, dlg, 170, 30), kWhite);
    EXPECT_EQ(WindowPixel(run.backend, dlg, 30, 50), kWhite);
    EXPECT_NE(WindowPixel(run.backend, dlg, 17, 17), kWhite);
  });
  // At the medium size the pictures are enlarged to 40 x 40.
  run.Command(ID_SCREEN_MEDIUM);
  run.backend.Wait(10);
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    for (int i = 0; i < 4; ++i) {
      const RECT& rc = dlg.m_rcButtons[static_cast<std::size_t>(i)];
      EXPECT_EQ(rc.right - rc.left, 40);
      EXPECT_TRUE(ShowsPicture(run.backend, dlg, rc, kIds[i])) << i;
    }
  });
  run.Run();
}

TEST(Paint, EveryPictureIs27By27WithAWhiteBackground) {
  for (UINT id : {IDB_START, IDB_ABOUT, IDB_COLOR, IDB_EXIT}) {
    const platform::BitmapResource& picture = TilvaneResources().bitmaps.at(id);
    EXPECT_EQ(picture.width, 27);
    EXPECT_EQ(picture.height, 27);
    EXPECT_EQ(picture.rgb.front() & 0xFFFFFF, kWhite) << id;
  }
}

}  // namespace
}  // namespace program_test
