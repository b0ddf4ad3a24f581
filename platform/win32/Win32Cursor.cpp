// Icons and cursors on Windows: the module's own resources, loaded by the system, which keeps them for the
// life of the process.
#include <map>

#include "platform/api/Cursor.h"
#include "platform/win32/Win32Icons.h"

namespace {

// The icons LoadIcon handed out, by handle, with their ids: a window's small icon and the tray icon ask the
// module again for the icon's own small picture instead of shrinking the large one.
std::map<HICON, UINT>& LoadedIcons() {
  static std::map<HICON, UINT> icons;
  return icons;
}

}  // namespace

HCURSOR LoadCursor(UINT id) {
  return LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
}

// The picture of the system's icon size, 32 pixels at 96 DPI.
HICON LoadIcon(UINT id) {
  HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
  if (icon) LoadedIcons()[icon] = id;
  return icon;
}

HCURSOR IconAsCursor(HICON icon) {
  return icon;
}

namespace platform {

HICON SmallIconOf(HICON icon) {
  const auto found = LoadedIcons().find(icon);
  if (found == LoadedIcons().end()) return icon;
  HANDLE small = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(found->second), IMAGE_ICON,
                            GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED);
  return small ? static_cast<HICON>(small) : icon;
}

}  // namespace platform
