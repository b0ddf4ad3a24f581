// The size table of CPuzzleDlg: for each screen size, the cell pitch, the header button size and the number
// font.
#pragma once

namespace tilvane {

// One row per screen size.
struct ScreenSizeRow {
  int nPitch;
  int nButton;
  int nFontHeight;
};
constexpr ScreenSizeRow kSmall{35, 27, 18};
constexpr ScreenSizeRow kMedium{52, 40, 26};
constexpr ScreenSizeRow kLarge{70, 54, 36};

// Every other value stands for the small size, so no index can fall outside the table.
constexpr ScreenSizeRow SizeRow(int nScreenSize) {
  switch (nScreenSize) {
    case 1: return kMedium;
    case 2: return kLarge;
    default: return kSmall;
  }
}

}  // namespace tilvane
