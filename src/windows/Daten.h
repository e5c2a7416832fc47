#pragma once
#include "windows/glview.h"

// The data view: the sample surface and its analysis.
class TfrmDaten : public GlView {
  Q_OBJECT
public:
  TfrmDaten();
  ~TfrmDaten() override;

protected:
  void PaintOrResize(int clientWidth, int clientHeight) override;
  void KeyDown(int key, bool shift) override;
};

extern TfrmDaten* frmDaten;
