// Tests of the message queue: posting, sending, painting order and coalescing.
#include <gtest/gtest.h>

#include "MessageLog.h"
#include "TestSupport.h"

using platform::CHeadlessBackend;
using platform::CWindowSystem;

namespace {

class MessageQueueTest : public ::testing::Test {
 protected:
  CHeadlessBackend backend;
  CWindowSystem system{backend};
  MessageLog log;
};

TEST_F(MessageQueueTest, PostedMessagesRunInOrderAndSentOnesRunAtOnce) {
  CLoggingWnd a(log, "a");
  ASSERT_TRUE(a.CreateEx(0, nullptr, "a", WS_POPUP, Rect(0, 0, 40, 40), nullptr, 0));
  a.onMessage = [&](UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_USER + 1 && wParam == 1) {
      a.PostMessage(WM_USER + 2, 1);
      a.SendMessage(WM_USER + 3, 1);
    }
  };
  a.PostMessage(WM_USER + 1, 1);
  a.PostMessage(WM_USER + 1, 2);
  RunUntilIdle(system);
  EXPECT_MESSAGES(log.Entries(), Msg("a", WM_USER + 1, 1), Msg("a", WM_USER + 3, 1), Msg("a", WM_USER + 1, 2),
                  Msg("a", WM_USER + 2, 1));
}

TEST_F(MessageQueueTest, PaintComesOnlyWhenTheQueueIsEmptyAndIsCoalesced) {
  CLoggingWnd a(log, "a");
  ASSERT_TRUE(a.CreateEx(0, nullptr, "a", WS_POPUP | WS_VISIBLE, Rect(0, 0, 40, 40), nullptr, 0));
  a.Invalidate();
  a.InvalidateRect(nullptr, FALSE);
  a.PostMessage(WM_USER + 1);
  RunUntilIdle(system);
  EXPECT_MESSAGES(log.Entries(), Msg("a", WM_USER + 1), Msg("a", WM_PAINT));
}

TEST_F(MessageQueueTest, ParentPaintsBeforeItsVisibleChildrenAndHiddenOnesPaintNothing) {
  CLoggingWnd parent(log, "parent", RGB(255, 0, 0));
  CLoggingWnd shown(log, "shown", RGB(0, 0, 255));
  CLoggingWnd hidden(log, "hidden", RGB(0, 255, 0));
  ASSERT_TRUE(parent.CreateEx(0, nullptr, "p", WS_POPUP | WS_VISIBLE, Rect(100, 100, 160, 160), nullptr, 0));
  ASSERT_TRUE(shown.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, Rect(10, 10, 20, 20), &parent, 0));
  ASSERT_TRUE(hidden.Create(nullptr, nullptr, WS_CHILD, Rect(30, 30, 40, 40), &parent, 0));
  RunUntilIdle(system);
  EXPECT_MESSAGES(log.Only(WM_PAINT), Msg("parent", WM_PAINT), Msg("shown", WM_PAINT));
  EXPECT_EQ(backend.PixelAt({115, 115}), 0x0000FFu);  // the child over its parent
  EXPECT_EQ(backend.PixelAt({135, 135}), 0xFF0000u);  // the parent where the hidden child stands
  EXPECT_EQ(backend.PixelAt({100, 100}), 0xFF0000u);
}

TEST_F(MessageQueueTest, InvalidatingAParentRepaintsTheChildrenItCovers) {
  CLoggingWnd parent(log, "parent");
  CLoggingWnd child(log, "child");
  ASSERT_TRUE(parent.CreateEx(0, nullptr, "p", WS_POPUP | WS_VISIBLE, Rect(0, 0, 60, 60), nullptr, 0));
  ASSERT_TRUE(child.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, Rect(40, 40, 50, 50), &parent, 0));
  RunUntilIdle(system);
  log.Clear();
  RECT corner{0, 0, 20, 20};
  parent.InvalidateRect(&corner);
  backend.Wait(1);
  RunUntilIdle(system);
  EXPECT_MESSAGES(log.Only(WM_PAINT), Msg("parent", WM_PAINT));
  log.Clear();
  parent.Invalidate();
  backend.Wait(1);
  RunUntilIdle(system);
  EXPECT_MESSAGES(log.Only(WM_PAINT), Msg("parent", WM_PAINT), Msg("child", WM_PAINT));
}

TEST_F(MessageQueueTest, HidingAChildByItsStyleDoesNotRepaintAnything) {
  CLoggingWnd parent(log, "parent", RGB(255, 0, 0));
  CLoggingWnd child(log, "child", RGB(0, 0, 255));
  ASSERT_TRUE(parent.CreateEx(0, nullptr, "p", WS_POPUP | WS_VISIBLE, Rect(0, 0, 60, 60), nullptr, 0));
  ASSERT_TRUE(child.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, Rect(10, 10, 30, 30), &parent, 0));
  RunUntilIdle(system);
  log.Clear();
  child.ModifyStyle(WS_VISIBLE, 0);
  backend.Wait(1);
  RunUntilIdle(system);
  EXPECT_TRUE(log.Only(WM_PAINT).empty());
  EXPECT_EQ(backend.PixelAt({15, 15}), 0x0000FFu);  // still shows until the parent repaints
  parent.Invalidate();
  backend.Wait(1);
  RunUntilIdle(system);
  EXPECT_MESSAGES(log.Only(WM_PAINT), Msg("parent", WM_PAINT));
  EXPECT_EQ(backend.PixelAt({15, 15}), 0xFF0000u);
}

