#include "windows/Analyse.h"
#include "windows/Bild.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

#include "interaction/analysis_panel.h"
#include "interaction/curve_job.h"
#include "interaction/readouts.h"
#include "interaction/take_file.h"
#include "windows/charts.h"
#include "interaction/data_source.h"
#include "state/state.h"
#include "windows/start_file.h"

TfrmAnalyse* frmAnalyse = nullptr;

namespace {

QString Text(const std::string& s) { return QString::fromStdString(s); }

QGroupBox* MakeGroup(const QString& title) {
  auto* g = new QGroupBox(title);
  QFont f = g->font();
  f.setBold(true);
  g->setFont(f);
  return g;
}

// Children of a bold group box keep the normal weight.
template <typename W>
W* Plain(W* w) {
  QFont f = w->font();
  f.setBold(false);
  w->setFont(f);
  return w;
}

}  // namespace

TfrmAnalyse::TfrmAnalyse() {
  setWindowTitle("Analyse");
  setAcceptDrops(true);
  // Beside the views where the screen has room (placed when first opened),
  // else over the function view, clear of the control panel.
  move(0, 0);

  // Datenquelle
  grpQuelle = MakeGroup("Datenquelle");
  rbBeispiel = Plain(new QRadioButton(QString::fromUtf8("Beispielfl\u00e4che")));
  rbFormel = Plain(new QRadioButton("Formel"));
  rbDatei = Plain(new QRadioButton("Datei"));
  rbBeispiel->setChecked(true);
  auto* sources = new QButtonGroup(this);
  for (QRadioButton* rb : {rbBeispiel, rbFormel, rbDatei}) sources->addButton(rb);
  txtFormel = Plain(new QLineEdit("0.7*sin(7*x)*sin(3*y)"));
  txtFormel->setToolTip(QString::fromUtf8("f(x, y) mit x, y von 0 bis 1, z. B. 0.7*sin(7*x)*sin(3*y)"));
  butUebernehmen = Plain(new QPushButton(QString::fromUtf8("\u00dcbernehmen")));
  butDatei = Plain(new QPushButton(QString::fromUtf8("Datei\u2026")));
  labQuelle = Plain(new QLabel);
  labQuelle->setWordWrap(true);
  auto* q = new QGridLayout(grpQuelle);
  q->addWidget(rbBeispiel, 0, 0);
  q->addWidget(rbFormel, 1, 0);
  q->addWidget(Plain(new QLabel("f(x, y) =")), 1, 1);
  q->addWidget(txtFormel, 1, 2);
  q->addWidget(butUebernehmen, 1, 3);
  q->addWidget(rbDatei, 2, 0);
  q->addWidget(butDatei, 2, 3);
  cmbAufloesung = Plain(new QComboBox);
  for (int points : ResolutionChoices()) cmbAufloesung->addItem(Text(ResolutionText(points)), points);
  cmbAufloesung->setToolTip(QString::fromUtf8(
      "Gitterpunkte je Seite; die Quelle wird neu abgetastet, der h\u00f6chste Level ist 6, 7, 8 oder 9."));
  butBild = Plain(new QPushButton(QString::fromUtf8("Bild\u2026")));
  butBild->setToolTip(QString::fromUtf8("Original, Rekonstruktion, Differenz und Koeffizienten als Bilder (Taste B)"));
  q->addWidget(Plain(new QLabel(QString::fromUtf8("Aufl\u00f6sung:"))), 3, 0);
  q->addWidget(cmbAufloesung, 3, 1, 1, 2, Qt::AlignLeft);
  q->addWidget(butBild, 3, 3);
  q->addWidget(labQuelle, 4, 0, 1, 4);
  q->setColumnStretch(2, 1);

  // Kompression
  grpKompression = MakeGroup("Kompression");
  auto* labAnteil = Plain(new QLabel("Anteil behalten:"));
  spnAnteil = Plain(new QDoubleSpinBox);
  spnAnteil->setRange(0, 100);
  spnAnteil->setDecimals(1);
  spnAnteil->setSingleStep(0.1);
  spnAnteil->setSuffix(" %");
  spnAnteil->setValue(10);
  // One decimal with a point, like the labels, whatever the locale.
  spnAnteil->setLocale(QLocale::c());
  sldAnteil = new QSlider(Qt::Horizontal);
  sldAnteil->setRange(0, 1000);
  sldAnteil->setValue(100);
  butAnwenden = Plain(new QPushButton("Anwenden"));
  butAnwenden->setToolTip(QString::fromUtf8(
      "Analysiert die Originalfl\u00e4che mit dem aktuellen Delta bis zum gezeigten Level und "
      "beh\u00e4lt die gr\u00f6\u00dften Details."));
  butOriginal = Plain(new QPushButton("Original"));
  butOriginal->setToolTip(QString::fromUtf8(
      "Zeigt die unkomprimierte Analyse der Originalfl\u00e4che auf dem gezeigten Level."));
  labBehalten = Plain(new QLabel);
  labGezeigt = Plain(new QLabel);
  auto* k = new QGridLayout(grpKompression);
  k->addWidget(labAnteil, 0, 0);
  k->addWidget(spnAnteil, 0, 1);
  k->addWidget(sldAnteil, 0, 2);
  k->addWidget(butAnwenden, 0, 3);
  k->addWidget(butOriginal, 0, 4);
  k->addWidget(labBehalten, 1, 0, 1, 5);
  k->addWidget(labGezeigt, 2, 0, 1, 5);
  k->setColumnStretch(2, 1);

  // Kennzahlen
  grpKennzahlen = MakeGroup("Kennzahlen");
  labFehler = Plain(new QLabel);
  labFehler->setTextInteractionFlags(Qt::TextSelectableByMouse);
  labEinweg = Plain(new QLabel(QString::fromUtf8(
      "Auch bei 100 % bleibt ein Fehler: Hinab und wieder hinauf rekonstruiert das Verfahren "
      "nur n\u00e4herungsweise.")));
  labEinweg->setWordWrap(true);
  labFehler->setWordWrap(true);
  tblEnergie = Plain(new QTableWidget(0, 3));
  tblEnergie->setHorizontalHeaderLabels({"Anteil", "Block", "Energie"});
  const QString energy = Text(EnergyExplanation());
  tblEnergie->setToolTip(energy);
  for (int col = 0; col < 3; ++col) tblEnergie->horizontalHeaderItem(col)->setToolTip(energy);
  tblEnergie->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
  tblEnergie->verticalHeader()->hide();
  tblEnergie->verticalHeader()->setDefaultSectionSize(tblEnergie->fontMetrics().height() + 6);
  tblEnergie->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tblEnergie->setMinimumHeight(150);
  auto* z = new QVBoxLayout(grpKennzahlen);
  z->addWidget(labFehler);
  z->addWidget(labEinweg);
  z->addWidget(tblEnergie);

  // Kurven
  grpKurven = MakeGroup("Kurven");
  chtDelta = new CurveView(QString::fromUtf8("Fehler \u00fcber Delta"), "Delta", 1, CurveView::Scale::Linear,
                           "aktuelles Delta (Daten)", "Delta des Schiebers");
  chtAnteil = new CurveView(QString::fromUtf8("Fehler \u00fcber Anteil"), "behaltener Anteil in %", 100,
                            CurveView::Scale::Logarithmic, "gew\u00e4hlter Anteil");
  chtDelta->clicked = [this](double delta) { emit deltaPicked(NearestDeltaPosition(delta)); };
  serDelta = chtDelta->line;
  markDelta = chtDelta->marker;
  markSchieber = chtDelta->pending;
  serAnteil = chtAnteil->line;
  markAnteil = chtAnteil->marker;
  labMinimum = Plain(new QLabel);
  auto* c = new QVBoxLayout(grpKurven);
  c->addWidget(chtDelta);
  c->addWidget(labMinimum);
  c->addWidget(chtAnteil);

  auto* left = new QVBoxLayout;
  left->addWidget(grpQuelle);
  left->addWidget(grpKompression);
  left->addWidget(grpKennzahlen, 1);
  auto* all = new QHBoxLayout(this);
  all->addLayout(left, 1);
  all->addWidget(grpKurven, 1);
  resize(860, 520);

  curveTimer_.setSingleShot(true);
  curveTimer_.setInterval(0);
  connect(&curveTimer_, &QTimer::timeout, this, &TfrmAnalyse::StartCurves);
  // An overtaken job stops after the point in hand; the next may start meanwhile.
  curvePool_.setMaxThreadCount(2);
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
    ShareChanged(p);
  });
  connect(sldAnteil, &QSlider::valueChanged, this, [this](int tenths) {
    if (std::lround(spnAnteil->value() * 10) != tenths) spnAnteil->setValue(tenths / 10.0);
  });
  ShowSource();
  StateChanged();
}

