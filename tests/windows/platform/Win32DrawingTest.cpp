// The Windows platform's drawing, pixel by pixel: memory contexts and their stock objects, fills, lines,
// blits of the module's bitmaps, pattern brushes, fonts named by the program (UTF-8 text), and GDI's regions.
#include <cstring>
#include <string>

#include "platform/api/DC.h"
#include "platform/api/Gdi.h"
#include "platform/api/Region.h"
#include "res/ResourceArt.h"
#include "res/ResourceIds.h"
#include "tests/windows/platform/Win32TestSupport.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// A memory context drawing into a fresh black bitmap.
class Canvas {
 public:
  Canvas(int width, int height) {
    dc.CreateCompatibleDC(nullptr);
    bitmap.CreateBitmap(width, height);
    previous = dc.SelectObject(&bitmap);
  }
  ~Canvas() { dc.SelectObject(previous); }

  CDC dc;
  CBitmap bitmap;
  CBitmap* previous = nullptr;
};

BOOL GothicFont(CFont& font, int height, const char* face) {
  return font.CreateFont(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_MODERN | DEFAULT_PITCH, face);
}

}  // namespace

TEST(Win32Drawing, AMemoryContextHandsBackTheStockObjectsItHeldFirst) {
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  EXPECT_FALSE(dc.CreateCompatibleDC(nullptr));
  CPen pen(PS_SOLID, 1, kRed);
  CBrush brush(kBlue);
  CBitmap bitmap;
  ASSERT_TRUE(bitmap.CreateBitmap(4, 4));
  EXPECT_EQ(dc.SelectObject(&pen), platform::StockPen());
  EXPECT_EQ(dc.SelectObject(&brush), platform::StockBrush());
  EXPECT_EQ(dc.SelectObject(&bitmap), platform::StockBitmap());
  EXPECT_EQ(dc.SelectObject(platform::StockPen()), &pen);
  EXPECT_EQ(dc.SelectObject(platform::StockBitmap()), &bitmap);
  CPen empty;
  EXPECT_EQ(dc.SelectObject(&empty), nullptr);
  EXPECT_FALSE(platform::StockPen()->DeleteObject());
  EXPECT_TRUE(dc.DeleteDC());
  EXPECT_FALSE(dc.DeleteDC());
}

TEST(Win32Drawing, FillSolidRectPaintsItsRectangleOnlyAndBecomesTheBackground) {
  Canvas canvas(8, 8);
  canvas.dc.FillSolidRect(RECT{2, 2, 5, 6}, RGB(10, 20, 30));
  EXPECT_EQ(canvas.dc.GetPixel(2, 2), RGB(10, 20, 30));
  EXPECT_EQ(canvas.dc.GetPixel(4, 5), RGB(10, 20, 30));
  EXPECT_EQ(canvas.dc.GetPixel(5, 5), kBlack);
  EXPECT_EQ(canvas.dc.GetPixel(4, 6), kBlack);
  EXPECT_EQ(canvas.dc.GetPixel(1, 2), kBlack);
  EXPECT_EQ(canvas.dc.GetBkColor(), RGB(10, 20, 30));
  EXPECT_EQ(canvas.dc.GetPixel(8, 0), CLR_INVALID);
}

TEST(Win32Drawing, ALineLeavesItsEndPointOutAndMovesThere) {
  Canvas canvas(8, 8);
  CPen pen(PS_SOLID, 1, kRed);
  CPen* previous = canvas.dc.SelectObject(&pen);
  canvas.dc.MoveTo(1, 1);
  ASSERT_TRUE(canvas.dc.LineTo(5, 1));
  for (int x = 1; x < 5; ++x) EXPECT_EQ(canvas.dc.GetPixel(x, 1), kRed) << x;
  EXPECT_EQ(canvas.dc.GetPixel(5, 1), kBlack);
  EXPECT_EQ(canvas.dc.GetCurrentPosition(), CPoint(5, 1));
  canvas.dc.SelectObject(previous);
}

