#include "windows/picture_out.h"

#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QMenu>
#include <QMessageBox>
#include <QStandardPaths>

#include "windows/tr.h"

void CopyPictureToClipboard(const QImage& picture) {
  if (!picture.isNull()) QGuiApplication::clipboard()->setImage(picture);
}

bool WritePicture(const QImage& picture, const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  const QByteArray format = suffix == "jpg" || suffix == "jpeg" ? "jpeg" : "png";
  QImageWriter writer(path, format);
  if (!picture.isNull() && writer.write(picture)) return true;
  QMessageBox::warning(nullptr, QStringLiteral("Veltra"),
                       TrQ("Das Bild konnte nicht gespeichert werden: %1").arg(QDir::toNativeSeparators(path)));
  return false;
}

QString AskPictureName(const QString& proposedName) {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
  if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
  // The patterns stay out of the texts: Qt reads them, and the suffix follows them below.
  QFileDialog dialog(nullptr, TrQ("Bild speichern"), folder,
                     TrQ("PNG-Bild") + " (*.png);;" + TrQ("JPEG-Bild") + " (*.jpg *.jpeg)");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("png"));
  dialog.selectFile(proposedName);
  // A name typed without an ending gets the one of the chosen type.
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
    dialog.setDefaultSuffix(filter.contains(QStringLiteral("*.jpg")) ? QStringLiteral("jpg") : QStringLiteral("png"));
  });
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

std::unique_ptr<QMenu> MakePictureMenu(std::function<void()> copy, std::function<void()> save) {
  auto menu = std::make_unique<QMenu>();
  // After the tab, the keys that do the same, named as a keyboard of the
  // language shown names them (Strg, Ctrl).
  menu->addAction(TrQ("Bild kopieren\tStrg+C"), std::move(copy));
  menu->addAction(TrQ("Bild speichern…\tStrg+S"), std::move(save));
  return menu;
}
