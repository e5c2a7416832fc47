#include "sources/picture.h"

#include <QImageReader>
#include <QString>
#include <algorithm>
#include <filesystem>

#include "sources/resample.h"

namespace {

std::string SizeText(int width, int height) {
  return std::to_string(width) + " x " + std::to_string(height) + " Pixeln";
}

std::string TooLarge(const std::string& picture, int width, int height) {
  return picture + " ist mit " + SizeText(width, height) + " zu groß; erlaubt sind höchstens " +
         std::to_string(kMaxPictureSide) + " x " + std::to_string(kMaxPictureSide) + ".";
}

bool FitsSize(int width, int height) { return width <= kMaxPictureSide && height <= kMaxPictureSide; }

std::string Reason(QImageReader::ImageReaderError error) {
  switch (error) {
    case QImageReader::FileNotFoundError: return "Die Datei gibt es nicht.";
    case QImageReader::DeviceError: return "Die Datei lässt sich nicht öffnen.";
    case QImageReader::UnsupportedFormatError: return "Das Bildformat wird nicht unterstützt.";
    case QImageReader::InvalidDataError: return "Die Bilddaten sind fehlerhaft oder unvollständig.";
    default: return "Die Bilddaten sind fehlerhaft, unvollständig oder zu groß.";
  }
}

double Height(QRgb pixel) { return qGray(pixel) / 255.0 * kWhiteHeight; }

}  // namespace

SurfaceResult SurfaceFromImage(const QImage& image, const std::string& name) {
  const std::string picture = "Das Bild " + Quoted(name);
  if (image.isNull()) return Refused(picture + " ist leer.");
  const int width = image.width();
  const int height = image.height();
  if (!FitsSize(width, height)) return Refused(TooLarge(picture, width, height));
  const int top = height - 1;
  // Decoded grey pictures come as Grayscale8; reading the bytes is several
  // times faster than pixel() and gives the same value.
  if (image.format() == QImage::Format_Grayscale8) {
    return {
        ResampleWith(width, height,
                     [&](int r, int c) { return image.constScanLine(top - c)[r] / 255.0 * kWhiteHeight; }),
        {}};
  }
  return {ResampleWith(width, height, [&](int r, int c) { return Height(image.pixel(r, top - c)); }), {}};
}

SurfaceResult SurfaceFromPicture(const std::string& path) {
  const std::string name = std::filesystem::path(path).filename().string();
  const std::string picture = "Das Bild " + Quoted(name);
  // Qt's default limit (128 MB) would refuse large colour pictures that our
  // own size limit accepts; never lower a limit set elsewhere.
  QImageReader::setAllocationLimit(std::max(QImageReader::allocationLimit(), 1024));
  QImageReader reader(QString::fromStdString(path));
  reader.setAutoTransform(true);
  const QSize size = reader.size();
  if (size.isValid() && !FitsSize(size.width(), size.height()))
    return Refused(TooLarge(picture, size.width(), size.height()));
  const QImage image = reader.read();
  if (image.isNull()) return Refused(picture + " lässt sich nicht lesen. " + Reason(reader.error()));
  return SurfaceFromImage(image, name);
}
