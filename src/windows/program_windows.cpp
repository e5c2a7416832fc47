#include "windows/program_windows.h"

#include <QApplication>
#include <QScreen>
#include <QScrollBar>

#include "interaction/window_places.h"
#include "render/glwindow.h"
#include "state/state.h"
#include "windows/About.h"
#include "windows/Analyse.h"
#include "windows/Bild.h"
#include "windows/Daten.h"
#include "windows/Grafik.h"
#include "windows/Help.h"
#include "windows/Kontrolle.h"
#include "windows/Prefs.h"
#include "windows/presentation.h"
#include "windows/state_notice.h"

namespace {

Margins FrameMarginsOf(const QMargins& m) { return {m.left(), m.top(), m.right(), m.bottom()}; }
Box BoxOf(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }

// Under a window manager the views' client corners at the screen's top edge
// would put their title bars above the screen: the frames go there instead,
// client sizes unchanged.
void PlaceViewFrames() {
  if (!frmGrafik || !frmDaten) return;
  const Margins m = FrameMarginsOf(frmGrafik->frameMargins());
  const ViewPlaces p = PlaceViews(BoxOf(frmGrafik->screen()->availableGeometry()), m);
  frmGrafik->setPosition(p.grafikX, p.grafikY);
  frmDaten->setPosition(p.datenX, p.datenY);
}

}  // namespace

void CreateForms() {
  frmKontrolle = new TfrmKontrolle;
  frmKontrolle->windows = {CreateViewWindows, ShowAnalyse, ShowViews, EndProgram, SetPresentation};
  frmKontrolle->FormCreate();
  frmKontrolle->show();
  frmPrefs = new TfrmPrefs;
}

void CreateViewWindows() {
  frmGrafik = new TfrmGrafik;
  frmGrafik->show();
  appState.setGrafikCaption = [](const std::string& caption) {
    if (frmGrafik) frmGrafik->setTitle(QString::fromStdString(caption));
  };
  frmDaten = new TfrmDaten;
  frmGrafik->firstExposed = [] { PlaceViewFrames(); };
  frmDaten->firstExposed = [] { PlaceViewFrames(); };
  frmDaten->show();
  frmAbout = new TfrmAbout;

  CreateViewContexts(frmGrafik, frmDaten);

  frmAnalyse = new TfrmAnalyse;
  // Clicking the Delta curve acts like moving the scroll bar.
  QObject::connect(frmAnalyse, &TfrmAnalyse::deltaPicked, frmKontrolle->scrDelta, &QScrollBar::setValue);
  // Every window follows the state; the panel first, as its labels are read most.
  QObject::connect(&Notice(), &StateNotice::changed, frmKontrolle, &TfrmKontrolle::ShowState);
  QObject::connect(&Notice(), &StateNotice::changed, frmAnalyse, &TfrmAnalyse::StateChanged);
  QObject::connect(&Notice(), &StateNotice::changed, frmAnalyse, [] { BildStateChanged(); });
  QObject::connect(&Notice(), &StateNotice::deltaMoved, frmAnalyse, &TfrmAnalyse::DeltaMoved);
  frmDaten->fileDropped = [](const std::string& path) { frmAnalyse->LoadFile(path); };
  frmGrafik->showPictureWindow = frmDaten->showPictureWindow = ShowBild;
}

void DestroyForms() {
  // EndProgram has already released the contexts and destroyed the views.
  delete frmPrefs;
  frmPrefs = nullptr;
  delete frmAbout;
  frmAbout = nullptr;
  delete frmHelp;
  frmHelp = nullptr;
  delete frmKontrolle;
  frmKontrolle = nullptr;
}

void EndProgram() {
  static bool ended = false;
  if (ended) return;
  ended = true;
  ReleaseViewContexts();
  appState.setGrafikCaption = nullptr;
  appState.dcGrafik = nullptr;
  appState.dcDaten = nullptr;
  delete frmDaten;
  frmDaten = nullptr;
  delete frmGrafik;
  frmGrafik = nullptr;
  if (frmPrefs) frmPrefs->hide();
  if (frmAbout) frmAbout->hide();
  if (frmHelp) frmHelp->hide();
  delete frmAnalyse;
  frmAnalyse = nullptr;
  delete frmBild;
  frmBild = nullptr;
  if (frmKontrolle) frmKontrolle->hide();
  QApplication::quit();
}

void ShowAnalyse() {
  static bool placed = false;
  if (!placed && frmGrafik && frmDaten) {
    placed = true;
    const QRect views = frmGrafik->frameGeometry().united(frmDaten->frameGeometry());
    const QSize size = frmAnalyse->size();
    const Margins m = FrameMarginsOf(frmGrafik->frameMargins());
    const Point at = PlaceBeside(BoxOf(frmGrafik->screen()->availableGeometry()), m, BoxOf(views), size.width(),
                                 size.height());
    // Before its first showing a window's frame is not known to Qt: its
    // client goes inside a frame like the views'.
    frmAnalyse->setGeometry(at.x + m.left, at.y + m.top, size.width(), size.height());
  }
  frmAnalyse->show();
  frmAnalyse->raise();
  frmAnalyse->activateWindow();
}

void ShowViews() {
  for (QWindow* view : {static_cast<QWindow*>(frmGrafik), static_cast<QWindow*>(frmDaten)}) {
    if (!view) continue;
    view->show();
    view->raise();
  }
}

void OpenStartFile(const std::string& path) {
  // A refusal shows its message and leaves the sample in place.
  if (frmAnalyse) frmAnalyse->LoadFile(path);
}
