// Finds the gaps a window's shape leaves, row by row, so that a compositor can be shown them as transparent.
#include "platform/linux/x11/X11ShapeOutside.h"

#include <algorithm>
#include <utility>

namespace platform::x11 {

std::vector<RECT> OutsideOfShape(const std::vector<RECT>& shape, int width, int height) {
  std::vector<RECT> outside;
  if (shape.empty()) return outside;
  // The shape's rectangles come in any order and may overlap, so each row's covered spans are sorted and
  // walked from the left; what lies between them is outside. A rounded shape leaves gaps only in the few
  // rows of its corners, so the list stays short.
  std::vector<std::pair<LONG, LONG>> covered;
  for (LONG y = 0; y < height; ++y) {
    covered.clear();
    for (const RECT& r : shape)
      if (r.top <= y && y < r.bottom && r.left < r.right) covered.emplace_back(r.left, r.right);
    std::sort(covered.begin(), covered.end());
    LONG x = 0;
    for (const auto& [left, right] : covered) {
      if (left > x) outside.push_back(RECT{x, y, std::min<LONG>(left, width), y + 1});
      x = std::max(x, right);
      if (x >= width) break;
    }
    if (x < width) outside.push_back(RECT{x, y, width, y + 1});
  }
  return outside;
}

}  // namespace platform::x11
