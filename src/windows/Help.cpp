#include "windows/Help.h"

#include <QApplication>
#include <QScreen>
#include <QKeyEvent>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "interaction/help_text.h"
#include "interaction/window_places.h"
#include "windows/Kontrolle.h"
#include "windows/presentation.h"
#include "windows/tr.h"

TfrmHelp* frmHelp = nullptr;

namespace {


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
  setWindowTitle(TrQ("Hilfe"));
  move(240, 120);
  resize(560, 520);
  txtHilfe = new QTextBrowser(this);
  txtHilfe->setHtml(QString::fromUtf8(HelpHtml()));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(txtHilfe);
  // Room for a step of the lesson to read without scrolling.
  FollowPresentation(this, {}, [this] { return size() * 3 / 2; });
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
      // Its frame is not known before it is shown: a frame like the panel's.
      frmHelp->setGeometry(place.x + m.left, place.y + m.top, place.width, place.height);
    }
  }
  frmHelp->show();
  frmHelp->raise();
  frmHelp->activateWindow();
}

void InstallHelpKey(QCoreApplication& app) { app.installEventFilter(new HelpKey(&app)); }
