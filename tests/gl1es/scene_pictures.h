#pragma once
// The program's scenes drawn off-screen through the render layer, each view
// in its own context as in the program, and pictures as PPM files. Compiled
// twice: against real fixed-function GL, and (VELTRA_GL1ES) against the
// GL 1.x layer over ES 3.
#include <cstdint>
#include <string>
#include <vector>

struct Picture {
  std::string name;
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;  // top row first
};

// Start-up numerics, both views' contexts, then in order:
//   function_overview  the function view at start,
//   function_closeup   wavelet 1 close up (the state the selection leaves),
//   data_view          the data view at start,
//   data_level2        the whole multiscale layout after analysis down to level 2,
//   data_wireframe     the same as outlines ("Drahtgitter").
// Fills *error and returns nothing if a context cannot be made.
std::vector<Picture> DrawScenes(std::string* error);
// Sizes of the views' client areas as the program opens them.
constexpr int kGrafikWidth = 492, kGrafikHeight = 528;
constexpr int kDatenWidth = 531, kDatenHeight = 528;
// Redraws the function view as it is now and leaves its context current.
void RedrawFunctionView();
// Gives back both contexts (after DrawScenes).
void ReleaseScenes();

// The current context's draw buffer through the render layer's read-back.
Picture ReadView(const std::string& name, int width, int height);

bool WritePpm(const std::string& path, const Picture& p);
bool ReadPpm(const std::string& path, Picture& p);
