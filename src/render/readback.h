#pragma once
// Reading a view's picture back from GL, for the clipboard and for files.
#include <cstdint>
#include <vector>

// The pixels of the current context's draw buffer (the one a redraw has just
// drawn into, before its swap), width x height RGBA bytes, bottom row first
// as GL counts them.
std::vector<std::uint8_t> ReadDrawBuffer(int width, int height);
