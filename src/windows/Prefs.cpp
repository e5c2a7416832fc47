#include "windows/Prefs.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "interaction/settings.h"
#include "windows/tr.h"

TfrmPrefs* frmPrefs = nullptr;

namespace {

QGroupBox* MakeGroup(QWidget* parent, const QString& title, int x, int y, int w, int h) {
  auto* g = new QGroupBox(title, parent);
  QFont f = g->font();
  f.setBold(true);
  g->setFont(f);
  g->setGeometry(x, y, w, h);
  return g;
}

// Labels are right-aligned so their right edges line up before the fields.
QLabel* MakeFieldLabel(QGroupBox* group, const QString& text, int x, int y, int fieldX) {
  auto* label = new QLabel(text, group);
  QFont f = label->font();
  f.setBold(false);
  label->setFont(f);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  label->setGeometry(x - 40, y - 2, fieldX - 6 - (x - 40), 17);
  return label;
}

QLineEdit* MakeField(QGroupBox* group, int x, int y) {
  auto* field = new QLineEdit(group);
  QFont f = field->font();
  f.setBold(false);
  field->setFont(f);
  field->setGeometry(x, y, 49, 21);
  return field;
}

}  // namespace

TfrmPrefs::TfrmPrefs() {
  setWindowTitle(TrQ("Einstellungen"));
  move(166, 222);
  setFixedSize(550, 239);

  grpSchrittweite = MakeGroup(this, TrQ("Schrittweite der Darstellung bei"), 32, 24, 241, 129);
  labhNear = MakeFieldLabel(grpSchrittweite, TrQ("naher Betrachtung:"), 34, 26, 144);
  txthNear = MakeField(grpSchrittweite, 144, 24);
  labFar = MakeFieldLabel(grpSchrittweite, TrQ("entfernter Betrachtung:"), 16, 58, 144);
  txthFar = MakeField(grpSchrittweite, 144, 56);
  Label2 = MakeFieldLabel(grpSchrittweite, TrQ("den Daten:"), 72, 90, 144);
  txthDat = MakeField(grpSchrittweite, 144, 88);

  GroupBox1 = MakeGroup(this, TrQ("Rotationen"), 288, 24, 241, 57);
  labRotStep = MakeFieldLabel(GroupBox1, TrQ("Schrittweite:"), 77, 26, 152);
  txtRotStep = MakeField(GroupBox1, 152, 24);

  grpSchritte = MakeGroup(this, TrQ("Wechsel der Ansichten"), 288, 88, 241, 65);
  labSteps = MakeFieldLabel(grpSchritte, TrQ("Anzahl Zwischenschritte:"), 17, 26, 152);
  txtSteps = MakeField(grpSchritte, 152, 24);

  butOK = new QPushButton("OK", this);
  butOK->setGeometry(280, 176, 113, 25);
  butAbbrechen = new QPushButton(TrQ("Abbrechen"), this);
  butAbbrechen->setGeometry(408, 176, 113, 25);
  // Return on a focused button presses that button; elsewhere it means "OK".
  butOK->setAutoDefault(true);
  butAbbrechen->setAutoDefault(true);

  setTabOrder(butOK, butAbbrechen);
  setTabOrder(butAbbrechen, txthFar);
  setTabOrder(txthFar, txthDat);
  setTabOrder(txthDat, txthNear);
  setTabOrder(txthNear, txtRotStep);
  setTabOrder(txtRotStep, txtSteps);

  connect(butOK, &QPushButton::clicked, this, &TfrmPrefs::butOKClick);
  connect(butAbbrechen, &QPushButton::clicked, this, &TfrmPrefs::butAbbrechenClick);
}

void TfrmPrefs::Open() {
  show();
  raise();
  activateWindow();
  const SettingsText t = CurrentSettingsText();
  txthNear->setText(QString::fromStdString(t.near));
  txthFar->setText(QString::fromStdString(t.far));
  txthDat->setText(QString::fromStdString(t.data));
  txtSteps->setText(QString::fromStdString(t.steps));
  txtRotStep->setText(QString::fromStdString(t.rotStep));
}

void TfrmPrefs::butOKClick() {
  const SettingsText t{txthNear->text().toStdString(), txthFar->text().toStdString(),
                       txthDat->text().toStdString(), txtRotStep->text().toStdString(),
                       txtSteps->text().toStdString()};
  const SettingsCheck check = CheckSettings(t);
  if (!check.values) {
    // Refused: the window stays open and nothing is taken over.
    QMessageBox::information(this, TrQ("Einstellungen"), QString::fromStdString(check.error));
    return;
  }
  ApplySettings(*check.values);
  hide();
}

void TfrmPrefs::butAbbrechenClick() { hide(); }

void TfrmPrefs::keyPressEvent(QKeyEvent* e) {
  // The fields and buttons pass these keys on to the window.
  switch (e->key()) {
    case Qt::Key_Escape: butAbbrechenClick(); break;
    case Qt::Key_Return:
    case Qt::Key_Enter: butOKClick(); break;
    default: QWidget::keyPressEvent(e); break;
  }
}
