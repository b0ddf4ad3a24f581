// Resources as data: pictures, icons, cursors, menus, dialog templates and strings, addressed by numeric id.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/api/Types.h"

namespace platform {

// A 32-bit picture with straight alpha, 0xAARRGGBB per pixel, row by row; also a cursor's hot spot.
struct PixelImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;
  POINT hotspot{};
};

// An opaque picture: 0x00RRGGBB per pixel, row by row.
struct BitmapResource {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> rgb;
};

// One icon in several sizes (each with its mask folded into alpha).
struct IconResource {
  std::vector<PixelImage> images;
};

struct CursorResource {
  PixelImage image;  // with its hot spot
};

struct MenuItemResource {
  std::string caption;  // UTF-8; empty for a separator
  UINT id = 0;          // command id of a command item
  bool separator = false;
  std::vector<MenuItemResource> submenu;  // non-empty for a popup item
  bool IsPopup() const { return !submenu.empty(); }
};

struct MenuResource {
  std::vector<MenuItemResource> items;
};

enum class ControlClass { Button, Static };

struct DialogControlResource {
  ControlClass cls = ControlClass::Static;
  int id = -1;
  DWORD style = 0;
  RECT dlu{};        // x, y, x + cx, y + cy in dialog units
  std::string text;  // caption text, UTF-8
  UINT iconId = 0;   // for SS_ICON statics
};

struct DialogResource {
  DWORD style = 0;
  RECT dlu{};  // position and size in dialog units
  std::string title;
  int fontPoints = 9;
  std::string fontFace;
  std::vector<DialogControlResource> controls;
};

// Everything one program (or one test) can load by id.
struct ResourceSet {
  std::map<UINT, BitmapResource> bitmaps;
  std::map<UINT, IconResource> icons;
  std::map<UINT, CursorResource> cursors;
  std::map<UINT, MenuResource> menus;
  std::map<UINT, DialogResource> dialogs;
  std::map<UINT, std::string> strings;
};

// Pixel art kept readable in source: one character a pixel, each character a colour of the palette.
// Alpha 0 in a palette entry marks transparent pixels (for icons and cursors).
struct PaletteEntry {
  char key;
  std::uint32_t argb;
};
// The resource set that Load* calls of this thread consult (set by the application or by a test).
const ResourceSet* CurrentResources();
void SetCurrentResources(const ResourceSet* resources);

PixelImage PixelArt(const std::vector<PaletteEntry>& palette, const std::vector<std::string>& rows);
BitmapResource PixelArtBitmap(const std::vector<PaletteEntry>& palette, const std::vector<std::string>& rows);

}  // namespace platform
