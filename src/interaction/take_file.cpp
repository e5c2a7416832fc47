#include "interaction/take_file.h"

#include "interaction/analysis_panel.h"
#include "sources/bounded_file.h"
#include "sources/file_source.h"

std::string TakeFile(const std::string& path) { return TakeFileResult(SurfaceFromFile(path), ShownFileName(path)); }
