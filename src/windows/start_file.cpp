#include "windows/start_file.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include "windows/Analyse.h"

void OpenStartFile(const std::string& path) {
  // A refusal shows its message and leaves the sample in place.
  if (frmAnalyse) frmAnalyse->LoadFile(path);
}

std::string LocalFilePath(const QUrl& url) {
  return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
}

std::string PathBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }
