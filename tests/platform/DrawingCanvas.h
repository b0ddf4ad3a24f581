// A small bitmap in a memory device context, for drawing tests that read single pixels back.
#pragma once

#include <algorithm>
#include <climits>
#include <functional>

#include "platform/api/DC.h"
#include "platform/api/Gdi.h"

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);

// Where a drawing left marks: how many pixels, and the box around them (empty when none).
struct Ink {
  int pixels = 0;
  RECT box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
};

class Canvas {
 public:
  Canvas(int width, int height, COLORREF fill = kWhite) : m_width(width), m_height(height) {
    m_bitmap.CreateBitmap(width, height);
    m_dc.CreateCompatibleDC(nullptr);
    m_previous = m_dc.SelectObject(&m_bitmap);
    m_dc.FillSolidRect(0, 0, width, height, fill);
  }
  ~Canvas() { m_dc.SelectObject(m_previous); }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  CDC& dc() { return m_dc; }
  int width() const { return m_width; }
  int height() const { return m_height; }
  COLORREF At(int x, int y) const { return m_dc.GetPixel(x, y); }

  // Pixels that differ from `background`, optionally only those inside (or outside) `area`.
  Ink InkOf(COLORREF background, const std::function<bool(int, int)>& counted = nullptr) const {
    Ink ink;
    for (int y = 0; y < m_height; ++y) {
      for (int x = 0; x < m_width; ++x) {
        if ((counted && !counted(x, y)) || At(x, y) == background) continue;
        ++ink.pixels;
        ink.box.left = std::min<LONG>(ink.box.left, x);
        ink.box.top = std::min<LONG>(ink.box.top, y);
        ink.box.right = std::max<LONG>(ink.box.right, x + 1);
        ink.box.bottom = std::max<LONG>(ink.box.bottom, y + 1);
      }
    }
    return ink;
  }

  // Total darkness of the pixels, 0 for white; grey antialiased edges count in part.
  long Darkness() const {
    long sum = 0;
    for (int y = 0; y < m_height; ++y) {
      for (int x = 0; x < m_width; ++x) {
        const COLORREF c = At(x, y);
        sum += 765 - (GetRValue(c) + GetGValue(c) + GetBValue(c));
      }
    }
    return sum;
  }

 private:
  int m_width;
  int m_height;
  CBitmap m_bitmap;
  CDC m_dc;
  CBitmap* m_previous = nullptr;
};
