// The in-memory DLGTEMPLATE that the dialog manager builds a dialog from, made from one of our templates.
#include "platform/win32/DialogTemplate.h"

#include <string>

#include "platform/win32/Utf16.h"

namespace platform {

namespace {

constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kStaticAtom = 0x0082;

void PutDword(std::vector<WORD>& out, DWORD value) {
  out.push_back(LOWORD(value));
  out.push_back(HIWORD(value));
}

void PutString(std::vector<WORD>& out, const std::wstring& text) {
  out.insert(out.end(), text.begin(), text.end());
  out.push_back(0);
}

void AlignToDword(std::vector<WORD>& out) {
  if (out.size() % 2) out.push_back(0);
}

void PutRect(std::vector<WORD>& out, const RECT& dlu) {
  out.push_back(static_cast<WORD>(dlu.left));
  out.push_back(static_cast<WORD>(dlu.top));
  out.push_back(static_cast<WORD>(dlu.right - dlu.left));
  out.push_back(static_cast<WORD>(dlu.bottom - dlu.top));
}

void PutControl(std::vector<WORD>& out, const DialogControlResource& control) {
  AlignToDword(out);
  PutDword(out, control.style | WS_CHILD | WS_VISIBLE);
  PutDword(out, 0);
  PutRect(out, control.dlu);
  out.push_back(static_cast<WORD>(control.id));
  out.push_back(0xFFFF);
  out.push_back(control.cls == ControlClass::Button ? kButtonAtom : kStaticAtom);
  PutString(out, Widen(control.text));
  out.push_back(0);  // no creation data
}

}  // namespace

std::vector<WORD> BuildDialogTemplate(const DialogResource& tmpl, const wchar_t* windowClass) {
  std::vector<WORD> out;
  // The dialog is shown once WM_INITDIALOG has been handled, as the program expects.
  PutDword(out, (tmpl.style & ~WS_VISIBLE) | (tmpl.fontFace.empty() ? 0 : DS_SETFONT));
  PutDword(out, 0);
  out.push_back(static_cast<WORD>(tmpl.controls.size()));
  PutRect(out, tmpl.dlu);
  out.push_back(0);  // no menu
  PutString(out, windowClass);
  PutString(out, Widen(tmpl.title));
  if (!tmpl.fontFace.empty()) {
    out.push_back(static_cast<WORD>(tmpl.fontPoints));
    PutString(out, Widen(tmpl.fontFace));
  }
  for (const DialogControlResource& control : tmpl.controls) PutControl(out, control);
  return out;
}

}  // namespace platform
