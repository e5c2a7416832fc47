#pragma once
// Surfaces from pictures: grey value as height, black 0, white 0.7.
//
// Pixel columns run along x (left to right, grid row i) and pixel rows from
// the bottom up along y (grid column k), so the surface seen from above shows
// the picture unmirrored (and upright, where the file says how to turn it).
// The picture is resampled onto the grid like a table.
#include <QImage>
#include <QImageIOHandler>
#include <cstdint>
#include <string>

#include "sources/bounded_file.h"
#include "sources/pixels.h"  // kMaxPictureSide, kMaxPictureBytes, kWhiteHeight
#include "sources/surface_result.h"


// Reads only the pixels the grid needs. name only names the picture in
// messages; turn is how the stored pixels are to be turned for display, as
// the file says (Qt's order: mirror and flip first, then a quarter turn
// clockwise), applied while reading instead of on a copy.
SurfaceResult SurfaceFromImage(const QImage& image, const std::string& name,
                               QImageIOHandler::Transformations turn = QImageIOHandler::TransformationNone);

struct PictureResult {
  SurfaceResult surface;
  // Set when Qt knows the format but could not decode a single picture, so
  // the file may be something else after all (a table starting "/* XPM */").
  bool notDecoded = false;
};

// Decodes the picture in file from its start. Checks size and decoded bytes
// before decoding and refuses a picture that did not decode completely.
PictureResult ReadPicture(BoundedFile& file, const std::string& name);

// ReadPicture of the file at path (bytes as the system gave them); the
// message names the file, not the path.
SurfaceResult SurfaceFromPicture(const std::string& path);
