#pragma once
// A picture's size from the first bytes of its file, before anything is
// decoded: PNG, JPEG, GIF, BMP and WebP, the formats a browser decodes. A
// header that declares a size past the limits lets the picture be refused
// without the memory its pixels would take.
#include <optional>
#include <string_view>

struct PictureSize {
  int width = 0;
  int height = 0;
};

// The size the header declares (JPEG: of the first frame; GIF: of its
// logical screen; BMP: rows stored top down count as many as bottom up), or
// nothing when the bytes start no picture of these formats or end before
// the size. Sizes past what an int holds come out as the int's largest.
std::optional<PictureSize> PictureSizeFromHeader(std::string_view bytes);

