// A display for tests: a virtual screen, a virtual clock and scripted input, with every pixel readable.
#include "platform/linux/headless/HeadlessBackend.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/api/RectOps.h"

namespace platform {

namespace {
InputEvent Woken() {
  InputEvent ev;
  ev.type = EventType::Woken;
  return ev;
}

bool InRect(const RECT& rc, POINT pt) {
  return pt.x >= rc.left && pt.x < rc.right && pt.y >= rc.top && pt.y < rc.bottom;
}
}  // namespace

CHeadlessBackend::CHeadlessBackend(int screenWidth, int screenHeight)
    : m_screen{0, 0, screenWidth, screenHeight} {}

void CHeadlessBackend::SetScreenSize(int width, int height) {
  m_screen = RECT{0, 0, width, height};
  m_monitors.clear();
}

void CHeadlessBackend::SetMonitors(const std::vector<RECT>& monitors) {
  m_monitors = monitors;
  if (monitors.empty()) return;
  RECT bounds = monitors.front();
  for (const RECT& m : monitors) {
    bounds.left = std::min(bounds.left, m.left);
    bounds.top = std::min(bounds.top, m.top);
    bounds.right = std::max(bounds.right, m.right);
    bounds.bottom = std::max(bounds.bottom, m.bottom);
  }
  m_screen = bounds;
}

CHeadlessBackend& CHeadlessBackend::Add(std::function<std::optional<InputEvent>()> run) {
  m_script.push_back(Step{m_scriptTime, std::move(run)});
  return *this;
}

CHeadlessBackend& CHeadlessBackend::Wait(std::uint64_t ms) {
  m_scriptTime = std::max(m_scriptTime, m_now) + ms;
  return Add([]() -> std::optional<InputEvent> { return Woken(); });
}

InputEvent CHeadlessBackend::MouseEvent(EventType type, POINT screen, int button) {
  m_pointer = screen;
  if (type == EventType::MouseDown) m_buttons |= ButtonKeyFlag(button);
  if (type == EventType::MouseUp) m_buttons &= ~ButtonKeyFlag(button);
  InputEvent ev;
  ev.type = type;
  ev.root = screen;
  ev.button = button;
  ev.keys = m_buttons | m_modifiers;
  // A grab (a tracked menu) takes every pointer event; otherwise the surface under the pointer does.
  if (m_grab) {
    ev.surface = m_grab;
  } else if (const Surface* s = TopmostAt(screen)) {
    ev.surface = s->id;
  }
  if (const Surface* s = Find(ev.surface)) ev.local = {screen.x - s->rect.left, screen.y - s->rect.top};
  return ev;
}

CHeadlessBackend& CHeadlessBackend::MouseMove(POINT screen) {
  return Add(
      [this, screen]() -> std::optional<InputEvent> { return MouseEvent(EventType::MouseMove, screen, 0); });
}

CHeadlessBackend& CHeadlessBackend::MouseDown(POINT screen, int button) {
  return Add([this, screen, button]() -> std::optional<InputEvent> {
    return MouseEvent(EventType::MouseDown, screen, button);
  });
}

CHeadlessBackend& CHeadlessBackend::MouseUp(POINT screen, int button) {
  return Add([this, screen, button]() -> std::optional<InputEvent> {
    return MouseEvent(EventType::MouseUp, screen, button);
  });
}

CHeadlessBackend& CHeadlessBackend::Click(POINT screen, int button) {
  return MouseDown(screen, button).MouseUp(screen, button);
}

CHeadlessBackend& CHeadlessBackend::Modifiers(UINT mk) {
  return Add([this, mk]() -> std::optional<InputEvent> {
    m_modifiers = mk & (MK_SHIFT | MK_CONTROL);
    return Woken();
  });
}

CHeadlessBackend& CHeadlessBackend::Key(UINT vk) {
  return Add([this, vk]() -> std::optional<InputEvent> {
    InputEvent ev;
    ev.type = EventType::KeyDown;
    ev.vk = vk;
    ev.root = m_pointer;
    ev.surface = m_grab ? m_grab : (m_stack.empty() ? 0 : m_stack.back());
    return ev;
  });
}

CHeadlessBackend& CHeadlessBackend::Close(SurfaceId id) {
  return Add([id]() -> std::optional<InputEvent> {
    InputEvent ev;
    ev.type = EventType::Close;
    ev.surface = id;
    return ev;
  });
}

CHeadlessBackend& CHeadlessBackend::DestroyElsewhere(SurfaceKind kind) {
  return Add([this, kind]() -> std::optional<InputEvent> {
    SurfaceId id = 0;
    for (const Surface* s : VisibleSurfaces()) {
      if (s->desc.kind == kind) id = s->id;
    }
    if (!id) return Woken();
    DestroySurface(id);
    InputEvent ev;
    ev.type = EventType::Destroyed;
    ev.surface = id;
    return ev;
  });
}

CHeadlessBackend& CHeadlessBackend::TrayMouse(UINT message, TrayId id) {
  return Add([this, message, id]() -> std::optional<InputEvent> {
    if (m_trays.empty()) return Woken();
    InputEvent ev;
    ev.type = EventType::TrayMouse;
    ev.tray = id ? id : m_trays.front().id;
    ev.trayMessage = message;
    ev.root = m_pointer;
    return ev;
  });
}

CHeadlessBackend& CHeadlessBackend::TrayCommand(UINT command, TrayId id) {
  return Add([this, command, id]() -> std::optional<InputEvent> {
    if (m_trays.empty()) return Woken();
    InputEvent ev;
    ev.type = EventType::TrayCommand;
    ev.tray = id ? id : m_trays.front().id;
    ev.command = command;
    return ev;
  });
}

void CHeadlessBackend::MoveByManager(SurfaceId id, POINT topLeft) {
  Surface* s = Get(id);
  if (!s) return;
  OffsetRect(&s->rect, topLeft.x - s->rect.left, topLeft.y - s->rect.top);
  NoteManagerMove(*s);
}

void CHeadlessBackend::NoteManagerMove(const Surface& s) {
  std::erase_if(m_managerMoves, [&](const SurfaceMove& m) { return m.surface == s.id; });
  m_managerMoves.push_back(SurfaceMove{s.id, s.rect});
}

CHeadlessBackend& CHeadlessBackend::Call(std::function<void()> fn) {
  return Add([fn = std::move(fn)]() -> std::optional<InputEvent> {
    fn();
    return Woken();
  });
}

std::optional<InputEvent> CHeadlessBackend::WaitEvent(std::optional<std::uint64_t> deadlineMs) {
  bool polling = deadlineMs && *deadlineMs <= m_now;
  if (m_script.empty()) {
    // Nothing more will ever happen, so a program that waits for input is done.
    if (polling) return std::nullopt;
    InputEvent quit;
    quit.type = EventType::Quit;
    quit.reason = "the test script has ended";
    return quit;
  }
  std::uint64_t due = m_script.front().time;
  if (deadlineMs && *deadlineMs < due) {
    if (!polling) m_now = std::max(m_now, *deadlineMs);
    return std::nullopt;
  }
  if (polling && due > m_now) return std::nullopt;
  m_now = std::max(m_now, due);
  Step step = std::move(m_script.front());
  m_script.pop_front();
  return step.run();
}

RECT CHeadlessBackend::ScreenRect() {
  return m_monitors.empty() ? m_screen : m_monitors.front();
}

std::vector<RECT> CHeadlessBackend::MonitorRects() {
  return m_monitors.empty() ? std::vector<RECT>{m_screen} : m_monitors;
}

std::vector<SurfaceMove> CHeadlessBackend::TakeSurfaceMoves() {
  return std::exchange(m_managerMoves, {});
}

CHeadlessBackend::Surface* CHeadlessBackend::Get(SurfaceId id) {
  auto it = m_surfaces.find(id);
  return it == m_surfaces.end() ? nullptr : &it->second;
}

const CHeadlessBackend::Surface* CHeadlessBackend::Find(SurfaceId id) const {
  auto it = m_surfaces.find(id);
  return it == m_surfaces.end() ? nullptr : &it->second;
}

SurfaceId CHeadlessBackend::CreateSurface(const SurfaceDesc& desc) {
  Surface s;
  s.id = m_nextId++;
  s.desc = desc;
  s.rect = desc.rect;
  s.pixels.assign(
      static_cast<std::size_t>(std::max(0, static_cast<int>(desc.rect.right - desc.rect.left))) *
          static_cast<std::size_t>(std::max(0, static_cast<int>(desc.rect.bottom - desc.rect.top))),
      0);
  m_surfaces.emplace(s.id, s);
  m_stack.push_back(s.id);
  return s.id;
}

void CHeadlessBackend::DestroySurface(SurfaceId id) {
  m_surfaces.erase(id);
  std::erase(m_stack, id);
  if (m_grab == id) m_grab = 0;
}

void CHeadlessBackend::ShowSurface(SurfaceId id, bool show) {
  if (Surface* s = Get(id)) {
    s->visible = show;
    if (show) Activate(id);
  }
}

void CHeadlessBackend::MoveSurface(SurfaceId id, const RECT& rect) {
  Surface* s = Get(id);
  if (!s) return;
  const RECT old = s->rect;
  s->rect = m_manager ? m_manager(*s, rect) : rect;
  const bool resized = (s->rect.right - s->rect.left) != (old.right - old.left) ||
                       (s->rect.bottom - s->rect.top) != (old.bottom - old.top);
  // Like a configure notification on X, every request is answered with where the surface really went.
  NoteManagerMove(*s);
  if (resized) {
    s->pixels.assign(
        static_cast<std::size_t>(std::max(0, static_cast<int>(s->rect.right - s->rect.left))) *
            static_cast<std::size_t>(std::max(0, static_cast<int>(s->rect.bottom - s->rect.top))),
        0);
  }
  m_moves.push_back(MoveRecord{m_now, id, rect});
}

void CHeadlessBackend::SetSurfaceShape(SurfaceId id, const std::vector<RECT>& rects) {
  if (Surface* s = Get(id)) s->shape = rects;
}

void CHeadlessBackend::SetSurfaceTitle(SurfaceId id, const std::string& utf8) {
  if (Surface* s = Get(id)) s->desc.title = utf8;
}

void CHeadlessBackend::SetSurfaceIcons(SurfaceId id, const std::vector<PixelImage>& icons) {
  if (Surface* s = Get(id)) s->icons = icons;
}

void CHeadlessBackend::Present(SurfaceId id, const PixelView& view, const RECT& damage) {
  Surface* s = Get(id);
  if (!s || !view.data) return;
  int width = s->rect.right - s->rect.left;
  int height = s->rect.bottom - s->rect.top;
  int right = std::min({static_cast<int>(damage.right), width, view.width});
  int bottom = std::min({static_cast<int>(damage.bottom), height, view.height});
  for (int y = std::max(0, static_cast<int>(damage.top)); y < bottom; ++y) {
    const auto* row =
        reinterpret_cast<const std::uint32_t*>(view.data + static_cast<std::ptrdiff_t>(y) * view.stride);
    for (int x = std::max(0, static_cast<int>(damage.left)); x < right; ++x) {
      s->pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
          row[x] & 0x00FFFFFF;
    }
  }
  ++m_presents;
  m_lastPresented = damage;
}

void CHeadlessBackend::SetCursor(SurfaceId id, const PixelImage* cursor) {
  if (Surface* s = Get(id)) s->cursor = cursor;
}

void CHeadlessBackend::Activate(SurfaceId id) {
  if (!Get(id)) return;
  std::erase(m_stack, id);
  m_stack.push_back(id);
}

void CHeadlessBackend::GrabInput(SurfaceId id, bool grab) {
  if (Surface* s = Get(id)) s->grabbed = grab;
  if (grab) {
    m_grab = id;
  } else if (m_grab == id) {
    m_grab = 0;
  }
}

TrayId CHeadlessBackend::AddTrayIcon(const std::vector<PixelImage>& icons) {
  TrayId id = m_nextTray++;
  TrayIcon tray;
  tray.id = id;
  tray.icons = icons;
  m_trays.push_back(std::move(tray));
  return id;
}

void CHeadlessBackend::RemoveTrayIcon(TrayId id) {
  std::erase_if(m_trays, [id](const TrayIcon& t) { return t.id == id; });
}

void CHeadlessBackend::SetTrayMenu(TrayId id, const TrayMenu& menu) {
  for (TrayIcon& tray : m_trays) {
    if (tray.id != id) continue;
    tray.menu = menu;
    ++tray.menuUpdates;
  }
}

bool CHeadlessBackend::Contains(const Surface& s, POINT screen) const {
  if (!s.visible || !InRect(s.rect, screen)) return false;
  if (s.shape.empty()) return true;
  POINT local{screen.x - s.rect.left, screen.y - s.rect.top};
  return std::any_of(s.shape.begin(), s.shape.end(), [&](const RECT& r) { return InRect(r, local); });
}

const CHeadlessBackend::Surface* CHeadlessBackend::TopmostAt(POINT screen) const {
  for (auto it = m_stack.rbegin(); it != m_stack.rend(); ++it) {
    const Surface* s = Find(*it);
    if (s && Contains(*s, screen)) return s;
  }
  return nullptr;
}

std::vector<const CHeadlessBackend::Surface*> CHeadlessBackend::VisibleSurfaces() const {
  std::vector<const Surface*> out;
  for (SurfaceId id : m_stack) {
    const Surface* s = Find(id);
    if (s && s->visible) out.push_back(s);
  }
  return out;
}

std::optional<std::uint32_t> CHeadlessBackend::PixelAt(POINT screen) const {
  const Surface* s = TopmostAt(screen);
  if (!s) return std::nullopt;
  int width = s->rect.right - s->rect.left;
  std::size_t index = static_cast<std::size_t>(screen.y - s->rect.top) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(screen.x - s->rect.left);
  return index < s->pixels.size() ? std::optional<std::uint32_t>(s->pixels[index]) : std::nullopt;
}

}  // namespace platform
