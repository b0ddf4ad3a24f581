// Icons and cursors loaded from the program's resources, and the current cursor.
#include "platform/api/Cursor.h"

#include "platform/linux/WindowSystem.h"

HCURSOR LoadCursor(UINT id) {
  const platform::ResourceSet* resources = platform::CurrentResources();
  if (!resources) return nullptr;
  auto it = resources->cursors.find(id);
  return it == resources->cursors.end() ? nullptr : &it->second.image;
}

HICON LoadIcon(UINT id) {
  const platform::ResourceSet* resources = platform::CurrentResources();
  if (!resources) return nullptr;
  auto it = resources->icons.find(id);
  return it == resources->icons.end() ? nullptr : &it->second;
}

HCURSOR SetCursor(HCURSOR cursor) {
  platform::CWindowSystem* system = platform::CWindowSystem::Current();
  if (!system) return nullptr;
  HCURSOR previous = system->CurrentCursor();
  system->SetCursor(cursor);
  return previous;
}

HCURSOR IconAsCursor(HICON icon) {
  if (!icon || icon->images.empty()) return nullptr;
  return &icon->images.front();
}
