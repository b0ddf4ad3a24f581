// CDialog on Windows: the dialog manager builds the window and its controls from an in-memory template, and
// the program's own modal loop runs it, so that every message passes the windows' PreTranslateMessage first.
#include "platform/api/Dialog.h"
#include "platform/api/Runtime.h"
#include "platform/win32/DialogTemplate.h"
#include "platform/win32/Win32Windows.h"

using platform::CWin32Windows;

namespace {

INT_PTR CALLBACK NoDialogProcedure(HWND, UINT, WPARAM, LPARAM) {
  return FALSE;
}

LONG KeepInside(LONG start, LONG size, LONG low, LONG high) {
  return std::max(low, std::min(start, high - size));
}

// The template of the current resource set with that id, or null.
const platform::DialogResource* FindTemplate(UINT id) {
  const platform::ResourceSet* resources = platform::CurrentResources();
  if (!resources) return nullptr;
  auto found = resources->dialogs.find(id);
  return found == resources->dialogs.end() ? nullptr : &found->second;
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

bool CDialog::CreateFromTemplate(const platform::DialogResource& tmpl, HWND owner) {
  const std::vector<WORD> bytes = platform::BuildDialogTemplate(tmpl, CWin32Windows::DialogClass());
  CWin32Windows::Register();
  CWin32Windows::Creating(this);
  HWND hwnd =
      CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()),
                                 owner, NoDialogProcedure, 0);
  CWin32Windows::Creating(nullptr);
  return hwnd != nullptr;
}

INT_PTR CDialog::DoModal() {
  const platform::DialogResource* tmpl = FindTemplate(m_nIDTemplate);
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
  if (const platform::DialogResource* tmpl = FindTemplate(m_nIDTemplate)) {
    HWND owner = GetWindow(m_hWnd, GW_OWNER);
    ShareOwnerIcons(m_hWnd, owner);
    const RECT rect = TemplateRect(*tmpl, owner);
    SetWindowPos(m_hWnd, nullptr, rect.left, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    CreateControls(*tmpl);
  }
  return OnInitDialog();
}

// The dialog manager made the controls, in the template's order (which is also their order among the
// dialog's children); the icons are ours to give to the icon statics. Statics share the id -1, so they are
// found by their place, not by id.
void CDialog::CreateControls(const platform::DialogResource& tmpl) {
  HWND child = GetWindow(m_hWnd, GW_CHILD);
  for (const platform::DialogControlResource& control : tmpl.controls) {
    if (!child) break;
    if (control.cls == platform::ControlClass::Static && (control.style & SS_TYPEMASK) == SS_ICON) {
      SendMessageW(child, STM_SETICON, reinterpret_cast<WPARAM>(LoadIcon(control.iconId)), 0);
    }
    child = GetWindow(child, GW_HWNDNEXT);
  }
}

int CDialog::DefaultButtonId() const {
  const LRESULT answer = m_hWnd ? SendMessageW(m_hWnd, DM_GETDEFID, 0, 0) : 0;
  return HIWORD(answer) == DC_HASDEFID ? LOWORD(answer) : IDOK;
}

BOOL CDialog::OnEraseBkgnd(CDC* dc) {
  return CWnd::OnEraseBkgnd(dc);
}
