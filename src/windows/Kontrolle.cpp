#include "windows/Kontrolle.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QStyleOptionComboBox>
#include <QWheelEvent>
#include <algorithm>

#include "blac/startup.h"
#include "interaction/data_source.h"
#include "interaction/analysis_panel.h"
#include "interaction/commands.h"
#include "interaction/selection.h"
#include "windows/Prefs.h"
#include "windows/About.h"
#include "windows/state_notice.h"
#include "windows/tr.h"
#include "state/state.h"

TfrmKontrolle* frmKontrolle = nullptr;

namespace {

QLabel* MakeLabel(QWidget* parent, const QString& text, int x, int y, bool heading = false) {
  auto* label = new QLabel(text, parent);
  if (heading) {
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, QColor(0x80, 0x00, 0x00));  // maroon
    label->setPalette(p);
  }
  label->move(x, y);
  label->adjustSize();
  return label;
}

QFrame* MakeBar(QWidget* parent, int x, int y, int w, int h) {
  auto* bar = new QFrame(parent);
  bar->setFrameShape(QFrame::VLine);
  bar->setFrameShadow(QFrame::Sunken);
  bar->setGeometry(x, y, w, h);
  return bar;
}

// The platform's sans-serif is wider than the font the layout was drawn for:
// a caption that would be cut off gets the width it needs.
void FitCaption(QWidget* w) {
  if (w->sizeHint().width() > w->width()) w->resize(w->sizeHint().width(), w->height());
}

// A widened control must stay clear of the bar to the right of its group,
// where the end of its caption would be hidden; a column moves left together.
void KeepLeftOf(std::initializer_list<QWidget*> column, int rightLimit) {
  int overshoot = 0;
  for (QWidget* w : column) overshoot = std::max(overshoot, w->geometry().right() - rightLimit);
  if (overshoot <= 0) return;
  for (QWidget* w : column) w->move(w->x() - overshoot, w->y());
}

// The same for the selection box: its edit field must show the longest item
// ("Skalierungsfunktion") in full. It grows inside its group, between the bars.
void FitItems(QComboBox* cmb, int leftLimit, int rightLimit) {
  QStyleOptionComboBox opt;
  opt.initFrom(cmb);
  opt.editable = cmb->isEditable();
  opt.rect = QRect(QPoint(0, 0), cmb->size());
  const QRect field = cmb->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, cmb);
  int widest = 0;
  for (int i = 0; i < cmb->count(); ++i) {
    widest = std::max(widest, cmb->fontMetrics().horizontalAdvance(cmb->itemText(i)));
  }
  // A line edit keeps 2 pixels free on each side of its text; the field the
  // box finally gives it can be a little narrower than the style's estimate.
  const int missing = widest + 8 - field.width();
  if (missing <= 0) return;
  QRect g = cmb->geometry();
  g.setWidth(std::min(g.width() + missing, rightLimit - leftLimit + 1));
  if (g.right() > rightLimit) g.moveRight(rightLimit);
  if (g.left() < leftLimit) g.moveLeft(leftLimit);
  cmb->setGeometry(g);
}

// One notch of the wheel is one step of the scroll bar (Qt would scroll
// three), in Qt's direction: forward towards the start.
class WheelSingleStep : public QObject {
public:
  using QObject::QObject;

protected:
  bool eventFilter(QObject* receiver, QEvent* e) override {
    if (e->type() != QEvent::Wheel) return false;
    auto* bar = static_cast<QScrollBar*>(receiver);
    const QPoint angle = static_cast<QWheelEvent*>(e)->angleDelta();
    pending_ += angle.y() != 0 ? angle.y() : angle.x();
    while (pending_ >= 120) {
      bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
      pending_ -= 120;
    }
    while (pending_ <= -120) {
      bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
      pending_ += 120;
    }
    e->accept();
    return true;
  }

private:
  int pending_ = 0;  // eighths of a degree not yet turned into a step
};

}  // namespace

