// The numeric ids by which the program addresses its resources and the commands of its popup menu.
#pragma once

#include "platform/api/Types.h"

// Dialog templates: the About box and the main window.
constexpr UINT IDD_ABOUTBOX = 100;
constexpr UINT IDD_PUZZLE_DIALOG = 102;

// The icon of the window, the tray and the About box; the tray icon's own id is the same number.
constexpr UINT IDR_MAINFRAME = 102;

// The tip of the tray icon. No string carries this id, so the tip stays empty.
constexpr UINT IDS_TRAY_TIP = 102;

// The four header pictures, in the order the buttons stand: Start, About, Colour cycle, Exit.
constexpr UINT IDB_START = 149;
constexpr UINT IDB_ABOUT = 147;
constexpr UINT IDB_COLOR = 150;
constexpr UINT IDB_EXIT = 148;

// The hand cursors: the grip while the window is dragged, the pointing hand otherwise.
constexpr UINT IDC_GRIP = 162;
constexpr UINT IDC_POINTER = 163;

// The popup menu.
constexpr UINT IDR_POPUP = 181;

// Commands of the popup menu and the header buttons.
constexpr UINT ID_START = 0x8003;
constexpr UINT ID_INFO = 0x8004;
constexpr UINT ID_COLOR_RED = 0x8006;
constexpr UINT ID_COLOR_YELLOW = 0x8008;
constexpr UINT ID_COLOR_GREEN = 0x8009;
constexpr UINT ID_COLOR_CYAN = 0x800A;
constexpr UINT ID_COLOR_BLUE = 0x800B;
constexpr UINT ID_COLOR_BLACK = 0x800C;
constexpr UINT ID_PATTERN_3 = 0x800D;
constexpr UINT ID_PATTERN_7 = 0x800E;
constexpr UINT ID_PATTERN_11 = 0x800F;
constexpr UINT ID_PATTERN_15 = 0x8010;
constexpr UINT ID_PATTERN_19 = 0x8011;
constexpr UINT ID_COLOR_PURPLE = 0x8012;
constexpr UINT ID_SCREEN_SMALL = 0x8013;
constexpr UINT ID_SCREEN_MEDIUM = 0x8014;
constexpr UINT ID_SCREEN_LARGE = 0x8015;
constexpr UINT ID_EXIT = 0x8016;
constexpr UINT ID_BOARD_16 = 0x8017;
constexpr UINT ID_BOARD_25 = 0x8018;
constexpr UINT ID_BOARD_36 = 0x8019;
constexpr UINT ID_BOARD_49 = 0x801A;
constexpr UINT ID_BOARD_64 = 0x801B;
constexpr UINT ID_BOARD_100 = 0x801C;
