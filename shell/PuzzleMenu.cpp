// CPuzzleDlg's popup menu: loading it, opening it at the cursor, and its check marks on the current settings.
#include "platform/api/Runtime.h"
#include "res/ResourceIds.h"
#include "ui/PuzzleDlg.h"

namespace {

// The settings submenus, by their position in submenu 0.
constexpr int kColourMenu = 2;
constexpr int kPatternMenu = 3;
constexpr int kScreenMenu = 4;
constexpr int kBoardMenu = 5;

int ColourPosition(COLORREF crTheme) {
  switch (crTheme) {
    case RGB(255, 0, 0): return 0;
    case RGB(255, 0, 255): return 1;
    case RGB(255, 255, 0): return 2;
    case RGB(0, 255, 0): return 3;
    case RGB(0, 255, 255): return 4;
    case RGB(0, 0, 255): return 5;
    default: return 6;
  }
}

int PatternPosition(int nStep) {
  switch (nStep) {
    case 3: return 0;
    case 7: return 1;
    case 11: return 2;
    case 15: return 3;
    default: return 4;
  }
}

int BoardPosition(int nCells) {
  switch (nCells) {
    case 16: return 0;
    case 25: return 1;
    case 36: return 2;
    case 49: return 3;
    case 64: return 4;
    default: return 5;
  }
}

}  // namespace

void CPuzzleDlg::LoadPopupMenu() {
  m_menuPopup.LoadMenu(IDR_POPUP);
  ShareTrayMenu();
}

void CPuzzleDlg::CheckSettingsItem(int nSubMenu, int nItem, BOOL bCheck) {
  CMenu* pPopup = m_menuPopup.GetSubMenu(0);
  CMenu* pSettings = pPopup ? pPopup->GetSubMenu(nSubMenu) : nullptr;
  if (pSettings) {
    pSettings->CheckMenuItem(static_cast<UINT>(nItem), MF_BYPOSITION | (bCheck ? MF_CHECKED : MF_UNCHECKED));
  }
}

// The new mark is set before the old one is cleared, so an item that stays current is never unchecked.
void CPuzzleDlg::UpdateMenuChecks() {
  struct Setting {
    int nSubMenu;
    int nPosition;
    int* pnLast;
  };
  const Setting settings[] = {
      {kColourMenu, ColourPosition(m_crTheme), &m_nLastColorPos},
      {kPatternMenu, PatternPosition(m_nPatternStep), &m_nLastPatternPos},
      {kScreenMenu, m_nScreenSize, &m_nLastScreenPos},
      {kBoardMenu, BoardPosition(m_game.m_nCells), &m_nLastBoardPos},
  };
  for (const Setting& setting : settings) {
    CheckSettingsItem(setting.nSubMenu, setting.nPosition, TRUE);
    if (*setting.pnLast >= 0 && *setting.pnLast != setting.nPosition) {
      CheckSettingsItem(setting.nSubMenu, *setting.pnLast, FALSE);
    }
    *setting.pnLast = setting.nPosition;
  }
}

// Only a release on the main window itself counts: the tile windows take no right button.
void CPuzzleDlg::OnRButtonUp(UINT nFlags, CPoint point) {
  PostMessage(WM_SHOWPOPUP, 0, 0);
  CDialog::OnRButtonUp(nFlags, point);
}

// The menu opens where the cursor is when the request is handled, and comes forward with the window so that
// a click anywhere else closes it. A chosen command arrives afterwards as an ordinary WM_COMMAND.
LRESULT CPuzzleDlg::OnShowPopup(WPARAM /*wParam*/, LPARAM /*lParam*/) {
  POINT cursor;
  GetCursorPos(&cursor);
  SetForegroundWindow();
  if (CMenu* pPopup = m_menuPopup.GetSubMenu(0)) {
    pPopup->TrackPopupMenu(TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, this);
  }
  return 0;
}
