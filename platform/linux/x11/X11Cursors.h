// Colour cursors made from the program's pictures through Xcursor, created once per picture.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <unordered_map>

#include "platform/linux/Backend.h"
#include "platform/linux/x11/X11Connection.h"

namespace platform::x11 {

class CX11Cursors {
 public:
  explicit CX11Cursors(CX11Connection& connection) : m_connection(connection) {}
  ~CX11Cursors();
  CX11Cursors(const CX11Cursors&) = delete;
  CX11Cursors& operator=(const CX11Cursors&) = delete;

  // The cursor showing `image` with its hot spot; null asks for the desktop's ordinary arrow.
  Cursor Get(const PixelImage* image);

 private:
  struct Entry {
    Cursor cursor = None;
    std::uint64_t fingerprint = 0;
  };
  Cursor Create(const PixelImage& image);
  Cursor Arrow();

  CX11Connection& m_connection;
  // Keyed by the picture's address, which the program keeps for its whole life; the fingerprint
  // notices when an address is reused for another picture.
  std::unordered_map<const PixelImage*, Entry> m_cache;
  Cursor m_arrow = None;
};

}  // namespace platform::x11
