// Draws the scenes with real fixed-function GL and writes them as PPM files
// into the directory given: the reference the layer's pictures are held to.
#include <cstdio>
#include <filesystem>
#include <string>

#include "scene_pictures.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s output-directory\n", argv[0]);
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  std::filesystem::create_directories(dir);
  std::string error;
  const std::vector<Picture> pictures = DrawScenes(&error);
  if (pictures.empty()) {
    std::fprintf(stderr, "no GL context: %s\n", error.c_str());
    return 1;
  }
  for (const Picture& p : pictures) {
    const std::string path = (dir / (p.name + ".ppm")).string();
    if (!WritePpm(path, p)) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
    std::printf("%s\n", path.c_str());
  }
  ReleaseScenes();
  return 0;
}
