// The pen, brush and bitmap that a fresh device context holds: a black 1-pixel pen, a white brush and a
// 1 x 1 bitmap, made once and never deleted. (The stock font is each platform's own.)
#include "platform/api/Gdi.h"

namespace {

class CStockPen : public CPen {
 public:
  CStockPen() {
    CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    MakeStock();
  }
};

class CStockBrush : public CBrush {
 public:
  CStockBrush() {
    CreateSolidBrush(RGB(255, 255, 255));
    MakeStock();
  }
};

class CStockBitmap : public CBitmap {
 public:
  CStockBitmap() {
    CreateBitmap(1, 1);
    MakeStock();
  }
};

}  // namespace

namespace platform {

CPen* StockPen() {
  static CStockPen pen;
  return &pen;
}

CBrush* StockBrush() {
  static CStockBrush brush;
  return &brush;
}

CBitmap* StockBitmap() {
  static CStockBitmap bitmap;
  return &bitmap;
}

}  // namespace platform
