// The control windows that dialog templates describe: push buttons, static text and static icons.
#include "platform/linux/Controls.h"

#include <algorithm>

#include "platform/api/DC.h"
#include "platform/api/PaintDC.h"
#include "platform/linux/SystemColors.h"

namespace {
using namespace platform::syscolor;

// Icons are drawn from the image of this size when the icon has one.
constexpr int kIconSize = 32;

void FrameRect(CDC& dc, const RECT& rc, COLORREF colour) {
  const int width = rc.right - rc.left;
  const int height = rc.bottom - rc.top;
  if (width <= 0 || height <= 0) return;
  dc.FillSolidRect(rc.left, rc.top, width, 1, colour);
  dc.FillSolidRect(rc.left, rc.bottom - 1, width, 1, colour);
  dc.FillSolidRect(rc.left, rc.top, 1, height, colour);
  dc.FillSolidRect(rc.right - 1, rc.top, 1, height, colour);
}

// One ring of a bevel: the top and left sides in one colour, the bottom and right sides in another.
void Bevel(CDC& dc, const RECT& rc, COLORREF topLeft, COLORREF bottomRight) {
  const int width = rc.right - rc.left;
  const int height = rc.bottom - rc.top;
  if (width <= 0 || height <= 0) return;
  dc.FillSolidRect(rc.left, rc.top, width, 1, topLeft);
  dc.FillSolidRect(rc.left, rc.top, 1, height, topLeft);
  dc.FillSolidRect(rc.left, rc.bottom - 1, width, 1, bottomRight);
  dc.FillSolidRect(rc.right - 1, rc.top, 1, height, bottomRight);
}

RECT Deflate(const RECT& rc, int by) {
  return RECT{rc.left + by, rc.top + by, rc.right - by, rc.bottom - by};
}

const platform::PixelImage* ChooseIconImage(HICON icon) {
  if (!icon || icon->images.empty()) return nullptr;
  const platform::PixelImage* best = &icon->images.front();
  for (const platform::PixelImage& image : icon->images) {
    if (image.width == kIconSize) return &image;
    if (image.width > best->width) best = &image;
  }
  return best;
}

int Blend(int over, int under, int alpha) {
  return (over * alpha + under * (255 - alpha) + 127) / 255;
}
}  // namespace

