#include "sources/file_source.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "sources/bounded_file.h"
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
    for (const char* file : {"bild.png", "bild.pgm", "bild.tif", "bild.bmp"}) {
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

// A page decodes pictures in the browser and hands over RGBA bytes: the
// surface must be the desktop's, bit for bit, for every colour.
TEST(FileSourceTest, PixelsHandedOverGiveTheDesktopsSurface) {
  QImage image(37, 23, QImage::Format_RGB32);
  std::string rgba;
  unsigned seed = 12345;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      seed = seed * 1103515245u + 12345u;
      const int r = (seed >> 8) & 255, g = (seed >> 16) & 255, b = (seed >> 24) & 255;
      image.setPixel(x, y, qRgb(r, g, b));
      rgba += {static_cast<char>(r), static_cast<char>(g), static_cast<char>(b), '\xff'};
    }
  }
  const SurfaceResult desktop = SurfaceFromImage(image, "bunt.png");
  const SurfaceResult page = SurfaceFromRgba(rgba, image.width(), image.height(), "bunt.png");
  ASSERT_TRUE(desktop.grid && page.grid);
  for (int i = 1; i <= 65; ++i)
    for (int k = 1; k <= 65; ++k) ASSERT_EQ(GetElement(*desktop.grid, i, k), GetElement(*page.grid, i, k)) << i << ", " << k;
  ASSERT_TRUE(desktop.samples && page.samples);
  EXPECT_EQ(desktop.samples->values, page.samples->values);
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
  QImage wide(8193, 2, QImage::Format_Grayscale8), small(2, 2, QImage::Format_Grayscale8);
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
       "Die Datei „huge.csv“ ist mit 268435457 Bytes zu groß; erlaubt sind höchstens 268435456 Bytes (256 MiB)."},
      {dir.Write("daten.bin", std::string("\x00\x01\x02\xFF\n1 2\n", 9)),
       "Die Datei „daten.bin“ ist weder ein Bild noch eine Zahlentabelle."},
      {dir.Write("text.txt", "Höhe Breite\n1 2\n"),
       "Die Datei „text.txt“ enthält in Zeile 1, Feld 1 keine Zahl"},
      {dir.Write("mix.csv", "1 2\n3 \x01\n"), "Die Datei „mix.csv“ enthält in Zeile 2, Feld 2 keine Zahl"},
      {dir.File("breit.png"),
       "Das Bild „breit.png“ ist mit 8193 x 2 Pixeln zu groß; erlaubt sind höchstens 8192"},
      {dir.File("kaputt.png"), "Das Bild „kaputt.png“ lässt sich nicht lesen."},
      // A header declaring 23000 x 23000 over 4 KB of zeros: Qt cannot tell
      // the size past the broken chunk after it, the header check can.
      {dir.Write("riesig.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x59\xd8\0\0\x59\xd8\x01\0\0\0\0", 29) +
                                   std::string(4096, '\0')),
       "Das Bild „riesig.png“ ist mit 23000 x 23000 Pixeln zu groß; erlaubt sind höchstens 8192 x 8192."},
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
  const TempDir dir;
  const std::string path = dir.Write("geheim.csv", "1 2\n3 4\n");
  std::filesystem::permissions(path, std::filesystem::perms::none);
  const std::string want = "„geheim.csv“ lässt sich nicht öffnen: keine Berechtigung zum Lesen.";
  if (geteuid() != 0) return ExpectRefused(SurfaceFromFile(path), {want});
  // Root reads every file: ask as user nobody in a child process, which
  // drops root's rights for good (the directory must let nobody in).
  std::filesystem::permissions(dir.path, std::filesystem::perms::owner_all | std::filesystem::perms::others_exec);
  int out[2];
  ASSERT_EQ(pipe(out), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(out[0]);
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
    const std::string error = SurfaceFromFile(path).error;
    _exit(write(out[1], error.data(), error.size()) == static_cast<ssize_t>(error.size()) ? 0 : 3);
  }
  close(out[1]);
  std::string error;
  char chunk[512];
  for (ssize_t n; (n = read(out[0], chunk, sizeof chunk)) > 0;) error.append(chunk, static_cast<std::size_t>(n));
  close(out[0]);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child could not become nobody";
  EXPECT_NE(error.find(want), std::string::npos) << error;
}

// The bytes of a picture as Qt writes it.
QByteArray Encoded(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  EXPECT_TRUE(image.save(&buffer, format)) << format;
  return bytes;
}

std::string LittleEndian(std::uint32_t value, int bytes) {
  std::string text;
  for (int b = 0; b < bytes; ++b) text.push_back(static_cast<char>((value >> (8 * b)) & 0xFF));
  return text;
}

std::string BigEndian(std::uint32_t value) {
  std::string text;
  for (int b = 3; b >= 0; --b) text.push_back(static_cast<char>((value >> (8 * b)) & 0xFF));
  return text;
}

