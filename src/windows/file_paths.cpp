#include "windows/file_paths.h"

#include <QByteArray>
#include <QFile>

std::string LocalFilePath(const QUrl& url) {
  return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
}

std::string PathBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }
