// CPuzzleDlg's colour themes and background pattern: the menu commands, the recolouring and the cycle.
#include "ui/PuzzleDlg.h"

namespace {

// Each theme colour has components of 0 and 255 only; its light companion has every 0 raised to 150.
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kPurple = RGB(255, 0, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kCyan = RGB(0, 255, 255);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

constexpr COLORREF Light(COLORREF crTheme) {
  auto raise = [](int component) { return component == 0 ? 150 : component; };
  return RGB(raise(GetRValue(crTheme)), raise(GetGValue(crTheme)), raise(GetBValue(crTheme)));
}

// The step after the largest wraps round to the smallest.
constexpr int kLargestStep = 19;
constexpr int kSmallestStep = 3;
constexpr int kStepIncrement = 4;

}  // namespace

void CPuzzleDlg::SetTheme(COLORREF crTheme, COLORREF crLight) {
  m_crTheme = crTheme;
  m_crThemeLight = crLight;
  UpdateMenuChecks();
  RecolorTiles();
  InvalidateRect(nullptr, TRUE);
}

void CPuzzleDlg::OnColorRed() {
  SetTheme(kRed, Light(kRed));
}
void CPuzzleDlg::OnColorPurple() {
  SetTheme(kPurple, Light(kPurple));
}
void CPuzzleDlg::OnColorYellow() {
  SetTheme(kYellow, Light(kYellow));
}
void CPuzzleDlg::OnColorGreen() {
  SetTheme(kGreen, Light(kGreen));
}
void CPuzzleDlg::OnColorCyan() {
  SetTheme(kCyan, Light(kCyan));
}
void CPuzzleDlg::OnColorBlue() {
  SetTheme(kBlue, Light(kBlue));
}
void CPuzzleDlg::OnColorBlack() {
  SetTheme(kBlack, Light(kBlack));
}

// The tile windows are not touched: the pattern lies behind them.
void CPuzzleDlg::SetPatternStep(int nStep) {
  m_nPatternStep = nStep;
  UpdateMenuChecks();
  InvalidateRect(nullptr, TRUE);
}

void CPuzzleDlg::OnPattern3() {
  SetPatternStep(3);
}
void CPuzzleDlg::OnPattern7() {
  SetPatternStep(7);
}
void CPuzzleDlg::OnPattern11() {
  SetPatternStep(11);
}
void CPuzzleDlg::OnPattern15() {
  SetPatternStep(15);
}
void CPuzzleDlg::OnPattern19() {
  SetPatternStep(19);
}

// Hidden tiles of a solved game take the colours too, unseen.
void CPuzzleDlg::RecolorTiles() {
  for (const std::unique_ptr<CTileWnd>& tile : m_tiles) tile->SetColors(m_crTheme, m_crThemeLight);
}

// The cycle follows the order of the colour menu. Only its wrap from black to red moves the pattern on, so
// a full round of the seven themes also steps through the five patterns.
void CPuzzleDlg::CycleTheme() {
  switch (m_crTheme) {
    case kRed: OnColorPurple(); break;
    case kPurple: OnColorYellow(); break;
    case kYellow: OnColorGreen(); break;
    case kGreen: OnColorCyan(); break;
    case kCyan: OnColorBlue(); break;
    case kBlue: OnColorBlack(); break;
    case kBlack:
      OnColorRed();
      m_nPatternStep = m_nPatternStep >= kLargestStep ? kSmallestStep : m_nPatternStep + kStepIncrement;
      break;
    default: OnColorRed(); break;
  }
  UpdateMenuChecks();
  InvalidateRect(nullptr, TRUE);
}
