// CDialog on Windows: the dialog manager builds the window and its controls from the module's template, and
// the program's own modal loop runs it, so that every message passes the windows' PreTranslateMessage first.
#include <algorithm>
#include <cstring>
#include <optional>

#include "platform/api/Dialog.h"
#include "platform/api/Runtime.h"
#include "platform/win32/Win32Windows.h"

using platform::CWin32Windows;

namespace {

LONG KeepInside(LONG start, LONG size, LONG low, LONG high) {
  return std::max(low, std::min(start, high - size));
}

WORD WordAt(const BYTE* bytes, std::size_t offset) {
  WORD value = 0;
  std::memcpy(&value, bytes + offset, sizeof value);
  return value;
}

// The style and the place in dialog units of the module's template `id` (DLGTEMPLATEEX, or the older
// DLGTEMPLATE), or nothing when the module has no such template.
std::optional<platform::DialogResource> TemplateHeader(UINT id) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));  // RT_DIALOG
  const auto* bytes = found ? static_cast<const BYTE*>(LockResource(LoadResource(module, found))) : nullptr;
  if (!bytes || SizeofResource(module, found) < 26) return std::nullopt;
  const bool extended = WordAt(bytes, 0) == 1 && WordAt(bytes, 2) == 0xFFFF;
  const std::size_t style = extended ? 12 : 0;
  const std::size_t place = extended ? 18 : 10;
  platform::DialogResource header;
  header.style = static_cast<DWORD>(WordAt(bytes, style)) | static_cast<DWORD>(WordAt(bytes, style + 2))
                                                                << 16;
  const auto at = [&](std::size_t i) {
    return static_cast<LONG>(static_cast<SHORT>(WordAt(bytes, place + 2 * i)));
  };
  header.dlu = RECT{at(0), at(1), at(0) + at(2), at(1) + at(3)};
  return header;
}

// A dialog of the program wears its owner's icons in its title bar and the task switcher, as the desktop
// shows the program's other windows.
void ShareOwnerIcons(HWND dialog, HWND owner) {
  if (!owner) return;
  for (WPARAM size : {ICON_BIG, ICON_SMALL}) {
    const LRESULT icon = SendMessageW(owner, WM_GETICON, size, 0);
    if (icon) SendMessageW(dialog, WM_SETICON, size, icon);
  }
}

}  // namespace

HWND CDialog::ResolveOwner() const {
  CWnd* start = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
  if (!start || !start->m_hWnd) return nullptr;
  return GetLastActivePopup(GetAncestor(start->m_hWnd, GA_ROOT));
}

// A template at (0, 0) asks for no place of its own: the dialog stands centred over its owner, and wholly on
// the owner's monitor where it can. The dialog manager has already sized the window from the dialog font.
RECT CDialog::TemplateRect(const platform::DialogResource& tmpl, HWND owner) const {
  RECT rect{};
  ::GetWindowRect(m_hWnd, &rect);
  if (tmpl.dlu.left != 0 || tmpl.dlu.top != 0) return rect;
  const LONG width = rect.right - rect.left;
  const LONG height = rect.bottom - rect.top;
  RECT area{};
  if (!owner || !::IsWindowVisible(owner) || !::GetWindowRect(owner, &area)) {
    ::GetWindowRect(::GetDesktopWindow(), &area);
  }
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromRect(&area, MONITOR_DEFAULTTOPRIMARY), &monitor);
  rect.left = KeepInside(area.left + ((area.right - area.left) - width) / 2, width, monitor.rcMonitor.left,
                         monitor.rcMonitor.right);
  rect.top = KeepInside(area.top + ((area.bottom - area.top) - height) / 2, height, monitor.rcMonitor.top,
                        monitor.rcMonitor.bottom);
  rect.right = rect.left + width;
  rect.bottom = rect.top + height;
  return rect;
}

bool CDialog::CreateFromTemplate(const platform::DialogResource&, HWND owner) {
  CWin32Windows::Register();
  return CWin32Windows::CreateDialogFor(this, m_nIDTemplate, owner) != nullptr;
}

INT_PTR CDialog::DoModal() {
  const std::optional<platform::DialogResource> tmpl = TemplateHeader(m_nIDTemplate);
  if (!tmpl || m_hWnd) return -1;
  HWND owner = ResolveOwner();
  const bool disableOwner = owner && ::IsWindowEnabled(owner);
  if (disableOwner) ::EnableWindow(owner, FALSE);
  m_nModalResult = -1;
  m_bEnded = false;
  if (CreateFromTemplate(*tmpl, owner) && !m_bEnded && m_hWnd) {
    ShowWindow(SW_SHOW);
    HWND hwnd = m_hWnd;
    CWin32Windows::PumpUntil([&] { return m_bEnded || !IsWindow(hwnd); });
  }
  // The owner is enabled before the dialog goes, so that it takes the activation back.
  if (m_hWnd) ShowWindow(SW_HIDE);
  if (disableOwner) ::EnableWindow(owner, TRUE);
  if (owner && ::IsWindowVisible(owner)) ::SetActiveWindow(owner);
  DestroyWindow();
  return m_nModalResult;
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_INITDIALOG) return CWnd::WindowProc(message, wParam, lParam);
  if (const std::optional<platform::DialogResource> tmpl = TemplateHeader(m_nIDTemplate)) {
    HWND owner = GetWindow(m_hWnd, GW_OWNER);
    ShareOwnerIcons(m_hWnd, owner);
    const RECT rect = TemplateRect(*tmpl, owner);
    SetWindowPos(m_hWnd, nullptr, rect.left, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return OnInitDialog();
}

// The dialog manager has made the controls from the module's template, icon statics with their icons.
void CDialog::CreateControls(const platform::DialogResource&) {}

int CDialog::DefaultButtonId() const {
  const LRESULT answer = m_hWnd ? SendMessageW(m_hWnd, DM_GETDEFID, 0, 0) : 0;
  return HIWORD(answer) == DC_HASDEFID ? LOWORD(answer) : IDOK;
}

BOOL CDialog::OnEraseBkgnd(CDC* dc) {
  return CWnd::OnEraseBkgnd(dc);
}
