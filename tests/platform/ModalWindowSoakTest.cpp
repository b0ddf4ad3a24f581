// A whole window on the headless screen: a dialog with 16 children, two timers and painting, run for a
// minute.
#include <gtest/gtest.h>

#include <memory>

#include "MessageLog.h"
#include "TestSupport.h"
#include "platform/api/Region.h"
#include "platform/api/WinApp.h"

using platform::CHeadlessBackend;
using platform::CWindowSystem;

namespace {

constexpr UINT kBoardTemplate = 102;
constexpr UINT_PTR kSecondTimer = 1;
constexpr UINT_PTR kFastTimer = 2;
constexpr int kCell = 20;

COLORREF CellColour(int i) {
  return RGB(10 * i, 255 - 10 * i, 100);
}

class CBoardDialog : public CDialog {
 public:
  explicit CBoardDialog(MessageLog& log) : CDialog(kBoardTemplate), m_log(log) {}
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    m_log.Add("board", message, wParam);
    return CDialog::WindowProc(message, wParam, lParam);
  }
  int seconds = 0;
  int fastTicks = 0;
  std::vector<std::unique_ptr<CLoggingWnd>> cells;

 protected:
  BOOL OnInitDialog() override {
    MoveWindow(100, 50, 4 * kCell + 20, 4 * kCell + 20);
    CRgn shape;
    shape.CreateRoundRectRgn(0, 0, 4 * kCell + 20, 4 * kCell + 20, 10, 10);
    SetWindowRgn(&shape, TRUE);
    for (int i = 0; i < 16; ++i) {
      auto cell = std::make_unique<CLoggingWnd>(m_log, "cell" + std::to_string(i), CellColour(i));
      int x = 10 + (i % 4) * kCell;
      int y = 10 + (i / 4) * kCell;
      cell->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, RECT{x, y, x + kCell, y + kCell}, this, 0);
      cells.push_back(std::move(cell));
    }
    SetTimer(kSecondTimer, 1000);
    SetTimer(kFastTimer, 100);
    return TRUE;
  }
  void OnPaint() override {
    CPaintDC dc(this);
    dc.FillSolidRect(RECT{0, 0, 4 * kCell + 20, 4 * kCell + 20}, RGB(255, 255, 255));
  }
  void OnTimer(UINT_PTR id) override {
    if (id == kSecondTimer) ++seconds;
    // Every tenth of a second one cell repaints, as a moving tile would.
    if (id == kFastTimer) cells[static_cast<std::size_t>(fastTicks++ % 16)]->Invalidate();
  }

 private:
  MessageLog& m_log;
};

// A board dialog on a headless screen of its own.
class ModalWindow : public ::testing::Test {
 protected:
  static platform::ResourceSet BoardResources() {
    platform::ResourceSet resources;
    resources.dialogs[kBoardTemplate] =
        platform::DialogResource{WS_POPUP | WS_VISIBLE, {0, 0, 120, 150}, "", 9, "", {}};
    return resources;
  }
  platform::ResourceSet resources = BoardResources();
  CHeadlessBackend backend;
  CWindowSystem system{backend, &resources};
  MessageLog log;
  CBoardDialog board{log};
};

TEST_F(ModalWindow, ABoardOfSixteenChildrenRunsAMinuteOfVirtualTime) {
  backend.Wait(60050).Call([&] { board.PostMessage(WM_COMMAND, IDCANCEL); });
  EXPECT_EQ(board.DoModal(), IDCANCEL);

  EXPECT_EQ(board.seconds, 60);
  EXPECT_EQ(board.fastTicks, 600);
  // The board painted once, each cell once at the start and then whenever its turn came.
  auto paints = log.Only(WM_PAINT);
  EXPECT_EQ(paints.front().window, "board");
  EXPECT_EQ(std::count_if(paints.begin(), paints.end(), [](auto& m) { return m.window == "board"; }), 1);
  EXPECT_EQ(paints.size(), 1u + 16u + 600u);
  // The dialog goes first, then its children.
  auto destroyed = log.Only(WM_DESTROY);
  ASSERT_EQ(destroyed.size(), 17u);
  EXPECT_EQ(destroyed.front().window, "board");
  EXPECT_TRUE(backend.VisibleSurfaces().empty());
}

TEST_F(ModalWindow, PixelsOfTheBoardShowEveryCellAndTheShape) {
  backend.Wait(500).Call([&] {
    for (int i = 0; i < 16; ++i) {
      POINT inCell{100 + 10 + (i % 4) * kCell + 5, 50 + 10 + (i / 4) * kCell + 5};
      COLORREF c = CellColour(i);
      std::uint32_t rgb = static_cast<std::uint32_t>(GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c));
      EXPECT_EQ(backend.PixelAt(inCell), rgb) << "cell " << i;
    }
    EXPECT_EQ(backend.PixelAt({105, 95}), 0xFFFFFFu);      // the margin
    EXPECT_FALSE(backend.PixelAt({100, 50}).has_value());  // a corner outside the rounded shape
    board.PostMessage(WM_COMMAND, IDCANCEL);
  });
  board.DoModal();
}

}  // namespace
