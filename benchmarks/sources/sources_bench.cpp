// The three surface sources at the sizes the window must handle promptly:
// a 4000 x 3000 grey picture already decoded, a formula over the grid, and a
// 1000 x 1000 table held in memory.
#include <benchmark/benchmark.h>

#include <QImage>
#include <sstream>
#include <string>

#include "sources/formula.h"
#include "sources/picture.h"
#include "sources/table_reader.h"

namespace {

void GreyPicture(benchmark::State& state) {
  QImage image(4000, 3000, QImage::Format_Grayscale8);
  for (int row = 0; row < image.height(); ++row) {
    uchar* line = image.scanLine(row);
    for (int col = 0; col < image.width(); ++col) line[col] = static_cast<uchar>((col * 7 + row * 3) % 256);
  }
  for (auto _ : state) {
    SurfaceResult result = SurfaceFromImage(image, "bench.png");
    benchmark::DoNotOptimize(result.grid->data[0]);
  }
}
BENCHMARK(GreyPicture)->Name("SurfaceFromImage/4000x3000_grey")->Unit(benchmark::kMillisecond);

void ColourPicture(benchmark::State& state) {
  QImage image(4000, 3000, QImage::Format_RGB32);
  image.fill(qRgb(200, 120, 40));
  for (auto _ : state) {
    SurfaceResult result = SurfaceFromImage(image, "bench.jpg");
    benchmark::DoNotOptimize(result.grid->data[0]);
  }
}
BENCHMARK(ColourPicture)->Name("SurfaceFromImage/4000x3000_rgb32")->Unit(benchmark::kMillisecond);

// Runs after the colour picture on purpose: QImage::fill leaves the AVX state
// dirty, as painting does in the running program.
void Formula(benchmark::State& state) {
  for (auto _ : state) {
    SurfaceResult result = SurfaceFromFormula(kDefaultFormula);
    benchmark::DoNotOptimize(result.grid->data[0]);
  }
}
BENCHMARK(Formula)->Name("SurfaceFromFormula/default")->Unit(benchmark::kMillisecond);

void Table(benchmark::State& state) {
  std::string text;
  text.reserve(9'000'000);
  for (int r = 0; r < 1000; ++r) {
    for (int c = 0; c < 1000; ++c) {
      text += std::to_string((r * 1000 + c) % 9973 * 0.001 - 4.5);
      text += c + 1 < 1000 ? ' ' : '\n';
    }
  }
  for (auto _ : state) {
    std::istringstream in(text);
    SurfaceResult result = SurfaceFromTable(in, "bench.csv");
    benchmark::DoNotOptimize(result.grid->data[0]);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(Table)->Name("SurfaceFromTable/1000x1000")->Unit(benchmark::kMillisecond);

}  // namespace
