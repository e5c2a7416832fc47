#include "blac/startup.h"

#include "blac/filters.h"
#include "state/state.h"

void RunStartupNumerics() {
  FillPowerTables();
  GenerateSampleSurface(appState.dataLevel);
  KeepDataAsOriginal();
  RecomputeSynthesisMatrices();
  FitWavelet();
}
