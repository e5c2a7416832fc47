#pragma once
// Surfaces from a file the user picked: a picture or a table of numbers.
#include <cstdint>
#include <string>

#include "sources/surface_result.h"
#include "sources/table_reader.h"  // kMaxFileBytes, TooLargeFileText

// A file whose content Qt recognises as a picture is read as one, anything
// else (and text Qt cannot decode as a picture after all) as a table. path is
// taken as the bytes the system gave, never converted. Refuses files that are
// missing, not regular, unreadable, empty or too large; messages name the
// file by its name (made readable, see ShownFileName), not its path.
SurfaceResult SurfaceFromFile(const std::string& path);
