#include "analysis/pictures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <optional>

#include "analysis/blocks.h"
#include "analysis/error.h"

namespace analysis {

namespace {

constexpr Rgba kNaNColour{255, 0, 255, 255};
// The coefficient panel shows this many decades below the largest |c|.
constexpr double kDecades = 6;

// Rounded half up; a quarter of a million pixels per panel makes lround's
// library call the largest cost.
std::uint8_t Channel(double v) { return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0) + 0.5); }

Rgba Mix(const std::array<double, 3>& a, const std::array<double, 3>& b, double u) {
  return {Channel(a[0] + (b[0] - a[0]) * u), Channel(a[1] + (b[1] - a[1]) * u),
          Channel(a[2] + (b[2] - a[2]) * u), 255};
}

// Where v lies between low and high, 0..1; the middle when they are equal.
double Fraction(double v, double low, double high) {
  return high > low ? (v - low) / (high - low) : 0.5;
}

// Grid point (r, c), 0-based, to pixel (px, py) = (r, n - 1 - c).
template <class ColourOf>
RgbaImage Paint(const Matrix& m, int side, ColourOf colourOf) {
  RgbaImage image{side, side, std::vector<std::uint8_t>(static_cast<std::size_t>(side) * side * 4)};
  const auto stride = static_cast<std::size_t>(m.cols);
  for (int r = 0; r < side; ++r) {
    const double* row = m.data.get() + static_cast<std::size_t>(r) * stride;
    for (int c = 0; c < side; ++c) {
      const Rgba colour = colourOf(row[c], r, c);
      std::uint8_t* px = image.bytes.data() +
                         (static_cast<std::size_t>(side - 1 - c) * side + static_cast<std::size_t>(r)) * 4;
      px[0] = colour.r;
      px[1] = colour.g;
      px[2] = colour.b;
      px[3] = colour.a;
    }
  }
  return image;
}

std::vector<BlockLine> BlockLines(int level, int top) {
  std::vector<BlockLine> lines;
  const double n = BlockSide(top);
  for (int j = level; j < top; ++j) {
    const double coarse = BlockSide(j);
    const double fine = BlockSide(j + 1);
    lines.push_back({true, coarse, n - fine, n});
    lines.push_back({false, n - coarse, 0, fine});
  }
  return lines;
}

}  // namespace

Rgba RgbaImage::At(int px, int py) const {
  const std::uint8_t* p = bytes.data() + (static_cast<std::size_t>(py) * width + static_cast<std::size_t>(px)) * 4;
  return {p[0], p[1], p[2], p[3]};
}

Rgba Grey(double t) {
  if (std::isnan(t)) return kNaNColour;
  const std::uint8_t g = Channel(255 * t);
  return {g, g, g, 255};
}

namespace {

// The maps are tables of 257 colours: value t picks entry round(256 t), so
// 0, 1/2 and 1 hit their colours exactly. That keeps a quarter of a million
// pixels cheap.
using Table = std::array<Rgba, 257>;

template <class Exact>
Table Tabulate(Exact exact) {
  Table table{};
  for (std::size_t e = 0; e < table.size(); ++e) table[e] = exact(static_cast<double>(e) / 256.0);
  return table;
}

Rgba Pick(const Table& table, double t) {
  if (std::isnan(t)) return kNaNColour;
  return table[static_cast<std::size_t>(std::clamp(t, 0.0, 1.0) * 256.0 + 0.5)];
}

Rgba ExactDiverging(double t) {
  constexpr std::array<double, 3> kBlue{33, 102, 172};
  constexpr std::array<double, 3> kWhite{255, 255, 255};
  constexpr std::array<double, 3> kRed{178, 24, 43};
  return t <= 0.5 ? Mix(kBlue, kWhite, 2 * t) : Mix(kWhite, kRed, 2 * t - 1);
}

Rgba ExactViridis(double t) {
  // matplotlib's viridis at t = 0, 1/8, ..., 1.
  constexpr std::array<std::array<double, 3>, 9> kAnchors{{{68, 1, 84},
                                                           {71, 44, 122},
                                                           {59, 81, 139},
                                                           {44, 113, 142},
                                                           {33, 144, 141},
                                                           {39, 173, 129},
                                                           {92, 200, 99},
                                                           {170, 220, 50},
                                                           {253, 231, 37}}};
  const double x = t * 8;
  const int k = std::min(static_cast<int>(x), 7);
  return Mix(kAnchors[static_cast<std::size_t>(k)], kAnchors[static_cast<std::size_t>(k + 1)], x - k);
}

const Table kDiverging = Tabulate(ExactDiverging);
const Table kViridis = Tabulate(ExactViridis);

}  // namespace

Rgba Diverging(double t) { return Pick(kDiverging, t); }

Rgba Viridis(double t) { return Pick(kViridis, t); }

