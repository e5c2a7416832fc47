#pragma once
// The surface file named on the command line, by a drop or in the file
// dialog. Paths stay the bytes the system gave: QString would turn a name
// that is not UTF-8 into another name.
#include <QString>
#include <QUrl>
#include <string>

// Loads `path` (bytes, as the command line gave them) into the data view once the windows exist; messages as for a file picked in the
// control panel.
void OpenStartFile(const std::string& path);

// The path of a local file URL as bytes: percent-decoded from the URL's
// encoded form, never through QString.
std::string LocalFilePath(const QUrl& url);

// A path Qt holds as text (file dialog), as bytes for the system.
std::string PathBytes(const QString& path);