bool TfrmAnalyse::AtTop() { return appState.chosenLevel >= appState.topLevel; }

TfrmAnalyse::~TfrmAnalyse() {
  StopCurves();
  curvePool_.waitForDone();
}

void TfrmAnalyse::StateChanged() {
  BildStateChanged();
  const bool atTop = AtTop();
  butAnwenden->setEnabled(!atTop);
  if (appState.chosenLevel != curveLevel_) {
    // Another level moves the curves by orders of magnitude: fresh ranges.
    curveLevel_ = appState.chosenLevel;
    chtDelta->ForgetRange();
    chtAnteil->ForgetRange();
  }
  if (atTop) {
    const QString why = Text(NoCurveText());
    chtDelta->ShowEmpty(why);
    chtAnteil->ShowEmpty(why);
    labMinimum->clear();
  }
  UpdateReadouts();
  ScheduleCurves();
}

void TfrmAnalyse::ShareChanged(double) {
  UpdateReadouts();
  ScheduleCurves();
}

void TfrmAnalyse::UpdateReadouts() {
  labBehalten->setText(Text(KeptReadoutText(spnAnteil->value())));
  labFehler->setText(Text(ErrorText()));
  // The second line, when there is one, names a Delta mismatch.
  labFehler->setStyleSheet(MismatchText().empty() ? QString() : QString("color: #a00000"));
  labGezeigt->setText(Text(ShownStateText()));
  const std::vector<EnergyRow> rows = EnergyRows();
  tblEnergie->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    const EnergyRow& row = rows[static_cast<std::size_t>(r)];
    int col = 0;
    for (const std::string* cell : {&row.share, &row.block, &row.energy}) {
      auto* item = new QTableWidgetItem(Text(*cell));
      if (col != 1) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      tblEnergie->setItem(r, col++, item);
    }
  }
  tblEnergie->resizeColumnToContents(0);
  tblEnergie->resizeColumnToContents(2);
}

