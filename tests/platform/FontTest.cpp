// Fonts: Windows face names resolving to installed Japanese faces, GDI's heights, heavy weight and text
// layout.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "DrawingCanvas.h"
#include "platform/linux/FontCatalog.h"

namespace {

constexpr COLORREF kTheme = RGB(255, 0, 0);
constexpr COLORREF kFace = RGB(255, 150, 150);
const char* const kGothic = "ＭＳ ゴシック";

// The request the tile numbers and the result text make.
BOOL CreateTileFont(CFont& font, int height, const char* face, int weight = FW_HEAVY) {
  return font.CreateFont(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_MODERN | DEFAULT_PITCH, face);
}

// Draws one line of black text on the canvas with `font`, or with the selected font when it is null.
void DrawLine(Canvas& canvas, CFont* font, const std::string& text, RECT rc, UINT format) {
  CDC& dc = canvas.dc();
  CFont* old = font ? dc.SelectObject(font) : nullptr;
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(kBlack);
  dc.DrawText(text, &rc, format);
  if (old) dc.SelectObject(old);
}

class FontTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(platform::IsFamilyInstalled("IPAGothic")) << "the fonts-ipafont-gothic package is needed";
  }
};

TEST_F(FontTest, MsGothicHeavyResolvesToIpaGothic) {
  CFont font;
  ASSERT_TRUE(CreateTileFont(font, 18, kGothic));
  CDC dc;
  dc.SelectObject(&font);
  EXPECT_EQ(dc.GetTextFace(), "IPAGothic");
  TEXTMETRIC tm;
  ASSERT_TRUE(dc.GetTextMetrics(&tm));
  EXPECT_EQ(tm.tmWeight, FW_HEAVY);
}

TEST_F(FontTest, UiGothicResolvesToTheProportionalFace) {
  ASSERT_TRUE(platform::IsFamilyInstalled("IPAPGothic")) << "the fonts-ipafont-gothic package is needed";
  CFont font;
  ASSERT_TRUE(CreateTileFont(font, 18, "MS UI Gothic"));
  CDC dc;
  dc.SelectObject(&font);
  EXPECT_EQ(dc.GetTextFace(), "IPAPGothic");
}

TEST_F(FontTest, FaceNamesIgnoreAsciiCase) {
  CFont font;
  EXPECT_TRUE(CreateTileFont(font, 18, "ms gothic"));
}

TEST_F(FontTest, HeavyWeightLeavesClearlyMoreInk) {
  long darkness[2] = {};
  int i = 0;
  for (int weight : {FW_NORMAL, FW_HEAVY}) {
    CFont font;
    ASSERT_TRUE(CreateTileFont(font, 36, kGothic, weight));
    Canvas canvas(160, 40);
    DrawLine(canvas, &font, "10 移動", RECT{0, 0, 160, 40}, DT_SINGLELINE);
    darkness[i++] = canvas.Darkness();
  }
  EXPECT_GT(darkness[1], darkness[0] * 5 / 4) << "normal " << darkness[0] << ", heavy " << darkness[1];
}

TEST_F(FontTest, MissingFaceFailsTheRequest) {
  CFont font;
  EXPECT_FALSE(CreateTileFont(font, 18, "Tilvane Nonexistent Face"));
  EXPECT_EQ(font.GetSafeHandle(), nullptr);
  CDC dc;
  EXPECT_EQ(dc.SelectObject(&font), nullptr);
}

TEST_F(FontTest, FreshContextNamesAFaceThatCanBeRequestedAgain) {
  CDC dc;
  char face[256] = {};
  const int length = dc.GetTextFace(256, face);
  ASSERT_GT(length, 0);
  EXPECT_EQ(std::string(face), dc.GetTextFace());
  CFont font;
  EXPECT_TRUE(CreateTileFont(font, 18, face));
}

