#pragma once
// Helpers shared by the Qt Test executables that drive the windows in process.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "state/state.h"

namespace widgets {

// A check box toggles when its indicator is clicked; its centre may lie past a short caption.
inline void ClickBox(QCheckBox* box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2)); }

// Replaces the field's text by typing.
inline void Type(QLineEdit* field, const QString& text) {
  QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(field, Qt::Key_Backspace);
  QTest::keyClicks(field, text);
}

// Under LC_ALL=de_DE the C library must really write decimal commas once the
// toolkit has set the locale, or the German run proves nothing.
inline bool GermanLocaleInForceIfAsked() {
  if (!qEnvironmentVariable("LC_ALL").startsWith("de_DE")) return true;
  char buf[16];
  std::snprintf(buf, sizeof buf, "%g", 0.4);
  return QByteArray(buf) == "0,4";
}

// The values the settings window edits.
struct Settings {
  double near, far, data, rot, steps;
  static Settings Now() {
    const AppState& s = appState;
    return {s.stepNear, s.stepFar, s.stepData, s.rotStep, s.transitionSteps};
  }
  bool operator==(const Settings&) const = default;
};

// Reads and confirms every message box that opens while it lives.
class BoxCloser : public QObject {
public:
  QStringList texts;
  explicit BoxCloser(int intervalMs = 20) {
    timer.setInterval(intervalMs);
    connect(&timer, &QTimer::timeout, this, [this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        texts << box->text();
        box->accept();
      }
    });
    timer.start();
  }

private:
  QTimer timer;
};

}  // namespace widgets
