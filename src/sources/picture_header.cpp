#include "sources/picture_header.h"

#include <cstdint>
#include <cstdlib>
#include <limits>

namespace {

using Bytes = std::string_view;

bool Has(Bytes b, std::size_t at, std::size_t count) { return at <= b.size() && count <= b.size() - at; }
unsigned Byte(Bytes b, std::size_t at) { return static_cast<unsigned char>(b[at]); }
std::uint32_t Big16(Bytes b, std::size_t at) { return Byte(b, at) << 8 | Byte(b, at + 1); }
std::uint32_t Big32(Bytes b, std::size_t at) { return Big16(b, at) << 16 | Big16(b, at + 2); }
std::uint32_t Little16(Bytes b, std::size_t at) { return Byte(b, at) | Byte(b, at + 1) << 8; }
std::uint32_t Little24(Bytes b, std::size_t at) { return Little16(b, at) | Byte(b, at + 2) << 16; }
std::uint32_t Little32(Bytes b, std::size_t at) { return Little24(b, at) | Byte(b, at + 3) << 24; }
bool StartsWith(Bytes b, std::size_t at, Bytes text) { return Has(b, at, text.size()) && b.substr(at, text.size()) == text; }

int Side(std::uint64_t v) {
  constexpr std::uint64_t kMost = std::numeric_limits<int>::max();
  return static_cast<int>(v > kMost ? kMost : v);
}
std::optional<PictureSize> Size(std::uint64_t width, std::uint64_t height) { return PictureSize{Side(width), Side(height)}; }

// Signature, then the IHDR chunk: length, type, width, height (big-endian).
std::optional<PictureSize> Png(Bytes b) {
  if (!StartsWith(b, 12, "IHDR") || !Has(b, 16, 8)) return std::nullopt;
  return Size(Big32(b, 16), Big32(b, 20));
}

// "GIF87a" or "GIF89a", then the logical screen's width and height.
std::optional<PictureSize> Gif(Bytes b) {
  if (!Has(b, 6, 4)) return std::nullopt;
  return Size(Little16(b, 6), Little16(b, 8));
}

// File header (14 bytes), then the info header: OS/2's of 12 bytes with
// 16-bit sides, else 32-bit sides, the height negative for rows top down.
std::optional<PictureSize> Bmp(Bytes b) {
  if (!Has(b, 14, 4)) return std::nullopt;
  if (Little32(b, 14) == 12) {
    if (!Has(b, 18, 4)) return std::nullopt;
    return Size(Little16(b, 18), Little16(b, 20));
  }
  if (!Has(b, 18, 8)) return std::nullopt;
  const auto width = static_cast<std::int32_t>(Little32(b, 18));
  const auto height = static_cast<std::int32_t>(Little32(b, 22));
  return Size(static_cast<std::uint64_t>(std::llabs(width)), static_cast<std::uint64_t>(std::llabs(height)));
}

// Markers from the start of image up to the first frame header (SOF0..SOF15
// but DHT, JPG and DAC), whose height and width follow its precision.
std::optional<PictureSize> Jpeg(Bytes b) {
  std::size_t at = 2;
  while (Has(b, at, 2)) {
    if (Byte(b, at) != 0xff) return std::nullopt;
    const unsigned marker = Byte(b, at + 1);
    if (marker == 0xff) {  // fill byte
      ++at;
      continue;
    }
    if (marker == 0x01 || (marker >= 0xd0 && marker <= 0xd7)) {  // no length
      at += 2;
      continue;
    }
    if (marker == 0xd9 || marker == 0xda || !Has(b, at + 2, 2)) return std::nullopt;  // no frame before the data
    const std::uint32_t length = Big16(b, at + 2);
    if (length < 2) return std::nullopt;
    if (marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc) {
      if (length < 7 || !Has(b, at + 5, 4)) return std::nullopt;
      return Size(Big16(b, at + 7), Big16(b, at + 5));
    }
    at += 2 + length;
  }
  return std::nullopt;
}

// "RIFF", size, "WEBP", then the first chunk: VP8X (canvas less one, 24 bits
// each), VP8L (after its signature byte, 14 bits each less one) or VP8 (after
// the frame tag and start code, 14 bits each and 2 bits of scaling).
std::optional<PictureSize> Webp(Bytes b) {
  if (StartsWith(b, 12, "VP8X")) {
    if (!Has(b, 24, 6)) return std::nullopt;
    return Size(std::uint64_t{Little24(b, 24)} + 1, std::uint64_t{Little24(b, 27)} + 1);
  }
  if (StartsWith(b, 12, "VP8L")) {
    if (!Has(b, 20, 5) || Byte(b, 20) != 0x2f) return std::nullopt;
    const std::uint32_t bits = Little32(b, 21);
    return Size((bits & 0x3fff) + 1, ((bits >> 14) & 0x3fff) + 1);
  }
  if (StartsWith(b, 12, "VP8 ")) {
    if (!Has(b, 23, 7) || Byte(b, 23) != 0x9d || Byte(b, 24) != 0x01 || Byte(b, 25) != 0x2a) return std::nullopt;
    return Size(Little16(b, 26) & 0x3fff, Little16(b, 28) & 0x3fff);
  }
  return std::nullopt;
}

}  // namespace

std::optional<PictureSize> PictureSizeFromHeader(std::string_view bytes) {
  if (StartsWith(bytes, 0, "\x89PNG\r\n\x1a\n")) return Png(bytes);
  if (StartsWith(bytes, 0, "\xff\xd8\xff")) return Jpeg(bytes);
  if (StartsWith(bytes, 0, "GIF87a") || StartsWith(bytes, 0, "GIF89a")) return Gif(bytes);
  if (StartsWith(bytes, 0, "BM")) return Bmp(bytes);
  if (StartsWith(bytes, 0, "RIFF") && StartsWith(bytes, 8, "WEBP")) return Webp(bytes);
  return std::nullopt;
}
