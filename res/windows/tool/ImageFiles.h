// The picture files a resource script names: icons (.ico), cursors (.cur) and bitmaps (.bmp), as bytes.
#pragma once

#include <string>
#include <vector>

#include "platform/api/Resources.h"

namespace tilvane::rc {

// Each picture with 16 colours and a transparency mask; throws std::invalid_argument for a picture with
// more colours, or with pixels neither opaque nor wholly transparent.
std::string IconFile(const std::vector<platform::PixelImage>& pictures);
// One picture in the same form, with its hot spot.
std::string CursorFile(const platform::PixelImage& picture);
// 8 bits a pixel with a palette of 256 entries; throws std::invalid_argument for more colours.
std::string BitmapFile(const platform::BitmapResource& bitmap);

}  // namespace tilvane::rc