TEST_F(FontTest, TextFaceIsCutToTheBuffer) {
  CFont font;
  ASSERT_TRUE(CreateTileFont(font, 18, kGothic));
  CDC dc;
  dc.SelectObject(&font);
  char face[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(dc.GetTextFace(4, face), 3);
  EXPECT_EQ(std::string(face), "IPA");
  EXPECT_EQ(dc.GetTextFace(0, nullptr), 10);
}

class FontHeight : public ::testing::TestWithParam<int> {};

// A positive height is the cell: ascent plus descent. The IPA faces keep the MS Gothic grid, so digits are
// half the height wide and the ink of a full-width character fits the cell.
TEST_P(FontHeight, CellHeightIsTheRequestedHeight) {
  const int height = GetParam();
  CFont font;
  ASSERT_TRUE(CreateTileFont(font, height, kGothic, FW_NORMAL));
  Canvas canvas(height * 2, height * 2);
  CDC& dc = canvas.dc();
  dc.SelectObject(&font);
  TEXTMETRIC tm;
  ASSERT_TRUE(dc.GetTextMetrics(&tm));
  EXPECT_EQ(tm.tmHeight, height);
  EXPECT_EQ(tm.tmAscent + tm.tmDescent, height);
  EXPECT_GT(tm.tmAscent, tm.tmDescent);
  EXPECT_EQ(tm.tmAveCharWidth, height / 2);
  EXPECT_EQ(dc.GetTextExtent("0").cx, height / 2);
  EXPECT_EQ(dc.GetTextExtent("99").cy, height);
  DrawLine(canvas, nullptr, "国", RECT{0, 0, height * 2, height * 2}, DT_SINGLELINE);
  const Ink ink = canvas.InkOf(kWhite);
  EXPECT_GE(ink.box.top, 0);
  EXPECT_LE(ink.box.bottom, height);
  EXPECT_GE(ink.box.bottom - ink.box.top, height * 7 / 10);
}

INSTANTIATE_TEST_SUITE_P(ScreenSizes, FontHeight, ::testing::Values(18, 26, 36));

TEST_F(FontTest, NegativeHeightIsTheCharacterHeight) {
  CFont font;
  ASSERT_TRUE(CreateTileFont(font, -18, kGothic, FW_NORMAL));
  CDC dc;
  dc.SelectObject(&font);
  TEXTMETRIC tm;
  dc.GetTextMetrics(&tm);
  EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 18);
}

TEST_F(FontTest, WidthNarrowsTheCharacters) {
  CFont font;
  ASSERT_TRUE(font.CreateFont(18, 5, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_MODERN, kGothic));
  CDC dc;
  dc.SelectObject(&font);
  EXPECT_EQ(dc.GetTextExtent("0000").cx, 20);
}

// The tile number: "10" centred both ways in a 35 x 35 tile at the small size.
TEST_F(FontTest, TileNumberIsCentredInItsCell) {
  CFont font;
  ASSERT_TRUE(CreateTileFont(font, 18, kGothic));
  Canvas canvas(35, 35, kFace);
  CDC& dc = canvas.dc();
  CFont* old = dc.SelectObject(&font);
  dc.SetTextColor(kTheme);
  dc.SetBkMode(TRANSPARENT);
  RECT rc{0, 0, 35, 35};
  EXPECT_EQ(dc.DrawText("10", &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE), 8 + 18);
  dc.SelectObject(old);
  const Ink ink = canvas.InkOf(kFace);
  ASSERT_GT(ink.pixels, 30);
  // The centre of the ink lies within 2 pixels of the tile's centre (17.5) both ways; in doubled units to
  // stay with integers. The face's digits sit a little above the middle of its cell, as MS Gothic's do.
  EXPECT_LE(std::abs(ink.box.left + ink.box.right - 35), 4) << ink.box.left << ".." << ink.box.right;
  EXPECT_LE(std::abs(ink.box.top + ink.box.bottom - 35), 4) << ink.box.top << ".." << ink.box.bottom;
  // The strokes are solid in the middle: the text colour itself shows, not only antialiased edges.
  EXPECT_GT(canvas.InkOf(kFace, [&canvas](int x, int y) { return canvas.At(x, y) == kTheme; }).pixels, 20);
}

TEST_F(FontTest, JapaneseTextDrawsInk) {
  CFont font;
  ASSERT_TRUE(CreateTileFont(font, 18, kGothic));
  Canvas canvas(200, 24);
  DrawLine(canvas, &font, "おめでとう！！", RECT{0, 0, 200, 24}, DT_CENTER | DT_SINGLELINE);
  const Ink ink = canvas.InkOf(kWhite);
  EXPECT_GT(ink.pixels, 200);
  // Seven full-width characters, 18 pixels each, centred on x 100.
  EXPECT_GE(ink.box.right - ink.box.left, 6 * 18);
  EXPECT_LE(std::abs((ink.box.left + ink.box.right) / 2 - 100), 10);
}

