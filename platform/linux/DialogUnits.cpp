// Dialog units to pixels, and the child controls that a dialog template describes.
#include "platform/linux/DialogUnits.h"

#include "platform/api/DC.h"
#include "platform/api/Gdi.h"
#include "platform/linux/Controls.h"

namespace platform {

namespace {
struct BaseUnits {
  int x = 0;
  int y = 0;
};

// The base units of a 9-point Japanese UI font at 96 dpi, for a system without any font at all.
constexpr BaseUnits kFallbackUnits{6, 12};

// The horizontal unit comes from the mean width of the Latin letters, rounded as the desktop rounds it,
// rather than from tmAveCharWidth: the faces that stand in for the Japanese Windows fonts have wider
// Latin letters than their average suggests, and templates sized for the originals would cut their text.
BaseUnits DialogBaseUnits(const DialogResource& tmpl) {
  CFont font;
  CDC dc;
  if (CreateDialogFont(tmpl, font)) dc.SelectObject(&font);
  TEXTMETRIC tm;
  if (!dc.GetTextMetrics(&tm) || tm.tmAveCharWidth <= 0 || tm.tmHeight <= 0) return kFallbackUnits;
  const int letters = dc.GetTextExtent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz").cx;
  const int x = letters > 0 ? (letters / 26 + 1) / 2 : static_cast<int>(tm.tmAveCharWidth);
  return BaseUnits{x, static_cast<int>(tm.tmHeight)};
}

// n * numerator / denominator, rounded half away from zero as the desktop's MulDiv does.
int MulDiv(int n, int numerator, int denominator) {
  const long long product = static_cast<long long>(n) * numerator;
  const long long half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

// Position and size are converted apart, so that two controls of one size in dialog units have one size in
// pixels wherever they stand.
RECT ToPixels(const BaseUnits& base, const RECT& dlu) {
  const int left = MulDiv(dlu.left, base.x, 4);
  const int top = MulDiv(dlu.top, base.y, 8);
  return RECT{left, top, left + MulDiv(dlu.right - dlu.left, base.x, 4),
              top + MulDiv(dlu.bottom - dlu.top, base.y, 8)};
}
}  // namespace

bool CreateDialogFont(const DialogResource& tmpl, CFont& font) {
  if (tmpl.fontFace.empty() || tmpl.fontPoints <= 0) return false;
  return font.CreatePointFont(tmpl.fontPoints * 10, tmpl.fontFace.c_str()) != FALSE;
}

RECT DialogUnitsToPixels(const DialogResource& tmpl, const RECT& dlu) {
  return ToPixels(DialogBaseUnits(tmpl), dlu);
}

void CreateDialogControls(CWnd& dialog, const DialogResource& tmpl) {
  if (tmpl.controls.empty()) return;
  const BaseUnits base = DialogBaseUnits(tmpl);
  for (const DialogControlResource& control : tmpl.controls) {
    CDialogControl::CreateFromTemplate(dialog, control, tmpl, ToPixels(base, control.dlu));
  }
}

const ControlInfo* FindControlInfo(HWND control) {
  const auto* wnd = dynamic_cast<const CDialogControl*>(CWnd::FromHandle(control));
  return wnd ? &wnd->Info() : nullptr;
}

}  // namespace platform
