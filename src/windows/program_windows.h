#pragma once
// The program's windows: created, wired to each other and torn down here
// alone; the windows themselves only lay out and wire their own controls.
#include <string>

// Creates the control panel (running its start-up sequence) and the hidden
// settings window.
void CreateForms();
// The start-up sequence's windows: the two views (placed once they are
// shown), the info window, both GL contexts, "Analyse", and their wiring.
void CreateViewWindows();
// Deletes the windows that remain after the event loop has ended.
void DestroyForms();
// Gives back both GL contexts, destroys the views and ends the event loop,
// so the program returns 0 from main.
void EndProgram();

// "Analyse": the first time beside the views, where the screen has room.
void ShowAnalyse();
// The function view and the data view again, where they were.
void ShowViews();

// Loads `path` (bytes, as the command line gave them) into the data view
// once the windows exist; messages as for a file picked in "Analyse".
void OpenStartFile(const std::string& path);
