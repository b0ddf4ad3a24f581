// The classic desktop's colours, shared by dialogs, their controls and popup menus.
#pragma once

#include "platform/api/Types.h"

namespace platform::syscolor {
inline constexpr COLORREF kFace = RGB(212, 208, 200);
inline constexpr COLORREF kLight = RGB(255, 255, 255);
inline constexpr COLORREF kShadow = RGB(128, 128, 128);
inline constexpr COLORREF kDarkShadow = RGB(64, 64, 64);
inline constexpr COLORREF kFrame = RGB(0, 0, 0);
inline constexpr COLORREF kText = RGB(0, 0, 0);
inline constexpr COLORREF kHighlight = RGB(10, 36, 106);
inline constexpr COLORREF kHighlightText = RGB(255, 255, 255);
}  // namespace platform::syscolor
