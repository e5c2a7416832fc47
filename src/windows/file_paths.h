#pragma once
// Paths stay the bytes the system gave: QString would turn a name that is
// not UTF-8 into another name.
#include <QString>
#include <QUrl>
#include <string>

// The path of a local file URL as bytes: percent-decoded from the URL's
// encoded form, never through QString.
std::string LocalFilePath(const QUrl& url);

// A path Qt holds as text (file dialog), as bytes for the system.
std::string PathBytes(const QString& path);
