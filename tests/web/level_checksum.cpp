// Checksums of the level steps 6 -> 2 -> 6, built natively and in
// WebAssembly: given the same surface bytes, both builds must print the same
// lines (check_level_checksums.sh compares them).
//
//   level_checksum sample FILE        the start-up sample surface (65 x 65
//                                     doubles, row by row) as this build's
//                                     sin computes it
//   level_checksum sines FILE [TOP]   the 2 (2^TOP + 1) sin values the sample
//                                     at top level TOP (6 unless given) is
//                                     made of
//   level_checksum steps FILE         the steps on the surface in FILE: one
//                                     FNV-1a checksum per table and block
//   level_checksum compare A B        how many doubles of A and B differ, by
//                                     how many units in the last place
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "blac/decomposition.h"
#include "blac/level_steps.h"
#include "blac/startup.h"
#include "state/state.h"

namespace {

constexpr int kSide = 65;  // the level-6 block

// FNV-1a (64 bit) over the bytes of the doubles, in memory order
// (little-endian in both builds).
struct Fnv {
  std::uint64_t hash = 14695981039346656037ULL;
  void Add(double v) {
    unsigned char bytes[sizeof v];
    std::memcpy(bytes, &v, sizeof v);
    for (const unsigned char b : bytes) hash = (hash ^ b) * 1099511628211ULL;
  }
};

std::uint64_t BlockSum(const Matrix& m) {
  Fnv f;
  for (int r = 1; r <= kSide; ++r)
    for (int c = 1; c <= kSide; ++c) f.Add(GetElement(m, r, c));
  return f.hash;
}

std::uint64_t MatrixSum(const Matrix& m) {
  Fnv f;
  for (int r = 1; r <= m.rows; ++r)
    for (int c = 1; c <= m.cols; ++c) f.Add(GetElement(m, r, c));
  return f.hash;
}

void Print(const char* what, int level, std::uint64_t sum) {
  std::printf("%-12s %d %016llx\n", what, level, static_cast<unsigned long long>(sum));
}

bool Write(const std::string& path, const std::vector<double>& values) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(values.data()), static_cast<std::streamsize>(values.size() * sizeof(double)));
  return static_cast<bool>(out);
}

std::vector<double> Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<double> values(bytes.size() / sizeof(double));
  std::memcpy(values.data(), bytes.data(), values.size() * sizeof(double));
  return values;
}

int Sample(const std::string& path) {
  ResetAppState();
  RunStartupNumerics();
  std::vector<double> values;
  for (int r = 1; r <= kSide; ++r)
    for (int c = 1; c <= kSide; ++c) values.push_back(GetElement(appState.dataMatrix, r, c));
  return Write(path, values) ? 0 : 1;
}

// As GenerateSampleSurface forms them: sin(7 i / n) and sin(3 j / n),
// i, j = -1 .. n - 1, n = 2^top.
int Sines(const std::string& path, int top) {
  const double n = std::ldexp(1.0, top);
  std::vector<double> values;
  for (const int factor : {7, 3})
    for (int i = -1; i < n; ++i) values.push_back(std::sin(static_cast<double>(factor * i) / n));
  return Write(path, values) ? 0 : 1;
}

int Steps(const std::string& path) {
  const std::vector<double> surface = Read(path);
  if (surface.size() != static_cast<std::size_t>(kSide * kSide)) {
    std::fprintf(stderr, "%s: expected %d doubles, found %zu\n", path.c_str(), kSide * kSide, surface.size());
    return 1;
  }
  ResetAppState();
  RunStartupNumerics();  // tables for Delta 0.4 and top level 6
  Matrix& data = appState.dataMatrix;
  for (int r = 1; r <= kSide; ++r)
    for (int c = 1; c <= kSide; ++c) SetElement(data, r, c, surface[static_cast<std::size_t>((r - 1) * kSide + c - 1)]);

  // What the level track bar runs: the steps on dataMatrix.
  for (int j = 2; j <= 5; ++j) {
    Print("P", j, MatrixSum(appState.synthesisP[static_cast<std::size_t>(j)]));
    Print("Q", j, MatrixSum(appState.synthesisQ[static_cast<std::size_t>(j)]));
  }
  Print("surface", 6, BlockSum(data));
  for (int j = 5; j >= 2; --j) {
    DecomposeLevel(j);
    Print("analysed", j, BlockSum(data));
  }
  for (int j = 2; j <= 5; ++j) {
    ReconstructLevel(j);
    Print("synthesised", j + 1, BlockSum(data));
  }

  // What the readouts and curves run: the steps on a copy with tables built beforehand.
  Matrix copy(kSide, kSide);
  for (int r = 1; r <= kSide; ++r)
    for (int c = 1; c <= kSide; ++c) SetElement(copy, r, c, surface[static_cast<std::size_t>((r - 1) * kSide + c - 1)]);
  const SynthesisTables tables = BuildSynthesisTables(0.4);
  for (int j = 6; j > 2; --j) {
    AnalyseDown(copy, j, j - 1, tables);
    Print("copy down", j - 1, BlockSum(copy));
  }
  for (int j = 2; j < 6; ++j) {
    SynthesiseUp(copy, j, j + 1, tables);
    Print("copy up", j + 1, BlockSum(copy));
  }
  return 0;
}

// Distance of two finite doubles of the same sign in units in the last place.
std::int64_t Ulps(double a, double b) {
  std::int64_t ia = 0;
  std::int64_t ib = 0;
  std::memcpy(&ia, &a, sizeof a);
  std::memcpy(&ib, &b, sizeof b);
  if ((ia < 0) != (ib < 0)) return a == b ? 0 : INT64_MAX;
  return ia > ib ? ia - ib : ib - ia;
}

int Compare(const std::string& pathA, const std::string& pathB) {
  const std::vector<double> a = Read(pathA);
  const std::vector<double> b = Read(pathB);
  if (a.size() != b.size()) {
    std::printf("sizes differ: %zu and %zu doubles\n", a.size(), b.size());
    return 1;
  }
  int differing = 0;
  std::int64_t largest = 0;
  for (std::size_t k = 0; k < a.size(); ++k) {
    if (std::memcmp(&a[k], &b[k], sizeof(double)) == 0) continue;
    const std::int64_t ulps = Ulps(a[k], b[k]);
    if (differing < 12)
      std::printf("  #%zu: %.17g (%a) and %.17g (%a), %lld ulp\n", k, a[k], a[k], b[k], b[k],
                  static_cast<long long>(ulps));
    ++differing;
    largest = ulps > largest ? ulps : largest;
  }
  std::printf("%d of %zu values differ, by at most %lld ulp\n", differing, a.size(), static_cast<long long>(largest));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (argc == 3 && mode == "sample") return Sample(argv[2]);
  if ((argc == 3 || argc == 4) && mode == "sines") return Sines(argv[2], argc == 4 ? std::atoi(argv[3]) : 6);
  if (argc == 3 && mode == "steps") return Steps(argv[2]);
  if (argc == 4 && mode == "compare") return Compare(argv[2], argv[3]);
  std::fprintf(stderr, "usage: level_checksum sample|steps FILE, sines FILE [TOP], or compare FILE FILE\n");
  return 2;
}
