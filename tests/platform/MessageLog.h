// Records what each test window receives, and compares the record with an expected table.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/api/Dialog.h"
#include "platform/api/PaintDC.h"
#include "platform/api/Wnd.h"

struct LoggedMessage {
  std::string window;
  UINT message = 0;
  WPARAM wParam = 0;
  bool operator==(const LoggedMessage&) const = default;
};

inline std::string Describe(const LoggedMessage& m) {
  char text[96];
  std::snprintf(text, sizeof text, "%s 0x%04X %lu", m.window.c_str(), m.message,
                static_cast<unsigned long>(m.wParam));
  return text;
}

// The messages that tell the order of events; the others (WM_SETCURSOR, WM_ERASEBKGND...) are logged only on
// request.
inline bool IsInteresting(UINT message) {
  switch (message) {
    case WM_PAINT:
    case WM_TIMER:
    case WM_COMMAND:
    case WM_DESTROY:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_KEYDOWN:
    case WM_CLOSE:
    case WM_INITDIALOG: return true;
    default: return message >= WM_USER;
  }
}

class MessageLog {
 public:
  void Add(const std::string& window, UINT message, WPARAM wParam) {
    if (IsInteresting(message) || m_all) m_entries.push_back(LoggedMessage{window, message, wParam});
  }
  void LogEverything() { m_all = true; }
  void Clear() { m_entries.clear(); }
  const std::vector<LoggedMessage>& Entries() const { return m_entries; }
  std::vector<LoggedMessage> Only(UINT message) const {
    std::vector<LoggedMessage> out;
    for (const auto& e : m_entries)
      if (e.message == message) out.push_back(e);
    return out;
  }

 private:
  std::vector<LoggedMessage> m_entries;
  bool m_all = false;
};

// Reports the first difference between what came and what was expected, with the caller's line.
#define EXPECT_MESSAGES(log, ...) \
  ExpectMessages((log), std::vector<LoggedMessage>{__VA_ARGS__}, __FILE__, __LINE__)

inline void ExpectMessages(const std::vector<LoggedMessage>& got, const std::vector<LoggedMessage>& want,
                           const char* file, int line) {
  std::size_t n = std::min(got.size(), want.size());
  for (std::size_t i = 0; i < n; ++i) {
    if (!(got[i] == want[i])) {
      ADD_FAILURE_AT(file, line) << "message " << i << ": got " << Describe(got[i]) << ", expected "
                                 << Describe(want[i]);
      return;
    }
  }
  if (got.size() != want.size()) {
    std::ostringstream extra;
    for (std::size_t i = n; i < std::max(got.size(), want.size()); ++i) {
      extra << "\n  " << (i < got.size() ? "got " + Describe(got[i]) : "missing " + Describe(want[i]));
    }
    ADD_FAILURE_AT(file, line) << got.size() << " messages, expected " << want.size() << extra.str();
  }
}

// A window that logs every message and paints itself in one colour.
class CLoggingWnd : public CWnd {
 public:
  CLoggingWnd(MessageLog& log, std::string name, COLORREF colour = RGB(0, 0, 255))
      : m_log(log), m_name(std::move(name)), m_colour(colour) {}
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    m_log.Add(m_name, message, wParam);
    if (onMessage) onMessage(message, wParam, lParam);
    return CWnd::WindowProc(message, wParam, lParam);
  }
  std::function<void(UINT, WPARAM, LPARAM)> onMessage;
  std::function<BOOL(MSG*)> preTranslate;
  BOOL PreTranslateMessage(MSG* msg) override { return preTranslate ? preTranslate(msg) : FALSE; }
  CPoint lastPoint;
  UINT lastFlags = 0;

 protected:
  void OnPaint() override {
    CPaintDC dc(this);
    RECT rc;
    GetClientRect(&rc);
    dc.FillSolidRect(rc, m_colour);
  }
  void OnLButtonDown(UINT flags, CPoint point) override {
    lastPoint = point;
    lastFlags = flags;
  }
  void OnMouseMove(UINT flags, CPoint point) override {
    lastPoint = point;
    lastFlags = flags;
  }

 private:
  MessageLog& m_log;
  std::string m_name;
  COLORREF m_colour;
};

inline LoggedMessage Msg(const std::string& window, UINT message, WPARAM wParam = 0) {
  return LoggedMessage{window, message, wParam};
}
