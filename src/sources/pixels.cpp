#include "sources/pixels.h"

#include <cstddef>

#include "sources/resample.h"

namespace {

std::string SizeText(int width, int height) {
  return std::to_string(width) + " x " + std::to_string(height) + " Pixeln";
}

}  // namespace

std::string PictureSizeProblem(const std::string& picture, int width, int height) {
  if (width > kMaxPictureSide || height > kMaxPictureSide)
    return picture + " ist mit " + SizeText(width, height) + " zu groß; erlaubt sind höchstens " +
           std::to_string(kMaxPictureSide) + " x " + std::to_string(kMaxPictureSide) + ".";
  if (width < kMinPictureSide || height < kMinPictureSide)
    return picture + " ist mit " + SizeText(width, height) + " zu klein; nötig sind mindestens " +
           std::to_string(kMinPictureSide) + " x " + std::to_string(kMinPictureSide) + ".";
  return {};
}

std::string DecodedBytesProblem(const std::string& picture, int width, int height, std::uintmax_t bytes) {
  if (bytes <= kMaxPictureBytes) return {};
  return picture + " ist mit " + SizeText(width, height) + " entpackt " + std::to_string(bytes) +
         " Bytes groß; erlaubt sind höchstens " + std::to_string(kMaxPictureBytes) + " Bytes (256 MiB).";
}

std::string RgbaPictureProblem(const std::string& picture, int width, int height) {
  if (std::string problem = PictureSizeProblem(picture, width, height); !problem.empty()) return problem;
  return DecodedBytesProblem(picture, width, height,
                             static_cast<std::uintmax_t>(width) * static_cast<std::uintmax_t>(height) * 4u);
}

SurfaceResult SurfaceFromRgba(std::string_view rgba, int width, int height, const std::string& name) {
  const std::string picture = "Das Bild " + Quoted(name);
  if (const std::string problem = PictureSizeProblem(picture, width, height); !problem.empty())
    return Refused(problem);
  if (rgba.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4)
    return Refused(picture + " ist unvollständig.");
  const auto* bytes = reinterpret_cast<const unsigned char*>(rgba.data());
  const int top = height - 1;
  return TakenSamples(KeepSamples(width, height, [&](int r, int c) {
    const unsigned char* p = bytes + 4 * (static_cast<std::size_t>(top - c) * static_cast<std::size_t>(width) +
                                          static_cast<std::size_t>(r));
    return GreyOf(p[0], p[1], p[2]) / 255.0 * kWhiteHeight;
  }));
}

std::string UnreadablePictureText(const std::string& name, std::string_view reason) {
  return "Das Bild " + Quoted(name) + " lässt sich nicht lesen. " + std::string(reason);
}
