// The program with --lang en, as a user starts it: the control panel and
// "Analyse" in English, every caption whole inside its control (the panel's
// fixed places widen captions as in German) and no two panel controls on
// each other; Qt's own dialogs in Qt's English.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "interaction/command_line.h"
#include "windows/Analyse.h"
#include "windows/Kontrolle.h"
#include "windows/application.h"
#include "windows/program_windows.h"

namespace {

// Every caption that does not fit its control, named with its window.
QStringList Clipped(QWidget* window) {
  QStringList out;
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (!w->isVisibleTo(window)) continue;
    QString text;
    int needed = 0;
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
      text = b->text();
      needed = b->sizeHint().width();
    } else if (auto* l = qobject_cast<QLabel*>(w); l && !l->wordWrap() && l->textFormat() != Qt::RichText) {
      text = l->text();
      needed = l->fontMetrics().horizontalAdvance(text) + 2 * l->margin() + 2 * l->frameWidth();
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
      text = g->title();
      needed = g->fontMetrics().horizontalAdvance(text) + 16;
    }
    if (!text.isEmpty() && needed > w->width()) {
      out << QString("%1 \"%2\": %3 > %4").arg(window->windowTitle(), text).arg(needed).arg(w->width());
    }
  }
  return out;
}

// A widget as a failure names it: its caption, else its class.
QString Named(QWidget* w) {
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
  if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
  return w->metaObject()->className();
}

}  // namespace

class EnglishTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() {
    const char* argv[] = {"veltra", "--lang", "en", nullptr};
    QCOMPARE(ParseCommandLine(3, argv).language, Language::English);
    InitialiseToolkit(*qApp);
    CreateForms();
    QVERIFY(QTest::qWaitForWindowExposed(frmKontrolle));
    QTest::mouseClick(frmKontrolle->butAnalyse, Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowExposed(frmAnalyse));
  }

  void panelAndAnalyseSpeakEnglish() {
    TfrmKontrolle* k = frmKontrolle;
    QCOMPARE(k->windowTitle(), QString::fromUtf8("Veltra \u2013 BLaC wavelets made visible"));
    QCOMPARE(k->butBerechne->text(), QString("Compute!"));
    QCOMPARE(k->cbxOnlyData->text(), QString("Show data only"));
    QCOMPARE(k->cbxDrahtgitter->text(), QString("Wire frame"));
    QCOMPARE(k->butPrefs->text(), QString("Settings"));
    QCOMPARE(k->butEnde->text(), QString("Quit"));
    QCOMPARE(k->butAnalyse->text(), QString::fromUtf8("Analysis\u2026"));
    QCOMPARE(k->cbxPraesentation->text(), QString("Presentation"));
    QCOMPARE(k->cmbSelect->itemText(1), QString("Scaling function"));
    QCOMPARE(k->cmbSelect->currentText(), QString("All functions"));
    QCOMPARE(k->labaktuellesDelta->text(), QString("current Delta: 0.4"));

    TfrmAnalyse* a = frmAnalyse;
    QCOMPARE(a->windowTitle(), QString("Analysis"));
    QCOMPARE(a->butUebernehmen->text(), QString("Apply"));
    QCOMPARE(a->rbBeispiel->text(), QString("Sample surface"));
    // Nothing German left in the two windows' captions.
    for (QWidget* window : {static_cast<QWidget*>(k), static_cast<QWidget*>(a)}) {
      for (QWidget* w : window->findChildren<QWidget*>()) {
        QString text;
        if (auto* b = qobject_cast<QAbstractButton*>(w)) text = b->text();
        else if (auto* l = qobject_cast<QLabel*>(w)) text = l->text();
        else if (auto* g = qobject_cast<QGroupBox*>(w)) text = g->title();
        const QString tip = w->toolTip();
        for (const QString& t : {text, tip}) {
          QVERIFY2(!t.contains(QRegularExpression(QString::fromUtf8("[\u00e4\u00f6\u00fc\u00c4\u00d6\u00dc\u00df\u201e]"))),
                   qPrintable(window->windowTitle() + ": " + t));
        }
      }
    }
  }

  void captionsFitAndPanelControlsKeepApart() {
    QCOMPARE(Clipped(frmKontrolle), QStringList());
    QCOMPARE(Clipped(frmAnalyse), QStringList());
    // The panel's fixed places: no control on another.
    QList<QWidget*> parts;
    for (QWidget* w : frmKontrolle->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (w->isVisible() && !w->geometry().isEmpty()) parts << w;
    }
    for (int i = 0; i < parts.size(); ++i)
      for (int j = i + 1; j < parts.size(); ++j)
        QVERIFY2(!parts[i]->geometry().intersects(parts[j]->geometry()),
                 qPrintable(Named(parts[i]) + " on " + Named(parts[j])));
  }

  void qtDialogsInQtsEnglish() {
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString("Cancel"));
    QCOMPARE(QCoreApplication::translate("QFileDialog", "Open"), QString("Open"));
  }

  // Ended as a user ends it ("Quit"), which lets go of the views' contexts.
  void cleanupTestCase() {
    QTest::mouseClick(frmKontrolle->butEnde, Qt::LeftButton);
    DestroyForms();
  }
};

QTEST_MAIN(EnglishTest)
#include "tst_english.moc"
