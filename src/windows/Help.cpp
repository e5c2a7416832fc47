#include "windows/Help.h"

#include <QApplication>
#include <QScreen>
#include <QKeyEvent>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "interaction/window_places.h"
#include "windows/Kontrolle.h"

TfrmHelp* frmHelp = nullptr;

namespace {

// Two columns: what to press, what it does.
const char* const kHelpHtml = R"(
<h3>Tasten und Maus in den Fenstern „Daten“ und „Skalierungsfunktion und Wavelets“</h3>
<table cellspacing="0" cellpadding="3">
<tr><td colspan="2"><b>Tastatur</b></td></tr>
<tr><td>R</td><td>Drehen: die Pfeiltasten drehen das Bild</td></tr>
<tr><td>T</td><td>Verschieben: die Pfeiltasten bewegen die Ansicht</td></tr>
<tr><td colspan="2">R und T gelten für beide Fenster zugleich.</td></tr>
<tr><td colspan="2"><i>Beim Drehen:</i></td></tr>
<tr><td>← / →</td><td>um die z-Achse drehen</td></tr>
<tr><td>↑ / ↓</td><td>um die x-Achse drehen</td></tr>
<tr><td>Umschalt + ↑ / ↓</td><td>um die y-Achse drehen</td></tr>
<tr><td colspan="2"><i>Beim Verschieben:</i></td></tr>
<tr><td>← / →</td><td>nach links / rechts verschieben</td></tr>
<tr><td>↑ / ↓</td><td>näher heran / weiter weg</td></tr>
<tr><td>Umschalt + ↑ / ↓</td><td>nach oben / unten verschieben</td></tr>
<tr><td>Strg+C</td><td>Bild in die Zwischenablage kopieren</td></tr>
<tr><td>Strg+S</td><td>Bild speichern (PNG, mit der Endung .jpg als JPEG)</td></tr>
<tr><td>F1</td><td>diese Hilfe (in jedem Fenster)</td></tr>
<tr><td>Esc</td><td>Hilfe schließen</td></tr>
<tr><td colspan="2"><b>Maus</b> (unabhängig von R und T)</td></tr>
<tr><td>Ziehen mit der linken Taste</td><td>drehen: waagerecht wie ← / →, senkrecht wie ↑ / ↓</td></tr>
<tr><td>Umschalt + Ziehen mit der linken Taste</td><td>senkrecht wie Umschalt + ↑ / ↓</td></tr>
<tr><td>Ziehen mit der rechten oder mittleren Taste</td><td>Ansicht verschieben, das Bild folgt der Maus</td></tr>
<tr><td>Mausrad</td><td>nach vorn: näher heran, nach hinten: weiter weg</td></tr>
<tr><td>Doppelklick mit der linken Taste</td><td>Drehung und Lage der Ansicht zurücksetzen</td></tr>
<tr><td>Rechtsklick</td><td>Menü mit „Bild kopieren“ und „Bild speichern…“</td></tr>
</table>
<p>Im Funktionsfenster wirkt das Drehen auf alle vier Funktionen,
in der Nahansicht nur auf die gezeigte.</p>
)";

// Opens the help on F1 wherever the key is pressed.
class HelpKey : public QObject {
public:
  using QObject::QObject;

protected:
  bool eventFilter(QObject* receiver, QEvent* e) override {
    if (e->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(e);
    if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier) return false;
    // Only the first receiver acts (for a widget, its window comes first); an
    // open dialog or menu keeps the key for itself.
    if (!receiver->isWidgetType() && !receiver->isWindowType()) return false;
    if (QApplication::activeModalWidget() != nullptr || QApplication::activePopupWidget() != nullptr) return false;
    ShowHelp();
    return true;
  }
};

}  // namespace

TfrmHelp::TfrmHelp() {
  setWindowTitle(QStringLiteral("Hilfe"));
  move(240, 120);
  resize(560, 520);
  txtHilfe = new QTextBrowser(this);
  txtHilfe->setHtml(QString::fromUtf8(kHelpHtml));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(txtHilfe);
}

void TfrmHelp::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) close();
  else QWidget::keyPressEvent(e);
}

void ShowHelp() {
  if (frmHelp == nullptr) {
    frmHelp = new TfrmHelp;
    if (frmKontrolle && frmKontrolle->isVisible()) {
      // Not over the control panel, where the lesson is driven from.
      const QRect panel = frmKontrolle->frameGeometry();
      const QRect client = frmKontrolle->geometry();
      const Margins m{client.left() - panel.left(), client.top() - panel.top(), panel.right() - client.right(),
                      panel.bottom() - client.bottom()};
      const QRect screen = frmKontrolle->screen()->availableGeometry();
      const Box place = PlaceHelp({screen.x(), screen.y(), screen.width(), screen.height()}, m,
                                  {panel.x(), panel.y(), panel.width(), panel.height()},
                                  {frmHelp->x(), frmHelp->y(), frmHelp->width(), frmHelp->height()});
      frmHelp->move(place.x, place.y);
      frmHelp->resize(place.width, place.height);
    }
  }
  frmHelp->show();
  frmHelp->raise();
  frmHelp->activateWindow();
}

void InstallHelpKey(QCoreApplication& app) { app.installEventFilter(new HelpKey(&app)); }
