// A build tool, not part of the game: writes the program's resources as a resource script for windres, with
// the icon, cursor and bitmap files it names, from the same resource set and version record as the Linux
// build uses.
//
//   tilvane_windows_resources DIRECTORY EXECUTABLE MANIFEST SIZE...
//
// writes DIRECTORY/tilvane.rc and its pictures beside it. EXECUTABLE is the file name the version record
// gives, MANIFEST the application manifest the script names (a file in DIRECTORY), and each SIZE a square
// picture that every icon gains, enlarged from its art as the desktop's theme icons are.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/api/IconPictures.h"
#include "res/TilvaneResources.h"
#include "res/Version.h"
#include "res/windows/tool/ImageFiles.h"
#include "res/windows/tool/ResourceScript.h"

namespace {

std::vector<int> Sizes(int argc, char** argv, int first) {
  std::vector<int> sizes;
  for (int i = first; i < argc; ++i) {
    const int size = std::atoi(argv[i]);
    if (size <= 0 || size > 256 || std::to_string(size) != argv[i]) return {};
    sizes.push_back(size);
  }
  return sizes;
}

void Write(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out.flush()) throw std::runtime_error("cannot write " + file.string());
}

// The art's own pictures, then one enlarged to each size the art has no picture of.
std::vector<platform::PixelImage> WithSizes(const platform::IconResource& icon,
                                            const std::vector<int>& sizes) {
  std::vector<platform::PixelImage> pictures = icon.images;
  for (int size : sizes) {
    const platform::PixelImage* art =
        platform::PickIconPicture(icon.images, size, platform::IconFit::KeepPixels);
    if (!art) throw std::runtime_error("an icon has no picture");
    if (art->width != size) pictures.push_back(platform::ScaleIconNearest(*art, size));
  }
  return pictures;
}

void WriteResources(const std::filesystem::path& dir, tilvane::rc::ScriptFiles files,
                    const std::vector<int>& sizes) {
  const platform::ResourceSet& set = TilvaneResources();
  for (const auto& [id, icon] : set.icons) {
    files.icons[id] = "icon-" + std::to_string(id) + ".ico";
    Write(dir / files.icons[id], tilvane::rc::IconFile(WithSizes(icon, sizes)));
  }
  for (const auto& [id, cursor] : set.cursors) {
    files.cursors[id] = "cursor-" + std::to_string(id) + ".cur";
    Write(dir / files.cursors[id], tilvane::rc::CursorFile(cursor.image));
  }
  for (const auto& [id, bitmap] : set.bitmaps) {
    files.bitmaps[id] = "bitmap-" + std::to_string(id) + ".bmp";
    Write(dir / files.bitmaps[id], tilvane::rc::BitmapFile(bitmap));
  }
  Write(dir / "tilvane.rc", tilvane::rc::ResourceScript(set, tilvane::kVersion, files));
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<int> sizes = Sizes(argc, argv, 4);
  if (argc < 4 || (argc > 4 && sizes.empty())) {
    std::fprintf(stderr, "usage: tilvane_windows_resources DIRECTORY EXECUTABLE MANIFEST SIZE...\n");
    return 2;
  }
  tilvane::rc::ScriptFiles files;
  files.executable = argv[2];
  files.manifest = argv[3];
  try {
    std::filesystem::create_directories(argv[1]);
    WriteResources(argv[1], files, sizes);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "tilvane_windows_resources: %s\n", error.what());
    return 1;
  }
  return 0;
}
