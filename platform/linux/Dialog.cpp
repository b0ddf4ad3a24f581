// CDialog: a window made from a dialog template and run modally over its owner.
#include "platform/api/Dialog.h"

#include <algorithm>

#include "platform/api/DC.h"
#include "platform/api/WinApp.h"
#include "platform/linux/DialogUnits.h"
#include "platform/linux/SystemColors.h"
#include "platform/linux/WindowSystem.h"

using platform::CWindowSystem;

namespace {

// Moves a span of `size` that starts at `start` into [low, high); a larger span starts at `low`, so that
// its caption stays reachable.
LONG KeepInside(LONG start, LONG size, LONG low, LONG high) {
  return std::max(low, std::min(start, high - size));
}

platform::SurfaceKind KindForStyle(DWORD style) {
  return (style & WS_CAPTION) == WS_CAPTION ? platform::SurfaceKind::Dialog : platform::SurfaceKind::Plain;
}
}  // namespace

HWND CDialog::ResolveOwner() const {
  CWindowSystem* system = CWindowSystem::Current();
  CWnd* start = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
  if (!system || !start) return nullptr;
  HWND top = system->GetTopLevel(start->m_hWnd);
  return system->GetLastActivePopup(top);
}

// The template's rectangle in pixels. A template at (0, 0) asks for no place of its own: the dialog stands
// centred over its owner, and wholly on the owner's monitor where it can.
RECT CDialog::TemplateRect(const platform::DialogResource& tmpl, HWND owner) const {
  CWindowSystem* system = CWindowSystem::Current();
  RECT rect = platform::DialogUnitsToPixels(tmpl, tmpl.dlu);
  int width = rect.right - rect.left;
  int height = rect.bottom - rect.top;
  if (tmpl.dlu.left == 0 && tmpl.dlu.top == 0) {
    const RECT area =
        owner && system->IsWindow(owner) ? system->GetWindowRect(owner) : system->Backend().ScreenRect();
    const RECT monitor = system->MonitorFromRect(area);
    rect.left =
        KeepInside(area.left + ((area.right - area.left) - width) / 2, width, monitor.left, monitor.right);
    rect.top =
        KeepInside(area.top + ((area.bottom - area.top) - height) / 2, height, monitor.top, monitor.bottom);
  }
  rect.right = rect.left + width;
  rect.bottom = rect.top + height;
  return rect;
}

bool CDialog::CreateFromTemplate(const platform::DialogResource& tmpl, HWND owner) {
  CWindowSystem* system = CWindowSystem::Current();
  // Dialog units need the dialog font's measures. Without controls to place, they are taken only if the
  // size is asked for before the dialog places itself: a window that OnInitDialog moves never opens that
  // font.
  const bool deferred = tmpl.controls.empty();
  const RECT rect = deferred ? RECT{} : TemplateRect(tmpl, owner);
  HWND hwnd = system->CreateWindowNode(this, tmpl.style & ~WS_VISIBLE, rect, nullptr, owner,
                                       KindForStyle(tmpl.style), tmpl.title);
  if (!hwnd) return false;
  if (deferred) {
    system->DeferRect(hwnd, [this, tmpl, owner] { return TemplateRect(tmpl, owner); });
  }
  CreateControls(tmpl);
  return true;
}

INT_PTR CDialog::DoModal() {
  CWindowSystem* system = CWindowSystem::Current();
  const platform::ResourceSet* resources = platform::CurrentResources();
  if (!system || !resources || m_hWnd) return -1;
  auto found = resources->dialogs.find(m_nIDTemplate);
  if (found == resources->dialogs.end()) return -1;

  HWND owner = ResolveOwner();
  bool disableOwner = owner && system->IsEnabled(owner);
  if (disableOwner) system->Enable(owner, false);
  m_nModalResult = -1;
  m_bEnded = false;
  if (CreateFromTemplate(found->second, owner)) {
    SendMessage(WM_INITDIALOG);
    if (!m_bEnded && system->IsWindow(m_hWnd)) {
      ShowWindow(SW_SHOW);
      system->RunModalLoop([&] { return m_bEnded || !system->IsWindow(m_hWnd); });
    }
  }
  // The owner is enabled before the dialog goes, so that it takes the activation back.
  if (system->IsWindow(m_hWnd)) ShowWindow(SW_HIDE);
  if (disableOwner) system->Enable(owner, true);
  if (owner && system->IsWindow(owner) && system->IsVisible(owner)) system->SetActive(owner);
  DestroyWindow();
  return m_nModalResult;
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) return OnInitDialog();
  return CWnd::WindowProc(message, wParam, lParam);
}

int CDialog::DefaultButtonId() const {
  CWindowSystem* system = CWindowSystem::Current();
  if (!system) return IDOK;
  for (HWND child : system->Children(m_hWnd)) {
    const platform::ControlInfo* info = platform::FindControlInfo(child);
    if (info && info->isDefaultButton) return info->id;
  }
  return IDOK;
}

BOOL CDialog::OnEraseBkgnd(CDC* dc) {
  if (!dc) return FALSE;
  RECT rc;
  GetClientRect(&rc);
  dc->FillSolidRect(rc, platform::syscolor::kFace);
  return TRUE;
}

void CDialog::CreateControls(const platform::DialogResource& tmpl) {
  platform::CreateDialogControls(*this, tmpl);
}
