#pragma once
// The window "Bild": the surface as flat pictures. Original, Rekonstruktion,
// Differenz and Koeffizienten side by side, each with its colour bar.
#include <QImage>
#include <QWidget>
#include <array>
#include <memory>
#include <vector>

#include "analysis/pictures.h"
#include "interaction/picture_view.h"

class QLabel;
class QMenu;

// One panel's picture, stretched to the source's aspect ratio with crisp
// pixels, and the lines between coefficient blocks.
class PicturePanel : public QWidget {
  Q_OBJECT
public:
  PicturePanel();
  void SetPicture(QImage image, std::vector<analysis::BlockLine> lines, double aspect);
  // Where the picture is drawn inside the panel.
  QRect PictureRect() const;
  const QImage& Picture() const { return image_; }

protected:
  void paintEvent(QPaintEvent* e) override;

private:
  QImage image_;
  std::vector<analysis::BlockLine> lines_;
  double aspect_ = 1;  // shown width / height
};

// A vertical colour bar with numbered ticks.
class ColourBar : public QWidget {
  Q_OBJECT
public:
  using Map = ColourMap;
  explicit ColourBar(Map map);
  void SetScale(const analysis::ColourScale& scale);
  // Wide enough for its numbers in the font it has.
  // The tick texts, top to bottom.
  QStringList TickTexts() const;

protected:
  void paintEvent(QPaintEvent* e) override;
  void changeEvent(QEvent* e) override;

private:
  void FitWidth();
  Map map_;
  analysis::ColourScale scale_;
};

class TfrmBild : public QWidget {
  Q_OBJECT
public:
  TfrmBild();
  ~TfrmBild() override;

  // Level, coefficients, source or tables changed: redrawn now if shown,
  // else when shown next.
  void StateChanged();
  // The whole window's picture at device resolution.
  QImage Picture();
  void CopyPicture();
  bool SavePicture(const QString& path);
  void AskAndSavePicture();

  // "Original", "Rekonstruktion", "Differenz", "Koeffizienten".
  std::array<QLabel*, 4> labTitel{};
  std::array<PicturePanel*, 4> panels{};
  std::array<ColourBar*, 4> bars{};
  // What the panels show, as computed.
  const analysis::Pictures& Shown() const { return pictures_; }

protected:
  void showEvent(QShowEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;

private:
  // "Präsentation": two rows of two when that gives larger panels.
  void Present(bool on);
  void Arrange(int columns);

  void Update();

  analysis::Pictures pictures_;
  bool pending_ = true;
  std::unique_ptr<QMenu> menu_;
};

// The one "Bild" window; null until it is first shown.
extern TfrmBild* frmBild;
// Shows the window (made on first use) and brings it to the front.
void ShowBild();
// Tells the window, if it exists, that what it shows changed.
void BildStateChanged();
