// CPuzzleDlg: construction, start-up, release, the command table and the routing of messages.
#include "ui/PuzzleDlg.h"

#include "platform/api/Cursor.h"
#include "res/ResourceIds.h"
#include "res/Version.h"

namespace {

// The command table. Command ids of the popup menu and the header's Start and About buttons land here; the
// Colour and Exit buttons call their routines directly.
constexpr CPuzzleDlg::CommandEntry kCommands[] = {
    {ID_START, &CPuzzleDlg::OnStart},
    {ID_INFO, &CPuzzleDlg::OnAppAbout},
    {ID_APP_ABOUT, &CPuzzleDlg::OnAppAbout},
    {ID_COLOR_RED, &CPuzzleDlg::OnColorRed},
    {ID_COLOR_PURPLE, &CPuzzleDlg::OnColorPurple},
    {ID_COLOR_YELLOW, &CPuzzleDlg::OnColorYellow},
    {ID_COLOR_GREEN, &CPuzzleDlg::OnColorGreen},
    {ID_COLOR_CYAN, &CPuzzleDlg::OnColorCyan},
    {ID_COLOR_BLUE, &CPuzzleDlg::OnColorBlue},
    {ID_COLOR_BLACK, &CPuzzleDlg::OnColorBlack},
    {ID_PATTERN_3, &CPuzzleDlg::OnPattern3},
    {ID_PATTERN_7, &CPuzzleDlg::OnPattern7},
    {ID_PATTERN_11, &CPuzzleDlg::OnPattern11},
    {ID_PATTERN_15, &CPuzzleDlg::OnPattern15},
    {ID_PATTERN_19, &CPuzzleDlg::OnPattern19},
    {ID_SCREEN_SMALL, &CPuzzleDlg::OnScreenSmall},
    {ID_SCREEN_MEDIUM, &CPuzzleDlg::OnScreenMedium},
    {ID_SCREEN_LARGE, &CPuzzleDlg::OnScreenLarge},
    {ID_EXIT, &CPuzzleDlg::OnExit},
    {ID_BOARD_16, &CPuzzleDlg::OnBoard16},
    {ID_BOARD_25, &CPuzzleDlg::OnBoard25},
    {ID_BOARD_36, &CPuzzleDlg::OnBoard36},
    {ID_BOARD_49, &CPuzzleDlg::OnBoard49},
    {ID_BOARD_64, &CPuzzleDlg::OnBoard64},
    {ID_BOARD_100, &CPuzzleDlg::OnBoard100},
};

}  // namespace

CPuzzleDlg::CPuzzleDlg(CWnd* pParent)
    : CDialog(IDD_PUZZLE_DIALOG, pParent), m_hIcon(LoadIcon(IDR_MAINFRAME)) {
  // A slide made by the player reaches the two tile windows concerned, and only those repaint.
  m_game.m_onTileNumber = [this](int nCell, int nNumber) {
    if (nCell >= 0 && static_cast<std::size_t>(nCell) < m_tiles.size())
      m_tiles[static_cast<std::size_t>(nCell)]->SetNumber(nNumber);
  };
}

CPuzzleDlg::~CPuzzleDlg() {
  // A window still standing is released the normal way, through OnDestroy, while this object is whole.
  if (m_hWnd) DestroyWindow();
  m_game.m_onTileNumber = nullptr;
  m_dcMem.DeleteDC();
  for (CBitmap& bitmap : m_bmButtons) bitmap.DeleteObject();
}

std::span<const CPuzzleDlg::CommandEntry> CPuzzleDlg::CommandTable() {
  return kCommands;
}

BOOL CPuzzleDlg::OnCmdMsg(UINT nID) {
  for (const CommandEntry& entry : kCommands) {
    if (entry.nID == nID) {
      (this->*entry.pfnHandler)();
      return TRUE;
    }
  }
  return CDialog::OnCmdMsg(nID);
}

LRESULT CPuzzleDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TRAYNOTIFY: return OnTrayNotify(wParam, lParam);
    case WM_SHOWPOPUP: return OnShowPopup(wParam, lParam);
    default: return CDialog::WindowProc(message, wParam, lParam);
  }
}

BOOL CPuzzleDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetIcon(m_hIcon, TRUE);
  SetIcon(m_hIcon, FALSE);
  AddTrayIcon();
  SetWindowText(tilvane::kVersion.productName);
  LoadPopupMenu();

  m_nScreenSize = 0;
  m_game.SetBoardSize(16);
  PlaceAtTopCentre();

  m_bPressed = FALSE;
  m_bDragArmed = FALSE;
  m_bDragging = FALSE;
  m_game.ResetCounters();
  m_bDropIn = TRUE;
  m_nDropSteps = 0;
  m_nLastDropTop.reset();
  // Black with the smallest step, so that the one turn of the colour cycle below wraps to red and moves
  // the step on to 7: every run starts from the same look.
  m_nPatternStep = 3;
  m_crTheme = RGB(0, 0, 0);
  m_nLastColorPos = -1;
  m_nLastPatternPos = -1;
  m_nLastScreenPos = -1;
  m_nLastBoardPos = -1;
  m_nFontHeight = 18;

  Layout();
  LoadButtonBitmaps();
  CycleTheme();
  NewBoard();
  SetTimer(TIMER_CLOCK, kClockPeriodMs);
  SetTimer(TIMER_DROP, kDropPeriodMs);
  return TRUE;
}

// No key has any effect on the game, Enter and Escape included: they would otherwise end the dialog.
BOOL CPuzzleDlg::PreTranslateMessage(MSG* pMsg) {
  if (pMsg && pMsg->message == WM_KEYDOWN) return TRUE;
  return CDialog::PreTranslateMessage(pMsg);
}

void CPuzzleDlg::OnDestroy() {
  CDialog::OnDestroy();
  KillTimer(TIMER_CLOCK);
  DestroyTiles();
  RemoveTrayIcon();
  m_dcMem.DeleteDC();
  for (CBitmap& bitmap : m_bmButtons) bitmap.DeleteObject();
}

void CPuzzleDlg::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent == TIMER_CLOCK) {
    OnClockTick();
  } else if (nIDEvent == TIMER_DROP) {
    DropInStep();
  }
  CDialog::OnTimer(nIDEvent);
}

HCURSOR CPuzzleDlg::OnQueryDragIcon() {
  // The icon's large picture stands for the window while it is dragged as an icon.
  return IconAsCursor(m_hIcon);
}
