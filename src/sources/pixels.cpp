#include "sources/pixels.h"

#include <cstddef>

#include "sources/resample.h"
#include "text/language.h"

std::string PictureSizeProblem(const std::string& picture, int width, int height) {
  const std::string w = std::to_string(width);
  const std::string h = std::to_string(height);
  if (width > kMaxPictureSide || height > kMaxPictureSide) {
    const std::string most = std::to_string(kMaxPictureSide);
    return TrArgs("%1 ist mit %2 x %3 Pixeln zu groß; erlaubt sind höchstens %4 x %5.", {picture, w, h, most, most});
  }
  if (width < kMinPictureSide || height < kMinPictureSide) {
    const std::string least = std::to_string(kMinPictureSide);
    return TrArgs("%1 ist mit %2 x %3 Pixeln zu klein; nötig sind mindestens %4 x %5.", {picture, w, h, least, least});
  }
  return {};
}

std::string DecodedBytesProblem(const std::string& picture, int width, int height, std::uintmax_t bytes) {
  if (bytes <= kMaxPictureBytes) return {};
  return TrArgs("%1 ist mit %2 x %3 Pixeln entpackt %4 Bytes groß; erlaubt sind höchstens %5 Bytes (256 MiB).",
                {picture, std::to_string(width), std::to_string(height), std::to_string(bytes),
                 std::to_string(kMaxPictureBytes)});
}

std::string RgbaPictureProblem(const std::string& picture, int width, int height) {
  if (std::string problem = PictureSizeProblem(picture, width, height); !problem.empty()) return problem;
  return DecodedBytesProblem(picture, width, height,
                             static_cast<std::uintmax_t>(width) * static_cast<std::uintmax_t>(height) * 4u);
}

SurfaceResult SurfaceFromRgba(std::string_view rgba, int width, int height, const std::string& name) {
  if (const std::string problem = PictureSizeProblem(PictureSubject(name), width, height); !problem.empty())
    return Refused(problem);
  if (rgba.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4)
    return Refused(TrArgs("Das Bild %1 ist unvollständig.", {Quoted(name)}));
  const auto* bytes = reinterpret_cast<const unsigned char*>(rgba.data());
  const int top = height - 1;
  return TakenSamples(KeepSamples(width, height, [&](int r, int c) {
    const unsigned char* p = bytes + 4 * (static_cast<std::size_t>(top - c) * static_cast<std::size_t>(width) +
                                          static_cast<std::size_t>(r));
    return GreyOf(p[0], p[1], p[2]) / 255.0 * kWhiteHeight;
  }));
}

const char* BrokenPictureDataText() { return Tr("Die Bilddaten sind fehlerhaft oder unvollständig."); }
const char* FormatNotInBrowserText() { return Tr("Das Bildformat wird im Browser nicht unterstützt."); }

std::string UnreadablePictureText(const std::string& name, std::string_view reason) {
  return TrArgs("Das Bild %1 lässt sich nicht lesen. %2", {Quoted(name), reason});
}

std::string PictureSubject(const std::string& name) { return TrArgs("Das Bild %1", {Quoted(name)}); }
