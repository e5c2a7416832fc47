#include "windows/Grafik.h"

#include "interaction/navigation.h"
#include "render/scenes.h"

TfrmGrafik* frmGrafik = nullptr;

TfrmGrafik::TfrmGrafik() : GlView(QStringLiteral("Skalierungsfunktion und Wavelets"), NavView::Grafik,
                                 QStringLiteral("veltra-funktionen.png")) {
  setFramePosition(QPoint(1, -1));
  resize(492, 528);
}

void TfrmGrafik::PaintOrResize(int clientWidth, int clientHeight) {
  GrafikPaintOrResize(clientWidth, clientHeight);
}

void TfrmGrafik::KeyDown(int key, bool shift) { GrafikKeyDown(key, shift); }
