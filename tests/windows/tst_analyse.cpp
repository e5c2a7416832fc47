// The "Analyse" window on the real windows: a formula, a picture, a dropped
// table and broken input as data sources; compression at level 2 seen from
// level 6; the readouts; the curves and a click on the Delta curve.
#include <QChart>
#include <QComboBox>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QFontInfo>
#include <QHeaderView>
#include <QMap>
#include <QScreen>
#include <QChartView>
#include <QDoubleSpinBox>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScatterSeries>
#include <QScrollBar>
#include <QSlider>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QUrl>
#include <sys/resource.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <cmath>
#include <fstream>
#include <string>

#include "interaction/analysis_panel.h"
#include "interaction/curve_job.h"
#include "interaction/data_source.h"
#include "interaction/readouts.h"
#include "windows/Analyse.h"
#include "windows/charts.h"
#include "windows/Bild.h"
#include "windows/Daten.h"
#include "windows/Help.h"
#include "windows/Grafik.h"
#include "windows/Kontrolle.h"
#include "windows/application.h"
#include "windows/program_windows.h"
#include "windows/state_notice.h"
#include "pixels.h"
#include "widgets.h"

using namespace pixels;

namespace {

// How long a test waits for the curves at 513 x 513 to be drawn: about a
// second in an optimised build, some twenty in an unoptimised one. The wait
// ends as soon as they are there.
constexpr int kCurveWait = 180000;

double Data(int i, int k) { return GetElement(appState.dataMatrix, i, k); }
QString Text(const std::string& s) { return QString::fromStdString(s); }

// The curves of the state now, as the window's job computes them.
Curve DeltaCurveNow(double percent) { return DeltaCurve(CurveInputsNow(percent)); }
Curve ShareCurveNow(double percent) { return ShareCurve(CurveInputsNow(percent)); }

}  // namespace

class AnalyseTest : public QObject {
  Q_OBJECT
  TfrmKontrolle* k = nullptr;
  TfrmAnalyse* a = nullptr;
  widgets::BoxCloser boxes;
  QTemporaryDir dir;
  Matrix sample{kGridSize, kGridSize};

  void ExpectLevel6() {
    QCOMPARE(appState.chosenLevel, 6);
    QCOMPARE(k->trbLevel->value(), 6);
    QCOMPARE(k->labLevel->text(), QString("Level: 6"));
  }
  bool DataIsSample() {
    for (int i = 1; i <= kGridSize; ++i)
      for (int c = 1; c <= kGridSize; ++c)
        if (Data(i, c) != GetElement(sample, i, c)) return false;
    return true;
  }
  QString TakeBox() {
    if (!QTest::qWaitFor([this] { return !boxes.texts.isEmpty(); })) return {};
    return boxes.texts.takeFirst();
  }

private slots:
  void initTestCase() {
    // The readouts must show decimal points under a German locale too.
    QVERIFY2(widgets::GermanLocaleInForceIfAsked(), "precondition: de_DE.UTF-8 must exist and be in force");
    InitialiseToolkit(*qApp);
    CreateForms();
    k = frmKontrolle;
    QVERIFY(QTest::qWaitForWindowExposed(frmDaten));
    for (int i = 1; i <= kGridSize; ++i)
      for (int c = 1; c <= kGridSize; ++c) SetElement(sample, i, c, Data(i, c));
    QTest::mouseClick(k->butAnalyse, Qt::LeftButton);
    a = frmAnalyse;
    QVERIFY(QTest::qWaitForWindowExposed(a));
    QCOMPARE(a->windowTitle(), QString("Analyse"));
    QVERIFY(a->rbBeispiel->isChecked());
    QVERIFY(dir.isValid());
  }