TEST_F(FontTest, TextThatDoesNotFitIsClippedToTheRectangle) {
  CFont font;
  ASSERT_TRUE(CreateTileFont(font, 18, kGothic));
  Canvas canvas(100, 50);
  const RECT rc{20, 12, 70, 22};
  DrawLine(canvas, &font, "おめでとう！！おめでとう！！", rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  auto outside = [&rc](int x, int y) { return !PtInRect(&rc, POINT{x, y}); };
  EXPECT_GT(canvas.InkOf(kWhite).pixels, 0);
  EXPECT_EQ(canvas.InkOf(kWhite, outside).pixels, 0);
}

TEST_F(FontTest, NoClipLetsTextReachBeyondTheRectangle) {
  CFont font;
  ASSERT_TRUE(CreateTileFont(font, 18, kGothic));
  Canvas canvas(100, 50);
  const RECT rc{20, 12, 70, 22};
  DrawLine(canvas, &font, "おめでとう！！おめでとう！！", rc,
           DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
  auto outside = [&rc](int x, int y) { return !PtInRect(&rc, POINT{x, y}); };
  EXPECT_GT(canvas.InkOf(kWhite, outside).pixels, 0);
}

TEST_F(FontTest, OpaqueModeFillsTheTextCellWithTheBackground) {
  CFont font;
  ASSERT_TRUE(CreateTileFont(font, 18, kGothic, FW_NORMAL));
  Canvas canvas(60, 30);
  CDC& dc = canvas.dc();
  dc.SelectObject(&font);
  dc.SetBkColor(kFace);
  dc.SetTextColor(kTheme);
  RECT rc{5, 4, 60, 30};
  dc.DrawText("1 1", &rc, DT_LEFT | DT_SINGLELINE);
  // The space between the digits shows the background colour over the whole cell height.
  for (int y = 4; y < 22; ++y) EXPECT_EQ(canvas.At(18, y), kFace) << "row " << y;
  EXPECT_EQ(canvas.At(18, 22), kWhite);
  EXPECT_EQ(canvas.At(5 + 27, 10), kWhite);
}

TEST_F(FontTest, ResultLinesStartAtTheirTopEdge) {
  CFont font;
  ASSERT_TRUE(CreateTileFont(font, 18, kGothic));
  Canvas canvas(210, 245);
  RECT rc{17, 78, 193, 228};
  DrawLine(canvas, &font, "移動回数 37 回", rc, DT_CENTER | DT_SINGLELINE);
  const Ink ink = canvas.InkOf(kWhite);
  EXPECT_GE(ink.box.top, 78);
  EXPECT_LE(ink.box.bottom, 78 + 18);
  EXPECT_LE(std::abs((ink.box.left + ink.box.right) / 2 - 105), 3);
}

TEST_F(FontTest, CalcRectMeasuresWithoutDrawing) {
  CFont font;
  ASSERT_TRUE(CreateTileFont(font, 18, kGothic, FW_NORMAL));
  Canvas canvas(10, 10);
  CDC& dc = canvas.dc();
  dc.SelectObject(&font);
  RECT rc{3, 4, 3, 4};
  EXPECT_EQ(dc.DrawText("1234", &rc, DT_CALCRECT | DT_SINGLELINE), 18);
  EXPECT_TRUE(CRect(rc) == CRect(3, 4, 3 + 36, 4 + 18));
  RECT two{0, 0, 0, 0};
  EXPECT_EQ(dc.DrawText("12\n123", &two, DT_CALCRECT), 36);
  EXPECT_EQ(two.right, 27);
  EXPECT_EQ(canvas.InkOf(kWhite).pixels, 0);
}

TEST_F(FontTest, WordBreakWrapsAtSpacesAndBetweenJapaneseCharacters) {
  CFont font;
  ASSERT_TRUE(CreateTileFont(font, 18, kGothic, FW_NORMAL));
  CDC dc;
  dc.SelectObject(&font);
  RECT latin{0, 0, 9 * 7, 0};
  EXPECT_EQ(dc.DrawText("abc def ghi", &latin, DT_CALCRECT | DT_WORDBREAK), 36);
  EXPECT_EQ(latin.right, 9 * 7);
  RECT japanese{0, 0, 18 * 3, 0};
  EXPECT_EQ(dc.DrawText("おめでとう！！", &japanese, DT_CALCRECT | DT_WORDBREAK), 18 * 3);
}

TEST_F(FontTest, PrefixAmpersandsDisappearUnlessTurnedOff) {
  CFont font;
  ASSERT_TRUE(CreateTileFont(font, 18, kGothic, FW_NORMAL));
  CDC dc;
  dc.SelectObject(&font);
  RECT rc{};
  dc.DrawText("&Exit && go", &rc, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(rc.right, dc.GetTextExtent("Exit & go").cx);
  RECT raw{};
  dc.DrawText("&Exit", &raw, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  EXPECT_EQ(raw.right, dc.GetTextExtent("&Exit").cx);
}

TEST_F(FontTest, StockFontDrawsText) {
  Canvas canvas(60, 20);
  DrawLine(canvas, nullptr, "Abc", RECT{0, 0, 60, 20}, DT_SINGLELINE);
  EXPECT_GT(canvas.InkOf(kWhite).pixels, 20);
}

TEST_F(FontTest, StockFontIsReturnedWhenAFontIsFirstSelected) {
  CFont font;
  ASSERT_TRUE(CreateTileFont(font, 18, kGothic));
  CDC dc;
  const std::string stockFace = dc.GetTextFace();
  CFont* stock = dc.SelectObject(&font);
  ASSERT_NE(stock, nullptr);
  EXPECT_TRUE(stock->IsStock());
  EXPECT_EQ(dc.SelectObject(stock), &font);
  EXPECT_EQ(dc.GetTextFace(), stockFace);
}

}  // namespace
