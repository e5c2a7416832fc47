#include "windows/About.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <initializer_list>

#include "windows/tr.h"

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

// The two lines of one sentence share one size: their own, or as much smaller
// as it takes for both to leave as much room on the right as on the left. A
// wide font would otherwise run the first line into the window's edge.
void FitBetweenMargins(std::initializer_list<QLabel*> lines, int windowWidth) {
  QFont f = (*lines.begin())->font();
  auto fits = [&] {
    const QFontMetrics m(f);
    for (const QLabel* line : lines)
      if (line->x() + m.horizontalAdvance(line->text().trimmed()) > windowWidth - line->x()) return false;
    return true;
  };
  while (!fits() && f.pixelSize() > 9) f.setPixelSize(f.pixelSize() - 1);
  for (QLabel* line : lines) {
    line->setFont(f);
    line->adjustSize();
  }
}

}  // namespace

TfrmAbout::TfrmAbout() {
  setWindowTitle(TrQ("Info"));
  move(296, 261);
  setFixedSize(377, 161);
  QPalette p = palette();
  p.setColor(QPalette::Window, QColor(166, 202, 240));  // sky blue
  setPalette(p);
  setAutoFillBackground(true);

  Label1 = MakeText(this, "Veltra", 136, 8, 19);
  // One sentence, broken where the language breaks it; the first line keeps
  // the space before the break, so the two labels read as the sentence.
  const QStringList purpose =
      TrQ("Dient der Veranschaulichung einer zweidimensionalen\nMultiskalenanalyse mit BLaC-Wavelets.").split('\n');
  Label2 = MakeText(this, purpose.value(0) + ' ', 24, 40, 13);
  Label3 = MakeText(this, purpose.value(1), 24, 56, 13);
  FitBetweenMargins({Label2, Label3}, width());
  Label4 = MakeText(this, TrQ("Entwickelt vom Veltra-Team."), 24, 80, 13);
  Label5 = MakeText(this, TrQ("Freie Software zum Lernen und Lehren."), 24, 104, 13);
}

void TfrmAbout::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) close();
  else QWidget::keyPressEvent(e);
}
