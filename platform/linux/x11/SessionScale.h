// The session's scale factor: how many device pixels stand for one of the program's 96-DPI pixels.
#pragma once

#include <optional>
#include <string_view>

namespace platform {

// The largest scale we accept; beyond it a mistaken setting would ask for gigantic buffers.
inline constexpr int kMaxSessionScale = 8;

// GDK_SCALE's value when it is a whole number from 1 to kMaxSessionScale; nothing otherwise.
std::optional<int> ScaleFromGdkScale(std::string_view value);
// The scale that the last `Xft.dpi` line of a resource database string names: the DPI over 96, rounded to
// the nearest whole number with halves going down, at least 1 and at most kMaxSessionScale; nothing when no
// line holds a usable positive number. The last line wins, as a later definition does for xrdb.
std::optional<int> ScaleFromResources(std::string_view resourceManager);
// GDK_SCALE when usable (null when unset), else Xft.dpi from the resources, else 1.
int SessionScale(const char* gdkScale, std::string_view resourceManager);

}  // namespace platform
