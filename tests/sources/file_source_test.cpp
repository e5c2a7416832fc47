#include "sources/file_source.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QFile>
#include <QImage>
#include <filesystem>
#include <string>
#include <vector>

#include "sources/picture.h"
#include "sources_test_support.h"

namespace {

using sources_test::ExpectRefused;
using sources_test::TempDir;

// Cuts a PNG inside its pixel data, after the header with the size.
void CutPixelData(const std::string& png) {
  QFile file(QString::fromStdString(png));
  const auto at = file.open(QIODevice::ReadOnly) ? file.readAll().indexOf("IDAT") + 8 : 0;
  std::filesystem::resize_file(png, static_cast<std::uintmax_t>(at));
}

TEST(FileSourceTest, PicturesSeenFromAboveNotMirrored) {
  // 3 x 2 pixels, grey values given row by row from the top.
  const int grey[2][3] = {{51, 102, 255}, {0, 153, 204}};
  const TempDir dir;
  for (const auto format : {QImage::Format_Grayscale8, QImage::Format_RGB32}) {
    QImage image(3, 2, format);
    image.fill(Qt::black);  // also the padding at the end of each row, which BMP writes out
    for (int row = 0; row < 2; ++row)
      for (int col = 0; col < 3; ++col)
        image.setPixel(col, row, qRgb(grey[row][col], grey[row][col], grey[row][col]));
    for (const char* file : {"bild.png", "bild.pgm", "bild.tif"}) {
      SCOPED_TRACE(file);
      ASSERT_TRUE(image.save(QString::fromStdString(dir.File(file))));
      const SurfaceResult result = SurfaceFromFile(dir.File(file));
      ASSERT_TRUE(result.grid) << result.error;
      // Bottom left pixel at grid (1, 1), bottom right at (65, 1); height = grey / 255 * 0.7.
      const std::vector<std::vector<double>> points = {{1, 1, 0},     {33, 1, 0.42},  {65, 1, 0.56},
                                                       {1, 65, 0.14}, {33, 65, 0.28}, {65, 65, 0.7},
                                                       {17, 33, 0.21}};
      for (const auto& p : points) EXPECT_DOUBLE_EQ(GetElement(*result.grid, int(p[0]), int(p[1])), p[2]);
      EXPECT_EQ(GetElement(*result.grid, 65, 65), 0.7);
    }
  }
  // Colour counts by its grey value: qGray of pure red is 255 * 11 / 32 = 87.
  QImage red(2, 2, QImage::Format_RGB32);
  red.fill(qRgb(255, 0, 0));
  EXPECT_DOUBLE_EQ(GetElement(*SurfaceFromImage(red, "rot").grid, 40, 20), 87 / 255.0 * 0.7);
}

TEST(FileSourceTest, ReadsATable) {
  const TempDir dir;
  const std::string byteOrderMark = "\xEF\xBB\xBF";
  const SurfaceResult result = SurfaceFromFile(dir.Write("höhen.csv", byteOrderMark + "0;0.5\r\n1;2\r\n"));
  ASSERT_TRUE(result.grid) << result.error;
  EXPECT_EQ(GetElement(*result.grid, 1, 65), 0.5);
  EXPECT_EQ(GetElement(*result.grid, 65, 1), 1.0);
  EXPECT_DOUBLE_EQ(GetElement(*result.grid, 33, 33), 0.875);
}

TEST(FileSourceTest, Refusals) {
  const TempDir dir;
  std::filesystem::create_directory(dir.File("ordner"));
  std::filesystem::resize_file(dir.Write("huge.csv", ""), 256u * 1024 * 1024 + 1);  // sparse
  QImage wide(9000, 1, QImage::Format_Grayscale8), small(2, 2, QImage::Format_Grayscale8);
  wide.fill(Qt::black);
  small.fill(Qt::white);
  ASSERT_TRUE(wide.save(QString::fromStdString(dir.File("breit.png"))));
  ASSERT_TRUE(small.save(QString::fromStdString(dir.File("kaputt.png"))));
  // Decoding would fail: the size must be refused before.
  CutPixelData(dir.File("breit.png"));
  CutPixelData(dir.File("kaputt.png"));
  const std::vector<std::pair<std::string, std::string>> cases = {
      {dir.File("fehlt.csv"), "Die Datei „fehlt.csv“ gibt es nicht."},
      {dir.File("ordner"), "„ordner“ ist ein Ordner"},
      {dir.Write("leer.csv", ""), "Die Datei „leer.csv“ ist leer."},
      {dir.File("huge.csv"),
       "Die Datei „huge.csv“ ist mit 256.0 MiB zu groß; erlaubt sind höchstens 256 MiB."},
      {dir.Write("daten.bin", std::string("\x00\x01\x02\xFF\n1 2\n", 9)),
       "Die Datei „daten.bin“ ist weder ein Bild noch eine Zahlentabelle."},
      {dir.Write("text.txt", "Höhe Breite\n1 2\n"),
       "Die Datei „text.txt“ enthält in Zeile 1, Feld 1 keine Zahl"},
      {dir.Write("mix.csv", "1 2\n3 \x01\n"), "Die Datei „mix.csv“ enthält in Zeile 2, Feld 2 keine Zahl"},
      {dir.File("breit.png"),
       "Das Bild „breit.png“ ist mit 9000 x 1 Pixeln zu groß; erlaubt sind höchstens 8192"},
      {dir.File("kaputt.png"), "Das Bild „kaputt.png“ lässt sich nicht lesen."},
  };
  for (const auto& [path, want] : cases) {
    const SurfaceResult result = SurfaceFromFile(path);
    ExpectRefused(result, {want});
    EXPECT_EQ(result.error.find(dir.path), std::string::npos) << "names the whole path";
  }
  ExpectRefused(SurfaceFromImage(QImage(1, 8193, QImage::Format_Grayscale8), "hoch"),
                {"1 x 8193 Pixeln zu groß"});
  ExpectRefused(SurfaceFromPicture(dir.File("fehlt.png")), {"Das Bild „fehlt.png“ lässt sich nicht lesen."});
}

TEST(FileSourceTest, RefusesAFileWithoutReadPermission) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
  const TempDir dir;
  const std::string path = dir.Write("geheim.csv", "1 2\n3 4\n");
  std::filesystem::permissions(path, std::filesystem::perms::none);
  ExpectRefused(SurfaceFromFile(path),
                {"„geheim.csv“ lässt sich nicht öffnen: keine Berechtigung zum Lesen."});
}

}  // namespace