  void formulaTakenAtLevel6WithoutLevelSteps() {
    k->trbLevel->setValue(3);
    widgets::Type(a->txtFormel, "x + 2*y^2");
    QTest::mouseClick(a->butUebernehmen, Qt::LeftButton);
    ExpectLevel6();
    QVERIFY(a->rbFormel->isChecked());
    // Row index is x, column index y, both (index - 1) / 64.
    for (int i : {1, 17, 65})
      for (int c : {1, 40, 65}) {
        const double x = (i - 1) / 64.0, y = (c - 1) / 64.0;
        QVERIFY(std::abs(Data(i, c) - (x + 2 * y * y)) < 1e-15);
        QCOMPARE(GetElement(appState.originalSurface, i, c), Data(i, c));
      }
    QVERIFY(appState.ascentBlock.empty() && appState.keptBlocks[6].empty());

    // Refused: a message, and the data stay as they were.
    const double before = Data(30, 30);
    for (const char* bad : {"sin(x", "x + z", ""}) {
      widgets::Type(a->txtFormel, bad);
      QTest::mouseClick(a->butUebernehmen, Qt::LeftButton);
      QVERIFY(!TakeBox().isEmpty());
      QCOMPARE(Data(30, 30), before);
      QVERIFY(a->rbFormel->isChecked());
    }
  }

