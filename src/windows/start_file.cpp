#include "windows/start_file.h"

#include <QString>

#include "windows/Analyse.h"

void OpenStartFile(const std::string& path) {
  // A refusal shows its message and leaves the sample in place.
  if (frmAnalyse) frmAnalyse->LoadFile(QString::fromLocal8Bit(path.c_str()));
}
