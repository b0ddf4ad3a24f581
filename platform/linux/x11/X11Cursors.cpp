// Turns straight-alpha pictures into Xcursor images and keeps the cursors made from them.
#include "platform/linux/x11/X11Cursors.h"

#include <X11/Xcursor/Xcursor.h>
#include <X11/cursorfont.h>

#include <algorithm>

namespace platform::x11 {

namespace {

std::uint64_t Fingerprint(const PixelImage& image) {
  // FNV-1a over the size, the hot spot and every pixel: cheap for cursor-sized pictures.
  std::uint64_t hash = 1469598103934665603ull;
  auto mix = [&hash](std::uint64_t value) {
    hash ^= value;
    hash *= 1099511628211ull;
  };
  mix(static_cast<std::uint64_t>(image.width));
  mix(static_cast<std::uint64_t>(image.height));
  mix(static_cast<std::uint64_t>(image.hotspot.x));
  mix(static_cast<std::uint64_t>(image.hotspot.y));
  for (std::uint32_t pixel : image.argb) mix(pixel);
  return hash;
}

std::uint32_t Premultiply(std::uint32_t argb) {
  const std::uint32_t a = argb >> 24;
  auto channel = [a](std::uint32_t c) { return (c * a + 127) / 255; };
  return (a << 24) | (channel((argb >> 16) & 0xFF) << 16) | (channel((argb >> 8) & 0xFF) << 8) |
         channel(argb & 0xFF);
}

}  // namespace

CX11Cursors::~CX11Cursors() {
  Display* dpy = m_connection.Dpy();
  for (auto& [image, entry] : m_cache) XFreeCursor(dpy, entry.cursor);
  if (m_arrow != None) XFreeCursor(dpy, m_arrow);
}

Cursor CX11Cursors::Get(const PixelImage* image) {
  if (!image) return Arrow();
  const std::uint64_t fingerprint = Fingerprint(*image);
  auto found = m_cache.find(image);
  if (found != m_cache.end()) {
    if (found->second.fingerprint == fingerprint) return found->second.cursor;
    XFreeCursor(m_connection.Dpy(), found->second.cursor);
    m_cache.erase(found);
  }
  const Cursor cursor = Create(*image);
  if (cursor == None) return Arrow();
  m_cache[image] = {cursor, fingerprint};
  return cursor;
}

Cursor CX11Cursors::Create(const PixelImage& image) {
  const size_t count =
      static_cast<size_t>(std::max(image.width, 0)) * static_cast<size_t>(std::max(image.height, 0));
  if (count == 0 || image.argb.size() < count) return None;
  XcursorImage* cursorImage = XcursorImageCreate(image.width, image.height);
  if (!cursorImage) return None;
  cursorImage->xhot = static_cast<XcursorDim>(std::clamp<int>(image.hotspot.x, 0, image.width - 1));
  cursorImage->yhot = static_cast<XcursorDim>(std::clamp<int>(image.hotspot.y, 0, image.height - 1));
  // Xcursor wants premultiplied alpha; without the Render extension it falls back to a two-colour cursor.
  for (size_t i = 0; i < count; ++i) cursorImage->pixels[i] = Premultiply(image.argb[i]);
  const Cursor cursor = XcursorImageLoadCursor(m_connection.Dpy(), cursorImage);
  XcursorImageDestroy(cursorImage);
  return cursor;
}

Cursor CX11Cursors::Arrow() {
  if (m_arrow == None) {
    // The themed arrow when the desktop has a cursor theme, the core font's arrow otherwise.
    m_arrow = XcursorLibraryLoadCursor(m_connection.Dpy(), "left_ptr");
    if (m_arrow == None) m_arrow = XCreateFontCursor(m_connection.Dpy(), XC_left_ptr);
  }
  return m_arrow;
}

}  // namespace platform::x11
