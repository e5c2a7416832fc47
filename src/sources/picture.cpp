#include "sources/picture.h"

#include <QImageReader>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cerrno>

#include "sources/picture_header.h"
#include "sources/table_reader.h"  // kMaxFileBytes, TooLargeFileText
#include "sources/resample.h"
#include "text/language.h"

namespace {

std::string Reason(QImageReader::ImageReaderError error) {
  switch (error) {
    case QImageReader::FileNotFoundError: return Tr("Die Datei gibt es nicht.");
    case QImageReader::DeviceError: return Tr("Die Datei lässt sich nicht öffnen.");
    case QImageReader::UnsupportedFormatError: return Tr("Das Bildformat wird nicht unterstützt.");
    case QImageReader::InvalidDataError: return BrokenPictureDataText();
    default: return Tr("Die Bilddaten sind fehlerhaft, unvollständig oder zu groß.");
  }
}

double Height(QRgb pixel) { return qGray(pixel) / 255.0 * kWhiteHeight; }

// Bytes of the decoded picture, lines padded to 4 bytes as QImage does.
std::uintmax_t DecodedBytes(int width, int height, QImage::Format format) {
  const int bits = format == QImage::Format_Invalid ? 32 : QImage::toPixelFormat(format).bitsPerPixel();
  const std::uintmax_t line = (static_cast<std::uintmax_t>(width) * static_cast<std::uintmax_t>(bits) + 31) / 32 * 4;
  return line * static_cast<std::uintmax_t>(height);
}

// Qt's decoders report lost data as warnings, not as errors.
QStringList* capturedMessages = nullptr;
void CaptureMessage(QtMsgType, const QMessageLogContext&, const QString& message) {
  if (capturedMessages != nullptr) capturedMessages->append(message);
}

bool SaysDataMissing(const QStringList& messages) {
  for (const QString& m : messages)
    if (m.contains("premature end", Qt::CaseInsensitive) || m.contains("truncated", Qt::CaseInsensitive) ||
        m.contains("missing", Qt::CaseInsensitive) || m.contains("unexpected end", Qt::CaseInsensitive))
      return true;
  return false;
}

// Enough for any header but a JPEG's after long metadata, which Qt reads itself.
constexpr qint64 kHeaderBytes = 65536;

bool SaysTooLarge(const QStringList& messages) {
  for (const QString& m : messages)
    if (m.contains("allocation limit", Qt::CaseInsensitive)) return true;
  return false;
}

}  // namespace

SurfaceResult SurfaceFromImage(const QImage& image, const std::string& name, QImageIOHandler::Transformations turn) {
  const std::string picture = PictureSubject(name);
  if (image.isNull()) return Refused(TrArgs("Das Bild %1 ist leer.", {Quoted(name)}));
  const int storedWidth = image.width();
  const int storedHeight = image.height();
  const bool quarter = turn.testFlag(QImageIOHandler::TransformationRotate90);
  const int width = quarter ? storedHeight : storedWidth;
  const int height = quarter ? storedWidth : storedHeight;
  if (const std::string problem = PictureSizeProblem(picture, width, height); !problem.empty()) return Refused(problem);
  const int top = height - 1;
  // Decoded grey pictures come as Grayscale8; reading the bytes is several
  // times faster than pixel() and gives the same value.
  if (turn == QImageIOHandler::TransformationNone && image.format() == QImage::Format_Grayscale8) {
    return TakenSamples(
        KeepSamples(width, height, [&](int r, int c) { return image.constScanLine(top - c)[r] / 255.0 * kWhiteHeight; }));
  }
  const bool mirror = turn.testFlag(QImageIOHandler::TransformationMirror);
  const bool flip = turn.testFlag(QImageIOHandler::TransformationFlip);
  return TakenSamples(KeepSamples(width, height,
                       [&](int r, int c) {
                         // Pixel (x, y) of the turned picture; a quarter turn
                         // clockwise takes it from (y, storedHeight - 1 - x).
                         const int x = r;
                         const int y = top - c;
                         int sx = quarter ? y : x;
                         int sy = quarter ? storedHeight - 1 - x : y;
                         if (mirror) sx = storedWidth - 1 - sx;
                         if (flip) sy = storedHeight - 1 - sy;
                         return Height(image.pixel(sx, sy));
                       }));
}

PictureResult ReadPicture(BoundedFile& file, const std::string& name) {
  const std::string picture = PictureSubject(name);
  // Qt's own check while allocating, for decoders that do not tell their
  // pixel format beforehand; the check below is the exact one.
  QImageReader::setAllocationLimit(static_cast<int>(kMaxPictureBytes / (1024 * 1024)) + 1);
  file.seek(0);
  // The size the header declares, read as the page reads it: a header over
  // data too short for Qt to tell the size is refused by its size too.
  const QByteArray head = file.peek(kHeaderBytes);
  if (const std::optional<PictureSize> declared = PictureSizeFromHeader(std::string_view(head.constData(),
                                                                                         static_cast<std::size_t>(head.size()))))
    if (const std::string problem = PictureSizeProblem(picture, declared->width, declared->height); !problem.empty())
      return {Refused(problem)};
  QImageReader reader(&file);
  reader.setAutoTransform(false);  // turned while resampling: no second copy
  const QSize size = reader.size();
  if (size.isValid()) {
    if (const std::string problem = PictureSizeProblem(picture, size.width(), size.height()); !problem.empty())
      return {Refused(problem)};
    const std::uintmax_t bytes = DecodedBytes(size.width(), size.height(), reader.imageFormat());
    if (const std::string problem = DecodedBytesProblem(picture, size.width(), size.height(), bytes); !problem.empty())
      return {Refused(problem)};
  }
  const QImageIOHandler::Transformations turn = reader.transformation();
  const QByteArray format = reader.format();
  file.forgetShortReads();
  QStringList messages;
  capturedMessages = &messages;
  const QtMessageHandler previous = qInstallMessageHandler(CaptureMessage);
  const QImage image = reader.read();
  qInstallMessageHandler(previous);
  capturedMessages = nullptr;
  if (file.overLimit()) return {Refused(TooLargeFileText(picture))};
  if (image.isNull()) {
    if (SaysTooLarge(messages))
      return {Refused(TrArgs("Das Bild %1 ist entpackt zu groß; erlaubt sind höchstens %2 Bytes (256 MiB).",
                             {Quoted(name), std::to_string(kMaxPictureBytes)}))};
    return {Refused(UnreadablePictureText(name, Reason(reader.error()))), true};
  }
  // BMP rows are read exactly: a short read means the rows ran out.
  const bool rowsMissing = (format == "bmp" || format == "dib") && file.readShort();
  if (SaysDataMissing(messages) || rowsMissing)
    return {Refused(TrArgs("Das Bild %1 ist unvollständig.", {Quoted(name)}))};
  return {SurfaceFromImage(image, name, turn)};
}

SurfaceResult SurfaceFromPicture(const std::string& path) {
  const std::string name = ShownFileName(path);
  BoundedFile file(path, kMaxFileBytes);
  if (!file.isOpen())
    return Refused(UnreadablePictureText(name, Reason(file.openErrno() == ENOENT ? QImageReader::FileNotFoundError
                                                                                 : QImageReader::DeviceError)));
  return ReadPicture(file, name).surface;
}
