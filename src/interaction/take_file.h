#pragma once
// Taking a file by its name: the desktop's part of the "Analyse" window's
// data source (library veltra_interaction_files, which reads files through Qt).
#include <string>

// Reads the picture or table at path (see SurfaceFromFile) and takes it like
// TakeFileResult: "" when taken, else the German reason it was refused.
std::string TakeFile(const std::string& path);
