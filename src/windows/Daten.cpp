#include "windows/Daten.h"

#include "interaction/display_scale_text.h"
#include "interaction/picture_view.h"
#include "interaction/navigation.h"
#include "render/scenes.h"
#include "windows/tr.h"

TfrmDaten* frmDaten = nullptr;

TfrmDaten::TfrmDaten() : GlView(TrQ("Daten"), NavView::Daten,
                               QString::fromStdString(ProposedPictureName("daten"))) {
  setFramePosition(QPoint(493, -1));
  resize(531, 528);
  // The caption says the scale the picture is drawn at when it is not 1.
  appState.dataViewScaleChanged = [this](const DisplayScale& scale) {
    setTitle(QString::fromStdString(DatenCaption(scale)));
  };
}

TfrmDaten::~TfrmDaten() { appState.dataViewScaleChanged = nullptr; }

void TfrmDaten::PaintOrResize(int clientWidth, int clientHeight) {
  DatenPaintOrResize(clientWidth, clientHeight);
}

void TfrmDaten::KeyDown(int key, bool shift) { DatenKeyDown(key, shift); }
