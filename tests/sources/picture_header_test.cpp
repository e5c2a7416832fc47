// Sizes read from pictures' headers, built here byte by byte as the formats
// lay them out; and the refusal of a size before anything is decoded.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "sources/picture_header.h"
#include "sources/pixels.h"

namespace {

std::string Big32(std::uint32_t v) {
  return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}
std::string Little16(std::uint32_t v) { return {static_cast<char>(v), static_cast<char>(v >> 8)}; }
std::string Little32(std::uint32_t v) { return Little16(v & 0xffff) + Little16(v >> 16); }

std::string Png(std::uint32_t width, std::uint32_t height) {
  return std::string("\x89PNG\r\n\x1a\n", 8) + Big32(13) + "IHDR" + Big32(width) + Big32(height) +
         std::string("\x01\x00\x00\x00\x00", 5) + Big32(0);  // 1-bit grey, CRC not looked at
}

void ExpectSize(const std::optional<PictureSize>& s, int width, int height) {
  ASSERT_TRUE(s.has_value());
  EXPECT_EQ(s->width, width);
  EXPECT_EQ(s->height, height);
}

TEST(PictureHeaderTest, PngSizeFromItsHeaderChunk) {
  // 23000 x 23000 over a few KB of zeros: the size is all the header says.
  ExpectSize(PictureSizeFromHeader(Png(23000, 23000) + std::string(4096, '\0')), 23000, 23000);
  ExpectSize(PictureSizeFromHeader(Png(300, 2)), 300, 2);
  // Past an int: the largest int, still refused as too large.
  ExpectSize(PictureSizeFromHeader(Png(0xffffffffu, 7)), 2147483647, 7);
  // Cut within the height, or another chunk first: no size.
  EXPECT_FALSE(PictureSizeFromHeader(Png(300, 2).substr(0, 23)));
  std::string other = Png(300, 2);
  other.replace(12, 4, "IDAT");
  EXPECT_FALSE(PictureSizeFromHeader(other));
}

TEST(PictureHeaderTest, JpegSizeFromTheFirstFrameHeaderPastOtherSegments) {
  const std::string soi("\xff\xd8", 2);
  // APP0 of 16 bytes, a fill byte, a restart marker's kind without length,
  // then SOF2 (progressive): length 17, precision 8, height 600, width 9000.
  const std::string app0 = std::string("\xff\xe0\x00\x10", 4) + "JFIF" + std::string(10, '\0');
  const std::string sof2 = std::string("\xff\xc2\x00\x11\x08\x02\x58\x23\x28\x03", 10) + std::string(9, '\0');
  ExpectSize(PictureSizeFromHeader(soi + app0 + "\xff" + sof2), 9000, 600);
  // DHT (0xc4) is no frame header: its bytes are skipped, the SOF0 after it counts.
  const std::string dht = std::string("\xff\xc4\x00\x05\x01\x02\x03", 7);
  const std::string sof0 = std::string("\xff\xc0\x00\x0b\x08\x00\x02\x00\x03\x01", 10) + std::string(3, '\0');
  ExpectSize(PictureSizeFromHeader(soi + dht + sof0), 3, 2);
  // The scan starts before any frame header, or the bytes end: no size.
  EXPECT_FALSE(PictureSizeFromHeader(soi + app0 + std::string("\xff\xda\x00\x02", 4)));
  EXPECT_FALSE(PictureSizeFromHeader(soi + app0));
  EXPECT_FALSE(PictureSizeFromHeader(soi + sof0.substr(0, 8)));
}

TEST(PictureHeaderTest, GifSizeOfTheLogicalScreen) {
  ExpectSize(PictureSizeFromHeader("GIF89a" + Little16(8193) + Little16(17) + std::string(3, '\0')), 8193, 17);
  ExpectSize(PictureSizeFromHeader("GIF87a" + Little16(2) + Little16(65535)), 2, 65535);
  EXPECT_FALSE(PictureSizeFromHeader("GIF89a" + Little16(2) + "\x01"));
  EXPECT_FALSE(PictureSizeFromHeader("GIF88a" + Little16(2) + Little16(2)));
}

TEST(PictureHeaderTest, BmpSizeFromEitherInfoHeaderRowsTopDownCountAsMany) {
  const std::string file = "BM" + Little32(0) + Little32(0) + Little32(54);
  ExpectSize(PictureSizeFromHeader(file + Little32(40) + Little32(8192) + Little32(static_cast<std::uint32_t>(-8193))),
             8192, 8193);
  ExpectSize(PictureSizeFromHeader(file + Little32(124) + Little32(640) + Little32(480)), 640, 480);
  ExpectSize(PictureSizeFromHeader(file + Little32(12) + Little16(30000) + Little16(3)), 30000, 3);
  EXPECT_FALSE(PictureSizeFromHeader(file + Little32(40) + Little32(640)));
}

TEST(PictureHeaderTest, WebpSizeFromEachKindOfFirstChunk) {
  const std::string riff = "RIFF" + Little32(100) + "WEBP";
  // VP8X: flags and reserved (4 bytes), then width - 1 and height - 1 in 24 bits each.
  const std::string vp8x = "VP8X" + Little32(10) + Little32(0) + std::string("\x3f\x42\x0f", 3) + std::string("\x00\x01\x00", 3);
  ExpectSize(PictureSizeFromHeader(riff + vp8x), 1000000, 257);
  // VP8L: signature 0x2f, then width - 1 in 14 bits and height - 1 in the next 14.
  const std::uint32_t bits = (8191u) | (99u << 14);
  ExpectSize(PictureSizeFromHeader(riff + "VP8L" + Little32(5) + "\x2f" + Little32(bits)), 8192, 100);
  EXPECT_FALSE(PictureSizeFromHeader(riff + "VP8L" + Little32(5) + "\x2e" + Little32(bits)));
  // VP8: frame tag (3 bytes), start code 9d 01 2a, width and height in 14 bits, scaling above.
  const std::string vp8 = "VP8 " + Little32(10) + std::string("\x00\x00\x00\x9d\x01\x2a", 6) +
                          Little16(0xc000 | 4097) + Little16(0x4000 | 33);
  ExpectSize(PictureSizeFromHeader(riff + vp8), 4097, 33);
  EXPECT_FALSE(PictureSizeFromHeader("RIFF" + Little32(100) + "WAVE" + vp8));
}

TEST(PictureHeaderTest, OtherBytesHaveNoSize) {
  EXPECT_FALSE(PictureSizeFromHeader(""));
  EXPECT_FALSE(PictureSizeFromHeader("1;2;3\n4;5;6\n"));
  EXPECT_FALSE(PictureSizeFromHeader(std::string("\x89PNG", 4)));
}

TEST(PictureHeaderTest, DecodedPictureRefusedPastEitherLimitWithTheDesktopsMessage) {
  const std::string picture = "Das Bild \u201Eb.png\u201C";
  EXPECT_EQ(RgbaPictureProblem(picture, 8192, 8192), "");  // 8192 * 8192 * 4 = 256 MiB exactly
  EXPECT_EQ(RgbaPictureProblem(picture, 2, 2), "");
  EXPECT_EQ(RgbaPictureProblem(picture, 8193, 2),
            picture + " ist mit 8193 x 2 Pixeln zu groß; erlaubt sind höchstens 8192 x 8192.");
  EXPECT_EQ(RgbaPictureProblem(picture, 23000, 23000),
            picture + " ist mit 23000 x 23000 Pixeln zu groß; erlaubt sind höchstens 8192 x 8192.");
  EXPECT_EQ(RgbaPictureProblem(picture, 2, 1),
            picture + " ist mit 2 x 1 Pixeln zu klein; nötig sind mindestens 2 x 2.");
  // Bytes past 256 MiB: 8192 x 8192 at 4 bytes is the limit, one byte more is refused.
  EXPECT_EQ(DecodedBytesProblem(picture, 8192, 8192, 268435456u), "");
  EXPECT_EQ(DecodedBytesProblem(picture, 8192, 8192, 268435457u),
            picture + " ist mit 8192 x 8192 Pixeln entpackt 268435457 Bytes groß; erlaubt sind höchstens "
                      "268435456 Bytes (256 MiB).");
}

}  // namespace