void TfrmAnalyse::ScheduleCurves() {
  // Whatever is under way belongs to the state before.
  StopCurves();
  curvesPending_ = true;
  // A hidden window computes nothing; showing it catches up.
  if (isVisible()) curveTimer_.start();
}

void TfrmAnalyse::StopCurves() {
  ++curveGeneration_;
  if (curveCancel_) curveCancel_->store(true);
  curveCancel_.reset();
  curvesRunning_ = false;
}

void TfrmAnalyse::StartCurves() {
  curveTimer_.stop();
  if (!curvesPending_ || !isVisible()) return;
  curvesPending_ = false;
  if (AtTop()) return;
  StopCurves();
  const unsigned generation = curveGeneration_;
  const auto cancel = std::make_shared<std::atomic<bool>>(false);
  curveCancel_ = cancel;
  // The job works on copies: the windows may change appState meanwhile.
  CurveInputs inputs = CurveInputsNow(spnAnteil->value());
  if (appState.topLevel == kMinTopLevel) {
    // At 65 x 65 both curves take some 20 ms: at once, without a progress text flickering.
    CurvesReady(generation, ComputeCurves(std::move(inputs), *cancel));
    return;
  }
  curvesRunning_ = true;
  labMinimum->clear();
  CurvesProgressed(generation, 0);
  curvePool_.start([this, generation, cancel, inputs = std::move(inputs)]() mutable {
    int told = 0;
    const auto progress = [&](int done) {
      const int percent = done * 100 / kCurvePoints;
      if (percent == told) return;
      told = percent;
      QMetaObject::invokeMethod(
          this, [this, generation, percent] { CurvesProgressed(generation, percent); }, Qt::QueuedConnection);
    };
    auto result = std::make_shared<const CurveResult>(ComputeCurves(std::move(inputs), *cancel, progress));
    if (result->cancelled) return;
    QMetaObject::invokeMethod(
        this, [this, generation, result] { CurvesReady(generation, *result); }, Qt::QueuedConnection);
  });
}

