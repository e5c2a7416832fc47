#pragma once
// Surfaces from decoded pixels, without a picture library: whoever decoded
// the picture (Qt on the desktop, the browser on the page) hands over RGBA
// bytes, and the heights, size checks and resampling are the same.
#include <cstdint>
#include <string>
#include <string_view>

#include "sources/surface_result.h"

// Largest width or height accepted, in pixels; the smallest is 2.
inline constexpr int kMaxPictureSide = 8192;
inline constexpr int kMinPictureSide = 2;
// Largest decoded picture accepted, in bytes (256 MiB): 8192 x 8192 pixels
// of 4 bytes, fewer where the file's pixels take more.
inline constexpr std::uintmax_t kMaxPictureBytes = 256u * 1024u * 1024u;
// Height of a pixel of grey value g: g / 255 * 0.7.
inline constexpr double kWhiteHeight = 0.7;

// The grey value of a pixel, as Qt's qGray weighs red, green and blue
// (11 : 16 : 5, rounded down); alpha is ignored.
constexpr int GreyOf(int r, int g, int b) { return (r * 11 + g * 16 + b * 5) / 32; }

// Why a picture's pixels could not be had, in the language shown.
const char* BrokenPictureDataText();
const char* FormatNotInBrowserText();
// "Das Bild „name“ lässt sich nicht lesen. " and the reason.
std::string UnreadablePictureText(const std::string& name, std::string_view reason);

// "Das Bild „name“": the subject the size checks below start with.
std::string PictureSubject(const std::string& name);

// "Das Bild „name“ ist mit W x H Pixeln zu groß / zu klein; ...", or "" for a size accepted.
std::string PictureSizeProblem(const std::string& picture, int width, int height);

// "Das Bild „name“ ist mit W x H Pixeln entpackt N Bytes groß; ...", or "" when
// `bytes` decoded bytes are within kMaxPictureBytes.
std::string DecodedBytesProblem(const std::string& picture, int width, int height, std::uintmax_t bytes);

// Both checks for a picture decoded to 4 bytes a pixel (as a browser does):
// the size, then the bytes; "" when accepted.
std::string RgbaPictureProblem(const std::string& picture, int width, int height);

// A picture of width x height pixels, 4 bytes each (R, G, B, A), rows from
// the top down, already turned as it is to be shown: heights from the grey
// values, pixel columns along x and pixel rows from the bottom up along y,
// resampled like a table. name only names the picture in messages. Refuses
// sizes out of range and byte counts that do not match the size.
SurfaceResult SurfaceFromRgba(std::string_view rgba, int width, int height, const std::string& name);
