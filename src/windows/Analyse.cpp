#include "windows/Analyse.h"
#include "windows/Bild.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFile>
#include <QHeaderView>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSlider>
#include <QTableWidget>
#include <cmath>

#include "interaction/analysis_panel.h"
#include "interaction/analyse_curves.h"
#include "interaction/readouts.h"
#include "interaction/take_file.h"
#include "windows/charts.h"
#include "windows/presentation.h"
#include "interaction/data_source.h"
#include "state/state.h"
#include "windows/file_paths.h"
#include "windows/state_notice.h"
#include "windows/tr.h"

TfrmAnalyse* frmAnalyse = nullptr;

namespace {

QString Text(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

TfrmAnalyse::TfrmAnalyse() {
  setWindowTitle(TrQ("Analyse"));
  setAcceptDrops(true);
  // Beside the views where the screen has room (placed when first opened),
  // else over the function view, clear of the control panel.
  move(0, 0);

  LayOut();

  curveTimer_.setSingleShot(true);
  curveTimer_.setInterval(0);
  connect(&curveTimer_, &QTimer::timeout, this, &TfrmAnalyse::StartCurves);
  // An overtaken job stops after the point in hand; the next may start meanwhile.
  curvePool_.setMaxThreadCount(2);
  Obey(curves_.ShareChanged(spnAnteil->value()));
  connect(butUebernehmen, &QPushButton::clicked, this, &TfrmAnalyse::butUebernehmenClick);
  connect(txtFormel, &QLineEdit::returnPressed, this, &TfrmAnalyse::butUebernehmenClick);
  connect(butDatei, &QPushButton::clicked, this, &TfrmAnalyse::butDateiClick);
  connect(rbBeispiel, &QRadioButton::clicked, this, &TfrmAnalyse::rbBeispielClick);
  connect(rbFormel, &QRadioButton::clicked, this, &TfrmAnalyse::rbFormelClick);
  connect(rbDatei, &QRadioButton::clicked, this, &TfrmAnalyse::rbDateiClick);
  connect(butAnwenden, &QPushButton::clicked, this, &TfrmAnalyse::butAnwendenClick);
  connect(butOriginal, &QPushButton::clicked, this, &TfrmAnalyse::butOriginalClick);
  connect(cmbAufloesung, &QComboBox::currentIndexChanged, this, &TfrmAnalyse::cmbAufloesungChange);
  connect(butBild, &QPushButton::clicked, this, [] { ShowBild(); });
  connect(spnAnteil, &QDoubleSpinBox::valueChanged, this, [this](double p) {
    const int tenths = static_cast<int>(std::lround(p * 10));
    if (sldAnteil->value() != tenths) sldAnteil->setValue(tenths);
    ShareChanged();
  });
  connect(sldAnteil, &QSlider::valueChanged, this, [this](int tenths) {
    if (std::lround(spnAnteil->value() * 10) != tenths) spnAnteil->setValue(tenths / 10.0);
  });
  ShowSource();
  StateChanged();
  FollowPresentation(this, [this](bool on) { Present(on); }, [this] { return sizeHint().expandedTo(size()); });
}

void TfrmAnalyse::Present(bool on) {
  for (CurveView* chart : {chtDelta, chtAnteil}) chart->Present(on, kPresentationTextPx, kPresentationTickPx);
  tblEnergie->verticalHeader()->setDefaultSectionSize(tblEnergie->fontMetrics().height() + 6);
  tblEnergie->resizeColumnToContents(0);
  tblEnergie->resizeColumnToContents(2);
}

TfrmAnalyse::~TfrmAnalyse() {
  if (curveCancel_) curveCancel_->store(true);
  curvePool_.waitForDone();
}

void TfrmAnalyse::StateChanged() {
  UpdateReadouts();
  Obey(curves_.StateChanged());
}

void TfrmAnalyse::ShareChanged() {
  UpdateReadouts();
  Obey(curves_.ShareChanged(spnAnteil->value()));
}

void TfrmAnalyse::UpdateReadouts() {
  const AnalyseReadouts r = ReadoutsNow(spnAnteil->value());
  butAnwenden->setEnabled(!r.atTop);
  labBehalten->setText(Text(r.kept));
  labFehler->setText(Text(r.error));
  // The second line, when there is one, names a Delta mismatch.
  labFehler->setStyleSheet(r.mismatch.empty() ? QString() : QString("color: #a00000"));
  labGezeigt->setText(Text(r.shown));
  tblEnergie->setRowCount(static_cast<int>(r.energy.size()));
  for (int row = 0; row < static_cast<int>(r.energy.size()); ++row) {
    const EnergyRow& e = r.energy[static_cast<std::size_t>(row)];
    int col = 0;
    for (const std::string* cell : {&e.share, &e.block, &e.energy}) {
      auto* item = new QTableWidgetItem(Text(*cell));
      if (col != 1) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      tblEnergie->setItem(row, col++, item);
    }
  }
  tblEnergie->resizeColumnToContents(0);
  tblEnergie->resizeColumnToContents(2);
}

void TfrmAnalyse::Obey(const CurveOrders& orders) {
  if (orders.dropJob && curveCancel_) {
    curveCancel_->store(true);
    curveCancel_.reset();
  }
  if (orders.scheduleStart) curveTimer_.start();
  ShowCurves();
}

void TfrmAnalyse::ShowCurves() {
  const CurvesShown& shown = curves_.Shown();
  if (shownRevision_ == shown.revision) return;
  shownRevision_ = shown.revision;
  chtDelta->Show(shown.overDelta);
  chtAnteil->Show(shown.overShare);
  labMinimum->setText(Text(shown.minimum));
}

void TfrmAnalyse::StartCurves() {
  curveTimer_.stop();
  std::optional<CurveJobOrder> job = curves_.Start();
  ShowCurves();
  if (!job) return;
  const unsigned generation = job->generation;
  const auto cancel = std::make_shared<std::atomic<bool>>(false);
  curveCancel_ = cancel;
  curvePool_.start([this, generation, cancel, inputs = std::move(job->inputs)]() mutable {
    // At most one progress note per 40 ms: each repaints both charts on the
    // GUI thread, which shares the two cores with the computation.
    QElapsedTimer sinceNote;
    const auto progress = [&](int percent) {
      if (sinceNote.isValid() && sinceNote.elapsed() < 40) return;
      sinceNote.start();
      QMetaObject::invokeMethod(
          this, [this, generation, percent] { if (curves_.Progressed(generation, percent)) ShowCurves(); },
          Qt::QueuedConnection);
    };
    auto result = std::make_shared<const CurveResult>(ComputeCurvesInPercent(std::move(inputs), *cancel, progress,
                                                                                CurveThreads::Two));
    if (result->cancelled) return;
    QMetaObject::invokeMethod(
        this, [this, generation, result] { if (curves_.Ready(generation, *result)) ShowCurves(); },
        Qt::QueuedConnection);
  });
}

void TfrmAnalyse::UpdateCurvesNow() {
  StartCurves();
  if (!curves_.Running()) return;
  curvePool_.waitForDone();
  // The job's last words are queued for this window: take them now.
  QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void TfrmAnalyse::DeltaMoved() {
  if (curves_.DeltaMoved()) ShowCurves();
}

void TfrmAnalyse::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  Obey(curves_.VisibilityChanged(true));
}

void TfrmAnalyse::hideEvent(QHideEvent* e) {
  QWidget::hideEvent(e);
  Obey(curves_.VisibilityChanged(false));
}

void TfrmAnalyse::Refuse(const QString& text) {
  QMessageBox::warning(this, TrQ("Analyse"), text);
  ShowSource();
}

void TfrmAnalyse::cmbAufloesungChange(int index) {
  const int points = cmbAufloesung->itemData(index).toInt();
  if (points == Resolution()) return;
  const std::string error = SetResolution(points);
  if (!error.empty()) {
    Refuse(Text(error));
    return;
  }
  SurfaceTaken();
}

void TfrmAnalyse::SurfaceTaken() {
  ShowSource();
  NotifyStateChanged();
}

void TfrmAnalyse::ShowSource() {
  {
    const QSignalBlocker quiet(cmbAufloesung);
    cmbAufloesung->setCurrentIndex(cmbAufloesung->findData(Resolution()));
  }
  switch (appState.sourceKind) {
    case SourceKind::Sample: rbBeispiel->setChecked(true); break;
    case SourceKind::Formula: rbFormel->setChecked(true); break;
    case SourceKind::File: rbDatei->setChecked(true); break;
  }
  labQuelle->setText(Text(SourceText()));
}

void TfrmAnalyse::butUebernehmenClick() {
  const std::string error = TakeFormula(txtFormel->text().toStdString());
  if (!error.empty()) return Refuse(Text(error));
  SurfaceTaken();
}

bool TfrmAnalyse::LoadFile(const QString& path) { return LoadFile(PathBytes(path)); }

bool TfrmAnalyse::LoadFile(const std::string& path) {
  const std::string error = TakeFile(path);
  if (!error.empty()) {
    Refuse(Text(error));
    return false;
  }
  lastFile_ = path;
  SurfaceTaken();
  return true;
}

void TfrmAnalyse::butDateiClick() {
  const QString path = QFileDialog::getOpenFileName(
      this, TrQ("Fläche laden"), lastFile_.empty() ? QString() : QFileInfo(QFile::decodeName(lastFile_.c_str())).path(),
      TrQ("Bilder und Zahlentabellen") +
          " (*.png *.jpg *.jpeg *.bmp *.gif *.pbm *.pgm *.ppm *.tif *.tiff *.webp *.txt *.csv *.dat);;" +
          TrQ("Alle Dateien") + " (*)");
  if (path.isEmpty()) return ShowSource();
  LoadFile(path);
}

void TfrmAnalyse::rbBeispielClick() {
  TakeSample();
  SurfaceTaken();
}

void TfrmAnalyse::rbFormelClick() { butUebernehmenClick(); }

void TfrmAnalyse::rbDateiClick() {
  if (lastFile_.empty()) return butDateiClick();
  LoadFile(lastFile_);
}

void TfrmAnalyse::butAnwendenClick() {
  if (AtTopLevel()) return;
  ApplyCompression(spnAnteil->value());
  NotifyStateChanged();
}

void TfrmAnalyse::butOriginalClick() {
  RestoreOriginal();
  NotifyStateChanged();
}

void TfrmAnalyse::dragEnterEvent(QDragEnterEvent* e) {
  const QList<QUrl> urls = e->mimeData()->urls();
  if (urls.size() == 1 && urls.first().isLocalFile()) e->acceptProposedAction();
}

void TfrmAnalyse::dropEvent(QDropEvent* e) {
  const QList<QUrl> urls = e->mimeData()->urls();
  if (urls.size() != 1 || !urls.first().isLocalFile()) return;
  e->acceptProposedAction();
  LoadFile(LocalFilePath(urls.first()));
}
