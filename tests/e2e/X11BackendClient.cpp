// A small program that drives the X11 backend alone, for the end-to-end tests on a real X server.
//
// It shows a 210 × 245 window centred at the top of the screen, rounded by a shape, red with a white
// inner area, puts an icon in the tray and prints one line per event on stdout:
//   presented <monotonic µs>         the first frame has reached the server
//   peak-rss-kib <n>                 with --first-frame, just before it ends
//   dropped <x> <y>                  with --drop-in, once the window has slid down from above the screen
//   down|up <button> <x> <y> <keys> <surface>
//   move <x> <y> <keys> <surface>
//   key <vk> <keys> <surface>
//   tray <message> <x> <y>
//   close <surface>
//   destroyed <surface>              another client destroyed it (the main window's loss ends the client)
// Keys: Q quits, M moves the window in steps, P opens a popup menu at the cursor (grabbing input; the
// next press or Escape closes it), D opens a dialog, H hides and shows the window, R removes the tray
// icon, A adds it again, C switches between the crosshair cursor and the default one.
// Exit status: 0 on Close or Q, 1 when the display cannot be opened or goes away.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "PrintLine.h"
#include "platform/linux/x11/X11Backend.h"

namespace {

using platform::EventType;
using platform::InputEvent;
using platform::PixelImage;
using platform::PixelView;
using platform::SurfaceDesc;
using platform::SurfaceId;
using platform::SurfaceKind;
using platform::TrayId;

constexpr int kWidth = 210;
constexpr int kHeight = 245;
constexpr int kRadius = 24;
constexpr int kInset = 16;

// A solid picture for a surface: `outer` everywhere, `inner` inside a margin of `inset` pixels.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> rgb;

  Picture(int w, int h, std::uint32_t outer, std::uint32_t inner, int inset)
      : width(w), height(h), rgb(w * h) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const bool inside = x >= inset && y >= inset && x < w - inset && y < h - inset;
        rgb[y * w + x] = inside ? inner : outer;
      }
  }
  PixelView View() const {
    return {reinterpret_cast<const std::uint8_t*>(rgb.data()), width, height, width * 4};
  }
};

// The visible rows of a rectangle with round corners of `radius`, merged where rows have the same width.
std::vector<RECT> RoundedRect(int width, int height, int radius) {
  std::vector<RECT> rects;
  auto insetOf = [&](int y) {
    int fromEdge = std::min(y, height - 1 - y);
    if (fromEdge >= radius) return 0;
    // The distance from the corner circle's centre to this row's middle, then the circle's half-width there.
    const double dy = radius - (fromEdge + 0.5);
    return radius - static_cast<int>(std::lround(std::sqrt(radius * radius - dy * dy)));
  };
  for (int y = 0; y < height;) {
    const int inset = insetOf(y);
    int end = y + 1;
    while (end < height && insetOf(end) == inset) ++end;
    rects.push_back({inset, y, width - inset, end});
    y = end;
  }
  return rects;
}

// The tray and window icon: transparent rim, blue body, yellow middle.
PixelImage MakeIcon(int size) {
  PixelImage icon;
  icon.width = icon.height = size;
  icon.argb.resize(size * size);
  const int rim = size / 16;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      std::uint32_t pixel = 0x00000000;
      if (x >= rim && y >= rim && x < size - rim && y < size - rim) pixel = 0xFF2050E0;
      if (x >= size / 4 && y >= size / 4 && x < size - size / 4 && y < size - size / 4) pixel = 0xFFFFD700;
      icon.argb[y * size + x] = pixel;
    }
  return icon;
}

// A crosshair cursor with its hot spot in the middle, to exercise colour cursors.
PixelImage MakeCursor() {
  PixelImage cursor;
  cursor.width = cursor.height = 17;
  cursor.argb.assign(17 * 17, 0);
  for (int i = 0; i < 17; ++i) {
    cursor.argb[8 * 17 + i] = 0xFF00A000;
    cursor.argb[i * 17 + 8] = 0xFF00A000;
  }
  cursor.hotspot = {8, 8};
  return cursor;
}

std::uint64_t MonotonicMicros() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint64_t>(now.tv_sec) * 1'000'000u +
         static_cast<std::uint64_t>(now.tv_nsec) / 1000u;
}

// Prints the peak resident set of this process image, for the start-up measurement. A parent that
// spawns us with vfork (Python does) would have its own size folded into our rusage; the kernel's
// VmHWM of our own address space does not have that problem.
void PrintPeakRss() {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (!status) return;
  char line[256];
  while (std::fgets(line, sizeof line, status))
    if (std::strncmp(line, "VmHWM:", 6) == 0) {
      std::printf("peak-rss-kib %ld\n", std::strtol(line + 6, nullptr, 10));
      break;
    }
  std::fclose(status);
  std::fflush(stdout);
}

