#include "windows/About.h"

#include <QLabel>

TfrmAbout* frmAbout = nullptr;

namespace {

QLabel* MakeText(QWidget* parent, const QString& text, int x, int y, int pixelHeight) {
  auto* label = new QLabel(text, parent);
  QFont f = label->font();
  f.setPixelSize(pixelHeight);
  label->setFont(f);
  label->move(x, y);
  label->adjustSize();
  return label;
}

}  // namespace

TfrmAbout::TfrmAbout() {
  setWindowTitle("Info");
  move(296, 261);
  setFixedSize(377, 161);
  QPalette p = palette();
  p.setColor(QPalette::Window, QColor(166, 202, 240));  // sky blue
  setPalette(p);
  setAutoFillBackground(true);

  Label1 = MakeText(this, "Veltra", 136, 8, 19);
  Label2 = MakeText(this, "Dient der Veranschaulichung einer zweidimensionalen ", 24, 40, 13);
  Label3 = MakeText(this, "Multiskalenanalyse mit BLaC-Wavelets.", 24, 56, 13);
  Label4 = MakeText(this, "Entwickelt vom Veltra-Team.", 24, 80, 13);
  Label5 = MakeText(this, "Freie Software zum Lernen und Lehren.", 24, 104, 13);
}
