// The X11 backend's surfaces, cursors, tray icons and screen: each request handed to the part that owns it.
#include "platform/linux/x11/X11Backend.h"

#include <X11/Xlib.h>

#include <cstdlib>

#include "platform/linux/x11/SessionScale.h"

#include "platform/linux/x11/X11Connection.h"
#include "platform/linux/x11/X11Cursors.h"
#include "platform/linux/x11/X11NotificationArea.h"
#include "platform/linux/x11/X11Surface.h"

namespace platform {

std::unique_ptr<CX11Backend> CX11Backend::Open(const char* display, std::string* error) {
  auto connection = x11::CX11Connection::Open(display, error);
  if (!connection) return nullptr;
  return std::unique_ptr<CX11Backend>(new CX11Backend(std::move(connection)));
}

CX11Backend::CX11Backend(std::unique_ptr<x11::CX11Connection> connection)
    : m_connection(std::move(connection)),
      m_cursors(std::make_unique<x11::CX11Cursors>(*m_connection)),
      m_tray(std::make_unique<x11::CX11NotificationArea>(*m_connection)) {
  // Xlib reads the RESOURCE_MANAGER property once, when it opens the display: the scale is the session's
  // at start-up, and a later xrdb does not resize a running program.
  const char* resources = XResourceManagerString(m_connection->Dpy());
  m_sessionScale = platform::SessionScale(std::getenv("GDK_SCALE"), resources ? resources : "");
}

// The parts talk to the connection while they go, so they go before it (members die in reverse order).
CX11Backend::~CX11Backend() = default;

x11::CX11Surface* CX11Backend::Find(SurfaceId id) {
  if (m_connection->Lost()) return nullptr;
  auto found = m_surfaces.find(id);
  if (found == m_surfaces.end() || found->second->DestroyedElsewhere()) return nullptr;
  return found->second.get();
}

void CX11Backend::SetProgramName(const std::string& name) {
  m_connection->SetProgramName(name);
  m_tray->SetProgramName(name);
}

RECT CX11Backend::ScreenRect() {
  return m_connection->Monitors().front();
}

std::vector<RECT> CX11Backend::MonitorRects() {
  return m_connection->Monitors();
}

std::vector<SurfaceMove> CX11Backend::TakeSurfaceMoves() {
  std::vector<SurfaceMove> moves;
  moves.reserve(m_placements.size());
  for (const auto& [id, rect] : m_placements) moves.push_back(SurfaceMove{id, rect});
  m_placements.clear();
  return moves;
}

SurfaceId CX11Backend::CreateSurface(const SurfaceDesc& desc) {
  const x11::CX11Surface* owner = desc.owner ? Find(desc.owner) : nullptr;
  const SurfaceId id = m_nextSurface++;
  m_surfaces[id] = std::make_unique<x11::CX11Surface>(*m_connection, desc, owner ? owner->Handle() : None);
  return id;
}

void CX11Backend::DestroySurface(SurfaceId id) {
  m_surfaces.erase(id);
  m_placements.erase(id);
}

void CX11Backend::ShowSurface(SurfaceId id, bool show) {
  if (auto* surface = Find(id)) surface->Show(show);
}

void CX11Backend::MoveSurface(SurfaceId id, const RECT& screenRect) {
  if (auto* surface = Find(id)) surface->Move(screenRect);
}

void CX11Backend::SetSurfaceShape(SurfaceId id, const std::vector<RECT>& rects) {
  if (auto* surface = Find(id)) surface->SetShape(rects);
}

void CX11Backend::SetSurfaceTitle(SurfaceId id, const std::string& utf8) {
  if (auto* surface = Find(id)) surface->SetTitle(utf8);
}

void CX11Backend::SetSurfaceIcons(SurfaceId id, const std::vector<PixelImage>& icons) {
  if (auto* surface = Find(id)) surface->SetIcons(icons);
}

void CX11Backend::Present(SurfaceId id, const PixelView& pixels, const RECT& damage) {
  if (auto* surface = Find(id)) surface->Present(pixels, damage);
}

void CX11Backend::SetCursor(SurfaceId id, const PixelImage* cursor) {
  if (auto* surface = Find(id)) surface->SetCursor(m_cursors->Get(cursor));
}

void CX11Backend::Activate(SurfaceId id) {
  if (auto* surface = Find(id)) surface->Activate();
}

void CX11Backend::GrabInput(SurfaceId id, bool grab) {
  auto* surface = Find(id);
  if (!surface) return;
  if (grab)
    surface->Grab();
  else if (surface->Grabbed())
    surface->Ungrab();
}

TrayId CX11Backend::AddTrayIcon(const std::vector<PixelImage>& icons) {
  return m_tray->Add(icons);
}

void CX11Backend::RemoveTrayIcon(TrayId id) {
  m_tray->Remove(id);
}

void CX11Backend::SetTrayMenu(TrayId id, const TrayMenu& menu) {
  m_tray->SetMenu(id, menu);
}

POINT CX11Backend::CursorPos() {
  if (m_connection->Lost()) return {};
  return m_tray->PointerSeenAs(m_connection->PointerPosition());
}

}  // namespace platform