class CClient {
 public:
  explicit CClient(std::unique_ptr<platform::CX11Backend> backend) : m_backend(std::move(backend)) {}

  // Shows the window and presents its first frame; returns when the server has it.
  // With `dropIn` the window starts fully above the screen and slides down into place afterwards.
  void Start(bool dropIn) {
    const RECT screen = m_backend->ScreenRect();
    const int left = screen.left + (screen.right - screen.left - kWidth) / 2;
    const int top = dropIn ? screen.top - kHeight : screen.top;
    m_mainRect = {left, top, left + kWidth, top + kHeight};
    SurfaceDesc desc;
    desc.kind = SurfaceKind::Plain;
    desc.rect = m_mainRect;
    desc.title = "Tilvane client \xE3\x83\x91\xE3\x82\xBA\xE3\x83\xAB";  // "パズル"
    m_main = m_backend->CreateSurface(desc);
    m_names[m_main] = "main";
    m_backend->SetSurfaceShape(m_main, RoundedRect(kWidth, kHeight, kRadius));
    m_backend->SetSurfaceIcons(m_main, m_icons);
    m_backend->SetCursor(m_main, &m_cursor);
    m_backend->ShowSurface(m_main, true);
    m_backend->Activate(m_main);
    const Picture picture(kWidth, kHeight, 0xFF0000, 0xFFFFFF, kInset);
    m_backend->Present(m_main, picture.View(), {0, 0, kWidth, kHeight});
    m_backend->Flush();
    PrintLine("presented %llu", static_cast<unsigned long long>(MonotonicMicros()));
    if (!dropIn) return;
    // A window that was never on screen has had no Expose yet: the backend's copy answers it on arrival.
    while (m_mainRect.top < screen.top) {
      const int step = std::min<int>(49, screen.top - m_mainRect.top);
      m_mainRect.top += step;
      m_mainRect.bottom += step;
      m_backend->MoveSurface(m_main, m_mainRect);
      m_backend->Sleep(10);
    }
    PrintLine("dropped %d %d", m_mainRect.left, m_mainRect.top);
  }

  void AddTray() { m_tray = m_backend->AddTrayIcon(m_icons); }

  // Runs until Close or Q (0) or until the display goes away (1).
  int Run() {
    for (;;) {
      // A deadline keeps the wait's timeout path exercised; nothing happens when it passes.
      const auto event = m_backend->WaitEvent(m_backend->NowMs() + 1000);
      if (!event) continue;
      if (auto status = Handle(*event)) return *status;
    }
  }

 private:
  std::optional<int> Handle(const InputEvent& e) {
    switch (e.type) {
      case EventType::MouseDown:
      case EventType::MouseUp:
        PrintLine("%s %d %d %d 0x%04x %s", e.type == EventType::MouseDown ? "down" : "up", e.button, e.root.x,
                  e.root.y, e.keys, Name(e.surface));
        if (e.type == EventType::MouseDown && m_popup) ClosePopup();
        return std::nullopt;
      case EventType::MouseMove:
        PrintLine("move %d %d 0x%04x %s", e.root.x, e.root.y, e.keys, Name(e.surface));
        return std::nullopt;
      case EventType::KeyDown:
        PrintLine("key 0x%02x 0x%04x %s", e.vk, e.keys, Name(e.surface));
        return OnKey(e.vk);
      case EventType::TrayMouse:
        PrintLine("tray 0x%03x %d %d", e.trayMessage, e.root.x, e.root.y);
        return std::nullopt;
      case EventType::TrayCommand:
        PrintLine("tray command %u", e.command);
        return std::nullopt;
      case EventType::Close:
        PrintLine("close %s", Name(e.surface));
        if (e.surface == m_main) return 0;
        if (e.surface == m_dialog) {
          m_backend->DestroySurface(m_dialog);
          m_dialog = 0;
        }
        return std::nullopt;
      case EventType::Destroyed:
        PrintLine("destroyed %s", Name(e.surface));
        if (e.surface == m_main) {
          std::fprintf(stderr, "x11_backend_client: %s\n", e.reason.c_str());
          return 1;
        }
        m_backend->DestroySurface(e.surface);
        if (e.surface == m_dialog) m_dialog = 0;
        if (e.surface == m_popup) m_popup = 0;
        return std::nullopt;
      case EventType::Quit:
        PrintLine("quit");
        std::fprintf(stderr, "x11_backend_client: %s\n", e.reason.c_str());
        return 1;
      case EventType::Woken: return std::nullopt;
    }
    return std::nullopt;
  }

