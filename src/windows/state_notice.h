#pragma once
// One notice that every window listens to, as the page's windows listen to
// one event: whoever changes the program's state says so once, and each
// window shows what it shows of it.
#include <QObject>

class StateNotice : public QObject {
  Q_OBJECT
signals:
  // Level, Delta in force, coefficients, source or resolution changed.
  void changed();
  // Only the scroll bar's Delta moved (the function view follows by itself).
  void deltaMoved();
};

StateNotice& Notice();
inline void NotifyStateChanged() { emit Notice().changed(); }
inline void NotifyDeltaMoved() { emit Notice().deltaMoved(); }
