// A build tool, not part of the game: writes the program's icon as PNG files laid out like the hicolor icon
// theme.
//
//   tilvane_theme_icons DIRECTORY NAME SIZE...   writes DIRECTORY/<SIZE>x<SIZE>/apps/NAME.png for each SIZE
#include <cairo.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/api/IconPictures.h"
#include "res/ResourceArt.h"

namespace {

// cairo keeps premultiplied alpha in native-endian 32-bit words; the art has straight alpha.
std::uint32_t Premultiplied(std::uint32_t argb) {
  const std::uint32_t alpha = argb >> 24;
  auto channel = [alpha](std::uint32_t value) { return (value * alpha + 127) / 255; };
  return (alpha << 24) | (channel((argb >> 16) & 0xFF) << 16) | (channel((argb >> 8) & 0xFF) << 8) |
         channel(argb & 0xFF);
}

bool WritePng(const platform::PixelImage& image, const std::string& path) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.width, image.height);
  bool ok = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
  if (ok) {
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < image.height; ++y) {
      auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
      for (int x = 0; x < image.width; ++x)
        row[x] =
            Premultiplied(image.argb[static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) +
                                     static_cast<std::size_t>(x)]);
    }
    cairo_surface_mark_dirty(surface);
    ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
  }
  cairo_surface_destroy(surface);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes;
  for (int i = 3; i < argc; ++i) {
    const int size = std::atoi(argv[i]);
    if (size <= 0 || size > 1024 || std::to_string(size) != argv[i]) {
      sizes.clear();
      break;
    }
    sizes.push_back(size);
  }
  if (argc < 4 || sizes.empty()) {
    std::fprintf(stderr, "usage: tilvane_theme_icons DIRECTORY NAME SIZE...\n");
    return 2;
  }
  const std::filesystem::path root = argv[1];
  const std::string name = argv[2];
  const platform::IconResource icon = tilvane::art::MainIcon();
  for (int size : sizes) {
    const platform::PixelImage* art =
        platform::PickIconPicture(icon.images, size, platform::IconFit::KeepPixels);
    if (!art) {
      std::fprintf(stderr, "tilvane_theme_icons: the icon has no picture\n");
      return 1;
    }
    const std::string side = std::to_string(size);
    const std::filesystem::path dir = root / (side + "x" + side) / "apps";
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    const std::filesystem::path file = dir / (name + ".png");
    if (error || !WritePng(platform::ScaleIconNearest(*art, size), file.string())) {
      std::fprintf(stderr, "tilvane_theme_icons: cannot write %s\n", file.c_str());
      return 1;
    }
  }
  return 0;
}