  void pictureAndDroppedTable() {
    // Bottom-left black, bottom-right white, top-left grey 0x66, top-right grey 0x33.
    QImage img(2, 2, QImage::Format_RGB32);
    img.setPixel(0, 1, qRgb(0, 0, 0));
    img.setPixel(1, 1, qRgb(255, 255, 255));
    img.setPixel(0, 0, qRgb(0x66, 0x66, 0x66));
    img.setPixel(1, 0, qRgb(0x33, 0x33, 0x33));
    const QString png = dir.filePath("ecken.png");
    QVERIFY(img.save(png));
    QVERIFY(a->LoadFile(png));
    ExpectLevel6();
    QVERIFY(a->rbDatei->isChecked());
    QVERIFY(a->labQuelle->text().contains("ecken.png"));
    QCOMPARE(Data(1, 1), 0.0);                      // x = 0, y = 0: bottom left
    QCOMPARE(Data(65, 1), 0.7);                     // x = 1: bottom right
    QCOMPARE(Data(1, 65), 0x66 / 255.0 * 0.7);      // y = 1: top left
    QCOMPARE(Data(65, 65), 0x33 / 255.0 * 0.7);
    // The centre lies midway between all four.
    QVERIFY(std::abs(Data(33, 33) - (0 + 255 + 0x66 + 0x33) / 4.0 / 255 * 0.7) < 1e-12);

    // A table dropped on the data view.
    const QString csv = dir.filePath("hoehen.csv");
    QFile f(csv);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("# zwei mal zwei\n0;1\n2;3\n");
    f.close();
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(csv)});
    const QPointF centre(frmDaten->width() / 2.0, frmDaten->height() / 2.0);
    QDragEnterEvent enter(centre.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(frmDaten, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(centre, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(frmDaten, &drop);
    QCOMPARE(Data(1, 1), 0.0);
    QCOMPARE(Data(1, 65), 1.0);
    QCOMPARE(Data(65, 1), 2.0);
    QCOMPARE(Data(65, 65), 3.0);
    QCOMPARE(Data(33, 33), 1.5);
    QVERIFY(a->labQuelle->text().contains("hoehen.csv"));

    // A file that cannot be read is refused; nothing changes.
    QVERIFY(!a->LoadFile(dir.filePath("fehlt.csv")));
    QVERIFY(TakeBox().contains("fehlt.csv"));
    QCOMPARE(Data(65, 65), 3.0);
    QVERIFY(a->labQuelle->text().contains("hoehen.csv"));

    // The sample again, exactly.
    QTest::mouseClick(a->rbBeispiel, Qt::LeftButton);
    QVERIFY(DataIsSample());
    QVERIFY(a->rbBeispiel->isChecked());
  }

  void hostileFilesAndNames() {
    const std::string base = QFile::encodeName(dir.path()).toStdString();
    auto write = [&](const std::string& name, const QByteArray& bytes) {
      std::ofstream(base + "/" + name, std::ios::binary).write(bytes.data(), bytes.size());
      return base + "/" + name;
    };
    // Names that are not UTF-8 (Latin-1 on a UTF-8 system) reach the file
    // unchanged: dropped as a URL and named on the command line.
    const std::string flaeche = write("Fl\xE4" "che.csv", "0 1\n2 5\n");
    QMimeData mime;
    mime.setUrls({QUrl("file://" + QString::fromLatin1(QByteArray::fromStdString(flaeche).toPercentEncoding("/")))});
    QDropEvent drop(QPointF(frmDaten->width() / 2.0, frmDaten->height() / 2.0), Qt::CopyAction, &mime,
                    Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(frmDaten, &drop);
    QCOMPARE(Data(65, 65), 5.0);
    QCOMPARE(a->labQuelle->text(), QString::fromUtf8("In Kraft: die Datei \u201eFl\u00e4che.csv\u201c."));
    OpenStartFile(write("Gr\xF6\xDF" "e.csv", "1 2\n3 7\n"));
    QCOMPARE(Data(65, 65), 7.0);
    QVERIFY(a->labQuelle->text().contains(QString::fromUtf8("Gr\u00f6\u00dfe.csv")));

    // A picture cut in half is refused, not taken with a grey fill.
    QImage image(200, 150, QImage::Format_RGB32);
    for (int y = 0; y < 150; ++y)
      for (int x = 0; x < 200; ++x) image.setPixel(x, y, qRgb(x, y, (x * y) & 255));
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(image.save(&buffer, "jpg"));
    QVERIFY(!a->LoadFile(write("halb.jpg", jpeg.left(jpeg.size() / 2))));
    QCOMPARE(TakeBox(), QString::fromUtf8("Das Bild \u201ehalb.jpg\u201c ist unvollst\u00e4ndig."));
    QCOMPARE(Data(65, 65), 7.0);

    // Memory: a 154-byte BMP promising 8192 x 8192 pixels and the largest
    // picture taken (8192 x 8192 at 4 bytes) keep the process below 1 GiB.
    QByteArray bmp("BM");
    auto le = [](QByteArray& b, quint32 v, int n) {
      for (int i = 0; i < n; ++i) b.append(char((v >> (8 * i)) & 0xFF));
    };
    for (auto [v, n] : std::initializer_list<std::pair<quint32, int>>{{54 + 8192u * 8192 * 3, 4}, {0, 4}, {54, 4},
                                                                    {40, 4}, {8192, 4}, {8192, 4}, {1, 2}, {24, 2},
                                                                    {0, 4}, {8192u * 8192 * 3, 4}, {2835, 4},
                                                                    {2835, 4}, {0, 4}, {0, 4}})
      le(bmp, v, n);
    bmp.append(100, '\x7F');
    QVERIFY(!a->LoadFile(write("riesig.bmp", bmp)));
    QCOMPARE(TakeBox(), QString::fromUtf8("Das Bild \u201eriesig.bmp\u201c ist unvollst\u00e4ndig."));
    {
      QImage largest(8192, 8192, QImage::Format_RGB32);
      largest.fill(qRgb(255, 255, 255));
      QVERIFY(largest.save(dir.filePath("gross.png")));
    }
    QVERIFY(a->LoadFile(dir.filePath("gross.png")));
    QCOMPARE(Data(33, 33), 0.7);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    QVERIFY2(usage.ru_maxrss < 1024L * 1024L, qPrintable(QString::number(usage.ru_maxrss) + " KiB peak"));
  }

  void compressionAtLevel2SeenFromLevel6() {
    QTest::mouseClick(a->rbBeispiel, Qt::LeftButton);
    QVERIFY(!a->butAnwenden->isEnabled());  // nothing to keep at level 6
    k->trbLevel->setValue(2);
    QVERIFY(a->butAnwenden->isEnabled());
    a->spnAnteil->setValue(10);
    QCOMPARE(a->sldAnteil->value(), 100);
    // M = 65^2 - 5^2 = 4200; N = round(420) = 420.
    QCOMPARE(a->labBehalten->text(), QString("behalten: 420 von 4200 Detailkoeffizienten"));
    double approximation[5][5];
    for (int i = 1; i <= 5; ++i)
      for (int c = 1; c <= 5; ++c) approximation[i - 1][c - 1] = Data(i, c);
    QTest::mouseClick(a->butAnwenden, Qt::LeftButton);
    int nonZero = 0;
    for (int i = 1; i <= 65; ++i)
      for (int c = 1; c <= 65; ++c) {
        if (i <= 5 && c <= 5) QCOMPARE(Data(i, c), approximation[i - 1][c - 1]);
        else nonZero += Data(i, c) != 0.0;
      }
    QCOMPARE(nonZero, 420);
    const QImage compressed2 = Grab(frmDaten);

    k->trbLevel->setValue(6);
    // The readout is the surface shown against the sample.
    double worst = 0, squares = 0;
    for (int i = 1; i <= 65; ++i)
      for (int c = 1; c <= 65; ++c) {
        const double e = Data(i, c) - GetElement(sample, i, c);
        worst = std::max(worst, std::abs(e));
        squares += e * e;
      }
    const QString readout = a->labFehler->text();
    QVERIFY2(readout.startsWith("Fehler auf Level 6: max |e| = " + Text(FormatReadout(worst)) + ", RMS = " +
                                Text(FormatReadout(std::sqrt(squares / 4225))) + ", PSNR = "),
             qPrintable(readout));
    QVERIFY(readout.endsWith(" dB"));
    QCOMPARE(a->labGezeigt->text(), QString("Gezeigt: 10 % behalten (Level 2)"));

    // Without compression the same trip shows the method's own error, about 0.0235.
    QTest::mouseClick(a->rbBeispiel, Qt::LeftButton);
    const QImage sampleShot = Grab(frmDaten);
    k->trbLevel->setValue(2);
    a->spnAnteil->setValue(100);
    QTest::mouseClick(a->butAnwenden, Qt::LeftButton);
    k->trbLevel->setValue(6);
    QVERIFY2(a->labFehler->text().startsWith("Fehler auf Level 6: max |e| = 0.0235, RMS = "),
             qPrintable(a->labFehler->text()));
    // The compressed surface looks different from the plain trip's.
    k->trbLevel->setValue(2);
    a->spnAnteil->setValue(1);
    QTest::mouseClick(a->butAnwenden, Qt::LeftButton);
    k->trbLevel->setValue(6);
    const QImage compressed6 = Grab(frmDaten);
    int changed = 0;
    for (int y = 0; y < sampleShot.height(); ++y)
      for (int x = 0; x < sampleShot.width(); ++x) changed += sampleShot.pixel(x, y) != compressed6.pixel(x, y);
    QVERIFY2(changed > 500, qPrintable(QString::number(changed)));
    QVERIFY(Count(compressed2, IsGreen) > 1000);
  }

  void curvesFollowAndTheDeltaCurveMovesTheScrollBar() {
    QTest::mouseClick(a->rbBeispiel, Qt::LeftButton);
    // At the top level the chart area stays and says why it is empty.
    QVERIFY(a->chtDelta->isVisible() && a->chtAnteil->isVisible());
    QVERIFY(a->chtDelta->EmptyText().startsWith("Auf Level 6 gibt es keine Detailkoeffizienten"));
    QCOMPARE(a->serDelta->count(), 0);
    k->trbLevel->setValue(2);
    a->spnAnteil->setValue(20);
    a->UpdateCurvesNow();
    QVERIFY(a->chtDelta->EmptyText().isEmpty());
    QCOMPARE(a->labMinimum->text(), Text(MinimumText(DeltaCurveNow(20).points)));
    QVERIFY(a->labMinimum->text().startsWith("kleinster Fehler bei Delta = 0."));
    QCOMPARE(a->serDelta->count(), 101);
    QCOMPARE(a->serAnteil->count(), 101);
    // currentDelta filled, the scroll bar's Delta hollow, each on its curve point.
    QCOMPARE(a->markDelta->count(), 1);
    QCOMPARE(a->markDelta->at(0).x(), 0.4);
    QCOMPARE(a->markDelta->at(0).y(), a->serDelta->at(40).y());
    QCOMPARE(a->markSchieber->count(), 1);
    QCOMPARE(a->markSchieber->at(0), a->serDelta->at(40));
    QCOMPARE(a->markSchieber->color().alpha(), 0);
    QVERIFY(a->markDelta->color().alpha() == 255);
    QCOMPARE(a->markAnteil->at(0).x(), 20.0);
    // More kept, less error; everything kept leaves the method's own error.
    QVERIFY(a->serAnteil->at(100).y() < a->serAnteil->at(20).y());
    QVERIFY(a->serAnteil->at(20).y() < a->serAnteil->at(0).y());

    // Hidden, nothing is computed; shown again, the curves catch up.
    const double level2 = a->serDelta->at(50).y();
    a->hide();
    k->trbLevel->setValue(3);
    QCoreApplication::processEvents();
    QCOMPARE(a->serDelta->at(50).y(), level2);
    QTest::mouseClick(k->butAnalyse, Qt::LeftButton);
    QTRY_VERIFY(a->serDelta->at(50).y() != level2);

    // A click on the point of Delta 0.7 acts like the scroll bar.
    const QImage functionsBefore = Grab(frmGrafik);
    QChart* chart = a->chtDelta->chart();
    const QPointF onChart = chart->mapToPosition(a->serDelta->at(70), a->serDelta);
    const QPoint click = a->chtDelta->mapFromScene(chart->mapToScene(onChart));
    QTest::mouseClick(a->chtDelta->viewport(), Qt::LeftButton, {}, click);
    QCOMPARE(k->scrDelta->value(), 70);
    QCOMPARE(appState.delta, 0.7);
    QCOMPARE(k->labDelta->text(), QString("Delta: 0.7"));
    QCOMPARE(appState.currentDelta, 0.4);  // the data side waits for "Berechne!"
    QVERIFY(Grab(frmGrafik) != functionsBefore);
    QCOMPARE(a->markSchieber->at(0), a->serDelta->at(70));
    QCOMPARE(a->markDelta->at(0).x(), 0.4);
    // Between two points the nearest position wins: 0.676 -> 68, not 67.
    const QPointF between = chart->mapToPosition(QPointF(0.676, a->serDelta->at(68).y()), a->serDelta);
    QTest::mouseClick(a->chtDelta->viewport(), Qt::LeftButton, {},
                      a->chtDelta->mapFromScene(chart->mapToScene(between)));
    QCOMPARE(k->scrDelta->value(), 68);
    QCOMPARE(a->markSchieber->at(0), a->serDelta->at(68));
    // The tooltip names the point under the pointer.
    QCOMPARE(a->chtDelta->PointText(0.676), "Delta = 0.68: RMS = " + Text(FormatReadout(a->serDelta->at(68).y())));
    k->scrDelta->setValue(70);
    // Fresh curves keep the ring on the scroll bar's Delta, apart from the data's.
    a->spnAnteil->setValue(25);
    a->UpdateCurvesNow();
    QCOMPARE(a->markSchieber->at(0), a->serDelta->at(70));
    QCOMPARE(a->markDelta->at(0), a->serDelta->at(40));
    // "Berechne!" moves the marker.
    QTest::mouseClick(k->butBerechne, Qt::LeftButton);
    a->UpdateCurvesNow();
    QCOMPARE(a->markDelta->at(0).x(), 0.7);
  }

  // The readouts right after "Anwenden" are the Qt-free functions' numbers
  // and the curves' points; "Original" puts the plain analysis back.
  void readoutsAgreeWithTheCurvesAndOriginalUndoes() {
    QTest::mouseClick(a->rbBeispiel, Qt::LeftButton);
    QCOMPARE(a->labGezeigt->text(), QString("Gezeigt: unkomprimiert"));
    k->scrDelta->setValue(30);
    QTest::mouseClick(k->butBerechne, Qt::LeftButton);
    k->trbLevel->setValue(3);
    const Matrix plain = appState.dataMatrix;
    a->spnAnteil->setValue(7.5);
    QTest::mouseClick(a->butAnwenden, Qt::LeftButton);
    a->UpdateCurvesNow();
    const double rms = ShareCurveNow(7.5).marker->y;
    QCOMPARE(a->labFehler->text(), Text(ErrorText()));
    QVERIFY2(a->labFehler->text().contains(", RMS = " + Text(FormatReadout(rms)) + ", "), qPrintable(a->labFehler->text()));
    QCOMPARE(a->markAnteil->at(0).y(), rms);
    QCOMPARE(a->markDelta->at(0).x(), 0.3);
    QCOMPARE(a->markDelta->at(0).y(), a->serDelta->at(30).y());
    QCOMPARE(a->labGezeigt->text(), QString("Gezeigt: 7.5 % behalten (Level 3)"));
    // The energy table: the share first, as the Qt-free rows say.
    QCOMPARE(a->tblEnergie->horizontalHeaderItem(0)->text(), QString("Anteil"));
    const std::vector<EnergyRow> rows = EnergyRows();
    QCOMPARE(a->tblEnergie->rowCount(), 10);
    for (int r = 0; r < 10; ++r) {
      QCOMPARE(a->tblEnergie->item(r, 0)->text(), Text(rows[static_cast<std::size_t>(r)].share));
      QCOMPARE(a->tblEnergie->item(r, 1)->text(), Text(rows[static_cast<std::size_t>(r)].block));
    }
    QCOMPARE(a->tblEnergie->item(0, 1)->text(), QString("Approximation, Level 3"));
    QVERIFY(a->tblEnergie->toolTip().contains("Summe der Quadrate"));

    QTest::mouseClick(a->butOriginal, Qt::LeftButton);
    QCOMPARE(a->labGezeigt->text(), QString("Gezeigt: unkomprimiert"));
    for (int i = 1; i <= 65; ++i)
      for (int c = 1; c <= 65; ++c) QCOMPARE(Data(i, c), GetElement(plain, i, c));

    // "Berechne!" below the top level: the line appears on the panel and in the readout.
    k->scrDelta->setValue(60);
    QTest::mouseClick(k->butBerechne, Qt::LeftButton);
    const QString line = "Koeffizienten mit Delta 0.3 berechnet, Synthese mit Delta 0.6";
    QCOMPARE(k->labDeltaHinweis->text(), line);
    QVERIFY(a->labFehler->text().endsWith("\n" + line));
    k->scrDelta->setValue(30);
    QTest::mouseClick(k->butBerechne, Qt::LeftButton);
    QCOMPARE(k->labDeltaHinweis->text(), QString());
    QVERIFY(!a->labFehler->text().contains('\n'));
    k->scrDelta->setValue(60);
    QTest::mouseClick(k->butBerechne, Qt::LeftButton);
    QCOMPARE(k->labDeltaHinweis->text(), line);
    QTest::mouseClick(a->rbBeispiel, Qt::LeftButton);  // a new surface
    QCOMPARE(k->labDeltaHinweis->text(), QString());
    k->scrDelta->setValue(40);
    QTest::mouseClick(k->butBerechne, Qt::LeftButton);
  }

  // At 513 x 513 the curves are computed beside the event loop: the charts
  // say how far it got, a level change stops the job, and only curves of the
  // state in force are ever drawn. Prints the longest event-loop gap and the
  // time to the curves (no limit asserted: that is for the figures).
  void curvesAt513ComeFromAWorkerAndNeverStale() {
    QTest::mouseClick(a->rbBeispiel, Qt::LeftButton);
    a->cmbAufloesung->setCurrentIndex(a->cmbAufloesung->findData(513));
    QCOMPARE(appState.topLevel, 9);
    QCOMPARE(k->trbLevel->maximum(), 9);
    a->StateChanged();
    QCOMPARE(appState.chosenLevel, 9);
    a->spnAnteil->setValue(10);

    // Every curve drawn, in order.
    QList<QList<QPointF>> drawnDelta, drawnShare;
    QElapsedTimer clock;
    qint64 drawnAt = -1;  // when the first Delta curve was drawn (QTRY_ looks only every 50 ms)
    const auto d = connect(a->serDelta, &QXYSeries::pointsReplaced, this, [&] {
      if (drawnAt < 0) drawnAt = clock.elapsed();
      drawnDelta.append(a->serDelta->points());
    });
    const auto s = connect(a->serAnteil, &QXYSeries::pointsReplaced, this,
                           [&] { drawnShare.append(a->serAnteil->points()); });
    // The longest time between two turns of the event loop.
    qint64 last = 0, longest = 0;
    QTimer beat;
    beat.setInterval(5);
    connect(&beat, &QTimer::timeout, this, [&] {
      longest = std::max(longest, clock.elapsed() - last);
      last = clock.elapsed();
    });

    // Level 2, the slowest curves: timed from the level change on; the gaps
    // are measured once the level steps on this thread are done.
    clock.start();
    k->trbLevel->setValue(2);
    const qint64 levelChange = clock.elapsed();
    last = clock.elapsed();
    beat.start();
    QTRY_VERIFY(a->CurveProgress() > 0);
    QCOMPARE(a->chtDelta->EmptyText(), QString::fromUtf8("Kurven werden berechnet \u2026 %1 %").arg(a->CurveProgress()));
    QCOMPARE(a->chtAnteil->EmptyText(), a->chtDelta->EmptyText());
    QCOMPARE(a->serDelta->count(), 0);
    QVERIFY(a->labMinimum->text().isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(!drawnDelta.isEmpty(), kCurveWait);
    beat.stop();
    qInfo("513 x 513, level 9 -> 2: level change %lld ms, curves after %lld ms, longest event-loop gap "
          "meanwhile %lld ms",
          levelChange, drawnAt, longest);
    QCOMPARE(a->serDelta->count(), 101);
    drawnDelta.clear();
    drawnShare.clear();

    // Another level while the curves of another share are under way.
    a->spnAnteil->setValue(20);
    QTRY_VERIFY(a->CurveProgress() > 0);
    QCOMPARE(a->serDelta->count(), 0);
    k->trbLevel->setValue(3);
    a->spnAnteil->setValue(10);
    // The scroll bar moves meanwhile: the hollow marker follows it.
    QTRY_VERIFY(a->CurveProgress() > 0);
    k->scrDelta->setValue(70);
    QTRY_VERIFY_WITH_TIMEOUT(!drawnDelta.isEmpty(), kCurveWait);
    QCOMPARE(a->markSchieber->at(0), a->serDelta->at(70));
    QCOMPARE(a->CurveProgress(), -1);
    QVERIFY(a->chtDelta->EmptyText().isEmpty());
    QTest::qWait(100);  // nothing late comes after

    // Drawn once, and those of level 3, as the Qt-free job computes them.
    QCOMPARE(drawnDelta.size(), 1);
    QCOMPARE(drawnShare.size(), 1);
    const Curve overDelta = DeltaCurveNow(10), overShare = ShareCurveNow(10);
    QCOMPARE(drawnDelta[0].size(), 101);
    QCOMPARE(drawnShare[0].size(), 101);
    for (int i = 0; i < 101; ++i) {
      const auto& [x, y] = overDelta.points[static_cast<std::size_t>(i)];
      QCOMPARE(drawnDelta[0][i], QPointF(x, y));
      QCOMPARE(drawnShare[0][i], QPointF(overShare.points[static_cast<std::size_t>(i)].first,
                                         overShare.points[static_cast<std::size_t>(i)].second));
    }
    QCOMPARE(a->labMinimum->text(), Text(MinimumText(overDelta.points)));
    QCOMPARE(a->markDelta->at(0), QPointF(overDelta.marker->x, overDelta.marker->y));
    QCOMPARE(a->markAnteil->at(0), QPointF(10, overShare.marker->y));

    // Hidden while computing: the job stops and draws nothing; shown again, it starts afresh.
    a->spnAnteil->setValue(50);
    QTRY_VERIFY(a->CurveProgress() > 0);
    a->hide();
    QCOMPARE(a->CurveProgress(), -1);
    QTest::qWait(1500);
    QCOMPARE(drawnDelta.size(), 1);
    QTest::mouseClick(k->butAnalyse, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(drawnDelta.size() == 2, kCurveWait);
    QCOMPARE(a->markAnteil->at(0).x(), 50.0);
    QCOMPARE(drawnDelta[1][0].y(), DeltaCurveNow(50).points[0].second);

    k->scrDelta->setValue(40);
    disconnect(d);
    disconnect(s);
    QCOMPARE(SetResolution(65), std::string());
    k->trbLevel->setRange(LevelTrackRange().lowest, LevelTrackRange().highest);
    NotifyStateChanged();
    a->StateChanged();
  }

  // "Präsentation" on the panel: every text of "Analyse", "Bild" and "Hilfe"
  // at least 20 px and none clipped, the curves' tick numbers at least 18 px,
  // Bild's panels at least 400 px in two rows on this screen, all on the
  // screen; switched off, every font and place as before.
  void presentationEnlargesTextsCurvesAndPictures() {
    ShowBild();
    ShowHelp();
    const QList<QWidget*> windows{a, frmBild, frmHelp};
    QMap<QWidget*, QFont> before;
    QMap<QWidget*, QRect> places;
    for (QWidget* w : windows) {
      places[w] = w->geometry();
      before[w] = w->font();
      for (QWidget* c : w->findChildren<QWidget*>()) before[c] = c->font();
    }
    const auto tickPx = [](CurveView* chart) {
      int least = 1000;
      for (QAbstractAxis* axis : chart->chart()->axes()) least = std::min(least, QFontInfo(axis->labelsFont()).pixelSize());
      return least;
    };
    const int usualTicks = tickPx(a->chtDelta);
    QVERIFY(usualTicks < 18);
    QVERIFY(!k->cbxPraesentation->isChecked());
    QCOMPARE(k->cbxPraesentation->text(), QString::fromUtf8("Pr\u00e4sentation"));
    QVERIFY(k->rect().contains(k->cbxPraesentation->geometry()));

    QTest::mouseClick(k->cbxPraesentation, Qt::LeftButton, {}, QPoint(8, 8));
    QVERIFY(k->cbxPraesentation->isChecked());
    QTest::qWait(100);
    const QRect screen = a->screen()->availableGeometry();
    for (QWidget* w : windows) {
      QVERIFY2(screen.contains(w->frameGeometry()), qPrintable(w->windowTitle()));
      for (QWidget* c : w->findChildren<QWidget*>()) {
        if (!c->isVisible()) continue;
        const bool text = qobject_cast<QLabel*>(c) || qobject_cast<QAbstractButton*>(c) ||
                          qobject_cast<QLineEdit*>(c) || qobject_cast<QComboBox*>(c) ||
                          qobject_cast<QAbstractSpinBox*>(c) || qobject_cast<QAbstractItemView*>(c);
        if (!text) continue;
        QVERIFY2(QFontInfo(c->font()).pixelSize() >= 20, qPrintable(c->objectName() + c->metaObject()->className()));
        const auto* label = qobject_cast<QLabel*>(c);
        if ((label && !label->wordWrap() && !label->text().isEmpty()) || qobject_cast<QAbstractButton*>(c)) {
          QVERIFY2(c->width() >= c->sizeHint().width(), qPrintable(w->windowTitle() + ": " + (label ? label->text() : qobject_cast<QAbstractButton*>(c)->text())));
        }
      }
    }
    for (CurveView* chart : {a->chtDelta, a->chtAnteil}) {
      QVERIFY(tickPx(chart) >= 18);
      QVERIFY(QFontInfo(chart->chart()->titleFont()).pixelSize() >= 20);
      QVERIFY(chart->height() >= 380);
    }
    // The energy table's rows as high as their larger text.
    QVERIFY(a->tblEnergie->verticalHeader()->defaultSectionSize() > a->tblEnergie->fontMetrics().height());
    for (PicturePanel* p : frmBild->panels) {
      QVERIFY2(p->width() >= 400 && p->height() >= 400, qPrintable(QString("%1 x %2").arg(p->width()).arg(p->height())));
    }
    // Two rows of two: Differenz below Original, Rekonstruktion beside it.
    QCOMPARE(frmBild->panels[1]->y(), frmBild->panels[0]->y());
    QVERIFY(frmBild->panels[2]->y() > frmBild->panels[0]->y() + 400);
    QCOMPARE(frmBild->panels[2]->x(), frmBild->panels[0]->x());
    for (ColourBar* bar : frmBild->bars) {
      const QFontMetrics fm(bar->font());
      for (const QString& t : bar->TickTexts()) QVERIFY2(18 + fm.horizontalAdvance(t) <= bar->width(), qPrintable(t));
    }
    // A window opened while presenting is large at once; the panel keeps its fixed layout.
    QCOMPARE(k->size(), QSize(801, 143));

    QTest::mouseClick(k->cbxPraesentation, Qt::LeftButton, {}, QPoint(8, 8));
    QTest::qWait(100);
    for (auto it = before.begin(); it != before.end(); ++it) QCOMPARE(it.key()->font(), it.value());
    for (QWidget* w : windows) QCOMPARE(w->geometry(), places[w]);
    QCOMPARE(tickPx(a->chtDelta), usualTicks);
    QCOMPARE(frmBild->panels[2]->y(), frmBild->panels[0]->y());
    frmBild->hide();
    frmHelp->hide();
  }

  void cleanupTestCase() {
    QTest::mouseClick(k->butEnde, Qt::LeftButton);
    QVERIFY(frmAnalyse == nullptr);
    DestroyForms();
  }
};

QTEST_MAIN(AnalyseTest)
#include "tst_analyse.moc"