void TfrmAnalyse::CurvesProgressed(unsigned generation, int percent) {
  if (generation != curveGeneration_ || !curvesRunning_) return;
  curvePercent_ = percent;
  const QString text = QString::fromUtf8("Kurven werden berechnet \u2026 %1 %").arg(percent);
  chtDelta->ShowEmpty(text);
  chtAnteil->ShowEmpty(text);
}

void TfrmAnalyse::CurvesReady(unsigned generation, const CurveResult& result) {
  // A job that was overtaken shows nothing.
  if (generation != curveGeneration_ || result.cancelled) return;
  curvesRunning_ = false;
  curveCancel_.reset();
  if (result.overDelta.points.empty()) return;
  chtDelta->ShowCurve(result.overDelta);
  // The scroll bar may have moved while the curves were computed.
  chtDelta->MovePending(NearestDeltaPosition(appState.delta));
  labMinimum->setText(Text(MinimumText(result.overDelta.points)));
  chtAnteil->ShowCurve(result.overShare);
}

void TfrmAnalyse::UpdateCurvesNow() {
  StartCurves();
  if (!curvesRunning_) return;
  curvePool_.waitForDone();
  // The job's last words are queued for this window: take them now.
  QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void TfrmAnalyse::DeltaMoved() {
  if (!curvesPending_ && !curvesRunning_) chtDelta->MovePending(NearestDeltaPosition(appState.delta));
}

void TfrmAnalyse::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  if (curvesPending_) curveTimer_.start();
}

void TfrmAnalyse::hideEvent(QHideEvent* e) {
  QWidget::hideEvent(e);
  // Hidden, the curves wait; showing the window starts them again.
  if (curvesRunning_) {
    StopCurves();
    curvesPending_ = true;
  }
}

void TfrmAnalyse::Refuse(const QString& text) {
  QMessageBox::warning(this, "Analyse", text);
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
  emit surfaceChanged();
}

void TfrmAnalyse::SurfaceTaken() {
  chtDelta->ForgetRange();
  chtAnteil->ForgetRange();
  ShowSource();
  StateChanged();
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
  emit surfaceChanged();
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
  emit surfaceChanged();
  return true;
}

void TfrmAnalyse::butDateiClick() {
  const QString path = QFileDialog::getOpenFileName(
      this, QString::fromUtf8("Fl\u00e4che laden"), lastFile_.empty() ? QString() : QFileInfo(QFile::decodeName(lastFile_.c_str())).path(),
      QString::fromUtf8("Bilder und Zahlentabellen (*.png *.jpg *.jpeg *.bmp *.gif *.pbm *.pgm *.ppm "
                        "*.tif *.tiff *.webp *.txt *.csv *.dat);;Alle Dateien (*)"));
  if (path.isEmpty()) return ShowSource();
  LoadFile(path);
}

void TfrmAnalyse::rbBeispielClick() {
  TakeSample();
  SurfaceTaken();
  emit surfaceChanged();
}

void TfrmAnalyse::rbFormelClick() { butUebernehmenClick(); }

void TfrmAnalyse::rbDateiClick() {
  if (lastFile_.empty()) return butDateiClick();
  LoadFile(lastFile_);
}

void TfrmAnalyse::butAnwendenClick() {
  if (AtTop()) return;
  ApplyCompression(spnAnteil->value());
  StateChanged();
  if (appliedToData) appliedToData();
}

void TfrmAnalyse::butOriginalClick() {
  RestoreOriginal();
  StateChanged();
  if (appliedToData) appliedToData();
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
