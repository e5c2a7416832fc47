#pragma once
// Pictures out of a window: to the clipboard, or to a PNG or JPEG file.
#include <QImage>
#include <QString>
#include <functional>
#include <memory>

class QMenu;

// Puts the picture on the clipboard; a null picture changes nothing.
void CopyPictureToClipboard(const QImage& picture);
// Writes the picture to `path`: JPEG when the name ends in .jpg or .jpeg,
// else PNG. A failure is reported in a message box; returns whether it worked.
bool WritePicture(const QImage& picture, const QString& path);
// Asks for a file name, proposing `proposedName` in the pictures folder;
// empty when the user cancelled.
QString AskPictureName(const QString& proposedName);
// The right-click menu of a window that gives its picture out.
std::unique_ptr<QMenu> MakePictureMenu(std::function<void()> copy, std::function<void()> save);
