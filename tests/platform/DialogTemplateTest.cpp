// Tests of dialogs built from templates: dialog units, their controls, and how the box is run and ended.
#include <gtest/gtest.h>

#include <cmath>

#include "MessageLog.h"
#include "TestSupport.h"
#include "platform/api/DC.h"
#include "platform/linux/Controls.h"
#include "platform/linux/DialogUnits.h"

using platform::CHeadlessBackend;
using platform::CWindowSystem;

namespace {

constexpr UINT kAboutTemplate = 100;
constexpr UINT kBareTemplate = 102;
constexpr UINT kTwoButtonTemplate = 103;
constexpr UINT kLargeFontTemplate = 104;
constexpr UINT kIcon = 102;
constexpr UINT WM_RUNDIALOG = WM_USER + 5;

// The dialog face and the icon's colours as the headless screen stores them (0x00RRGGBB).
constexpr std::uint32_t kFacePixel = 0xD4D0C8;
constexpr std::uint32_t kRedPixel = 0xFF0000;
constexpr std::uint32_t kWhitePixel = 0xFFFFFF;

// A 32 x 32 picture with a red frame around white and a transparent 4 x 4 top-left corner, and a green
// 16 x 16 one that the dialog must not pick.
platform::IconResource TestIcon() {
  std::vector<std::string> rows;
  for (int y = 0; y < 32; ++y) {
    std::string row = (y < 2 || y >= 30) ? std::string(32, 'r') : "rr" + std::string(28, 'w') + "rr";
    if (y < 4) row.replace(0, 4, "....");
    rows.push_back(row);
  }
  platform::IconResource icon;
  icon.images.push_back(platform::PixelArt({{'.', 0x00000000}, {'r', 0xFFFF0000}, {'w', 0xFFFFFFFF}}, rows));
  icon.images.push_back(
      platform::PixelArt({{'g', 0xFF00FF00}}, std::vector<std::string>(16, std::string(16, 'g'))));
  return icon;
}

platform::DialogControlResource Control(platform::ControlClass cls, int id, DWORD style, RECT dlu,
                                        std::string text, UINT iconId = 0) {
  return platform::DialogControlResource{cls, id, style, dlu, std::move(text), iconId};
}

platform::ResourceSet DialogResources() {
  using platform::ControlClass;
  platform::ResourceSet set;
  set.icons[kIcon] = TestIcon();
  set.dialogs[kAboutTemplate] = platform::DialogResource{
      0x80C800C0,
      {0, 0, 173, 59},
      "バージョン情報",
      9,
      "ＭＳ Ｐゴシック",
      {Control(ControlClass::Button, IDOK, 0x50010001, {117, 40, 167, 54}, "OK"),
       Control(ControlClass::Static, -1, 0x50000003, {7, 8, 27, 28}, "", kIcon),
       Control(ControlClass::Static, -1, 0x50020000, {39, 8, 117, 16}, "Tilvane\u3000Version 4.01"),
       Control(ControlClass::Static, -1, 0x50020000, {39, 24, 162, 32}, "Made for the tests.")}};
  set.dialogs[kBareTemplate] =
      platform::DialogResource{0x80C800C0, {0, 0, 120, 150}, "bare", 9, "ＭＳ Ｐゴシック", {}};
  set.dialogs[kTwoButtonTemplate] = platform::DialogResource{
      0x80C800C0,
      {0, 0, 120, 40},
      "two",
      9,
      "ＭＳ Ｐゴシック",
      {Control(ControlClass::Button, IDOK, 0x50010001, {10, 20, 50, 34}, "OK"),
       Control(ControlClass::Button, IDCANCEL, 0x50010000, {60, 20, 100, 34}, "Cancel")}};
  set.dialogs[kLargeFontTemplate] = set.dialogs[kAboutTemplate];
  set.dialogs[kLargeFontTemplate].fontPoints = 18;
  return set;
}

class DialogTemplateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(
        owner.CreateEx(0, nullptr, "owner", WS_POPUP | WS_VISIBLE, Rect(200, 150, 700, 550), nullptr, 0));
    owner.onMessage = [this](UINT message, WPARAM, LPARAM) {
      if (message != WM_RUNDIALOG) return;
      result = dialog.DoModal();
      ++runs;
    };
  }

  // Runs the dialog modally from a handler of the owner, as the program does, while the script plays.
  void RunDialog() {
    owner.PostMessage(WM_RUNDIALOG);
    RunUntilIdle(system);
  }

  HWND ControlWithId(int id) const {
    for (HWND child : system.Children(dialog.m_hWnd)) {
      const platform::ControlInfo* info = platform::FindControlInfo(child);
      if (info && info->id == id) return child;
    }
    return nullptr;
  }

  HWND ControlWithText(const std::string& text) const {
    for (HWND child : system.Children(dialog.m_hWnd)) {
      if (system.GetText(child) == text) return child;
    }
    return nullptr;
  }

  RECT ScreenRectOf(HWND hwnd) const { return system.GetWindowRect(hwnd); }

  platform::SurfaceId DialogSurface() const {
    for (const auto* s : backend.VisibleSurfaces()) {
      if (s->desc.kind == platform::SurfaceKind::Dialog) return s->id;
    }
    return 0;
  }

  std::uint32_t Pixel(int x, int y) const { return backend.PixelAt(POINT{x, y}).value_or(0xFFFFFFFF); }

  platform::ResourceSet resources = DialogResources();
  CHeadlessBackend backend;
  CWindowSystem system{backend, &resources};
  MessageLog log;
  CLoggingWnd owner{log, "owner"};
  CDialog dialog{kAboutTemplate, &owner};
  INT_PTR result = 0;
  int runs = 0;
};