// A BMP header (24 bits per pixel) and no pixels: 54 bytes.
std::string BmpHeaderOnly(int width, int height) {
  const std::uint32_t data = static_cast<std::uint32_t>((width * 3 + 3) / 4 * 4) * static_cast<std::uint32_t>(height);
  return "BM" + LittleEndian(54 + data, 4) + LittleEndian(0, 4) + LittleEndian(54, 4) + LittleEndian(40, 4) +
         LittleEndian(static_cast<std::uint32_t>(width), 4) + LittleEndian(static_cast<std::uint32_t>(height), 4) +
         LittleEndian(1, 2) + LittleEndian(24, 2) + LittleEndian(0, 4) + LittleEndian(data, 4) +
         LittleEndian(2835, 4) + LittleEndian(2835, 4) + LittleEndian(0, 4) + LittleEndian(0, 4);
}

std::uint32_t Crc32(const std::string& bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (const char c : bytes) {
    crc ^= static_cast<unsigned char>(c);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

// A PNG signature and header chunk for 16-bit RGBA (8 bytes per pixel), then
// the start of a pixel chunk (so the header counts as complete), no pixels.
std::string PngRgba64HeaderOnly(int width, int height) {
  const std::string chunk = "IHDR" + BigEndian(static_cast<std::uint32_t>(width)) +
                            BigEndian(static_cast<std::uint32_t>(height)) + std::string("\x10\x06\0\0\0", 5);
  return std::string("\x89PNG\r\n\x1A\n", 8) + BigEndian(13) + chunk + BigEndian(Crc32(chunk)) + BigEndian(2) +
         std::string("IDAT\0\0", 6);
}

TEST(FileSourceTest, PicturesThatDidNotDecodeCompletely) {
  QImage image(200, 150, QImage::Format_RGB32);
  for (int y = 0; y < 150; ++y)
    for (int x = 0; x < 200; ++x) image.setPixel(x, y, qRgb(x, y, (x * y) & 255));
  const QByteArray jpeg = Encoded(image, "jpg");
  const QByteArray bmp = Encoded(image, "bmp");
  const TempDir dir;
  EXPECT_TRUE(SurfaceFromFile(dir.Write("ganz.jpg", jpeg.toStdString())).grid);
  EXPECT_TRUE(SurfaceFromFile(dir.Write("ganz.bmp", bmp.toStdString())).grid);
  const std::vector<std::pair<std::string, std::string>> cases = {
      {dir.Write("halb.jpg", jpeg.left(jpeg.size() / 2).toStdString()), "Das Bild „halb.jpg“ ist unvollständig."},
      {dir.Write("fast.jpg", jpeg.left(jpeg.size() - 40).toStdString()), "Das Bild „fast.jpg“ ist unvollständig."},
      {dir.Write("kurz.jpg", jpeg.left(400).toStdString()), "Das Bild „kurz.jpg“ lässt sich nicht lesen."},
      {dir.Write("halb.bmp", bmp.left(bmp.size() / 2).toStdString()), "Das Bild „halb.bmp“ ist unvollständig."},
      {dir.Write("fast.bmp", bmp.left(bmp.size() - 1).toStdString()), "Das Bild „fast.bmp“ ist unvollständig."},
      // 154 bytes that promise 8192 x 8192 pixels.
      {dir.Write("riesig.bmp", BmpHeaderOnly(8192, 8192) + std::string(100, '\x7F')),
       "Das Bild „riesig.bmp“ ist unvollständig."},
  };
  for (const auto& [path, want] : cases) ExpectRefused(SurfaceFromFile(path), {want});
}

TEST(FileSourceTest, PictureSizeAndDecodedBytesAtAndPastTheLimits) {
  const TempDir dir;
  auto grey = [&](int width, int height, const std::string& name) {
    QImage image(width, height, QImage::Format_Grayscale8);
    image.fill(200);
    EXPECT_TRUE(image.save(QString::fromStdString(dir.File(name))));
    return dir.File(name);
  };
  ExpectRefused(SurfaceFromFile(grey(1, 5, "schmal.png")),
                {"Das Bild „schmal.png“ ist mit 1 x 5 Pixeln zu klein; nötig sind mindestens 2 x 2."});
  ExpectRefused(SurfaceFromFile(grey(5, 1, "flach.png")), {"mit 5 x 1 Pixeln zu klein"});
  ExpectRefused(SurfaceFromImage(QImage(2, 1, QImage::Format_RGB32), "zeile"), {"mit 2 x 1 Pixeln zu klein"});
  const SurfaceResult smallest = SurfaceFromFile(grey(2, 2, "klein.png"));
  ASSERT_TRUE(smallest.grid) << smallest.error;
  EXPECT_DOUBLE_EQ(GetElement(*smallest.grid, 33, 33), 200 / 255.0 * 0.7);
  const SurfaceResult largest = SurfaceFromFile(grey(8192, 8192, "gross.png"));
  ASSERT_TRUE(largest.grid) << largest.error;
  EXPECT_DOUBLE_EQ(GetElement(*largest.grid, 65, 65), 200 / 255.0 * 0.7);

  // 8 bytes a pixel: 8192 x 4096 is exactly 256 MiB decoded and passes the
  // check (then fails for want of pixels); one row more is refused unread.
  ExpectRefused(SurfaceFromFile(dir.Write("voll.png", PngRgba64HeaderOnly(8192, 4096))),
                {"Das Bild „voll.png“ lässt sich nicht lesen."});
  ExpectRefused(SurfaceFromFile(dir.Write("mehr.png", PngRgba64HeaderOnly(8192, 4097))),
                {"Das Bild „mehr.png“ ist mit 8192 x 4097 Pixeln entpackt 268500992 Bytes groß; "
                 "erlaubt sind höchstens 268435456 Bytes (256 MiB)."});
}

TEST(FileSourceTest, TurnedPicturesAsQtWouldTurnThem) {
  QImage image(3, 2, QImage::Format_RGB32);
  const int grey[2][3] = {{10, 60, 110}, {160, 210, 250}};
  for (int row = 0; row < 2; ++row)
    for (int col = 0; col < 3; ++col) image.setPixel(col, row, qRgb(grey[row][col], grey[row][col], grey[row][col]));
  const TempDir dir;
  for (int t = 0; t < 8; ++t) {
    const auto turn = static_cast<QImageIOHandler::Transformations>(t);
    SCOPED_TRACE(t);
    const QString path = QString::fromStdString(dir.File("gedreht" + std::to_string(t) + ".tif"));
    QImageWriter writer(path, "tiff");
    writer.setTransformation(turn);
    ASSERT_TRUE(writer.write(image));
    QImageReader reader(path);
    ASSERT_EQ(reader.transformation(), turn) << "the file does not keep the turn";
    reader.setAutoTransform(true);
    const QImage turned = reader.read();
    const SurfaceResult expected = SurfaceFromImage(turned, "qt");
    const SurfaceResult result = SurfaceFromFile(path.toStdString());
    ASSERT_TRUE(result.grid && expected.grid) << result.error;
    for (int i = 1; i <= kGridPoints; ++i)
      for (int k = 1; k <= kGridPoints; ++k)
        ASSERT_EQ(GetElement(*result.grid, i, k), GetElement(*expected.grid, i, k)) << i << ", " << k;
  }
}

TEST(FileSourceTest, TextThatQtTakesForAPictureIsTriedAsATable) {
  const TempDir dir;
  const std::string xpm = dir.Write("tabelle.xpm", "/* XPM */\n1 2\n3 4\n");
  ASSERT_EQ(QImageReader::imageFormat(QString::fromStdString(xpm)), "xpm");
  ExpectRefused(SurfaceFromFile(xpm), {"Die Datei „tabelle.xpm“ enthält in Zeile 1, Feld 1 keine Zahl: „/*“."});
}

TEST(FileSourceTest, NamesStayBytesAndShowReadably) {
  const TempDir dir;
  const SurfaceResult latin1 = SurfaceFromFile(dir.Write("Fl\xE4" "che.csv", "1 2\n3 4\n"));
  ASSERT_TRUE(latin1.grid) << latin1.error;
  EXPECT_EQ(GetElement(*latin1.grid, 65, 65), 4.0);
  ExpectRefused(SurfaceFromFile(dir.Write("Fl\xE4" "che.txt", "a b\n")),
                {"Die Datei „Fläche.txt“ enthält in Zeile 1, Feld 1 keine Zahl"});
  EXPECT_EQ(ShownFileName("/a/b/\xFF\xC3\xA4x\xE2\x82"), "ÿäxâ\u0082");
  EXPECT_EQ(ShownFileName("ordner/"), "ordner");
}

TEST(FileSourceTest, BytesAreCountedWhileReading) {
  const TempDir dir;
  const std::string ten = dir.Write("zehn.txt", "1 2\n3 4\n56");
  char buffer[32];
  BoundedFile exact(ten, 10);
  EXPECT_EQ(exact.read(buffer, sizeof buffer), 10);
  EXPECT_FALSE(exact.overLimit());
  BoundedFile short_(ten, 9);
  EXPECT_EQ(short_.read(buffer, sizeof buffer), 9);
  EXPECT_TRUE(short_.overLimit());
  // /proc files report size 0 but have content: read, not called empty.
  const SurfaceResult status = SurfaceFromFile("/proc/self/status");
  ExpectRefused(status, {"Die Datei „status“ enthält in Zeile 1, Feld 1 keine Zahl: „Name:“."});
  // Exactly the largest file (sparse: the rest of the comment is zero bytes), and one more byte.
  const std::string largest = dir.Write("genau.csv", "1 2\n3 4\n#");
  std::filesystem::resize_file(largest, kMaxFileBytes);
  const SurfaceResult taken = SurfaceFromFile(largest);
  ASSERT_TRUE(taken.grid) << taken.error;
  EXPECT_EQ(GetElement(*taken.grid, 65, 65), 4.0);
  std::filesystem::resize_file(largest, kMaxFileBytes + 1);
  ExpectRefused(SurfaceFromFile(largest), {"mit 268435457 Bytes zu groß"});
}

}  // namespace