std::vector<double> RoundTicks(double low, double high) {
  if (!std::isfinite(low) || !std::isfinite(high) || high < low) return {};
  if (high == low) return {low};
  const int decade = static_cast<int>(std::floor(std::log10(high - low)));
  std::vector<double> best;
  // From the coarsest step down: the ticks grow in number, and the last set
  // of 3 to 5 before there are more is kept.
  for (int d = decade + 1; d >= decade - 2; --d) {
    for (double factor : {5.0, 2.5, 2.0, 1.0}) {
      const double step = factor * std::pow(10.0, d);
      const double first = std::ceil(low / step);
      const double last = std::floor(high / step);
      const double count = last - first + 1;
      if (count >= 3 && count <= 5) {
        best.clear();
        // Multiples of the step, so 0 comes out as 0 and not a rounding residue.
        for (double k = first; k <= last; ++k) best.push_back(k * step);
      }
      if (count > 5) return best;
    }
  }
  return best;
}

std::vector<double> DecadeTicks(double low, double high) {
  if (!std::isfinite(low) || !std::isfinite(high) || high < low) return {};
  // log10 of m * 10^k for every k and every m of `mantissas` inside [low, high].
  const auto inside = [&](std::initializer_list<double> mantissas) {
    std::vector<double> ticks;
    for (double k = std::floor(low); k <= std::floor(high); ++k)
      for (double m : mantissas)
        if (const double t = k + std::log10(m); t >= low && t <= high) ticks.push_back(t);
    return ticks;
  };
  const std::vector<double> decades = inside({1});
  if (decades.size() > 5) {
    // Every second decade, ending at the top one.
    std::vector<double> every;
    for (std::size_t i = decades.size() % 2 == 0 ? 1 : 0; i < decades.size(); i += 2) every.push_back(decades[i]);
    return every;
  }
  if (decades.size() >= 3) return decades;
  // Fewer whole decades: 1, 2 and 5 times a power of ten, or 1 and 5.
  for (const std::vector<double>& ticks : {inside({1, 2, 5}), inside({1, 5})})
    if (ticks.size() >= 3 && ticks.size() <= 5) return ticks;
  return decades.size() == 2 ? decades : RoundTicks(low, high);
}

Pictures MakePictures(const Matrix& original, const Matrix& coefficients, int level,
                      const std::vector<Matrix>& p, const std::vector<Matrix>& q) {
  Pictures pictures;
  const int top = TopLevelOf(original);
  if (!HoldsBlock(original, top)) return pictures;
  const std::optional<Matrix> surface = ReconstructSurface(coefficients, level, top, p, q);
  if (!surface) return pictures;
  const int side = BlockSide(top);
  const auto stride = static_cast<std::size_t>(original.cols);
  auto originalAt = [&](int r, int c) {
    return original.data[static_cast<std::size_t>(r) * stride + static_cast<std::size_t>(c)];
  };

  // One pass for the original's range, max |e| (as CompareSurfaces forms it)
  // and the range of the coefficient magnitudes.
  double lowest = originalAt(0, 0);
  double highest = lowest;
  double maxAbs = 0;
  double largest = 0;
  double smallest = HUGE_VAL;
  const auto cstride = static_cast<std::size_t>(coefficients.cols);
  for (int r = 0; r < side; ++r) {
    for (int c = 0; c < side; ++c) {
      const double o = originalAt(r, c);
      lowest = std::min(lowest, o);
      highest = std::max(highest, o);
      maxAbs = std::max(maxAbs, std::fabs(GetElement(*surface, r + 1, c + 1) - o));
      const double a = std::fabs(coefficients.data[static_cast<std::size_t>(r) * cstride +
                                                   static_cast<std::size_t>(c)]);
      if (a > 0 && std::isfinite(a)) {
        largest = std::max(largest, a);
        smallest = std::min(smallest, a);
      }
    }
  }

  pictures.original.scale = {lowest, highest, RoundTicks(lowest, highest), false};
  pictures.reconstruction.scale = pictures.original.scale;
  pictures.original.image = Paint(original, side, [&](double v, int, int) {
    return Grey(Fraction(v, lowest, highest));
  });
  pictures.reconstruction.image = Paint(*surface, side, [&](double v, int, int) {
    return Grey(Fraction(v, lowest, highest));
  });

  // An exact reconstruction has the scale 0..0, not -0..0.
  const double errorLow = maxAbs > 0 ? -maxAbs : 0.0;
  pictures.difference.scale = {errorLow, maxAbs, RoundTicks(errorLow, maxAbs), false};
  pictures.difference.image = Paint(*surface, side, [&](double v, int r, int c) {
    const double e = v - originalAt(r, c);
    return Diverging(maxAbs > 0 ? 0.5 + e / (2 * maxAbs) : 0.5);
  });

  double high = 0;
  double low = 0;
  if (largest > 0) {
    high = std::log10(largest);
    low = std::max(std::log10(smallest), high - kDecades);
  }
  pictures.coefficients.scale = {low, high, DecadeTicks(low, high), true};
  pictures.coefficients.image = Paint(coefficients, side, [&](double v, int, int) {
    if (std::isnan(v)) return Viridis(v);
    const double a = std::fabs(v);
    if (a == 0) return Viridis(0);
    return Viridis(high > low ? (std::log10(a) - low) / (high - low) : 1.0);
  });
  pictures.blockLines = BlockLines(level, top);
  pictures.valid = true;
  return pictures;
}

}  // namespace analysis
