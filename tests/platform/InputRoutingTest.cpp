// Tests of input routing: the deepest visible, enabled window under the point, the shape, cursors and keys.
#include <gtest/gtest.h>

#include "MessageLog.h"
#include "TestSupport.h"
#include "platform/api/Region.h"

using platform::CHeadlessBackend;
using platform::CWindowSystem;

namespace {

class InputRoutingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(top.CreateEx(0, nullptr, "top", WS_POPUP | WS_VISIBLE, Rect(100, 100, 200, 200), nullptr, 0));
    CRgn shape;
    shape.CreateRoundRectRgn(0, 0, 100, 100, 30, 30);
    top.SetWindowRgn(&shape, TRUE);
    ASSERT_TRUE(shown.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, Rect(10, 10, 40, 40), &top, 0));
    ASSERT_TRUE(hidden.Create(nullptr, nullptr, WS_CHILD, Rect(50, 10, 80, 40), &top, 0));
    ASSERT_TRUE(disabled.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_DISABLED, Rect(10, 50, 40, 80),
                                &top, 0));
  }
  CHeadlessBackend backend;
  CWindowSystem system{backend};
  MessageLog log;
  CLoggingWnd top{log, "top"};
  CLoggingWnd shown{log, "shown"};
  CLoggingWnd hidden{log, "hidden"};
  CLoggingWnd disabled{log, "disabled"};
};

TEST_F(InputRoutingTest, APressGoesToTheDeepestVisibleEnabledWindowInItsClientCoordinates) {
  backend.MouseDown({125, 127});
  RunUntilIdle(system);
  EXPECT_MESSAGES(log.Only(WM_LBUTTONDOWN), Msg("shown", WM_LBUTTONDOWN, MK_LBUTTON));
  EXPECT_EQ(shown.lastPoint, CPoint(15, 17));
}

TEST_F(InputRoutingTest, HiddenAndDisabledChildrenLetTheParentHaveThePress) {
  backend.MouseDown({165, 125}).MouseUp({165, 125}).MouseDown({125, 165});
  RunUntilIdle(system);
  EXPECT_MESSAGES(log.Only(WM_LBUTTONDOWN), Msg("top", WM_LBUTTONDOWN, MK_LBUTTON),
                  Msg("top", WM_LBUTTONDOWN, MK_LBUTTON));
  EXPECT_EQ(top.lastPoint, CPoint(25, 65));
}

TEST_F(InputRoutingTest, OutsideTheShapeNothingIsHit) {
  backend.MouseDown({101, 101}).MouseUp({101, 101}).MouseDown({250, 250});
  RunUntilIdle(system);
  EXPECT_TRUE(log.Only(WM_LBUTTONDOWN).empty());
  EXPECT_FALSE(backend.PixelAt({101, 101}).has_value());
  EXPECT_TRUE(backend.PixelAt({150, 101}).has_value());
}

// A press on the window itself keeps the mouse until the last button is up, wherever the pointer goes; a
// press on a child does not, and nothing is kept once the buttons are up.
TEST_F(InputRoutingTest, APressOnTheWindowKeepsTheMouseUntilTheLastButtonIsUp) {
  backend.MouseDown({165, 125}).MouseMove({400, 30}).MouseDown({400, 30}, 3).MouseUp({400, 30}, 3);
  backend.MouseUp({90, 300}).MouseMove({400, 31});
  backend.MouseDown({125, 127}).MouseMove({101, 101}).MouseUp({101, 101});
  RunUntilIdle(system);
  EXPECT_MESSAGES(log.Only(WM_MOUSEMOVE), Msg("top", WM_MOUSEMOVE, MK_LBUTTON));
  EXPECT_MESSAGES(log.Only(WM_RBUTTONUP), Msg("top", WM_RBUTTONUP, MK_LBUTTON));
  EXPECT_MESSAGES(log.Only(WM_LBUTTONUP), Msg("top", WM_LBUTTONUP, 0));
  EXPECT_EQ(top.lastPoint, CPoint(300, -70));
  EXPECT_EQ(shown.lastPoint, CPoint(15, 17)) << "a move out of the shape after a child's press reaches nobody";
}

TEST_F(InputRoutingTest, FlagsCarryTheButtonsAndModifiersHeld) {
  backend.Modifiers(MK_SHIFT).MouseDown({150, 150}, 3).MouseMove({151, 150});
  RunUntilIdle(system);
  EXPECT_MESSAGES(log.Only(WM_RBUTTONDOWN), Msg("top", WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT));
  EXPECT_EQ(top.lastFlags, static_cast<UINT>(MK_RBUTTON | MK_SHIFT));
}

TEST_F(InputRoutingTest, SetCursorAsksTheParentFirstAndStopsWhereItIsClaimed) {
  log.LogEverything();
  backend.MouseMove({120, 120});
  RunUntilIdle(system);
  std::vector<LoggedMessage> order;
  for (const auto& m : log.Entries()) {
    if (m.message == WM_SETCURSOR || m.message == WM_MOUSEMOVE) order.push_back(m);
  }
  auto childHandle = reinterpret_cast<WPARAM>(shown.m_hWnd);
  EXPECT_MESSAGES(order, Msg("shown", WM_SETCURSOR, childHandle), Msg("top", WM_SETCURSOR, childHandle),
                  Msg("shown", WM_MOUSEMOVE, 0));
}

class ClaimingWnd : public CLoggingWnd {
 public:
  using CLoggingWnd::CLoggingWnd;
  int asked = 0;

 protected:
  BOOL OnSetCursor(CWnd*, UINT, UINT) override {
    ++asked;
    return TRUE;
  }
};

TEST(InputRouting, AParentThatClaimsTheCursorStopsTheChildsDefault) {
  CHeadlessBackend backend;
  CWindowSystem system(backend);
  MessageLog log;
  ClaimingWnd parent(log, "parent");
  CLoggingWnd child(log, "child");
  ASSERT_TRUE(parent.CreateEx(0, nullptr, "p", WS_POPUP | WS_VISIBLE, Rect(0, 0, 50, 50), nullptr, 0));
  ASSERT_TRUE(child.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, Rect(0, 0, 20, 20), &parent, 0));
  SetCursor(nullptr);
  backend.MouseMove({5, 5});
  RunUntilIdle(system);
  EXPECT_EQ(parent.asked, 1);
  EXPECT_EQ(system.CurrentCursor(), nullptr);  // the child's arrow was never set
}

TEST(InputRouting, KeysReachTheActiveWindowThroughItsFilter) {
  CHeadlessBackend backend;
  CWindowSystem system(backend);
  MessageLog log;
  CLoggingWnd a(log, "a");
  ASSERT_TRUE(a.CreateEx(0, nullptr, "a", WS_POPUP | WS_VISIBLE, Rect(0, 0, 50, 50), nullptr, 0));
  std::vector<UINT> filtered;
  a.preTranslate = [&](MSG* msg) {
    if (msg->message != WM_KEYDOWN) return FALSE;
    filtered.push_back(static_cast<UINT>(msg->wParam));
    return msg->wParam == VK_ESCAPE ? TRUE : FALSE;
  };
  backend.Key(VK_RETURN).Key(VK_ESCAPE);
  RunUntilIdle(system);
  EXPECT_EQ(filtered, (std::vector<UINT>{VK_RETURN, VK_ESCAPE}));
  EXPECT_MESSAGES(log.Only(WM_KEYDOWN), Msg("a", WM_KEYDOWN, VK_RETURN));
}

}  // namespace