  std::optional<int> OnKey(UINT vk) {
    if (m_popup) {
      if (vk == VK_ESCAPE) ClosePopup();
      return std::nullopt;
    }
    switch (vk) {
      case 'Q': return 0;
      case 'M':
        // Like the program's animations: a blocking loop that moves the window and sleeps.
        for (int step = 0; step < 5; ++step) {
          m_mainRect.left += 10;
          m_mainRect.right += 10;
          m_mainRect.top += 10;
          m_mainRect.bottom += 10;
          m_backend->MoveSurface(m_main, m_mainRect);
          m_backend->Sleep(20);
        }
        PrintLine("moved %d %d", m_mainRect.left, m_mainRect.top);
        break;
      case 'P': OpenPopup(); break;
      case 'D': OpenDialog(); break;
      case 'H':
        m_backend->ShowSurface(m_main, false);
        m_backend->Sleep(50);
        m_backend->ShowSurface(m_main, true);
        m_backend->Flush();
        PrintLine("shown again");
        break;
      case 'R':
        m_backend->RemoveTrayIcon(m_tray);
        m_backend->Flush();
        PrintLine("tray removed");
        break;
      case 'C':
        m_customCursor = !m_customCursor;
        m_backend->SetCursor(m_main, m_customCursor ? &m_cursor : nullptr);
        m_backend->Flush();
        PrintLine("cursor %s", m_customCursor ? "crosshair" : "default");
        break;
      case 'A':
        AddTray();
        m_backend->Flush();
        PrintLine("tray added");
        break;
      default: break;
    }
    return std::nullopt;
  }

  void OpenPopup() {
    const POINT at = m_backend->CursorPos();
    SurfaceDesc desc;
    desc.kind = SurfaceKind::PopupMenu;
    desc.rect = {at.x, at.y, at.x + 120, at.y + 80};
    desc.title = "Tilvane popup";
    m_popup = m_backend->CreateSurface(desc);
    m_names[m_popup] = "popup";
    const Picture picture(120, 80, 0x008000, 0x00C000, 4);
    m_backend->Present(m_popup, picture.View(), {0, 0, 120, 80});
    m_backend->ShowSurface(m_popup, true);
    m_backend->GrabInput(m_popup, true);
    m_backend->Flush();
    PrintLine("popup %d %d", at.x, at.y);
  }

  void ClosePopup() {
    m_backend->GrabInput(m_popup, false);
    m_backend->DestroySurface(m_popup);
    m_popup = 0;
    m_backend->Flush();
    PrintLine("popup closed");
  }

  void OpenDialog() {
    if (m_dialog) return;
    SurfaceDesc desc;
    desc.kind = SurfaceKind::Dialog;
    desc.rect = {m_mainRect.left + 5, m_mainRect.top + 100, m_mainRect.left + 205, m_mainRect.top + 200};
    desc.title = "About Tilvane \xE2\x80\x94 \xE6\x83\x85\xE5\xA0\xB1";  // "— 情報"
    desc.owner = m_main;
    m_dialog = m_backend->CreateSurface(desc);
    m_names[m_dialog] = "dialog";
    const Picture picture(200, 100, 0xC0C0C0, 0xC0C0C0, 0);
    m_backend->Present(m_dialog, picture.View(), {0, 0, 200, 100});
    m_backend->ShowSurface(m_dialog, true);
    m_backend->Activate(m_dialog);
    m_backend->Flush();
    PrintLine("dialog %d %d", desc.rect.left, desc.rect.top);
  }

  const char* Name(SurfaceId id) const {
    auto found = m_names.find(id);
    return found == m_names.end() ? "none" : found->second.c_str();
  }

  std::unique_ptr<platform::CX11Backend> m_backend;
  std::vector<PixelImage> m_icons{MakeIcon(16), MakeIcon(32)};
  PixelImage m_cursor = MakeCursor();
  std::map<SurfaceId, std::string> m_names;
  RECT m_mainRect{};
  SurfaceId m_main = 0;
  SurfaceId m_popup = 0;
  SurfaceId m_dialog = 0;
  TrayId m_tray = 0;
  bool m_customCursor = true;
};

}  // namespace

int main(int argc, char** argv) {
  bool firstFrameOnly = false;
  bool dropIn = false;
  const char* display = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--first-frame") == 0) {
      firstFrameOnly = true;
    } else if (std::strcmp(argv[i], "--drop-in") == 0) {
      dropIn = true;
    } else if (std::strcmp(argv[i], "--display") == 0 && i + 1 < argc) {
      display = argv[++i];
    } else {
      std::fprintf(stderr, "usage: x11_backend_client [--display NAME] [--first-frame] [--drop-in]\n");
      return 2;
    }
  }
  std::string error;
  auto backend = platform::CX11Backend::Open(display, &error);
  if (!backend) {
    std::fprintf(stderr, "x11_backend_client: %s\n", error.c_str());
    return 1;
  }
  backend->SetProgramName("Tilvane");
  CClient client(std::move(backend));
  client.Start(dropIn);
  if (firstFrameOnly) {
    PrintPeakRss();
    return 0;
  }
  client.AddTray();
  return client.Run();
}
