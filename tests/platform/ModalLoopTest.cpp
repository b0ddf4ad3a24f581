// Tests of modal dialogs: owners disabled meanwhile, nested loops, timers that keep ticking, keys and close
// requests.
#include <gtest/gtest.h>

#include "MessageLog.h"
#include "TestSupport.h"
#include "platform/api/WinApp.h"
#include "platform/linux/AfxWinMain.h"

using platform::CHeadlessBackend;
using platform::CWindowSystem;

namespace {

constexpr UINT kOuterTemplate = 10;
constexpr UINT kInnerTemplate = 11;

platform::ResourceSet DialogResources() {
  platform::ResourceSet set;
  set.dialogs[kOuterTemplate] =
      platform::DialogResource{WS_POPUP | WS_CAPTION | WS_SYSMENU, {0, 0, 100, 60}, "outer", 9, "", {}};
  set.dialogs[kInnerTemplate] =
      platform::DialogResource{WS_POPUP | WS_CAPTION | WS_SYSMENU, {0, 0, 60, 30}, "inner", 9, "", {}};
  return set;
}

class CTestDialog : public CDialog {
 public:
  CTestDialog(MessageLog& log, std::string name, UINT id, CWnd* parent)
      : CDialog(id, parent), m_log(log), m_name(std::move(name)) {}
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    m_log.Add(m_name, message, wParam);
    if (onMessage) onMessage(message, wParam);
    return CDialog::WindowProc(message, wParam, lParam);
  }
  std::function<void(UINT, WPARAM)> onMessage;

 private:
  MessageLog& m_log;
  std::string m_name;
};

class ModalLoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(
        owner.CreateEx(0, nullptr, "owner", WS_POPUP | WS_VISIBLE, Rect(200, 200, 500, 400), nullptr, 0));
    owner.SetTimer(1, 100);
  }
  platform::ResourceSet resources = DialogResources();
  CHeadlessBackend backend;
  CWindowSystem system{backend, &resources};
  MessageLog log;
  CLoggingWnd owner{log, "owner"};
};

TEST_F(ModalLoopTest, NestedDialogsDisableTheirOwnersWhileTimersKeepTicking) {
  CTestDialog outer(log, "outer", kOuterTemplate, &owner);
  CTestDialog inner(log, "inner", kInnerTemplate, &outer);
  INT_PTR outerResult = 0, innerResult = 0;
  owner.onMessage = [&](UINT message, WPARAM, LPARAM) {
    if (message == WM_USER + 1) outerResult = outer.DoModal();
  };
  outer.onMessage = [&](UINT message, WPARAM) {
    if (message == WM_USER + 2) innerResult = inner.DoModal();
  };
  owner.PostMessage(WM_USER + 1);
  backend.Wait(1000)
      .Call([&] {
        EXPECT_FALSE(owner.IsWindowEnabled());
        EXPECT_TRUE(outer.IsWindowVisible());
        outer.PostMessage(WM_USER + 2);
      })
      .Wait(1000)
      .Call([&] {
        EXPECT_FALSE(outer.IsWindowEnabled());
        EXPECT_TRUE(inner.IsWindowEnabled());
      })
      .Key(VK_RETURN)
      .Wait(1000)
      .Call([&] {
        EXPECT_EQ(inner.m_hWnd, nullptr);
        EXPECT_TRUE(outer.IsWindowEnabled());
      })
      .Key(VK_ESCAPE);
  RunUntilIdle(system);
  EXPECT_EQ(innerResult, IDOK);
  EXPECT_EQ(outerResult, IDCANCEL);
  EXPECT_TRUE(owner.IsWindowEnabled());
  EXPECT_EQ(log.Only(WM_TIMER).size(), 30u);
}

TEST_F(ModalLoopTest, ADialogStandsCentredOverItsOwner) {
  CTestDialog dialog(log, "d", kOuterTemplate, &owner);
  RECT seen{};
  dialog.onMessage = [&](UINT message, WPARAM) {
    if (message == WM_INITDIALOG) {
      dialog.GetWindowRect(&seen);
      dialog.PostMessage(WM_COMMAND, IDOK);
    }
  };
  EXPECT_EQ(dialog.DoModal(), IDOK);
  int width = seen.right - seen.left;
  int height = seen.bottom - seen.top;
  EXPECT_GT(width, 0);
  EXPECT_EQ(seen.left, 200 + (300 - width) / 2);
  EXPECT_EQ(seen.top, 200 + (200 - height) / 2);
}

TEST_F(ModalLoopTest, TheCloseBoxCancelsAndADisabledOwnerCannotBeClosed) {
  CTestDialog dialog(log, "d", kOuterTemplate, &owner);
  platform::SurfaceId ownerSurface = 0;
  dialog.onMessage = [&](UINT message, WPARAM) {
    if (message != WM_INITDIALOG) return;
    for (const auto* s : backend.VisibleSurfaces()) {
      if (s->desc.title == "owner") ownerSurface = s->id;
    }
  };
  owner.SetWindowText("owner");
  backend.Wait(10).Call([&] { backend.Close(ownerSurface); }).Wait(10).Call([&] {
    for (const auto* s : backend.VisibleSurfaces()) {
      if (s->desc.title == "outer") backend.Close(s->id);
    }
  });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_TRUE(log.Only(WM_CLOSE).size() == 1u && log.Only(WM_CLOSE)[0].window == "d");
  EXPECT_NE(owner.m_hWnd, nullptr);
}

TEST_F(ModalLoopTest, AMissingTemplateRunsNothing) {
  CTestDialog dialog(log, "d", 999, &owner);
  EXPECT_EQ(dialog.DoModal(), -1);
  EXPECT_TRUE(owner.IsWindowEnabled());
}

class CApp : public CWinApp {
 public:
  BOOL InitInstance() override {
    initialised = true;
    return FALSE;
  }
  bool initialised = false;
};

TEST(Application, InitInstanceReturningFalseEndsTheProgramWithoutALoop) {
  CHeadlessBackend backend;
  platform::ResourceSet resources;
  CApp app;
  backend.Wait(100000);
  EXPECT_EQ(AfxWinMain(app, backend, resources), 0);
  EXPECT_TRUE(app.initialised);
  EXPECT_EQ(backend.NowMs(), 0u);
}

}  // namespace
