// The puzzle engine: the board, the slide rule, the shuffle, the test for order and the game counters.
#include "engine/PuzzleGame.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <iterator>

namespace {
constexpr std::array<int, 6> kBoardSizes = {16, 25, 36, 49, 64, 100};

// Marks "no such cell" for the helpers that look for one.
constexpr int kNoCell = -1;

// A draw r of the generator picks direction r / kDrawsPerDirection: 0 left,
// 1 right, 2 up, 3 down. The few draws that give 4 are void, which is why the
// walk counts its successful slides rather than its draws.
constexpr int kDrawsPerDirection = 8191;
enum Direction {
  kHoleLeft,
  kHoleRight,
  kHoleUp,
  kHoleDown,
  kVoidDraw,
};
}  // namespace

int CPuzzleGame::SideForCells(int nCells) {
  // The side grows from 2 until it reaches the quotient nCells / side. The
  // quotient only falls as the side grows, so the search stops at the first
  // side that is not below it; that bounds the loop by the square root of
  // nCells and keeps it finite for every int, zero and negatives included.
  int nSide = 2;
  while (nSide < nCells / nSide) ++nSide;

  // Stopping on the quotient alone would accept counts such as 17 (side 4),
  // which no square board has; the remainder test refuses them.
  const bool bSquare = nCells / nSide == nSide && nCells % nSide == 0;
  return bSquare ? nSide : kNoSide;
}

bool CPuzzleGame::IsBoardSize(int nCells) {
  return std::find(kBoardSizes.begin(), kBoardSizes.end(), nCells) != kBoardSizes.end();
}

bool CPuzzleGame::SetBoardSize(int nCells) {
  if (!IsBoardSize(nCells)) return false;
  m_nSide = SideForCells(nCells);
  m_nCells = nCells;
  m_board.clear();
  return true;
}

int CPuzzleGame::Shuffle(uint32_t nTickCount) {
  ResetToOrder();
  if (!HasBoard()) return 0;

  m_random.srand(nTickCount);
  const int nSteps = m_nCells * m_nCells / 2;
  int nSlides = 0;
  int nDraws = 0;
  while (nSlides < nSteps) {
    ++nDraws;
    const int nDirection = m_random.rand() / kDrawsPerDirection;
    if (nDirection != kVoidDraw && TrySlide(WalkCandidate(nDirection), false)) ++nSlides;
  }
  return nDraws;
}

bool CPuzzleGame::TrySlide(int nCell, bool bUpdateTiles) {
  if (!HasBoard() || nCell < 0 || nCell >= m_nCells) return false;
  const int nTarget = HoleNeighbour(nCell);
  if (nTarget == kNoCell) return false;
  MoveInto(nTarget, nCell, bUpdateTiles);
  m_nHole = nCell;
  return true;
}

CPuzzleGame::MoveResult CPuzzleGame::PlayerMove(int nNumber) {
  if (m_bSolved) return MoveResult::Refused;
  const int nCell = FindNumber(nNumber);
  if (nCell == kNoCell || !TrySlide(nCell, true)) return MoveResult::Refused;

  ++m_nMoves;
  if (!IsInOrder()) return MoveResult::Moved;
  m_bSolved = true;
  return MoveResult::Solved;
}

bool CPuzzleGame::IsInOrder() const {
  if (!HasBoard()) return false;
  for (int j = 1; j < m_nCells; ++j) {
    if (m_board[j - 1] != j) return false;
  }
  return m_board[m_nCells - 1] == 0;
}

void CPuzzleGame::ResetCounters() {
  m_bSolved = false;
  m_nMoves = 0;
  m_nSeconds = 0;
}

void CPuzzleGame::CountSecond() {
  ++m_nSeconds;
}

// The members are public so that the window layer can read them; this check
// keeps the engine from indexing past the board or dividing by a zero side
// whatever they hold, for example before the first shuffle.
bool CPuzzleGame::HasBoard() const {
  return m_nSide > 0 && m_nCells > 0 && m_board.size() == static_cast<std::size_t>(m_nCells);
}

bool CPuzzleGame::HasBoardSize() const {
  return IsBoardSize(m_nCells) && SideForCells(m_nCells) == m_nSide;
}

bool CPuzzleGame::HoldsHole(int nCell) const {
  return nCell >= 0 && nCell < m_nCells && m_board[nCell] == 0;
}

// Looks left, right, up and down, in that order. A hole found left or right
// but on another row means the hole is not next to nCell at all, and since
// there is only one hole the other directions need not be looked at.
int CPuzzleGame::HoleNeighbour(int nCell) const {
  if (HoldsHole(nCell - 1)) return nCell % m_nSide == 0 ? kNoCell : nCell - 1;
  if (HoldsHole(nCell + 1)) return (nCell + 1) % m_nSide == 0 ? kNoCell : nCell + 1;
  if (HoldsHole(nCell - m_nSide)) return nCell - m_nSide;
  if (HoldsHole(nCell + m_nSide)) return nCell + m_nSide;
  return kNoCell;
}

// The target takes the number before the source is cleared, and each change
// is reported as it happens, so a listener never sees a tile vanish first.
void CPuzzleGame::MoveInto(int nTarget, int nCell, bool bUpdateTiles) {
  m_board[nTarget] = m_board[nCell];
  if (bUpdateTiles) ReportNumber(nTarget);
  m_board[nCell] = 0;
  if (bUpdateTiles) ReportNumber(nCell);
}

void CPuzzleGame::ReportNumber(int nCell) const {
  if (m_onTileNumber) m_onTileNumber(nCell, m_board[nCell]);
}

// An invalid size leaves the board empty, so that every later move is refused
// instead of working on a board that does not fit its side.
void CPuzzleGame::ResetToOrder() {
  m_board.clear();
  if (!HasBoardSize()) return;
  m_board.reserve(static_cast<std::size_t>(m_nCells));
  for (int nNumber = 1; nNumber < m_nCells; ++nNumber) m_board.push_back(nNumber);
  m_board.push_back(0);
  m_nHole = m_nCells - 1;
}

// The cell whose tile would slide into the hole, so that the hole moves in
// the given direction. A candidate off the board or across a row's edge is
// left for TrySlide to refuse, which keeps one rule for both callers.
int CPuzzleGame::WalkCandidate(int nDirection) const {
  switch (nDirection) {
    case kHoleLeft: return m_nHole - 1;
    case kHoleRight: return m_nHole + 1;
    case kHoleUp: return m_nHole - m_nSide;
    case kHoleDown:
    default: return m_nHole + m_nSide;
  }
}

int CPuzzleGame::FindNumber(int nNumber) const {
  const auto it = std::find(m_board.begin(), m_board.end(), nNumber);
  return it == m_board.end() ? kNoCell : static_cast<int>(std::distance(m_board.begin(), it));
}