TfrmKontrolle::TfrmKontrolle() {
  setWindowTitle(TrQ("Veltra – BLaC-Wavelets anschaulich"));
  move(112, 543);
  setFixedSize(801, 143);

  labParams = MakeLabel(this, TrQ("Parameter"), 147, 8, true);
  labDelta = MakeLabel(this, QString::fromStdString(DeltaLabelText(appState.delta)), 24, 32);
  labDelta->setMinimumWidth(140);
  scrDelta = new QScrollBar(Qt::Horizontal, this);
  scrDelta->setGeometry(24, 56, 145, 16);
  scrDelta->setRange(0, 100);
  scrDelta->setSingleStep(1);
  // Clicks beside the handle and Page Up/Down move by 0.1; the arrow keys and
  // the wheel by 0.01. The handle keeps its size: a page of 0 would leave the
  // clicks beside it without effect.
  scrDelta->setPageStep(10);
  scrDelta->installEventFilter(new WheelSingleStep(scrDelta));
  // A scroll bar turns its keys round by default (Right would lower Delta):
  // Right and Up raise it here, like the arrow at the right end.
  scrDelta->setInvertedControls(false);
  scrDelta->setValue(40);

  labLevel = MakeLabel(this, QString::fromStdString(LevelLabelText(appState.chosenLevel)), 200, 32);
  labLevel->setMinimumWidth(100);
  trbLevel = new QSlider(Qt::Horizontal, this);
  trbLevel->setGeometry(184, 53, 129, 33);
  trbLevel->setRange(2, 6);
  trbLevel->setSingleStep(1);
  trbLevel->setPageStep(1);
  trbLevel->setTickPosition(QSlider::TicksBelow);
  trbLevel->setTickInterval(1);
  trbLevel->setValue(6);

  butBerechne = new QPushButton(TrQ("Berechne!"), this);
  butBerechne->setGeometry(328, 48, 65, 41);
  // A placeholder until start-up has computed the Delta in force.
  labaktuellesDelta = MakeLabel(this, TrQ("Aktuelles Delta:"), 24, 88);
  labaktuellesDelta->setMinimumWidth(200);
  panStrichlinks = MakeBar(this, 400, 0, 2, 113);

  labZoom = MakeLabel(this, TrQ("Ansicht"), 448, 8, true);
  cbxZoom = new QCheckBox(TrQ("Zoom"), this);
  cbxZoom->setGeometry(416, 32, 97, 17);
  cbxZoom->setChecked(true);
  cbxOnlyData = new QCheckBox(TrQ("Zeige nur Daten"), this);
  cbxOnlyData->setGeometry(416, 56, 97, 17);
  cbxOnlyData->setChecked(true);
  cbxDrahtgitter = new QCheckBox(TrQ("Drahtgitter"), this);
  cbxDrahtgitter->setGeometry(416, 80, 97, 17);
  cbxDrahtgitter->setChecked(false);
  panStrichMitte = MakeBar(this, 520, 1, 2, 112);

  labSelect = MakeLabel(this, TrQ("Auswahl"), 576, 8, true);
  cmbSelect = new QComboBox(this);
  cmbSelect->setGeometry(536, 48, 121, 21);
  cmbSelect->setEditable(true);
  cmbSelect->setInsertPolicy(QComboBox::NoInsert);
  // Only choosing one of the items may start a transition. Qt would otherwise
  // turn typed text into a choice: the completer fills in an item's text, and
  // leaving the field or pressing Return with an item's text selects that item.
  cmbSelect->setCompleter(nullptr);
  QObject::disconnect(cmbSelect->lineEdit(), &QLineEdit::editingFinished, cmbSelect, nullptr);
  cmbSelect->addItems({TrQ("Alle Funktionen"), TrQ("Skalierungsfunktion"), TrQ("Wavelet 1"), TrQ("Wavelet 2"), TrQ("Wavelet 3")});
  cmbSelect->setCurrentIndex(-1);
  cmbSelect->setEditText(TrQ("Alle Funktionen"));
  panStrichRechts = MakeBar(this, 664, 0, 2, 113);

  butAbout = new QPushButton(TrQ("Über"), this);
  butAbout->setGeometry(696, 13, 75, 25);
  butPrefs = new QPushButton(TrQ("Einstellungen"), this);
  butPrefs->setGeometry(696, 45, 75, 25);
  butEnde = new QPushButton(TrQ("Ende"), this);
  butEnde->setGeometry(696, 77, 73, 25);
  // In the free space below the selection box.
  butAnalyse = new QPushButton(TrQ("Analyse…"), this);
  butAnalyse->setGeometry(536, 82, 121, 25);
  // In the free space below the display switches: closed views come back.
  butAnsichten = new QPushButton(TrQ("Ansichten"), this);
  butAnsichten->setGeometry(416, 108, 97, 25);
  // Below "Analyse…", which it enlarges for a projector.
  cbxPraesentation = new QCheckBox(TrQ("Präsentation"), this);
  cbxPraesentation->setGeometry(536, 112, 121, 17);
  cbxPraesentation->setToolTip(TrQ("Größere Schrift, Kurven und Bilder in „Analyse“, „Bild“ und „Hilfe“ für den Projektor"));
  butAnsichten->setToolTip(TrQ("Zeigt die Fenster „Skalierungsfunktion und Wavelets“ und „Daten“ wieder, wo sie waren."));
  // Below "aktuelles Delta": shown while the data view's coefficients were
  // analysed with another Delta than the one "Berechne!" put in force.
  labDeltaHinweis = new QLabel(this);
  labDeltaHinweis->setGeometry(24, 112, 372, 16);
  QPalette warn = labDeltaHinweis->palette();
  warn.setColor(QPalette::WindowText, QColor(0xa0, 0x00, 0x00));
  labDeltaHinweis->setPalette(warn);

  for (QWidget* w : std::initializer_list<QWidget*>{butBerechne, cbxZoom, cbxOnlyData, cbxDrahtgitter,
                                                    butAbout, butPrefs, butEnde}) {
    FitCaption(w);
  }
  KeepLeftOf({butBerechne}, 396);                            // bar at 400
  KeepLeftOf({cbxZoom, cbxOnlyData, cbxDrahtgitter}, 516);   // bar at 520
  KeepLeftOf({butAbout, butPrefs, butEnde}, width() - 5);    // the panel's edge
  FitItems(cmbSelect, 524, 661);  // between the bars at 520..521 and 664..665
  for (QWidget* w : std::initializer_list<QWidget*>{scrDelta, trbLevel, cbxZoom, butEnde, butBerechne,
                                                    cmbSelect, cbxOnlyData, butPrefs, cbxDrahtgitter,
                                                    butAbout, butAnalyse, butAnsichten, cbxPraesentation}) {
    w->setFocusPolicy(Qt::StrongFocus);
  }
  setTabOrder(scrDelta, trbLevel);
  setTabOrder(trbLevel, cbxZoom);
  setTabOrder(cbxZoom, butEnde);
  setTabOrder(butEnde, butBerechne);
  setTabOrder(butBerechne, cmbSelect);
  setTabOrder(cmbSelect, cbxOnlyData);
  setTabOrder(cbxOnlyData, butPrefs);
  setTabOrder(butPrefs, cbxDrahtgitter);
  setTabOrder(cbxDrahtgitter, butAbout);
  setTabOrder(butAbout, butAnalyse);
  setTabOrder(butAnalyse, butAnsichten);
  setTabOrder(butAnsichten, cbxPraesentation);

  connect(scrDelta, &QScrollBar::valueChanged, this, &TfrmKontrolle::scrDeltaChange);
  connect(trbLevel, &QSlider::valueChanged, this, &TfrmKontrolle::trbLevelChange);
  connect(butBerechne, &QPushButton::clicked, this, &TfrmKontrolle::butBerechneClick);
  connect(cbxZoom, &QCheckBox::clicked, this, &TfrmKontrolle::cbxZoomClick);
  connect(cbxOnlyData, &QCheckBox::clicked, this, &TfrmKontrolle::cbxOnlyDataClick);
  connect(cbxDrahtgitter, &QCheckBox::clicked, this, &TfrmKontrolle::cbxDrahtgitterClick);
  // activated also fires when the item already chosen is chosen again.
  connect(cmbSelect, &QComboBox::activated, this, &TfrmKontrolle::cmbSelectChange);
  // Typed text selects no item.
  connect(cmbSelect->lineEdit(), &QLineEdit::textEdited, this, [this] { cmbSelectChange(-1); });
  connect(butAbout, &QPushButton::clicked, this, &TfrmKontrolle::butAboutClick);
  connect(butPrefs, &QPushButton::clicked, this, &TfrmKontrolle::butPrefsClick);
  connect(butEnde, &QPushButton::clicked, this, &TfrmKontrolle::butEndeClick);
  connect(butAnalyse, &QPushButton::clicked, this, &TfrmKontrolle::butAnalyseClick);
  connect(butAnsichten, &QPushButton::clicked, this, &TfrmKontrolle::butAnsichtenClick);
  connect(cbxPraesentation, &QCheckBox::toggled, this, [this](bool on) {
    if (windows.presentation) windows.presentation(on);
  });
}

