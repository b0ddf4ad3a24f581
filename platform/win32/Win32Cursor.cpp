// Icons and cursors on Windows: made once from the program's pixel art with CreateIconIndirect.
#include <map>
#include <vector>

#include "platform/api/Cursor.h"

namespace {

// An icon or cursor from a picture with straight alpha; the mask is left clear, the alpha decides.
HICON MakeIcon(const platform::PixelImage& image, bool isIcon) {
  if (image.width <= 0 || image.height <= 0) return nullptr;
  BITMAPV5HEADER header{};
  header.bV5Size = sizeof header;
  header.bV5Width = image.width;
  header.bV5Height = -image.height;
  header.bV5Planes = 1;
  header.bV5BitCount = 32;
  header.bV5Compression = BI_BITFIELDS;
  header.bV5RedMask = 0x00FF0000;
  header.bV5GreenMask = 0x0000FF00;
  header.bV5BlueMask = 0x000000FF;
  header.bV5AlphaMask = 0xFF000000;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP color =
      CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  if (!color || !bits) return nullptr;
  auto* pixels = static_cast<std::uint32_t*>(bits);
  for (std::size_t i = 0; i < image.argb.size(); ++i) pixels[i] = image.argb[i];
  std::vector<unsigned char> clear(static_cast<std::size_t>((image.width + 15) / 16 * 2 * image.height), 0);
  HBITMAP mask = CreateBitmap(image.width, image.height, 1, 1, clear.data());
  ICONINFO info{};
  info.fIcon = isIcon ? TRUE : FALSE;
  info.xHotspot = static_cast<DWORD>(image.hotspot.x);
  info.yHotspot = static_cast<DWORD>(image.hotspot.y);
  info.hbmMask = mask;
  info.hbmColor = color;
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(color);
  DeleteObject(mask);
  return icon;
}

// The 32 x 32 picture a window and the desktop show, or the largest there is.
const platform::PixelImage* IconPicture(const platform::IconResource& icon) {
  const platform::PixelImage* best = nullptr;
  for (const platform::PixelImage& image : icon.images) {
    if (image.width == 32) return &image;
    if (!best || image.width > best->width) best = &image;
  }
  return best;
}

}  // namespace

// Made once per id and kept for the life of the process, as the system keeps resources it loads.
HCURSOR LoadCursor(UINT id) {
  static std::map<UINT, HCURSOR> made;
  const platform::ResourceSet* resources = platform::CurrentResources();
  if (!resources) return nullptr;
  auto it = resources->cursors.find(id);
  if (it == resources->cursors.end()) return nullptr;
  HCURSOR& cursor = made[id];
  if (!cursor) cursor = MakeIcon(it->second.image, false);
  return cursor;
}

HICON LoadIcon(UINT id) {
  static std::map<UINT, HICON> made;
  const platform::ResourceSet* resources = platform::CurrentResources();
  if (!resources) return nullptr;
  auto it = resources->icons.find(id);
  if (it == resources->icons.end()) return nullptr;
  HICON& icon = made[id];
  const platform::PixelImage* picture = IconPicture(it->second);
  if (!icon && picture) icon = MakeIcon(*picture, true);
  return icon;
}

HCURSOR IconAsCursor(HICON icon) {
  return icon;
}
