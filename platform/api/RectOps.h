// The CSize value type, beside the rectangle arithmetic with GDI's rules that comes with Types.h (the
// system's own on Windows).
#pragma once

#include "platform/api/Types.h"

class CSize : public SIZE {
 public:
  CSize() = default;
  CSize(int ncx, int ncy) {
    cx = ncx;
    cy = ncy;
  }
  CSize(SIZE sz) : SIZE(sz) {}
  bool operator==(const CSize& o) const { return cx == o.cx && cy == o.cy; }
};
