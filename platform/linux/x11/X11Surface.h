// One top-level window of the program on the X display: its kind's properties, geometry, shape and pixels.
#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/Backend.h"
#include "platform/linux/x11/X11Connection.h"
#include "platform/linux/x11/X11Image.h"

namespace platform::x11 {

class CX11Surface {
 public:
  // Creates the window unmapped; `owner` is the window a dialog stays above (None for others).
  CX11Surface(CX11Connection& connection, const SurfaceDesc& desc, Window owner);
  ~CX11Surface();
  CX11Surface(const CX11Surface&) = delete;
  CX11Surface& operator=(const CX11Surface&) = delete;

  Window Handle() const { return m_window; }
  SurfaceKind Kind() const { return m_kind; }
  const RECT& Rect() const { return m_rect; }
  bool Shown() const { return m_shown; }

  // A shown surface is mapped once its first picture has been presented, or when the program next goes
  // idle without one (MapIfPending), so that it never appears empty. Activation and a grab asked for
  // meanwhile follow the map.
  void Show(bool show);
  void MapIfPending();
  void Move(const RECT& screenRect);
  void SetShape(const std::vector<RECT>& rects);
  void SetTitle(const std::string& utf8);
  void SetIcons(const std::vector<PixelImage>& icons);
  void Present(const PixelView& pixels, const RECT& damage);
  void SetCursor(Cursor cursor);
  void Activate();
  // The time of the user's last press or key in the window (_NET_WM_USER_TIME): a window manager that
  // prevents focus stealing gives the focus to the window the user acted in last.
  void SetUserTime(Time time);
  // Pointer and keyboard grab while a menu is tracked; false when another client holds them.
  bool Grab();
  void Ungrab();
  bool Grabbed() const { return m_grabbed || m_grabPending; }

  // Where the server shows the window after a configure, reparent or map notification about it (screen
  // coordinates of its own pixels, a window manager's frame left out); nothing for other events.
  std::optional<RECT> OnStructureEvent(const XEvent& event);

  // Collects the rectangles of one Expose series and, at its last event, repaints them from the copy.
  void OnExpose(const XExposeEvent& event);
  // Another client destroyed the window: nothing may be asked of it any more, not even its destruction.
  void OnDestroyedElsewhere() {
    m_destroyed = true;
    m_grabbed = false;  // the server ends a grab whose window goes
  }
  bool DestroyedElsewhere() const { return m_destroyed; }

 private:
  // A side the server reports, kept between one pixel and the larger of the screen's side and 4096.
  int CappedSide(int side, bool horizontal) const;
  int Width() const { return m_rect.right - m_rect.left; }
  int Height() const { return m_rect.bottom - m_rect.top; }
  void SetSizeHints(const RECT& rect);
  void SetKindProperties(Window owner);
  void ShowFirstPictureOnMap();
  bool TryGrab();
  std::unique_ptr<CX11Image> NewImage() const;
  // Makes the part of `area` outside the shape transparent in the copy, for a translucent surface.
  void ClearOutsideShape(const RECT& area);

  CX11Connection& m_connection;
  SurfaceKind m_kind;
  // A compositing manager draws the cut-away parts of a bounding shape as black squares; where one runs,
  // the shaped kind gets a visual with alpha and shows what its shape leaves out as transparent instead.
  bool m_translucent = false;
  X11Visual m_visual;
  std::vector<RECT> m_shape;    // as last set, for a translucent surface
  std::vector<RECT> m_outside;  // what that shape leaves out at the present size
  Window m_window = None;
  Window m_parent = None;          // the root, or a window manager's frame
  unsigned long m_moveSerial = 0;  // the request number of the last move asked for
  GC m_gc = nullptr;
  RECT m_rect{};
  std::unique_ptr<CX11Image> m_image;
  RECT m_exposed{};
  bool m_shown = false;
  bool m_hasPictureBackground = false;
  bool m_mapPending = false;
  bool m_activatePending = false;
  bool m_grabPending = false;
  bool m_grabbed = false;
  bool m_destroyed = false;
  Cursor m_cursor = None;
};

}  // namespace platform::x11
