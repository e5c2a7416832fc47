// The "Analyse" window's groups and how they sit: the source, compression and
// readouts on the left, the two curves on the right.
#include <QButtonGroup>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTableWidget>
#include <QVBoxLayout>

#include "interaction/analysis_panel.h"
#include "interaction/data_source.h"
#include "windows/Analyse.h"
#include "windows/charts.h"
#include "windows/tr.h"

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

void TfrmAnalyse::LayOut() {
  // Datenquelle
  grpQuelle = MakeGroup(TrQ("Datenquelle"));
  rbBeispiel = Plain(new QRadioButton(TrQ("Beispielfläche")));
  rbFormel = Plain(new QRadioButton(TrQ("Formel")));
  rbDatei = Plain(new QRadioButton(TrQ("Datei")));
  rbBeispiel->setChecked(true);
  auto* sources = new QButtonGroup(this);
  for (QRadioButton* rb : {rbBeispiel, rbFormel, rbDatei}) sources->addButton(rb);
  txtFormel = Plain(new QLineEdit("0.7*sin(7*x)*sin(3*y)"));
  txtFormel->setToolTip(TrQ("f(x, y) mit x, y von 0 bis 1, z. B. 0.7*sin(7*x)*sin(3*y)"));
  butUebernehmen = Plain(new QPushButton(TrQ("Übernehmen")));
  butDatei = Plain(new QPushButton(TrQ("Datei…")));
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
  cmbAufloesung->setToolTip(
      TrQ("Gitterpunkte je Seite; die Quelle wird neu abgetastet, der höchste Level ist 6, 7, 8 oder 9."));
  butBild = Plain(new QPushButton(TrQ("Bild…")));
  butBild->setToolTip(TrQ("Original, Rekonstruktion, Differenz und Koeffizienten als Bilder (Taste B)"));
  q->addWidget(Plain(new QLabel(TrQ("Auflösung:"))), 3, 0);
  q->addWidget(cmbAufloesung, 3, 1, 1, 2, Qt::AlignLeft);
  q->addWidget(butBild, 3, 3);
  q->addWidget(labQuelle, 4, 0, 1, 4);
  q->setColumnStretch(2, 1);

  // Kompression
  grpKompression = MakeGroup(TrQ("Kompression"));
  auto* labAnteil = Plain(new QLabel(TrQ("Anteil behalten:")));
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
  butAnwenden = Plain(new QPushButton(TrQ("Anwenden")));
  butAnwenden->setToolTip(
      TrQ("Analysiert die Originalfläche mit dem aktuellen Delta bis zum gezeigten Level und "
          "behält die größten Details."));
  butOriginal = Plain(new QPushButton(TrQ("Original")));
  butOriginal->setToolTip(TrQ("Zeigt die unkomprimierte Analyse der Originalfläche auf dem gezeigten Level."));
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
  grpKennzahlen = MakeGroup(TrQ("Kennzahlen"));
  labFehler = Plain(new QLabel);
  labFehler->setTextInteractionFlags(Qt::TextSelectableByMouse);
  labEinweg = Plain(new QLabel(
      TrQ("Auch bei 100 % bleibt ein Fehler: Hinab und wieder hinauf rekonstruiert das Verfahren "
          "nur näherungsweise.")));
  labEinweg->setWordWrap(true);
  labFehler->setWordWrap(true);
  tblEnergie = Plain(new QTableWidget(0, 3));
  tblEnergie->setHorizontalHeaderLabels({TrQ("Anteil"), TrQ("Block"), TrQ("Energie")});
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
  grpKurven = MakeGroup(TrQ("Kurven"));
  chtDelta = new CurveView(DeltaChartTexts(), CurveView::Scale::Linear);
  chtAnteil = new CurveView(ShareChartTexts(), CurveView::Scale::Logarithmic);
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
}
