// The drawing helpers behind CDC on our window system: a context's cairo target, its clip, its boxes and its
// text lines.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "platform/api/DC.h"
#include "platform/linux/FontCatalog.h"

struct CDC::Impl {
  // Draws onto `target` with the context's (0, 0) at `origin` of it, limited to a copy of `clip`.
  static void SetTarget(CDC& dc, HBITMAP target, POINT origin, HRGN clip);
  static void ClearTarget(CDC& dc);
  static void FillBoxes(CDC& dc, std::span<const RECT> boxes, COLORREF cr);
  static void FillBoxes(CDC& dc, std::span<const RECT> boxes, const CBrush& brush);
  // The selected font, or the default font while the stock font is selected.
  static const platform::ResolvedFont* CurrentFont(const CDC& dc);
  // Whether a point of the target (target coordinates) is on its pixels and inside the clip.
  static bool InClip(const CDC& dc, int tx, int ty);
  static void DrawTextLine(CDC& dc, const std::string& line, int x, int y, int width, const RECT* clip);
  static std::vector<std::string> LayoutLines(const CDC& dc, const std::string& text, UINT nFormat,
                                              int width);
};
