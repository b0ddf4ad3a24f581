// The drawing objects a device context selects: pens, brushes, fonts and bitmaps.
#pragma once

#include <memory>
#include <string>

#include "platform/api/RectOps.h"
#include "platform/api/Types.h"

class CDC;

// The common base: an object either holds something to draw with or is empty. Stock objects, which device
// contexts hold before anything is selected, cannot be deleted.
class CGdiObject {
 public:
  CGdiObject() = default;
  virtual ~CGdiObject();
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;

  // Frees what the object holds; FALSE when there was nothing to free or the object is a stock object.
  BOOL DeleteObject();
  // Non-null while the object holds something.
  const void* GetSafeHandle() const { return Handle(); }
  bool IsStock() const { return m_bStock; }

 protected:
  CGdiObject(CGdiObject&&) noexcept = default;
  CGdiObject& operator=(CGdiObject&&) noexcept = default;
  virtual const void* Handle() const = 0;
  virtual void Release() = 0;
  void MakeStock() { m_bStock = true; }

  // The system's own object, where drawing has objects of its own (Windows); null elsewhere.
  HGDIOBJ m_hObject = nullptr;

 private:
  friend class CDC;
  bool m_bStock = false;
};

class CPen : public CGdiObject {
 public:
  CPen() = default;
  CPen(int nPenStyle, int nWidth, COLORREF crColor) { CreatePen(nPenStyle, nWidth, crColor); }
  ~CPen() override = default;

  // Only 1-pixel solid pens draw exactly like GDI; wider pens draw square dots and every style but PS_NULL
  // draws solid.
  BOOL CreatePen(int nPenStyle, int nWidth, COLORREF crColor);
  int Style() const { return m_nStyle; }
  int Width() const { return m_nWidth; }
  COLORREF Color() const { return m_crColor; }

 protected:
  const void* Handle() const override { return m_bCreated ? this : nullptr; }
  void Release() override { m_bCreated = false; }

 private:
  bool m_bCreated = false;
  int m_nStyle = PS_SOLID;
  int m_nWidth = 1;
  COLORREF m_crColor = 0;
};

class CBitmap;

class CBrush : public CGdiObject {
 public:
  CBrush() = default;
  explicit CBrush(COLORREF crColor) { CreateSolidBrush(crColor); }
  ~CBrush() override;

  BOOL CreateSolidBrush(COLORREF crColor);
  // A brush that repeats the bitmap's pixels, as they are now, from the (0, 0) of the context it fills in.
  BOOL CreatePatternBrush(CBitmap* pBitmap);
  COLORREF Color() const { return m_crColor; }
  // The brush's own copy of its pattern's pixels; null for a solid brush.
  HBITMAP Pattern() const { return m_hPattern; }

 protected:
  const void* Handle() const override { return m_bCreated ? this : nullptr; }
  void Release() override;

 private:
  bool m_bCreated = false;
  COLORREF m_crColor = 0;
  HBITMAP m_hPattern = nullptr;
};

class CFont : public CGdiObject {
 public:
  CFont() = default;
  ~CFont() override = default;

  // The arguments of CreateFontA, the face name in UTF-8. Fails when neither the face nor any face that
  // stands in for it is installed. Escapement, orientation, character set and precisions are accepted and
  // ignored: the program draws only upright text.
  BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                  BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                  BYTE nQuality, BYTE nPitchAndFamily, const char* lpszFacename);
  // A normal-weight font of nPointSize tenths of a point at 96 pixels per inch, as dialogs ask for theirs.
  BOOL CreatePointFont(int nPointSize, const char* lpszFaceName, CDC* pDC = nullptr);
  // What the font resolved to, opaque to the program: each implementation knows what it made (a face at a
  // size on Linux, the system's font on Windows). Contexts that select the font share it.
  const std::shared_ptr<const void>& Resolved() const { return m_font; }

 protected:
  const void* Handle() const override { return m_font.get(); }
  void Release() override { m_font.reset(); }
  void Adopt(std::shared_ptr<const void> font) { m_font = std::move(font); }

 private:
  std::shared_ptr<const void> m_font;
};

// An opaque 32-bit picture that a memory device context draws into or copies from.
class CBitmap : public CGdiObject {
 public:
  CBitmap() = default;
  ~CBitmap() override;

  // From the program's bitmap resources; FALSE when there is no such resource.
  BOOL LoadBitmap(UINT nIDResource);
  // A black picture of the given size; FALSE for a size of zero or less.
  BOOL CreateBitmap(int nWidth, int nHeight);
  BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
  CSize GetSize() const;
  // The pixels (32 bits a pixel, the top byte unused); null while the bitmap is empty.
  HBITMAP Hbitmap() const { return m_hBitmap; }

 protected:
  const void* Handle() const override { return m_hBitmap; }
  void Release() override;

 private:
  HBITMAP m_hBitmap = nullptr;
};

namespace platform {

// The objects a fresh device context holds: a black 1-pixel pen, a white brush, the system font and, in a
// memory context, a 1 x 1 bitmap. They live as long as the process and ignore DeleteObject.
CPen* StockPen();
CBrush* StockBrush();
CFont* StockFont();
CBitmap* StockBitmap();

}  // namespace platform
