// How this implementation's cairo objects travel in the public headers' handles: a device context's HDC is
// its cairo context, an HBITMAP an image surface, an HRGN a cairo region.
#pragma once

#include <cairo.h>

#include "platform/api/Types.h"

namespace platform {

inline cairo_t* CairoOf(HDC dc) {
  return reinterpret_cast<cairo_t*>(dc);
}
inline cairo_surface_t* CairoOf(HBITMAP bitmap) {
  return reinterpret_cast<cairo_surface_t*>(bitmap);
}
inline cairo_region_t* CairoOf(HRGN region) {
  return reinterpret_cast<cairo_region_t*>(region);
}
inline HDC HandleOf(cairo_t* cr) {
  return reinterpret_cast<HDC>(cr);
}
inline HBITMAP HandleOf(cairo_surface_t* surface) {
  return reinterpret_cast<HBITMAP>(surface);
}
inline HRGN HandleOf(cairo_region_t* region) {
  return reinterpret_cast<HRGN>(region);
}

}  // namespace platform