POINT Centre(const RECT& rc) {
  return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

TEST_F(DialogTemplateTest, DialogUnitsComeFromTheDialogFontsMetrics) {
  CFont font;
  ASSERT_TRUE(font.CreatePointFont(90, "ＭＳ Ｐゴシック"));
  CDC dc;
  dc.SelectObject(&font);
  TEXTMETRIC tm;
  ASSERT_TRUE(dc.GetTextMetrics(&tm));
  // The desktop's character width of a dialog font: the mean of the 52 Latin letters, rounded half up.
  const long letters = dc.GetTextExtent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz").cx;
  const double charWidth = std::floor(letters / 52.0 + 0.5);
  const platform::DialogResource& about = resources.dialogs[kAboutTemplate];
  RECT px = platform::DialogUnitsToPixels(about, about.dlu);
  EXPECT_EQ(px.right - px.left, std::lround(173.0 * charWidth / 4));
  EXPECT_EQ(px.bottom - px.top, std::lround(59.0 * tm.tmHeight / 8));
  RECT button = platform::DialogUnitsToPixels(about, RECT{117, 40, 167, 54});
  EXPECT_EQ(button.left, std::lround(117.0 * charWidth / 4));
  EXPECT_EQ(button.top, std::lround(40.0 * tm.tmHeight / 8));

  const platform::DialogResource& large = resources.dialogs[kLargeFontTemplate];
  RECT largePx = platform::DialogUnitsToPixels(large, large.dlu);
  EXPECT_GT(largePx.right - largePx.left, px.right - px.left);
  EXPECT_GT(largePx.bottom - largePx.top, px.bottom - px.top);
}

TEST_F(DialogTemplateTest, TheVersionLineFitsItsStaticOnOneLine) {
  const platform::DialogResource& about = resources.dialogs[kAboutTemplate];
  CFont font;
  ASSERT_TRUE(platform::CreateDialogFont(about, font));
  CDC dc;
  dc.SelectObject(&font);
  RECT line = platform::DialogUnitsToPixels(about, RECT{39, 8, 117, 16});
  EXPECT_LE(dc.GetTextExtent("Tilvane\u3000Version 4.01").cx, line.right - line.left);
}

TEST_F(DialogTemplateTest, ATemplateWithAMissingFaceStillHasASize) {
  platform::DialogResource missing = resources.dialogs[kBareTemplate];
  missing.fontFace = "No Such Face At All";
  RECT px = platform::DialogUnitsToPixels(missing, missing.dlu);
  EXPECT_GT(px.right - px.left, 0);
  EXPECT_GT(px.bottom - px.top, 0);
}

TEST_F(DialogTemplateTest, TheControlsAreChildWindowsWhereTheTemplatePutsThem) {
  std::size_t children = 0;
  RECT okRect{}, expected{};
  bool okIsDefault = false, textIsNotDefault = true;
  const platform::DialogResource& about = resources.dialogs[kAboutTemplate];
  backend.Wait(10)
      .Call([&] {
        children = system.Children(dialog.m_hWnd).size();
        HWND ok = ControlWithId(IDOK);
        ASSERT_NE(ok, nullptr);
        okIsDefault = platform::FindControlInfo(ok)->isDefaultButton;
        HWND text = ControlWithText("Tilvane\u3000Version 4.01");
        ASSERT_NE(text, nullptr);
        textIsNotDefault = !platform::FindControlInfo(text)->isDefaultButton;
        okRect = ScreenRectOf(ok);
        POINT origin{};
        dialog.ClientToScreen(&origin);
        expected = platform::DialogUnitsToPixels(about, RECT{117, 40, 167, 54});
        expected = RECT{expected.left + origin.x, expected.top + origin.y, expected.right + origin.x,
                        expected.bottom + origin.y};
      })
      .Key(VK_ESCAPE);
  RunDialog();
  EXPECT_EQ(children, 4u);
  EXPECT_TRUE(okIsDefault);
  EXPECT_TRUE(textIsNotDefault);
  EXPECT_TRUE(CRect(okRect) == CRect(expected));
  EXPECT_EQ(platform::FindControlInfo(owner.m_hWnd), nullptr);
}

TEST_F(DialogTemplateTest, EnterEndsTheBoxWithIdokWhileTheOwnerIsDisabledAndItsTimerTicks) {
  owner.SetTimer(9, 100);
  bool ownerEnabledMeanwhile = true, visible = false;
  std::size_t ticksAtStart = 0, ticksAtEnd = 0;
  backend.Wait(10)
      .Call([&] {
        ticksAtStart = log.Only(WM_TIMER).size();
        ownerEnabledMeanwhile = owner.IsWindowEnabled();
        visible = dialog.IsWindowVisible();
      })
      .Wait(1000)
      .Call([&] { ticksAtEnd = log.Only(WM_TIMER).size(); })
      .Key(VK_RETURN);
  RunDialog();
  EXPECT_EQ(result, IDOK);
  EXPECT_TRUE(visible);
  EXPECT_FALSE(ownerEnabledMeanwhile);
  EXPECT_TRUE(owner.IsWindowEnabled());
  EXPECT_GE(ticksAtEnd - ticksAtStart, 9u);
  EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST_F(DialogTemplateTest, AClickOnTheOkButtonEndsTheBoxWithIdok) {
  backend.Wait(10).Call([&] { backend.Click(Centre(ScreenRectOf(ControlWithId(IDOK)))); });
  RunDialog();
  EXPECT_EQ(result, IDOK);
  EXPECT_TRUE(owner.IsWindowEnabled());
}

TEST_F(DialogTemplateTest, APressOnTheButtonReleasedOutsideItDoesNothing) {
  bool stillOpen = false;
  backend.Wait(10)
      .Call([&] {
        RECT ok = ScreenRectOf(ControlWithId(IDOK));
        backend.MouseDown(Centre(ok))
            .MouseUp(POINT{ok.left - 20, ok.top})
            .MouseMove(Centre(ok))
            .MouseUp(Centre(ok));
      })
      .Wait(10)
      .Call([&] { stillOpen = dialog.IsWindowVisible(); })
      .Key(VK_ESCAPE);
  RunDialog();
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(result, IDCANCEL);
}

TEST_F(DialogTemplateTest, EscapeEndsTheBoxWithIdcancel) {
  backend.Wait(10).Key(VK_ESCAPE);
  RunDialog();
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_TRUE(owner.IsWindowEnabled());
}

TEST_F(DialogTemplateTest, TheDesktopsCloseRequestEndsTheBoxWithIdcancel) {
  backend.Wait(10).Call([&] { backend.Close(DialogSurface()); });
  RunDialog();
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_TRUE(owner.IsWindowEnabled());
}

// Another client may destroy any window on an X display. The box cannot come back, so its run ends the way
// Escape would end it, and the owner takes the input again.
TEST_F(DialogTemplateTest, ABoxThatAnotherClientDestroysEndsWithIdcancelAndTheOwnerIsUsableAgain) {
  backend.Wait(10).DestroyElsewhere(platform::SurfaceKind::Dialog).Wait(10);
  RunDialog();
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_TRUE(owner.IsWindowEnabled());
  EXPECT_EQ(system.GetActive(), owner.m_hWnd);
  // The run ended for want of input, not for the lost box.
  EXPECT_EQ(system.QuitReason().find("destroyed"), std::string::npos) << system.QuitReason();
}

// A window with nothing of the program under it was its way to the user: losing it ends the program.
TEST_F(DialogTemplateTest, TheLossOfTheLastWindowEndsTheRunAndNamesTheWindow) {
  backend.Wait(10).DestroyElsewhere(platform::SurfaceKind::Plain).Wait(10).Call([] {
    ADD_FAILURE() << "the run went on without a window";
  });
  RunUntilIdle(system);
  EXPECT_TRUE(system.QuitRequested());
  EXPECT_NE(system.QuitReason().find("destroyed the window \"owner\""), std::string::npos)
      << system.QuitReason();
  EXPECT_FALSE(backend.ScriptDone());
}

TEST_F(DialogTemplateTest, AButtonSendsItsOwnId) {
  CDialog two(kTwoButtonTemplate, &owner);
  INT_PTR twoResult = 0;
  owner.onMessage = [&](UINT message, WPARAM, LPARAM) {
    if (message == WM_RUNDIALOG) twoResult = two.DoModal();
  };
  backend.Wait(10).Call([&] {
    for (HWND child : system.Children(two.m_hWnd)) {
      if (platform::FindControlInfo(child)->id == IDCANCEL) backend.Click(Centre(ScreenRectOf(child)));
    }
  });
  RunDialog();
  EXPECT_EQ(twoResult, IDCANCEL);
}

// The icon static takes the size of the icon's 32 x 32 picture, whose transparent corner shows the face.
TEST_F(DialogTemplateTest, TheBoxPaintsItsFaceTextIconAndTheDefaultButtonsFrame) {
  std::uint32_t face = 0, iconCorner = 0, iconFrame = 0, iconInside = 0, okCorner = 0;
  RECT icon{};
  // Text is drawn with greyscale antialiasing, so its strokes count as dark rather than black.
  int darkTextPixels = 0;
  backend.Wait(10)
      .Call([&] {
        RECT box = dialog.m_hWnd ? ScreenRectOf(dialog.m_hWnd) : RECT{};
        face = Pixel(box.left + 3, box.bottom - 3);
        for (HWND child : system.Children(dialog.m_hWnd)) {
          if (system.GetText(child).empty()) icon = ScreenRectOf(child);
        }
        iconCorner = Pixel(icon.left, icon.top);
        iconFrame = Pixel(icon.left, (icon.top + icon.bottom) / 2);
        iconInside = Pixel((icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2);
        RECT ok = ScreenRectOf(ControlWithId(IDOK));
        okCorner = Pixel(ok.left, ok.top);
        RECT text = ScreenRectOf(ControlWithText("Tilvane\u3000Version 4.01"));
        for (int y = text.top; y < text.bottom; ++y) {
          for (int x = text.left; x < text.right; ++x) {
            const std::uint32_t pixel = Pixel(x, y);
            if ((pixel & 0xFF) < 96 && ((pixel >> 8) & 0xFF) < 96 && ((pixel >> 16) & 0xFF) < 96)
              ++darkTextPixels;
          }
        }
      })
      .Key(VK_ESCAPE);
  RunDialog();
  EXPECT_EQ(face, kFacePixel);
  EXPECT_EQ(icon.right - icon.left, 32);
  EXPECT_EQ(icon.bottom - icon.top, 32);
  EXPECT_EQ(iconCorner, kFacePixel);
  EXPECT_EQ(iconFrame, kRedPixel);
  EXPECT_EQ(iconInside, kWhitePixel);
  EXPECT_EQ(okCorner, 0x000000u);
  EXPECT_GT(darkTextPixels, 20);
}

TEST_F(DialogTemplateTest, APlainButtonHasNoBlackFrame) {
  CDialog two(kTwoButtonTemplate, &owner);
  std::uint32_t okCorner = 0, cancelCorner = 0;
  owner.onMessage = [&](UINT message, WPARAM, LPARAM) {
    if (message == WM_RUNDIALOG) two.DoModal();
  };
  backend.Wait(10)
      .Call([&] {
        for (HWND child : system.Children(two.m_hWnd)) {
          RECT rc = ScreenRectOf(child);
          (platform::FindControlInfo(child)->id == IDOK ? okCorner : cancelCorner) = Pixel(rc.left, rc.top);
        }
      })
      .Key(VK_ESCAPE);
  RunDialog();
  EXPECT_EQ(okCorner, 0x000000u);
  EXPECT_EQ(cancelCorner, kWhitePixel);
}

TEST_F(DialogTemplateTest, ATemplateWithNoControlsRunsAndEnds) {
  CDialog bare(kBareTemplate, &owner);
  std::vector<INT_PTR> results;
  std::size_t children = 99;
  owner.onMessage = [&](UINT message, WPARAM, LPARAM) {
    if (message != WM_RUNDIALOG) return;
    results.push_back(bare.DoModal());
    if (results.size() == 1) owner.PostMessage(WM_RUNDIALOG);
  };
  owner.PostMessage(WM_RUNDIALOG);
  backend.Wait(10)
      .Call([&] { children = system.Children(bare.m_hWnd).size(); })
      .Key(VK_RETURN)
      .Wait(10)
      .Key(VK_ESCAPE);
  RunUntilIdle(system);
  EXPECT_EQ(children, 0u);
  EXPECT_EQ(results, (std::vector<INT_PTR>{IDOK, IDCANCEL}));
}

// Without controls the template's size is worked out only when asked for: a dialog that places itself in
// OnInitDialog never measures its font for it, and one that asks gets the template's size all the same.
class CPlacingDialog : public CDialog {
 public:
  CPlacingDialog(UINT nID, CWnd* pOwner, bool bPlace) : CDialog(nID, pOwner), m_bPlace(bPlace) {}
  BOOL OnInitDialog() override {
    if (m_bPlace) MoveWindow(10, 20, 30, 40);
    GetWindowRect(&m_rcAtInit);
    EndDialog(IDOK);
    return TRUE;
  }
  RECT m_rcAtInit{};

 private:
  bool m_bPlace;
};

TEST_F(DialogTemplateTest, ADialogWithoutControlsWorksOutItsTemplateSizeOnlyWhenAskedFor) {
  CPlacingDialog placed(kBareTemplate, &owner, true);
  CPlacingDialog asking(kBareTemplate, &owner, false);
  owner.onMessage = [&](UINT message, WPARAM, LPARAM) {
    if (message != WM_RUNDIALOG) return;
    placed.DoModal();
    asking.DoModal();
  };
  RunDialog();
  EXPECT_TRUE(CRect(placed.m_rcAtInit) == CRect(10, 20, 40, 60));
  const platform::DialogResource& bare = resources.dialogs[kBareTemplate];
  const RECT px = platform::DialogUnitsToPixels(bare, bare.dlu);
  const CRect rc(asking.m_rcAtInit);
  EXPECT_EQ(rc.Width(), px.right - px.left);
  EXPECT_EQ(rc.Height(), px.bottom - px.top);
  // Centred over the owner (200, 150)-(700, 550), as a template at (0, 0) asks.
  EXPECT_EQ(rc.left, 200 + (500 - rc.Width()) / 2);
  EXPECT_EQ(rc.top, 150 + (400 - rc.Height()) / 2);
}

}  // namespace
