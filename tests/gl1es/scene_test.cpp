// The program's scenes drawn through the GL 1.x layer over ES 3, held to the
// same scenes drawn with real fixed-function GL (written beforehand by
// gl1es_reference_scenes into the pictures directory's "gl" folder; the
// layer's go to its "es" folder).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <string>

#include "read_past_layer.h"
#include "scene_pictures.h"

namespace {

const std::filesystem::path kPictures = VELTRA_GL1ES_PICTURES;

struct Scenes {
  std::vector<Picture> pictures;
  std::string error;
};

const Scenes& LayerScenes() {
  static const Scenes scenes = [] {
    Scenes s;
    s.pictures = DrawScenes(&s.error);
    std::filesystem::create_directories(kPictures / "es");
    for (const Picture& p : s.pictures) WritePpm((kPictures / "es" / (p.name + ".ppm")).string(), p);
    return s;
  }();
  return scenes;
}

class ReleaseAtEnd : public ::testing::Environment {
public:
  void TearDown() override {
    if (!LayerScenes().pictures.empty()) ReleaseScenes();
  }
};
::testing::Environment* const gRelease = ::testing::AddGlobalTestEnvironment(new ReleaseAtEnd);

using Rgb = std::function<bool(int r, int g, int b)>;

double Share(const Picture& p, const Rgb& kind) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < p.rgb.size(); i += 3) n += kind(p.rgb[i], p.rgb[i + 1], p.rgb[i + 2]) ? 1 : 0;
  return static_cast<double>(n) / static_cast<double>(p.rgb.size() / 3);
}

// Lit surfaces: one strong channel over the 0.2 ambient green of the dark parts.
bool Red(int r, int g, int b) { return r >= 100 && g <= 80 && b <= 30; }
bool Green(int r, int g, int b) { return g >= 100 && r <= 30 && b <= 30; }
bool Blue(int r, int g, int b) { return b >= 100 && r <= 30 && g <= 80; }

// Holds the layer's picture of one scene to the fixed-function one: at least
// 99.5 % of the pixels within 2/255 in every channel. Both must show at least
// `least` of pixels of the given kind, so neither is an empty window.
void ExpectLikeFixedFunction(const std::string& name, const Rgb& kind, double least) {
  const Scenes& scenes = LayerScenes();
  ASSERT_FALSE(scenes.pictures.empty()) << scenes.error;
  const auto layer = std::find_if(scenes.pictures.begin(), scenes.pictures.end(),
                                  [&name](const Picture& p) { return p.name == name; });
  ASSERT_NE(layer, scenes.pictures.end());
  Picture reference;
  const std::filesystem::path path = kPictures / "gl" / (name + ".ppm");
  ASSERT_TRUE(ReadPpm(path.string(), reference)) << path << " missing: gl1es_reference_scenes writes it";
  ASSERT_EQ(reference.width, layer->width);
  ASSERT_EQ(reference.height, layer->height);

  std::size_t within = 0;
  int largest = 0;
  for (std::size_t i = 0; i < reference.rgb.size(); i += 3) {
    int d = 0;
    for (std::size_t k = 0; k < 3; ++k) d = std::max(d, std::abs(reference.rgb[i + k] - layer->rgb[i + k]));
    within += d <= 2 ? 1 : 0;
    largest = std::max(largest, d);
  }
  const double share = static_cast<double>(within) / static_cast<double>(reference.rgb.size() / 3);
  std::cout << name << ": " << 100.0 * share << " % of pixels within 2/255, largest difference " << largest
            << "/255; surface pixels " << 100.0 * Share(reference, kind) << " % (GL), "
            << 100.0 * Share(*layer, kind) << " % (layer)" << std::endl;
  ::testing::Test::RecordProperty("share_within_2", std::to_string(share));
  ::testing::Test::RecordProperty("largest_difference", largest);
  EXPECT_GE(share, 0.995);
  EXPECT_GE(Share(reference, kind), least) << "fixed-function picture lacks the scene";
  EXPECT_GE(Share(*layer, kind), least) << "layer picture lacks the scene";
}

TEST(Gl1esScenes, FunctionOverview) { ExpectLikeFixedFunction("function_overview", Red, 0.05); }
TEST(Gl1esScenes, FunctionCloseUp) { ExpectLikeFixedFunction("function_closeup", Red, 0.04); }
TEST(Gl1esScenes, DataView) { ExpectLikeFixedFunction("data_view", Green, 0.06); }
// Blue only in the detail blocks of the layout.
TEST(Gl1esScenes, DataLevel2Layout) { ExpectLikeFixedFunction("data_level2", Blue, 0.015); }
TEST(Gl1esScenes, DataWireframe) { ExpectLikeFixedFunction("data_wireframe", Red, 0.02); }

// The redraw's last matrix pop draws what the layer has gathered: the frame
// is complete in the framebuffer before anything reads it through the layer.
TEST(Gl1esScenes, RedrawLeavesNothingUndrawn) {
  ASSERT_FALSE(LayerScenes().pictures.empty()) << LayerScenes().error;
  RedrawFunctionView();
  const std::vector<std::uint8_t> direct = ReadPastLayer(kGrafikWidth, kGrafikHeight);
  const Picture viaLayer = ReadView("again", kGrafikWidth, kGrafikHeight);
  EXPECT_GT(Share(viaLayer, Red), 0.01);
  EXPECT_TRUE(direct == viaLayer.rgb);
}

}  // namespace
