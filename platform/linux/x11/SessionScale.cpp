// Works out the session's scale factor from GDK_SCALE or the resource database's Xft.dpi.
#include "platform/linux/x11/SessionScale.h"

#include <charconv>
#include <cmath>

namespace platform {
namespace {

constexpr std::string_view kBlanks = " \t\r";

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

// The whole text as one finite decimal number, or nothing.
std::optional<double> WholeNumber(std::string_view text) {
  double value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
  if (ec != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

// The value of an `Xft.dpi:` line, or nothing when the line defines something else.
std::optional<std::string_view> XftDpiValue(std::string_view line) {
  constexpr std::string_view kName = "Xft.dpi";
  line = Trimmed(line);
  if (!line.starts_with(kName)) return std::nullopt;
  std::string_view rest = Trimmed(line.substr(kName.size()));
  if (!rest.starts_with(':')) return std::nullopt;
  return Trimmed(rest.substr(1));
}

std::optional<int> ScaleFromDpi(double dpi) {
  if (!(dpi > 0)) return std::nullopt;
  // Halves round down: 144 DPI is still 1, only beyond it does 2 begin.
  const double scale = std::ceil(dpi / 96.0 - 0.5);
  if (scale < 1) return 1;
  if (scale > kMaxSessionScale) return kMaxSessionScale;
  return static_cast<int>(scale);
}

}  // namespace

std::optional<int> ScaleFromGdkScale(std::string_view value) {
  int scale = 0;
  const char* end = value.data() + value.size();
  auto [ptr, ec] = std::from_chars(value.data(), end, scale);
  if (ec != std::errc() || ptr != end || scale < 1 || scale > kMaxSessionScale) return std::nullopt;
  return scale;
}

std::optional<int> ScaleFromResources(std::string_view resourceManager) {
  std::optional<int> found;
  while (!resourceManager.empty()) {
    const std::size_t newline = resourceManager.find('\n');
    const std::string_view line = resourceManager.substr(0, newline);
    resourceManager =
        newline == std::string_view::npos ? std::string_view() : resourceManager.substr(newline + 1);
    const std::optional<std::string_view> value = XftDpiValue(line);
    if (!value) continue;
    const std::optional<double> dpi = WholeNumber(*value);
    if (!dpi) continue;
    if (std::optional<int> scale = ScaleFromDpi(*dpi)) found = scale;
  }
  return found;
}

int SessionScale(const char* gdkScale, std::string_view resourceManager) {
  if (gdkScale) {
    if (std::optional<int> scale = ScaleFromGdkScale(gdkScale)) return *scale;
  }
  return ScaleFromResources(resourceManager).value_or(1);
}

}  // namespace platform
