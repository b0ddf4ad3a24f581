// CPuzzleDlg: the main window, which holds the game and shows it, and the messages it answers.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/PuzzleGame.h"
#include "platform/api/DC.h"
#include "platform/api/Dialog.h"
#include "platform/api/Menu.h"
#include "ui/TileWnd.h"

// The tray icon's callback, and the request to open the popup menu at the cursor.
constexpr UINT WM_TRAYNOTIFY = WM_USER + 1;
constexpr UINT WM_SHOWPOPUP = WM_USER + 2;

// The seconds of a game, and the steps of the drop-in, with their periods.
constexpr UINT_PTR TIMER_CLOCK = 4649;
constexpr UINT_PTR TIMER_DROP = 808;
constexpr UINT kClockPeriodMs = 1000;
constexpr UINT kDropPeriodMs = 100;

class CPuzzleDlg : public CDialog {
 public:
  explicit CPuzzleDlg(CWnd* pParent = nullptr);
  ~CPuzzleDlg() override;

  // One entry of the command table: a command id and the handler it runs.
  struct CommandEntry {
    UINT nID;
    void (CPuzzleDlg::*pfnHandler)();
  };
  // Every command the main window answers besides the dialog's own IDOK and IDCANCEL.
  static std::span<const CommandEntry> CommandTable();

  // The header buttons, in the order they stand and in which the mouse tests them.
  enum Button { kButtonStart, kButtonAbout, kButtonColour, kButtonExit, kButtonCount };

  BOOL OnInitDialog() override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL OnCmdMsg(UINT nID) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  // --- Commands ---
  void OnStart();
  void OnAppAbout();
  void OnColorRed();
  void OnColorPurple();
  void OnColorYellow();
  void OnColorGreen();
  void OnColorCyan();
  void OnColorBlue();
  void OnColorBlack();
  void OnPattern3();
  void OnPattern7();
  void OnPattern11();
  void OnPattern15();
  void OnPattern19();
  void OnScreenSmall();
  void OnScreenMedium();
  void OnScreenLarge();
  void OnExit();
  void OnBoard16();
  void OnBoard25();
  void OnBoard36();
  void OnBoard49();
  void OnBoard64();
  void OnBoard100();

  // --- The game ---
  // One move of the player: a tile window hands over the number it shows, the hole's window 0.
  void OnTileClicked(int nNumber);
  void NewBoard();
  void CreateTiles();
  void DestroyTiles();
  void SetBoardSize(int nCells);

  // --- Geometry ---
  // The cell pitch with bPitch, the header button size without it, for the current screen size.
  int GetCellSize(BOOL bPitch) const;
  void GetFrameRect(RECT* pRect) const;
  void Layout();
  void SetScreenSize(int nSize);

  // --- Themes ---
  void RecolorTiles();
  void CycleTheme();
  void UpdateMenuChecks();

  // --- Motion ---
  void AnimateExit();

  // --- Painting ---
  void LoadButtonBitmaps();
  void DrawFrame(CDC* pDC);
  void DrawPattern(CDC* pDC, int nStep, COLORREF crTheme, COLORREF crLight);
  void DrawHeader(CDC* pDC);
  void DrawResultPanel(CDC* pDC);
  void DrawResultText(CDC* pDC);
  // The three lines of the result panel for a game of nSeconds and nMoves.
  static std::array<std::string, 3> ResultLines(int nSeconds, int nMoves);

  // The window's state. It is public, as the engine's is, so that tests of the whole program can read it;
  // only the window's own handlers change it.
  HICON m_hIcon = nullptr;
  // The board, its size, the move counter, the seconds and the solved flag.
  CPuzzleGame m_game;
  int m_nPatternStep = 0;
  int m_nLastColorPos = 0;
  int m_nLastPatternPos = 0;
  int m_nLastScreenPos = 0;
  int m_nLastBoardPos = 0;
  int m_nScreenSize = 0;
  int m_nFontHeight = 0;
  CDC m_dcMem;
  std::array<CBitmap, kButtonCount> m_bmButtons;
  std::array<RECT, kButtonCount> m_rcButtons{};
  CPoint m_ptDragAnchor;
  BOOL m_bPressed = FALSE;
  BOOL m_bDragArmed = FALSE;
  BOOL m_bDragging = FALSE;
  BOOL m_bDropIn = FALSE;
  // The drop-in's steps so far and the top the last one started from: a window manager that holds the
  // window where it stands ends the drop-in.
  int m_nDropSteps = 0;
  std::optional<int> m_nLastDropTop;
  COLORREF m_crTheme = 0;
  COLORREF m_crThemeLight = 0;
  CMenu m_menuPopup;
  // The tile window of cell i at index i, for the whole game.
  std::vector<std::unique_ptr<CTileWnd>> m_tiles;
  std::vector<RECT> m_tileRects;
  // The About box while it is open: "情報" brings it forward, and an exit ends it first.
  CDialog* m_pAboutDlg = nullptr;

 protected:
  void OnPaint() override;
  void OnDestroy() override;
  void OnTimer(UINT_PTR nIDEvent) override;
  void OnLButtonDown(UINT nFlags, CPoint point) override;
  void OnLButtonUp(UINT nFlags, CPoint point) override;
  void OnMouseMove(UINT nFlags, CPoint point) override;
  BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) override;
  void OnRButtonUp(UINT nFlags, CPoint point) override;
  HCURSOR OnQueryDragIcon() override;
  LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
  LRESULT OnShowPopup(WPARAM wParam, LPARAM lParam);

 private:
  // Start-up and release of what the shell provides: the tray icon and the popup menu.
  void AddTrayIcon();
  void RemoveTrayIcon();
  void ShareTrayMenu();
  void LoadPopupMenu();
  void CheckSettingsItem(int nSubMenu, int nItem, BOOL bCheck);

  void PlaceAtTopCentre();
  void SetRoundShape(int nWidth, int nHeight);
  void RunScreenSizeCommand(int nSize, int nFontHeight);
  void SetTheme(COLORREF crTheme, COLORREF crLight);
  void SetPatternStep(int nStep);
  void OnSolved();
  void OnClockTick();
  void DropInStep();
  // The header button whose rectangle holds the point, edges included, or kButtonCount for none.
  int ButtonAt(CPoint point) const;
  void RunButton(int nButton);
};