TEST_F(MessageQueueTest, OnlyTheDamagedRectangleIsPresented) {
  CLoggingWnd parent(log, "parent", RGB(255, 0, 0));
  CLoggingWnd child(log, "child", RGB(0, 0, 255));
  ASSERT_TRUE(parent.CreateEx(0, nullptr, "p", WS_POPUP | WS_VISIBLE, Rect(0, 0, 60, 60), nullptr, 0));
  ASSERT_TRUE(child.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, Rect(10, 10, 30, 30), &parent, 0));
  RunUntilIdle(system);
  int presents = backend.PresentCount();
  child.Invalidate();
  backend.Wait(1);
  RunUntilIdle(system);
  EXPECT_EQ(backend.PresentCount(), presents + 1);
}

// A paint is due as soon as the queue is empty, before a timer that fell due meanwhile.
TEST_F(MessageQueueTest, APaintWaitingWhenATimerFallsDueComesBeforeTheTick) {
  CLoggingWnd a(log, "a");
  ASSERT_TRUE(a.CreateEx(0, nullptr, "a", WS_POPUP | WS_VISIBLE, Rect(0, 0, 40, 40), nullptr, 0));
  RunUntilIdle(system);
  log.Clear();
  a.onMessage = [&](UINT message, WPARAM, LPARAM) {
    if (message == WM_USER + 1) {
      a.SetTimer(7, 10);
      Sleep(50);  // the timer is overdue when the handler returns
      a.Invalidate();
    }
    if (message == WM_TIMER) a.KillTimer(7);
  };
  a.PostMessage(WM_USER + 1);
  backend.Wait(100);
  RunUntilIdle(system);
  EXPECT_MESSAGES(log.Entries(), Msg("a", WM_USER + 1), Msg("a", WM_PAINT), Msg("a", WM_TIMER, 7));
}

// A window that paints its whole client area in one colour and remembers what BeginPaint told it.
class CPaintProbeWnd : public CWnd {
 public:
  COLORREF colour = RGB(255, 0, 0);
  RECT rcPaint{};

 protected:
  void OnPaint() override {
    CPaintDC dc(this);
    rcPaint = dc.m_ps.rcPaint;
    RECT rc;
    GetClientRect(&rc);
    dc.FillSolidRect(rc, colour);
  }
};

// Painting everything changes only the invalidated part; rcPaint and the presented damage are that part.
TEST_F(MessageQueueTest, APaintIsClippedToTheUpdateRegion) {
  CPaintProbeWnd probe;
  ASSERT_TRUE(
      probe.CreateEx(0, nullptr, "probe", WS_POPUP | WS_VISIBLE, Rect(100, 100, 160, 160), nullptr, 0));
  RunUntilIdle(system);
  ASSERT_EQ(backend.PixelAt({130, 130}), 0xFF0000u);
  probe.colour = RGB(0, 0, 255);
  RECT part{10, 20, 30, 40};
  probe.InvalidateRect(&part, FALSE);
  backend.Wait(1);
  RunUntilIdle(system);
  EXPECT_EQ(probe.rcPaint.left, 10);
  EXPECT_EQ(probe.rcPaint.top, 20);
  EXPECT_EQ(probe.rcPaint.right, 30);
  EXPECT_EQ(probe.rcPaint.bottom, 40);
  const RECT damage = backend.LastPresented();
  EXPECT_EQ(std::vector<LONG>({damage.left, damage.top, damage.right, damage.bottom}),
            std::vector<LONG>({10, 20, 30, 40}));
  EXPECT_EQ(backend.PixelAt({110, 120}), 0x0000FFu);  // the part's corners
  EXPECT_EQ(backend.PixelAt({129, 139}), 0x0000FFu);
  EXPECT_EQ(backend.PixelAt({130, 130}), 0xFF0000u);  // just right of it, below it, and far away
  EXPECT_EQ(backend.PixelAt({120, 140}), 0xFF0000u);
  EXPECT_EQ(backend.PixelAt({109, 125}), 0xFF0000u);
  EXPECT_EQ(backend.PixelAt({150, 150}), 0xFF0000u);
}

TEST_F(MessageQueueTest, ADestroyedWindowIgnoresEverything) {
  CLoggingWnd a(log, "a");
  ASSERT_TRUE(a.CreateEx(0, nullptr, "a", WS_POPUP | WS_VISIBLE, Rect(0, 0, 40, 40), nullptr, 0));
  HWND stale = a.m_hWnd;
  a.PostMessage(WM_USER + 1);
  ASSERT_TRUE(a.DestroyWindow());
  EXPECT_EQ(a.m_hWnd, nullptr);
  EXPECT_FALSE(a.DestroyWindow());
  EXPECT_FALSE(a.PostMessage(WM_USER + 2));
  EXPECT_EQ(a.SetTimer(1, 100), 0u);
  EXPECT_FALSE(a.KillTimer(7));
  a.MoveWindow(1, 2, 3, 4);
  a.Invalidate();
  a.SetWindowText("gone");
  RECT rc{9, 9, 9, 9};
  a.GetWindowRect(&rc);
  EXPECT_EQ(rc.right, 0);
  EXPECT_EQ(system.Send(stale, WM_USER + 3, 0, 0), 0);
  RunUntilIdle(system);
  EXPECT_MESSAGES(log.Entries(), Msg("a", WM_DESTROY));
}

TEST_F(MessageQueueTest, TheDesktopClientRectangleIsTheScreen) {
  RECT rc;
  GetDesktopWindow()->GetClientRect(&rc);
  EXPECT_EQ(rc.right - rc.left, 1024);
  EXPECT_EQ(rc.bottom - rc.top, 768);
  backend.SetScreenSize(800, 600);
  GetDesktopWindow()->GetClientRect(&rc);
  EXPECT_EQ(rc.bottom - rc.top, 600);
}

}  // namespace
