#include "windows/Bild.h"

#include <QContextMenuEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "interaction/data_source.h"
#include "interaction/picture_view.h"
#include "windows/picture_out.h"
#include "windows/presentation.h"
#include "windows/tr.h"

TfrmBild* frmBild = nullptr;

namespace {

// Room for the tick texts right of a colour bar.
constexpr int kBarWidth = 14;
constexpr int kBarTextWidth = 52;

QImage ToQImage(const analysis::RgbaImage& image) {
  if (image.width <= 0 || image.height <= 0) return {};
  const QImage view(image.bytes.data(), image.width, image.height, image.width * 4, QImage::Format_RGBA8888);
  return view.copy();  // the view does not outlive the bytes
}

}  // namespace

PicturePanel::PicturePanel() {
  setMinimumSize(160, 160);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void PicturePanel::SetPicture(QImage image, std::vector<analysis::BlockLine> lines, double aspect) {
  image_ = std::move(image);
  lines_ = std::move(lines);
  aspect_ = aspect > 0 && std::isfinite(aspect) ? aspect : 1;
  update();
}

QRect PicturePanel::PictureRect() const {
  const PicturePlace r = FitPicture(width(), height(), aspect_);
  return QRect(r.left, r.top, r.width, r.height);
}

void PicturePanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (image_.isNull()) return;
  const QRect target = PictureRect();
  // Enlarged grid points stay crisp squares.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.drawImage(target, image_);
  if (lines_.empty()) return;
  const double sx = double(target.width()) / image_.width();
  const double sy = double(target.height()) / image_.height();
  painter.setPen(QPen(Qt::white, 1));
  for (const analysis::BlockLine& l : lines_) {
    if (l.vertical) {
      const double x = target.left() + l.position * sx;
      painter.drawLine(QPointF(x, target.top() + l.from * sy), QPointF(x, target.top() + l.to * sy));
    } else {
      const double y = target.top() + l.position * sy;
      painter.drawLine(QPointF(target.left() + l.from * sx, y), QPointF(target.left() + l.to * sx, y));
    }
  }
}

ColourBar::ColourBar(Map map) : map_(map) {
  FitWidth();
  setMinimumHeight(160);
}

void ColourBar::FitWidth() {
  // The widest number a scale writes, such as "-0.0001"; the usual font keeps the usual width.
  const int text = QFontMetrics(font()).horizontalAdvance(QStringLiteral("-0.0001")) + 8;
  setFixedWidth(kBarWidth + std::max(kBarTextWidth, text));
}

void ColourBar::changeEvent(QEvent* e) {
  if (e->type() == QEvent::FontChange) FitWidth();
  QWidget::changeEvent(e);
}

void ColourBar::SetScale(const analysis::ColourScale& scale) {
  scale_ = scale;
  update();
}

QStringList ColourBar::TickTexts() const {
  QStringList texts;
  for (const ColourBarTick& tick : ColourBarTicks(scale_)) texts << QString::fromStdString(tick.text);
  return texts;
}

void ColourBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int top = 6, bottom = height() - 6;
  if (bottom <= top) return;
  const std::vector<analysis::Rgba> colours = ColourBarColours(map_, bottom - top + 1);
  for (int y = top; y <= bottom; ++y) {
    const analysis::Rgba c = colours[static_cast<std::size_t>(y - top)];
    painter.setPen(QColor(c.r, c.g, c.b));
    painter.drawLine(0, y, kBarWidth - 1, y);
  }
  painter.setPen(Qt::black);
  painter.drawRect(0, top, kBarWidth - 1, bottom - top);
  const QFontMetrics fm(font());
  for (const ColourBarTick& tick : ColourBarTicks(scale_)) {
    const int y = qRound(bottom - tick.height * (bottom - top));
    painter.drawLine(kBarWidth - 4, y, kBarWidth + 2, y);
    painter.drawText(kBarWidth + 4, y + fm.ascent() / 2 - 1, QString::fromStdString(tick.text));
  }
}

