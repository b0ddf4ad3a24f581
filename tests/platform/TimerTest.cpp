// Tests of window timers on the virtual clock: periods, restarting, killing, late ticks and Sleep.
#include <gtest/gtest.h>

#include "MessageLog.h"
#include "TestSupport.h"

using platform::CHeadlessBackend;
using platform::CWindowSystem;

namespace {

class TimerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "t", WS_POPUP, Rect(0, 0, 10, 10), nullptr, 0));
    wnd.onMessage = [this](UINT message, WPARAM id, LPARAM) {
      if (message == WM_TIMER) ticks.push_back({id, backend.NowMs()});
      if (onTick && message == WM_TIMER) onTick(id);
    };
  }
  CHeadlessBackend backend;
  CWindowSystem system{backend};
  MessageLog log;
  CLoggingWnd wnd{log, "t"};
  std::vector<std::pair<WPARAM, std::uint64_t>> ticks;
  std::function<void(WPARAM)> onTick;
};

using Ticks = std::vector<std::pair<WPARAM, std::uint64_t>>;

TEST_F(TimerTest, TwoTimersTickOnTheirOwnPeriods) {
  wnd.SetTimer(1, 100);
  wnd.SetTimer(2, 250);
  backend.Wait(520);
  RunUntilIdle(system);
  EXPECT_EQ(ticks, (Ticks{{1, 100}, {1, 200}, {2, 250}, {1, 300}, {1, 400}, {1, 500}, {2, 500}}));
}

TEST_F(TimerTest, SettingARunningTimerAgainRestartsIt) {
  wnd.SetTimer(1, 100);
  backend.Wait(50).Call([this] { wnd.SetTimer(1, 100); }).Wait(200);
  RunUntilIdle(system);
  EXPECT_EQ(ticks, (Ticks{{1, 150}, {1, 250}}));
}

TEST_F(TimerTest, AKilledTimerTicksNoMore) {
  wnd.SetTimer(1, 100);
  onTick = [this](WPARAM) { EXPECT_TRUE(wnd.KillTimer(1)); };
  backend.Wait(1000);
  RunUntilIdle(system);
  EXPECT_EQ(ticks, (Ticks{{1, 100}}));
  EXPECT_FALSE(wnd.KillTimer(1));
}

TEST_F(TimerTest, ALateTickDelaysTheOnesAfterIt) {
  wnd.SetTimer(1, 100);
  onTick = [this](WPARAM) {
    if (ticks.size() == 1) Sleep(250);  // blocks without dispatching the ticks it misses
  };
  backend.Wait(460);
  RunUntilIdle(system);
  EXPECT_EQ(ticks, (Ticks{{1, 100}, {1, 350}, {1, 450}}));
}

TEST_F(TimerTest, TickCountFollowsTheClockAndWraps) {
  DWORD start = GetTickCount();
  backend.Wait(1234);
  RunUntilIdle(system);
  EXPECT_EQ(GetTickCount() - start, 1234u);
  backend.Sleep(0xFFFFFFFFu);
  EXPECT_EQ(GetTickCount(), static_cast<DWORD>(start + 1234u + 0xFFFFFFFFu));
}

TEST_F(TimerTest, ATimerOfADestroyedWindowStops) {
  wnd.SetTimer(1, 100);
  backend.Wait(150).Call([this] { wnd.DestroyWindow(); }).Wait(500);
  RunUntilIdle(system);
  EXPECT_EQ(ticks, (Ticks{{1, 100}}));
}

}  // namespace
