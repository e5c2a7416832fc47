#include "interaction/picture_view.h"

#include "state/state.h"

analysis::Pictures CurrentPictures() {
  const AppState& s = appState;
  return analysis::MakePictures(s.originalSurface, s.dataMatrix, s.chosenLevel, s.synthesisP, s.synthesisQ);
}
