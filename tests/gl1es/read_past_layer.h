#pragma once
#include <cstdint>
#include <vector>

// The current ES context's framebuffer read with ES itself, past the layer,
// RGB with the top row first: what is drawn without the layer's help.
std::vector<std::uint8_t> ReadPastLayer(int width, int height);
