// The header reader against pictures Qt's own writers encode: the size read
// before decoding is the size the picture has.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <string>

#include "sources/picture_header.h"

namespace {

std::string Encoded(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  EXPECT_TRUE(image.save(&buffer, format)) << format;
  return bytes.toStdString();
}

TEST(PictureHeaderQtTest, SizesOfPicturesQtWrites) {
  for (const char* format : {"png", "jpg", "bmp", "webp"}) {
    if (!QImageWriter::supportedImageFormats().contains(format)) continue;
    for (const QSize size : {QSize(37, 23), QSize(2, 300)}) {
      SCOPED_TRACE(std::string(format) + " " + std::to_string(size.width()) + " x " + std::to_string(size.height()));
      QImage image(size, QImage::Format_RGB32);
      image.fill(Qt::darkCyan);
      const std::optional<PictureSize> read = PictureSizeFromHeader(Encoded(image, format));
      ASSERT_TRUE(read.has_value());
      EXPECT_EQ(read->width, size.width());
      EXPECT_EQ(read->height, size.height());
    }
  }
}

}  // namespace
