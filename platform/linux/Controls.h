// The control windows that dialog templates describe: push buttons, static text and static icons.
#pragma once

#include "platform/api/Cursor.h"
#include "platform/api/Dialog.h"
#include "platform/api/Gdi.h"
#include "platform/api/Resources.h"
#include "platform/api/Wnd.h"
#include "platform/linux/DialogUnits.h"

constexpr DWORD BS_TYPEMASK = 0x000F;
constexpr DWORD SS_TYPEMASK = 0x001F;
constexpr DWORD SS_NOPREFIX = 0x0080;
// The notification code of a click, in the high word of the WM_COMMAND a button sends its dialog.
constexpr WORD BN_CLICKED = 0;

// A child window of a dialog made from one control of its template. Its window owns it: the object
// deletes itself when the window is destroyed, as the dialog's windows go when the dialog ends.
class CDialogControl : public CWnd {
 public:
  // Creates the control's window at `rect` (pixels in the dialog's client area); null when it failed.
  static CDialogControl* CreateFromTemplate(CWnd& dialog, const platform::DialogControlResource& control,
                                            const platform::DialogResource& tmpl, const RECT& rect);
  const platform::ControlInfo& Info() const { return m_info; }
  // The picture whose size the control takes, if it shows one.
  virtual const platform::PixelImage* NaturalImage() const { return nullptr; }

 protected:
  CDialogControl(const platform::DialogControlResource& control, const platform::DialogResource& tmpl);
  void PostNcDestroy() override { delete this; }
  // Selects the dialog's font, when there is one, into a device context.
  void SelectDialogFont(CDC& dc);

  platform::ControlInfo m_info;
  DWORD m_style;

 private:
  CFont m_font;
};

// A push button: pressed and released inside, it sends WM_COMMAND with its id to the dialog. The default
// button (BS_DEFPUSHBUTTON) wears a black frame around the bevel.
class CButton : public CDialogControl {
 public:
  CButton(const platform::DialogControlResource& control, const platform::DialogResource& tmpl)
      : CDialogControl(control, tmpl) {}

 protected:
  void OnPaint() override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;
  void OnMouseMove(UINT flags, CPoint point) override;

 private:
  void SetPressed(bool pressed);

  bool m_bPressed = false;
};

// Static text (left-aligned and wrapped at words, drawn on whatever the dialog painted under it), or with
// SS_ICON an icon of the resources: its 32 x 32 picture (or its largest), with the control made that size.
class CStatic : public CDialogControl {
 public:
  CStatic(const platform::DialogControlResource& control, const platform::DialogResource& tmpl);
  const platform::PixelImage* NaturalImage() const override;

 protected:
  void OnPaint() override;

 private:
  void DrawIcon(CDC& dc, const RECT& rc);

  HICON m_hIcon = nullptr;
};
