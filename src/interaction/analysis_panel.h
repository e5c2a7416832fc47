#pragma once
// What the "Analyse" window does, without Qt: taking a formula or a file,
// compressing the coefficients shown, and the readouts and curves of the
// current state. Numbers are formatted in the C locale like the labels.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "sources/surface_result.h"

// "" when the surface was taken, else the German reason it was refused
// (nothing changed then).
std::string TakeFormula(const std::string& text);
// A surface read from a file, by whoever can read files (the desktop's
// TakeFile in interaction/take_file.h, or a page that was handed the bytes):
// taken as the file shownName, with its samples for other resolutions.
std::string TakeFileResult(const SurfaceResult& result, const std::string& shownName);

// What keeping `percent` % would keep at the level shown: N of M.
struct KeptCount {
  int kept = 0;
  int total = 0;
};
KeptCount CountKept(double percent);
// Analyses the original surface from level 6 down to the level shown with
// currentDelta, keeps the largest `percent` % of the details and shows that:
// the readouts then equal the share curve's point at `percent` and the Delta
// curve's point at currentDelta. Earlier compressions and level trips do not
// add up; what the level history kept is dropped, so a later descent cannot
// bring the old coefficients back.
KeptCount ApplyCompression(double percent);
// "Original": the plain analysis of the original down to the level shown
// (at level 6 the original itself); a trip up and down again comes back to it.
void RestoreOriginal();
std::string KeptText(const KeptCount& count);  // "behalten: N von M Detailkoeffizienten"
// KeptText of CountKept(percent), or at the top level why nothing can be left out.
std::string KeptReadoutText(double percent);
// Why the curves are empty at the top level.
std::string NoCurveText();
// "In Kraft: …": the source in force (the sample, f(x, y) = …, or the file's name).
std::string SourceText();
// "Gezeigt: unkomprimiert" or "Gezeigt: 10 % behalten (Level 2)".
std::string ShownStateText();
// "Koeffizienten mit Delta 0.4 berechnet, Synthese mit Delta 0.2" while the
// details shown were analysed with another Delta than the tables in force; "" else.
std::string MismatchText();

// Why the error is larger than the coefficients alone explain: MismatchText(),
// or, once mismatched details were synthesised up, "Mit Delta 0.2
// analysierte Details wurden mit Delta 0.3 hinaufsynthetisiert, daher der
// größere Fehler" (with several pairs: "Details wurden mit anderem Delta
// hinaufsynthetisiert als analysiert (Delta 0.4 mit 0.2, Delta 0.2 mit 0.3),
// daher …"); "" else.
std::string DeltaExplanation();

// "Fehler auf Level 6: max |e| = …, RMS = …, PSNR = … dB" of the current
// coefficients against the original; a second line carries DeltaExplanation().
std::string ErrorText();

struct EnergyRow {
  std::string share;  // of the whole block, in %
  std::string block;
  std::string energy;
};
std::vector<EnergyRow> EnergyRows();
// What "Energie" means, for the table's tooltip.
std::string EnergyExplanation();

// The level shown is the top level: no details, so nothing to compress and no curves.
bool AtTopLevel();

// Everything the window reads out, at once, for the share `percent`.
struct AnalyseReadouts {
  bool atTop = false;      // AtTopLevel()
  std::string kept;        // KeptReadoutText
  std::string shown;       // ShownStateText
  std::string error;       // ErrorText
  std::string mismatch;    // DeltaExplanation: non-empty colours the error in red
  std::string source;      // SourceText
  std::string noCurve;     // NoCurveText
  std::vector<EnergyRow> energy;
  std::string energyExplanation;
};
AnalyseReadouts ReadoutsNow(double percent);
