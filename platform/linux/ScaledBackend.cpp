// The scaling backend: program pixels out to the device multiplied, device pixels in divided.
#include "platform/linux/ScaledBackend.h"

#include <algorithm>

namespace platform {

CScaledBackend::CScaledBackend(IBackend& device, int scale) : m_device(device), m_scale(std::max(scale, 1)) {}

RECT CScaledBackend::ToDevice(const RECT& rc) const {
  return RECT{rc.left * m_scale, rc.top * m_scale, rc.right * m_scale, rc.bottom * m_scale};
}

int CScaledBackend::FromDevice(int v) const {
  // Rounds towards minus infinity, so that -1 lies in program pixel -1 as 1 lies in 0.
  const int quotient = v / m_scale;
  return (v % m_scale != 0 && v < 0) ? quotient - 1 : quotient;
}

POINT CScaledBackend::FromDevice(POINT pt) const {
  return POINT{FromDevice(pt.x), FromDevice(pt.y)};
}

// The corner's program pixel and the whole program pixels that fit: a window the window manager put at an
// odd device point keeps its size.
RECT CScaledBackend::FromDevice(const RECT& rc) const {
  const POINT corner = FromDevice(POINT{rc.left, rc.top});
  return RECT{corner.x, corner.y, corner.x + (rc.right - rc.left) / m_scale,
              corner.y + (rc.bottom - rc.top) / m_scale};
}

RECT CScaledBackend::ScreenRect() {
  return FromDevice(m_device.ScreenRect());
}

std::vector<RECT> CScaledBackend::MonitorRects() {
  std::vector<RECT> monitors = m_device.MonitorRects();
  for (RECT& rc : monitors) rc = FromDevice(rc);
  return monitors;
}

SurfaceId CScaledBackend::CreateSurface(const SurfaceDesc& desc) {
  SurfaceDesc device = desc;
  device.rect = ToDevice(desc.rect);
  return m_device.CreateSurface(device);
}

void CScaledBackend::DestroySurface(SurfaceId id) {
  m_devicePixels.erase(id);
  m_device.DestroySurface(id);
}

void CScaledBackend::ShowSurface(SurfaceId id, bool show) {
  m_device.ShowSurface(id, show);
}

void CScaledBackend::MoveSurface(SurfaceId id, const RECT& screenRect) {
  m_device.MoveSurface(id, ToDevice(screenRect));
}

std::vector<SurfaceMove> CScaledBackend::TakeSurfaceMoves() {
  std::vector<SurfaceMove> moves = m_device.TakeSurfaceMoves();
  for (SurfaceMove& move : moves) move.rect = FromDevice(move.rect);
  return moves;
}

void CScaledBackend::SetSurfaceShape(SurfaceId id, const std::vector<RECT>& rects) {
  std::vector<RECT> device;
  device.reserve(rects.size());
  for (const RECT& rc : rects) device.push_back(ToDevice(rc));
  m_device.SetSurfaceShape(id, device);
}

void CScaledBackend::SetSurfaceTitle(SurfaceId id, const std::string& utf8) {
  m_device.SetSurfaceTitle(id, utf8);
}

// Icons come in the sizes the desktop picks from: they are not the program's pixels.
void CScaledBackend::SetSurfaceIcons(SurfaceId id, const std::vector<PixelImage>& icons) {
  m_device.SetSurfaceIcons(id, icons);
}

void CScaledBackend::Present(SurfaceId id, const PixelView& pixels, const RECT& damage) {
  const RECT clipped{std::max<LONG>(damage.left, 0), std::max<LONG>(damage.top, 0),
                     std::min<LONG>(damage.right, pixels.width),
                     std::min<LONG>(damage.bottom, pixels.height)};
  if (clipped.left >= clipped.right || clipped.top >= clipped.bottom) return;
  const int width = pixels.width * m_scale;
  const int height = pixels.height * m_scale;
  std::vector<std::uint32_t>& device = m_devicePixels[id];
  device.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int y = clipped.top * m_scale; y < clipped.bottom * m_scale; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(pixels.data + (y / m_scale) * pixels.stride);
    std::uint32_t* out = device.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    for (int x = clipped.left * m_scale; x < clipped.right * m_scale; ++x) out[x] = row[x / m_scale];
  }
  const PixelView view{reinterpret_cast<const std::uint8_t*>(device.data()), width, height,
                       width * static_cast<int>(sizeof(std::uint32_t))};
  m_device.Present(id, view, ToDevice(clipped));
}

const PixelImage* CScaledBackend::EnlargedCursor(const PixelImage& cursor) {
  auto found = m_cursors.find(&cursor);
  if (found != m_cursors.end()) return &found->second;
  PixelImage enlarged;
  enlarged.width = cursor.width * m_scale;
  enlarged.height = cursor.height * m_scale;
  // The hot spot's program pixel becomes a block; its top-left device pixel is the one that points.
  enlarged.hotspot = POINT{cursor.hotspot.x * m_scale, cursor.hotspot.y * m_scale};
  enlarged.argb.resize(static_cast<std::size_t>(enlarged.width) * static_cast<std::size_t>(enlarged.height));
  for (int y = 0; y < enlarged.height; ++y) {
    for (int x = 0; x < enlarged.width; ++x) {
      enlarged.argb[static_cast<std::size_t>(y * enlarged.width + x)] =
          cursor.argb[static_cast<std::size_t>((y / m_scale) * cursor.width + x / m_scale)];
    }
  }
  return &m_cursors.emplace(&cursor, std::move(enlarged)).first->second;
}

void CScaledBackend::SetCursor(SurfaceId id, const PixelImage* cursor) {
  m_device.SetCursor(id, cursor ? EnlargedCursor(*cursor) : nullptr);
}

void CScaledBackend::Activate(SurfaceId id) {
  m_device.Activate(id);
}

void CScaledBackend::GrabInput(SurfaceId id, bool grab) {
  m_device.GrabInput(id, grab);
}

// The tray host asks for the icon's size itself, in its own pixels.
TrayId CScaledBackend::AddTrayIcon(const std::vector<PixelImage>& icons) {
  return m_device.AddTrayIcon(icons);
}

void CScaledBackend::RemoveTrayIcon(TrayId id) {
  m_device.RemoveTrayIcon(id);
}

void CScaledBackend::SetTrayMenu(TrayId id, const TrayMenu& menu) {
  m_device.SetTrayMenu(id, menu);
}

POINT CScaledBackend::CursorPos() {
  return FromDevice(m_device.CursorPos());
}

std::optional<InputEvent> CScaledBackend::WaitEvent(std::optional<std::uint64_t> deadlineMs) {
  std::optional<InputEvent> ev = m_device.WaitEvent(deadlineMs);
  if (ev) {
    ev->root = FromDevice(ev->root);
    ev->local = FromDevice(ev->local);
  }
  return ev;
}

std::uint64_t CScaledBackend::NowMs() {
  return m_device.NowMs();
}

void CScaledBackend::Sleep(std::uint32_t ms) {
  m_device.Sleep(ms);
}

void CScaledBackend::Flush() {
  m_device.Flush();
}

std::string CScaledBackend::DisplayLost() {
  return m_device.DisplayLost();
}

}  // namespace platform