TEST(Win32Drawing, TheModulesBitmapsAreTheArtPixelForPixelAndStretchNearestNeighbour) {
  const std::pair<UINT, platform::BitmapResource> pictures[] = {{IDB_START, tilvane::art::StartPicture()},
                                                                {IDB_ABOUT, tilvane::art::AboutPicture()},
                                                                {IDB_COLOR, tilvane::art::ColourPicture()},
                                                                {IDB_EXIT, tilvane::art::ExitPicture()}};
  for (const auto& [id, art] : pictures) {
    CBitmap loaded;
    ASSERT_TRUE(loaded.LoadBitmap(id)) << id;
    EXPECT_FALSE(loaded.LoadBitmap(id));
    ASSERT_EQ(loaded.GetSize(), CSize(art.width, art.height));
    CDC source;
    source.CreateCompatibleDC(nullptr);
    CBitmap* previous = source.SelectObject(&loaded);
    // Twice the size, so that each pixel of the art covers two by two of the canvas.
    Canvas canvas(2 * art.width, 2 * art.height);
    ASSERT_TRUE(canvas.dc.StretchBlt(0, 0, 2 * art.width, 2 * art.height, &source, 0, 0, art.width,
                                     art.height, SRCCOPY));
    int wrong = 0;
    for (int y = 0; y < art.height; ++y) {
      for (int x = 0; x < art.width; ++x) {
        const std::uint32_t rgb = art.rgb[static_cast<std::size_t>(y * art.width + x)];
        const COLORREF want = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
        wrong += canvas.dc.GetPixel(2 * x, 2 * y) != want || canvas.dc.GetPixel(2 * x + 1, 2 * y + 1) != want;
      }
    }
    EXPECT_EQ(wrong, 0) << "bitmap " << id;
    source.SelectObject(previous);
  }
  CBitmap missing;
  EXPECT_FALSE(missing.LoadBitmap(99));
}

TEST(Win32Drawing, APatternBrushRepeatsFromTheContextsOriginAndKeepsItsOwnCopy) {
  CBrush brush;
  {
    CBitmap checker;  // black, with white at (0, 0) and (1, 1)
    ASSERT_TRUE(checker.CreateBitmap(2, 2));
    {
      CDC dc;
      dc.CreateCompatibleDC(nullptr);
      CBitmap* previous = dc.SelectObject(&checker);
      dc.FillSolidRect(0, 0, 1, 1, kWhite);
      dc.FillSolidRect(1, 1, 1, 1, kWhite);
      dc.SelectObject(previous);
    }
    ASSERT_TRUE(brush.CreatePatternBrush(&checker));
  }  // the bitmap is gone; the brush still paints its pattern
  Canvas canvas(6, 6);
  const RECT area{1, 1, 5, 5};
  canvas.dc.FillRect(&area, &brush);
  EXPECT_EQ(canvas.dc.GetPixel(0, 0), kBlack);  // outside the fill
  EXPECT_EQ(canvas.dc.GetPixel(1, 1), kWhite);  // (1, 1) of the pattern
  EXPECT_EQ(canvas.dc.GetPixel(2, 1), kBlack);
  EXPECT_EQ(canvas.dc.GetPixel(2, 2), kWhite);
  EXPECT_EQ(canvas.dc.GetPixel(4, 3), kBlack);
  EXPECT_EQ(canvas.dc.GetPixel(5, 5), kBlack);  // outside again
}

TEST(Win32Fonts, AMissingFaceFailsSoThatTheProgramCanFallBack) {
  CFont missing;
  EXPECT_FALSE(GothicFont(missing, -18, "Tilvane No Such Face"));
  EXPECT_EQ(missing.GetSafeHandle(), nullptr);
  CFont gothic;
  ASSERT_TRUE(GothicFont(gothic, -18, "ＭＳ ゴシック"));
  EXPECT_NE(gothic.GetSafeHandle(), nullptr);
  EXPECT_FALSE(GothicFont(gothic, -18, "ＭＳ ゴシック"));  // it holds one already
}

