#pragma once
#include "windows/glview.h"

// The function view: the scaling function and the three wavelets.
class TfrmGrafik : public GlView {
  Q_OBJECT
public:
  TfrmGrafik();

protected:
  void PaintOrResize(int clientWidth, int clientHeight) override;
  void KeyDown(int key, bool shift) override;
};

extern TfrmGrafik* frmGrafik;
