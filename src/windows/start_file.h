#pragma once
// The surface file named on the command line.
#include <string>

// Loads `path` (in the local 8-bit encoding, as the command line gave it) into
// the data view once the windows exist; messages as for a file picked in the
// control panel.
void OpenStartFile(const std::string& path);
