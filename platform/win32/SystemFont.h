// A font as Windows makes it: the HFONT that a CFont holds while it holds a font.
#pragma once

#include "platform/api/Types.h"

namespace platform {

class ResolvedFont {
 public:
  explicit ResolvedFont(HFONT font) : m_font(font) {}
  ~ResolvedFont() { DeleteObject(m_font); }
  ResolvedFont(const ResolvedFont&) = delete;
  ResolvedFont& operator=(const ResolvedFont&) = delete;
  HFONT Handle() const { return m_font; }

 private:
  HFONT m_font;
};

}  // namespace platform