void TfrmKontrolle::FormCreate() {
  RunStartupNumerics();
  labaktuellesDelta->setText(QString::fromStdString(CurrentDeltaLabelText(appState.currentDelta)));
  if (windows.createViews) windows.createViews();
}

void TfrmKontrolle::scrDeltaChange() {
  DeltaChanged(scrDelta->value());
  labDelta->setText(QString::fromStdString(DeltaLabelText(appState.delta)));
  NotifyDeltaMoved();
}

void TfrmKontrolle::trbLevelChange() {
  LevelChanged(trbLevel->value());
  NotifyStateChanged();
}

void TfrmKontrolle::butBerechneClick() {
  Compute();
  NotifyStateChanged();
}

void TfrmKontrolle::ShowState() {
  {
    // A new surface (or resolution) puts the level to the top without running any level step.
    const QSignalBlocker quiet(trbLevel);
    trbLevel->setRange(LevelTrackRange().lowest, LevelTrackRange().highest);
    trbLevel->setValue(appState.chosenLevel);
  }
  labLevel->setText(QString::fromStdString(LevelLabelText(appState.chosenLevel)));
  labaktuellesDelta->setText(QString::fromStdString(CurrentDeltaLabelText(appState.currentDelta)));
  // Shown while the data view's coefficients were analysed with another Delta.
  labDeltaHinweis->setText(QString::fromStdString(MismatchText()));
}

void TfrmKontrolle::cbxZoomClick() { ZoomChanged(cbxZoom->isChecked()); }
void TfrmKontrolle::cbxOnlyDataClick() { OnlyDataChanged(cbxOnlyData->isChecked()); }
void TfrmKontrolle::cbxDrahtgitterClick() { WireframeChanged(cbxDrahtgitter->isChecked()); }

void TfrmKontrolle::cmbSelectChange(int itemIndex) { SelectFunction(itemIndex); }

void TfrmKontrolle::butAboutClick() {
  frmAbout->show();
  frmAbout->raise();
  frmAbout->activateWindow();
}

void TfrmKontrolle::butPrefsClick() { frmPrefs->Open(); }

void TfrmKontrolle::butEndeClick() {
  if (windows.end) windows.end();
}

void TfrmKontrolle::butAnalyseClick() {
  if (windows.showAnalyse) windows.showAnalyse();
}

void TfrmKontrolle::butAnsichtenClick() {
  if (windows.showViews) windows.showViews();
}

void TfrmKontrolle::closeEvent(QCloseEvent* e) {
  e->accept();
  if (windows.end) windows.end();
}
