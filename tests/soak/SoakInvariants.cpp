// What must hold whenever the program waits for input, whatever input came before.
#include "SoakInvariants.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace soak {

namespace {

// The deepest nesting the program can reach: the main window's run, the About box, and the tray icon's menu
// over it.
constexpr int kMaxModalDepth = 3;

using Problem = std::optional<std::string>;

std::string Format(const char* format, int a, int b = 0, int c = 0) {
  char text[160];
  std::snprintf(text, sizeof text, format, a, b, c);
  return text;
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The board is a permutation of 0 .. cells - 1 with the hole where the engine says.
Problem CheckBoard(const CPuzzleGame& game) {
  if (game.m_nSide * game.m_nSide != game.m_nCells)
    return Format("side %d does not make %d cells", game.m_nSide, game.m_nCells);
  if (static_cast<int>(game.m_board.size()) != game.m_nCells)
    return Format("the board has %d entries for %d cells", static_cast<int>(game.m_board.size()),
                  game.m_nCells);
  std::vector<bool> seen(game.m_board.size(), false);
  for (int number : game.m_board) {
    if (number < 0 || number >= game.m_nCells || seen[static_cast<std::size_t>(number)])
      return Format("the board is no permutation: %d is out of range or twice", number);
    seen[static_cast<std::size_t>(number)] = true;
  }
  if (game.m_nHole < 0 || game.m_nHole >= game.m_nCells ||
      game.m_board[static_cast<std::size_t>(game.m_nHole)])
    return Format("the hole is said to be in cell %d, which holds no hole", game.m_nHole);
  return std::nullopt;
}

// One tile window per cell, at its cell's rectangle, showing the cell's number, hidden once solved.
Problem CheckTiles(CPuzzleDlg& dlg, platform::CWindowSystem& system) {
  const CPuzzleGame& game = dlg.m_game;
  if (static_cast<int>(dlg.m_tiles.size()) != game.m_nCells || dlg.m_tileRects.size() != dlg.m_tiles.size())
    return Format("%d tile windows and %d cell rectangles for %d cells", static_cast<int>(dlg.m_tiles.size()),
                  static_cast<int>(dlg.m_tileRects.size()), game.m_nCells);
  RECT window;
  dlg.GetWindowRect(&window);
  for (std::size_t i = 0; i < dlg.m_tiles.size(); ++i) {
    const CTileWnd& tile = *dlg.m_tiles[i];
    const int cell = static_cast<int>(i);
    if (!system.IsWindow(tile.m_hWnd) || system.GetParent(tile.m_hWnd) != dlg.m_hWnd)
      return Format("the tile window of cell %d is gone or not the main window's child", cell);
    RECT rc = system.GetWindowRect(tile.m_hWnd);
    const RECT inClient{rc.left - window.left, rc.top - window.top, rc.right - window.left,
                        rc.bottom - window.top};
    if (!SameRect(inClient, dlg.m_tileRects[i]))
      return Format("the tile window of cell %d is off its cell", cell);
    if (tile.m_nNumber != game.m_board[i])
      return Format("the tile window of cell %d shows %d, the board holds %d", cell, tile.m_nNumber,
                    game.m_board[i]);
    const bool visible = (system.GetStyle(tile.m_hWnd) & WS_VISIBLE) != 0;
    if (visible == game.m_bSolved)
      return Format("the tile window of cell %d is", cell) +
             (visible ? " shown on a solved board" : " hidden during a game");
  }
  return std::nullopt;
}

// Within one game the moves and the seconds never go back.
Problem CheckCounters(const CPuzzleDlg& dlg, GameMemory& memory) {
  const CPuzzleGame& game = dlg.m_game;
  const HWND current = dlg.m_tiles.empty() ? nullptr : dlg.m_tiles.front()->m_hWnd;
  if (current == memory.game) {
    if (game.m_nMoves < memory.moves)
      return Format("the moves went back from %d to %d", memory.moves, game.m_nMoves);
    if (game.m_nSeconds < memory.seconds)
      return Format("the seconds went back from %d to %d", memory.seconds, game.m_nSeconds);
  }
  memory = GameMemory{current, game.m_nMoves, game.m_nSeconds};
  return std::nullopt;
}

// The window has the size its board and cell pitch give it, and the screen shows it where the program
// put it.
Problem CheckGeometry(CPuzzleDlg& dlg, platform::CWindowSystem& system,
                      const platform::CHeadlessBackend& backend) {
  RECT frame;
  dlg.GetFrameRect(&frame);
  RECT window;
  dlg.GetWindowRect(&window);
  if (window.right - window.left != frame.right || window.bottom - window.top != frame.bottom)
    return Format("the window is %d x %d, its board wants %d", static_cast<int>(window.right - window.left),
                  static_cast<int>(window.bottom - window.top), static_cast<int>(frame.right)) +
           " x " + std::to_string(frame.bottom);
  const auto* surface = backend.Find(system.SurfaceOf(dlg.m_hWnd));
  if (!surface || !surface->visible) return std::string("the main window is not on the screen");
  if (!SameRect(surface->rect, window)) return std::string("the screen shows the main window elsewhere");
  return std::nullopt;
}

// With only the main window's own run going, the menu and the About box have left nothing behind: no other
// window, no grab, no timer but the main window's two, and the main window takes input again.
Problem CheckNothingLeftBehind(CPuzzleDlg& dlg, platform::CWindowSystem& system,
                               const platform::CHeadlessBackend& backend) {
  const int depth = system.ModalDepth();
  if (depth < 1 || depth > kMaxModalDepth) return Format("%d modal loops run", depth);
  if (backend.TrayIcons().size() != 1)
    return Format("%d tray icons while the program runs", static_cast<int>(backend.TrayIcons().size()));
  if (depth > 1) return std::nullopt;
  const CWnd* frame = AfxGetMainWnd();
  for (HWND top : system.TopLevels()) {
    if (top != dlg.m_hWnd && !(frame && top == frame->m_hWnd))
      return std::string("a window \"") + system.GetText(top) + "\" is left behind";
    for (UINT_PTR id : system.TimersOf(top)) {
      if (top != dlg.m_hWnd || (id != TIMER_CLOCK && id != TIMER_DROP))
        return Format("timer %d is left behind", static_cast<int>(id));
    }
  }
  const auto surfaces = backend.VisibleSurfaces();
  if (surfaces.size() != 1) return Format("%d windows on the screen", static_cast<int>(surfaces.size()));
  if (surfaces.front()->grabbed) return std::string("the input is still grabbed");
  if (!dlg.IsWindowEnabled()) return std::string("the main window stays disabled");
  return std::nullopt;
}

}  // namespace

std::optional<std::string> CheckInvariants(CPuzzleDlg& dlg, platform::CWindowSystem& system,
                                           const platform::CHeadlessBackend& backend, GameMemory& memory) {
  if (auto problem = CheckBoard(dlg.m_game)) return problem;
  if (auto problem = CheckTiles(dlg, system)) return problem;
  if (auto problem = CheckCounters(dlg, memory)) return problem;
  if (auto problem = CheckGeometry(dlg, system, backend)) return problem;
  return CheckNothingLeftBehind(dlg, system, backend);
}

}  // namespace soak
