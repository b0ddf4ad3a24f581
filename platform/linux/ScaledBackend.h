// A backend that shows the program's 96-DPI pixels on a denser display: it stands between the window system
// and the real backend, multiplying what goes out and dividing what comes in by the session's scale.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "platform/linux/Backend.h"

namespace platform {

// The program sees a screen of the device's size divided by the scale, and every rectangle and point in its
// own pixels. A device point belongs to the program pixel that holds it: division rounds down, also left of
// and above the origin, so each of the scale × scale device pixels of a program pixel maps to it.
//
// For now the window system draws at the program's resolution and this enlarges what it presents
// nearest-neighbour: the right size on a dense screen, but text as blocks rather than sharp glyphs. Drawing
// into device-resolution buffers with cairo's device scale would sharpen it; Present would then pass the
// pixels on as they are.
class CScaledBackend : public IBackend {
 public:
  CScaledBackend(IBackend& device, int scale);

  RECT ScreenRect() override;
  std::vector<RECT> MonitorRects() override;
  SurfaceId CreateSurface(const SurfaceDesc& desc) override;
  void DestroySurface(SurfaceId id) override;
  void ShowSurface(SurfaceId id, bool show) override;
  void MoveSurface(SurfaceId id, const RECT& screenRect) override;
  std::vector<SurfaceMove> TakeSurfaceMoves() override;
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
  POINT CursorPos() override;
  // The program's pixels are the session's own to it: nothing above scales again.
  int SessionScale() override { return 1; }
  std::optional<InputEvent> WaitEvent(std::optional<std::uint64_t> deadlineMs) override;
  std::uint64_t NowMs() override;
  void Sleep(std::uint32_t ms) override;
  void Flush() override;
  std::string DisplayLost() override;

 private:
  RECT ToDevice(const RECT& rc) const;
  RECT FromDevice(const RECT& rc) const;
  POINT FromDevice(POINT pt) const;
  int FromDevice(int v) const;
  const PixelImage* EnlargedCursor(const PixelImage& cursor);

  IBackend& m_device;
  int m_scale;
  // The enlarged pixels of each surface, as the device backend is handed them.
  std::map<SurfaceId, std::vector<std::uint32_t>> m_devicePixels;
  // Enlarged cursor pictures, kept as long as the backend, since a backend may hold on to the picture.
  std::map<const PixelImage*, PixelImage> m_cursors;
};

}  // namespace platform