TfrmBild::TfrmBild() {
  setWindowTitle(TrQ("Bild"));
  new QGridLayout(this);
  const std::array<QString, 4> titles{TrQ("Original"), TrQ("Rekonstruktion"), TrQ("Differenz"),
                                      TrQ("Koeffizienten")};
  const std::array<ColourBar::Map, 4> maps{ColourBar::Map::Grey, ColourBar::Map::Grey,
                                           ColourBar::Map::Diverging, ColourBar::Map::Viridis};
  for (std::size_t i = 0; i < 4; ++i) {
    labTitel[i] = new QLabel(titles[i], this);
    labTitel[i]->setAlignment(Qt::AlignHCenter);
    panels[i] = new PicturePanel;
    panels[i]->setParent(this);
    bars[i] = new ColourBar(maps[i]);
    bars[i]->setParent(this);
  }
  Arrange(4);
  labTitel[3]->setToolTip(TrQ("Beträge der Koeffizienten auf dem gezeigten Level, logarithmisch"));
  resize(1220, 330);
  FollowPresentation(this, [this](bool on) { Present(on); }, [this] { return layout()->minimumSize(); });
}

void TfrmBild::Arrange(int columns) {
  auto* grid = static_cast<QGridLayout*>(layout());
  for (std::size_t i = 0; i < 4; ++i) {
    for (QWidget* w : {static_cast<QWidget*>(labTitel[i]), static_cast<QWidget*>(panels[i]),
                       static_cast<QWidget*>(bars[i])}) {
      grid->removeWidget(w);
    }
  }
  for (int c = 0; c < 8; ++c) grid->setColumnStretch(c, 0);
  for (std::size_t i = 0; i < 4; ++i) {
    const int row = 2 * (static_cast<int>(i) / columns), col = 2 * (static_cast<int>(i) % columns);
    grid->addWidget(labTitel[i], row, col, 1, 2);
    grid->addWidget(panels[i], row + 1, col);
    grid->addWidget(bars[i], row + 1, col + 1);
    grid->setColumnStretch(col, 1);
  }
}

void TfrmBild::Present(bool on) {
  if (!on) {
    Arrange(4);
    for (PicturePanel* p : panels) p->setMinimumSize(160, 160);
    return;
  }
  const QRect room = RoomForWindow(this);
  const int gap = std::max(layout()->spacing(), layout()->contentsMargins().left());
  const PanelArrangement a = ArrangePanels(room.width(), room.height(), bars[0]->width(),
                                           labTitel[0]->sizeHint().height(), gap);
  Arrange(a.columns);
  for (PicturePanel* p : panels) p->setMinimumSize(a.side, a.side);
}

TfrmBild::~TfrmBild() = default;

void TfrmBild::StateChanged() {
  pending_ = true;
  if (isVisible()) Update();
}

void TfrmBild::Update() {
  pending_ = false;
  pictures_ = CurrentPictures();
  const double aspect = SourceAspectRatio();
  const std::array<const analysis::Panel*, 4> shown{&pictures_.original, &pictures_.reconstruction,
                                                    &pictures_.difference, &pictures_.coefficients};
  for (std::size_t i = 0; i < 4; ++i) {
    panels[i]->SetPicture(ToQImage(shown[i]->image), i == 3 ? pictures_.blockLines : std::vector<analysis::BlockLine>{},
                          aspect);
    bars[i]->SetScale(shown[i]->scale);
  }
}

void TfrmBild::showEvent(QShowEvent* e) {
  if (pending_) Update();
  QWidget::showEvent(e);
}

QImage TfrmBild::Picture() { return grab().toImage(); }

void TfrmBild::CopyPicture() { CopyPictureToClipboard(Picture()); }

bool TfrmBild::SavePicture(const QString& path) { return WritePicture(Picture(), path); }

void TfrmBild::AskAndSavePicture() {
  const QString path = AskPictureName(QString::fromStdString(ProposedPictureName("bild")));
  if (!path.isEmpty()) SavePicture(path);
}

void TfrmBild::keyPressEvent(QKeyEvent* e) {
  if (e->matches(QKeySequence::Copy)) {
    CopyPicture();
  } else if (e->matches(QKeySequence::Save)) {
    AskAndSavePicture();
  } else {
    QWidget::keyPressEvent(e);
  }
}

void TfrmBild::contextMenuEvent(QContextMenuEvent* e) {
  if (!menu_) {
    menu_ = MakePictureMenu([this] { CopyPicture(); }, [this] { AskAndSavePicture(); });
  }
  menu_->popup(e->globalPos());
}

void ShowBild() {
  if (!frmBild) frmBild = new TfrmBild;
  frmBild->show();
  frmBild->raise();
  frmBild->activateWindow();
}

void BildStateChanged() {
  if (frmBild) frmBild->StateChanged();
}
