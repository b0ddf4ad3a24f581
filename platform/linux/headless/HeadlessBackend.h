// A display for tests: a virtual screen, a virtual clock and scripted input, with every pixel readable.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/Backend.h"

namespace platform {

class CHeadlessBackend : public IBackend {
 public:
  explicit CHeadlessBackend(int screenWidth = 1024, int screenHeight = 768);

  struct Surface {
    SurfaceId id = 0;
    SurfaceDesc desc;
    RECT rect{};
    bool visible = false;
    std::vector<RECT> shape;            // empty: the whole rectangle
    std::vector<std::uint32_t> pixels;  // what was presented, 0x00RRGGBB
    const PixelImage* cursor = nullptr;
    std::vector<PixelImage> icons;
    bool grabbed = false;
  };
  struct MoveRecord {
    std::uint64_t timeMs;
    SurfaceId id;
    RECT rect;
  };
  struct TrayIcon {
    TrayId id;
    std::vector<PixelImage> icons;
    TrayMenu menu;  // as the program last gave it
    int menuUpdates = 0;
  };

  // --- The script: steps run in order when the program waits, each at its own virtual time ---
  // Later steps happen this many milliseconds after the previous ones.
  CHeadlessBackend& Wait(std::uint64_t ms);
  CHeadlessBackend& MouseMove(POINT screen);
  CHeadlessBackend& MouseDown(POINT screen, int button = 1);
  CHeadlessBackend& MouseUp(POINT screen, int button = 1);
  CHeadlessBackend& Click(POINT screen, int button = 1);
  // Shift and Control held from now on (MK_SHIFT | MK_CONTROL), or released with 0.
  CHeadlessBackend& Modifiers(UINT mk);
  CHeadlessBackend& Key(UINT vk);
  CHeadlessBackend& Close(SurfaceId id);
  // Another client destroys the topmost shown surface of a kind: it vanishes from the screen and the
  // program hears of it.
  CHeadlessBackend& DestroyElsewhere(SurfaceKind kind);
  CHeadlessBackend& TrayMouse(UINT message, TrayId id = 0);  // 0: the first icon
  // The user chose a command in the menu the desktop drew for a tray icon (0: the first icon).
  CHeadlessBackend& TrayCommand(UINT command, TrayId id = 0);
  // Runs test code between two messages of the program, e.g. to look at its state.
  CHeadlessBackend& Call(std::function<void()> fn);

  // --- A window manager: decides where a requested move really puts a surface ---
  using WindowManager = std::function<RECT(const Surface& surface, const RECT& requested)>;
  // None (the default) obeys every request.
  void SetWindowManager(WindowManager manager) { m_manager = std::move(manager); }
  // The window manager moves a surface of its own accord (a drag by its frame, a tiling key); the
  // program hears of it when it next waits.
  void MoveByManager(SurfaceId id, POINT topLeft);
  bool ScriptDone() const { return m_script.empty(); }

  // --- What the program has shown ---
  void SetScreenSize(int width, int height);
  // Monitors on the screen, the primary first; none: the whole screen is one. The screen is their bounds.
  void SetMonitors(const std::vector<RECT>& monitors);
  const Surface* Find(SurfaceId id) const;
  std::vector<const Surface*> VisibleSurfaces() const;  // bottom to top
  const Surface* TopmostAt(POINT screen) const;
  // The presented colour (0x00RRGGBB) at a screen point, or nothing where no surface shows.
  std::optional<std::uint32_t> PixelAt(POINT screen) const;
  // The moves the program asked for, in order; where they put the surface is its rect.
  const std::vector<MoveRecord>& Moves() const { return m_moves; }
  const std::vector<TrayIcon>& TrayIcons() const { return m_trays; }
  int PresentCount() const { return m_presents; }
  // The rectangle the last Present copied, in its surface's coordinates.
  RECT LastPresented() const { return m_lastPresented; }
  POINT Pointer() const { return m_pointer; }
  // The scale the session asks for, as GDK_SCALE or Xft.dpi would on a real display (1 by default).
  void SetSessionScale(int scale) { m_sessionScale = scale; }

  // --- IBackend ---
  RECT ScreenRect() override;
  std::vector<RECT> MonitorRects() override;
  std::vector<SurfaceMove> TakeSurfaceMoves() override;
  SurfaceId CreateSurface(const SurfaceDesc& desc) override;
  void DestroySurface(SurfaceId id) override;
  void ShowSurface(SurfaceId id, bool show) override;
  void MoveSurface(SurfaceId id, const RECT& screenRect) override;
  void SetSurfaceShape(SurfaceId id, const std::vector<RECT>& rects) override;
  void SetSurfaceTitle(SurfaceId id, const std::string& utf8) override;
  void SetSurfaceIcons(SurfaceId id, const std::vector<PixelImage>& icons) override;
  void Present(SurfaceId id, const PixelView& pixels, const RECT& damage) override;
  void SetCursor(SurfaceId id, const PixelImage* cursor) override;
  void Activate(SurfaceId id) override;
  void GrabInput(SurfaceId id, bool grab) override;
  TrayId AddTrayIcon(const std::vector<PixelImage>& icons) override;
  void RemoveTrayIcon(TrayId id) override;
  void SetTrayMenu(TrayId id, const TrayMenu& menu) override;
  POINT CursorPos() override { return m_pointer; }
  int SessionScale() override { return m_sessionScale; }
  std::optional<InputEvent> WaitEvent(std::optional<std::uint64_t> deadlineMs) override;
  std::uint64_t NowMs() override { return m_now; }
  void Sleep(std::uint32_t ms) override { m_now += ms; }
  void Flush() override {}

 private:
  struct Step {
    std::uint64_t time;
    std::function<std::optional<InputEvent>()> run;
  };
  CHeadlessBackend& Add(std::function<std::optional<InputEvent>()> run);
  InputEvent MouseEvent(EventType type, POINT screen, int button);
  Surface* Get(SurfaceId id);
  bool Contains(const Surface& s, POINT screen) const;

  void NoteManagerMove(const Surface& s);

  RECT m_screen;
  std::vector<RECT> m_monitors;
  WindowManager m_manager;
  std::vector<SurfaceMove> m_managerMoves;
  std::uint64_t m_now = 0;
  std::uint64_t m_scriptTime = 0;
  std::deque<Step> m_script;
  std::map<SurfaceId, Surface> m_surfaces;
  std::vector<SurfaceId> m_stack;  // bottom to top
  SurfaceId m_nextId = 1;
  SurfaceId m_grab = 0;
  std::vector<MoveRecord> m_moves;
  std::vector<TrayIcon> m_trays;
  TrayId m_nextTray = 1;
  POINT m_pointer{};
  UINT m_buttons = 0;
  UINT m_modifiers = 0;
  int m_sessionScale = 1;
  int m_presents = 0;
  RECT m_lastPresented{};
};

}  // namespace platform
