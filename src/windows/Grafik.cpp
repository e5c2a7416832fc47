#include "windows/Grafik.h"

#include "interaction/picture_view.h"
#include "interaction/navigation.h"
#include "render/scenes.h"
#include "windows/tr.h"

TfrmGrafik* frmGrafik = nullptr;

TfrmGrafik::TfrmGrafik() : GlView(TrQ("Skalierungsfunktion und Wavelets"), NavView::Grafik,
                                 QString::fromStdString(ProposedPictureName("grafik"))) {
  setFramePosition(QPoint(1, -1));
  resize(492, 528);
}

void TfrmGrafik::PaintOrResize(int clientWidth, int clientHeight) {
  GrafikPaintOrResize(clientWidth, clientHeight);
}

void TfrmGrafik::KeyDown(int key, bool shift) { GrafikKeyDown(key, shift); }
