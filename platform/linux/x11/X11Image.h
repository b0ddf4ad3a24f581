// The backend's own copy of a window's pixels, kept in the server's format and sent to the window in parts.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <cstdint>

#include "platform/api/Types.h"
#include "platform/linux/x11/X11Connection.h"

namespace platform::x11 {

class CX11Image {
 public:
  // Allocates width × height pixels for windows of `visual`; in shared memory when the server allows it.
  CX11Image(CX11Connection& connection, Visual* visual, int depth, int width, int height);
  ~CX11Image();
  CX11Image(const CX11Image&) = delete;
  CX11Image& operator=(const CX11Image&) = delete;

  bool Valid() const { return m_image != nullptr; }
  int Width() const { return m_width; }
  int Height() const { return m_height; }
  bool UsesShm() const { return m_usesShm; }

  // Copies `rect` of 0x00RRGGBB pixels, `stride` bytes a row, into the same place of the image; opaque
  // where the format has alpha.
  void StoreRgb(const std::uint8_t* data, int stride, const RECT& rect);
  // Copies premultiplied 0xAARRGGBB pixels covering the whole image; a 32-bit visual keeps the alpha.
  void StoreArgb(const std::uint32_t* pixels);
  // Sets `rect` to pixel value 0: fully transparent where the format has alpha.
  void Clear(const RECT& rect);
  // Keeps what an older image of another size showed where the two overlap.
  void CopyFrom(const CX11Image& older);
  // Sends `rect` of the image to the same place of `drawable`, moved by (dx, dy).
  void Put(Drawable drawable, GC gc, const RECT& rect, int dx = 0, int dy = 0);

 private:
  void TryShm(Visual* visual, int depth);
  // Shared memory is read by the server after the request is sent: wait until it has been before
  // writing into it again, so that a frame never shows half of the next one.
  void WaitUntilServerDone();
  // Whether 0x00RRGGBB words can be copied into the image as they are.
  bool IsNativeLayout() const;

  CX11Connection& m_connection;
  X11PixelFormat m_format;
  XImage* m_image = nullptr;
  XShmSegmentInfo m_shm{};
  bool m_usesShm = false;
  unsigned long m_putSerial = 0;
  int m_width = 0;
  int m_height = 0;
};

}  // namespace platform::x11
