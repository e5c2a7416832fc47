#pragma once
// Surfaces from pictures: grey value as height, black 0, white 0.7.
//
// Pixel columns run along x (left to right, grid row i) and pixel rows from
// the bottom up along y (grid column k), so the surface seen from above shows
// the picture unmirrored. The picture is resampled onto the grid like a table.
#include <string>

#include <QImage>

#include "sources/surface_result.h"

// Largest width or height accepted, in pixels.
inline constexpr int kMaxPictureSide = 8192;

// Height of a pixel of grey value g: g / 255 * 0.7.
inline constexpr double kWhiteHeight = 0.7;

// Reads only the pixels the grid needs. name only names the picture in messages.
SurfaceResult SurfaceFromImage(const QImage& image, const std::string& name);

// Checks the size before decoding; the message names the file, not the path.
SurfaceResult SurfaceFromPicture(const std::string& path);