CDialogControl::CDialogControl(const platform::DialogControlResource& control,
                               const platform::DialogResource& tmpl)
    : m_style(control.style) {
  m_info.id = control.id;
  m_info.isDefaultButton =
      control.cls == platform::ControlClass::Button && (control.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  platform::CreateDialogFont(tmpl, m_font);
}

CDialogControl* CDialogControl::CreateFromTemplate(CWnd& dialog,
                                                   const platform::DialogControlResource& control,
                                                   const platform::DialogResource& tmpl, const RECT& rect) {
  CDialogControl* wnd = nullptr;
  if (control.cls == platform::ControlClass::Button) {
    wnd = new CButton(control, tmpl);
  } else {
    wnd = new CStatic(control, tmpl);
  }
  RECT place = rect;
  if (const platform::PixelImage* image = wnd->NaturalImage()) {
    // Like the desktop's icon statics, the control takes the size of its picture, which is then shown
    // undistorted whatever the template's size in dialog units comes to.
    place.right = place.left + image->width;
    place.bottom = place.top + image->height;
  }
  const UINT id = static_cast<UINT>(control.id);
  if (!wnd->Create(nullptr, control.text.c_str(), control.style | WS_CHILD, place, &dialog, id)) {
    // The controls never destroy themselves while being created, so a failed Create left an object
    // without a window, which nothing else would delete.
    delete wnd;
    return nullptr;
  }
  return wnd;
}

void CDialogControl::SelectDialogFont(CDC& dc) {
  if (m_font.GetSafeHandle()) dc.SelectObject(&m_font);
}

void CButton::OnPaint() {
  CPaintDC dc(this);
  RECT rc;
  GetClientRect(&rc);
  dc.FillSolidRect(rc, kFace);
  RECT bevel = rc;
  if (m_info.isDefaultButton) {
    FrameRect(dc, bevel, kFrame);
    bevel = Deflate(bevel, 1);
  }
  int shift = 0;
  if (m_bPressed) {
    // Pushed in: a flat shadow ring, and the caption one pixel down and to the right.
    FrameRect(dc, bevel, kShadow);
    shift = 1;
  } else {
    Bevel(dc, bevel, kLight, kDarkShadow);
    Bevel(dc, Deflate(bevel, 1), kFace, kShadow);
  }
  SelectDialogFont(dc);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(kText);
  RECT text{rc.left + shift, rc.top + shift, rc.right + shift, rc.bottom + shift};
  dc.DrawText(GetWindowText(), &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void CButton::SetPressed(bool pressed) {
  if (pressed == m_bPressed) return;
  m_bPressed = pressed;
  Invalidate(FALSE);
}

void CButton::OnLButtonDown(UINT, CPoint) {
  SetPressed(true);
}

void CButton::OnMouseMove(UINT flags, CPoint) {
  // The window system has no capture, so a release outside the button never comes here; a move without
  // the button held tells that the press ended elsewhere.
  if (!(flags & MK_LBUTTON)) SetPressed(false);
}

void CButton::OnLButtonUp(UINT, CPoint) {
  if (!m_bPressed) return;
  SetPressed(false);
  CWnd* dialog = GetParent();
  if (!dialog) return;
  const WPARAM wParam =
      static_cast<WPARAM>(static_cast<WORD>(m_info.id)) | (static_cast<WPARAM>(BN_CLICKED) << 16);
  dialog->SendMessage(WM_COMMAND, wParam, reinterpret_cast<LPARAM>(m_hWnd));
}

CStatic::CStatic(const platform::DialogControlResource& control, const platform::DialogResource& tmpl)
    : CDialogControl(control, tmpl) {
  if ((control.style & SS_TYPEMASK) == SS_ICON) m_hIcon = LoadIcon(control.iconId);
}

void CStatic::OnPaint() {
  CPaintDC dc(this);
  RECT rc;
  GetClientRect(&rc);
  if ((m_style & SS_TYPEMASK) == SS_ICON) {
    DrawIcon(dc, rc);
    return;
  }
  SelectDialogFont(dc);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(kText);
  UINT format = DT_LEFT | DT_WORDBREAK;
  if (m_style & SS_NOPREFIX) format |= DT_NOPREFIX;
  dc.DrawText(GetWindowText(), &rc, format);
}

const platform::PixelImage* CStatic::NaturalImage() const {
  return ChooseIconImage(m_hIcon);
}

void CStatic::DrawIcon(CDC& dc, const RECT& rc) {
  const platform::PixelImage* image = ChooseIconImage(m_hIcon);
  const int width = rc.right - rc.left;
  const int height = rc.bottom - rc.top;
  if (!image || image->width <= 0 || image->height <= 0 || width <= 0 || height <= 0) return;
  if (image->argb.size() < static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height))
    return;
  // Nearest-neighbour scaling like the blits (the control has the picture's size unless it was moved or
  // resized since), each pixel laid over what is under it by its alpha.
  for (int y = 0; y < height; ++y) {
    const int sy = y * image->height / height;
    for (int x = 0; x < width; ++x) {
      const int sx = x * image->width / width;
      const std::uint32_t argb =
          image->argb[static_cast<std::size_t>(sy) * static_cast<std::size_t>(image->width) +
                      static_cast<std::size_t>(sx)];
      const int alpha = static_cast<int>(argb >> 24);
      if (alpha == 0) continue;
      int r = static_cast<int>((argb >> 16) & 0xFF);
      int g = static_cast<int>((argb >> 8) & 0xFF);
      int b = static_cast<int>(argb & 0xFF);
      if (alpha < 255) {
        const COLORREF under = dc.GetPixel(rc.left + x, rc.top + y);
        if (under == CLR_INVALID) continue;
        r = Blend(r, GetRValue(under), alpha);
        g = Blend(g, GetGValue(under), alpha);
        b = Blend(b, GetBValue(under), alpha);
      }
      dc.FillSolidRect(rc.left + x, rc.top + y, 1, 1, RGB(r, g, b));
    }
  }
}
