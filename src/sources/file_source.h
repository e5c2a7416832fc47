#pragma once
// Surfaces from a file the user picked: a picture or a table of numbers.
#include <cstdint>
#include <string>

#include "sources/surface_result.h"

// Largest file accepted, in bytes (256 MiB).
inline constexpr std::uintmax_t kMaxFileBytes = 256u * 1024u * 1024u;

// A file whose content Qt recognises as a picture is read as one, anything
// else as a table. Refuses files that are missing, not regular, unreadable,
// empty or too large; messages name the file by its name, not its path.
SurfaceResult SurfaceFromFile(const std::string& path);