TEST(Win32Fonts, TextIsUtf8AndTheGothicGridHoldsFullAndHalfWidths) {
  CFont gothic;
  ASSERT_TRUE(GothicFont(gothic, -18, "ＭＳ ゴシック"));
  Canvas canvas(200, 40);
  CFont* previous = canvas.dc.SelectObject(&gothic);
  EXPECT_EQ(previous, platform::StockFont());
  TEXTMETRIC tm{};
  ASSERT_TRUE(canvas.dc.GetTextMetrics(&tm));
  // The em is 18 pixels; the face's own ascent and descent may reach beyond it (IPAGothic's do, by two).
  EXPECT_GE(tm.tmHeight, 18);
  EXPECT_LE(tm.tmHeight, 20);
  // One full-width character is one em; a digit half of it. Read as bytes, "移" would be three characters.
  EXPECT_EQ(canvas.dc.GetTextExtent("移").cx, 18);
  EXPECT_EQ(canvas.dc.GetTextExtent("48").cx, 18);

  canvas.dc.SetTextColor(kWhite);
  canvas.dc.SetBkMode(TRANSPARENT);
  RECT rc{0, 0, 200, 40};
  EXPECT_EQ(canvas.dc.DrawText("移動回数 48 回", &rc, DT_SINGLELINE | DT_LEFT | DT_TOP | DT_NOPREFIX),
            tm.tmHeight);
  int lit = 0;
  int beyond = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 200; ++x) {
      if (canvas.dc.GetPixel(x, y) == kBlack) continue;
      ++(x < 18 * 7 && y < tm.tmHeight ? lit : beyond);
    }
  }
  EXPECT_GT(lit, 100);
  EXPECT_EQ(beyond, 0);

  const std::string face = canvas.dc.GetTextFace();
  EXPECT_FALSE(face.empty());
  char cut[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(canvas.dc.GetTextFace(4, cut), 3);
  EXPECT_EQ(std::string(cut), face.substr(0, 3));
  EXPECT_EQ(canvas.dc.GetTextFace(0, nullptr), static_cast<int>(face.size()) + 1);
  canvas.dc.SelectObject(previous);
}

TEST(Win32Regions, ARoundRectangleFollowsGdisRuleAndLeavesTheRightAndBottomEdgesOut) {
  CRgn round;
  ASSERT_TRUE(round.CreateRoundRectRgn(0, 0, 210, 245, 20, 20));
  EXPECT_FALSE(round.CreateRoundRectRgn(0, 0, 10, 10, 2, 2));
  EXPECT_FALSE(round.PtInRegion(0, 0));
  EXPECT_FALSE(round.PtInRegion(2, 2));
  EXPECT_TRUE(round.PtInRegion(105, 0));
  EXPECT_TRUE(round.PtInRegion(0, 120));
  EXPECT_TRUE(round.PtInRegion(208, 120));
  EXPECT_FALSE(round.PtInRegion(209, 120));
  EXPECT_FALSE(round.PtInRegion(105, 244));
  EXPECT_EQ(round.GetRgnBox(), CRect(0, 0, 209, 244));
}

TEST(Win32Regions, CombinedRegionsReportTheirTypeAndTheirRectanglesCoverThemExactly) {
  CRgn round;
  round.CreateRoundRectRgn(0, 0, 60, 40, 16, 16);
  CRgn left;
  left.CreateRectRgn(0, 0, 30, 40);
  CRgn result;
  EXPECT_EQ(result.CombineRgn(&round, &left, RGN_AND), ERROR);  // not created yet
  result.CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(result.CombineRgn(&round, &left, RGN_AND), COMPLEXREGION);
  EXPECT_EQ(result.CombineRgn(&round, nullptr, RGN_OR), ERROR);
  EXPECT_FALSE(result.PtInRegion(45, 20));
  EXPECT_TRUE(result.PtInRegion(15, 20));

  const CRect box = result.GetRgnBox();
  long covered = 0;
  for (const RECT& r : result.Rects()) covered += static_cast<long>(r.right - r.left) * (r.bottom - r.top);
  long inside = 0;
  for (int y = box.top; y < box.bottom; ++y) {
    for (int x = box.left; x < box.right; ++x) inside += result.PtInRegion(x, y) ? 1 : 0;
  }
  EXPECT_EQ(covered, inside);

  CRgn copy;
  copy.CreateRectRgn(0, 0, 1, 1);
  ASSERT_TRUE(copy.CopyRgn(&result));
  EXPECT_TRUE(copy.EqualRgn(&result));
  EXPECT_EQ(copy.OffsetRgn(100, 0), COMPLEXREGION);
  EXPECT_FALSE(copy.EqualRgn(&result));
  EXPECT_TRUE(copy.PtInRegion(115, 20));

  HRGN raw = copy.Detach();
  EXPECT_EQ(copy.GetSafeHandle(), nullptr);
  CRgn adopted;
  adopted.Attach(raw);
  EXPECT_TRUE(adopted.PtInRegion(115, 20));
}
