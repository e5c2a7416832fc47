#include "blac/level_steps.h"

#include <algorithm>
#include <cstddef>

#include "blac/filters.h"
#include "blac/lane_solver.h"
#include "blac/projections.h"

using namespace blac_lanes;

namespace {

double& At(Matrix& m, int i, int j) {
  return m.data[Idx(i - 1) * Idx(m.cols) + Idx(j - 1)];
}

// Sample k of line `line` of dataMatrix: a row, or with kColumns a column.
template <bool kColumns>
double& Sample(Matrix& m, int line, int k) {
  return kColumns ? At(m, k, line) : At(m, line, k);
}

// Samples first .. first + count - 1 of lanes lines starting at `line`, to or
// from the lane layout; the loop order follows the matrix's storage.
template <bool kColumns>
void GatherLanes(Matrix& m, int line, int lanes, int first, int count, double* dst) {
  if constexpr (kColumns) {
    for (int k = 0; k < count; ++k)
      for (int p = 0; p < lanes; ++p) dst[Idx(k) * kLanes + Idx(p)] = At(m, first + k, line + p);
  } else {
    for (int p = 0; p < lanes; ++p)
      for (int k = 0; k < count; ++k) dst[Idx(k) * kLanes + Idx(p)] = At(m, line + p, first + k);
  }
}

template <bool kColumns>
void ScatterLanes(Matrix& m, int line, int lanes, int first, int count, const double* src) {
  if constexpr (kColumns) {
    for (int k = 0; k < count; ++k)
      for (int p = 0; p < lanes; ++p) At(m, first + k, line + p) = src[Idx(k) * kLanes + Idx(p)];
  } else {
    for (int p = 0; p < lanes; ++p)
      for (int k = 0; k < count; ++k) At(m, line + p, first + k) = src[Idx(k) * kLanes + Idx(p)];
  }
}

struct AnalysisStep {
  double delta;
  int j;
  const Templates& templates;
  CachedCholesky& coarse;
  CachedCholesky& wavelet;
  std::vector<double>& c;
  std::vector<double>& w;

  template <bool kColumns>
  void Run(Matrix& data, double* buffer) {
    const int n = 1 << j;
    const int size = 2 * n + 1;
    for (int line = 1; line <= size; line += kLanes) {
      const int lanes = std::min(kLanes, size - line + 1);
      // Lanes past the end of the block hold +0, which the solves pass through.
      std::fill(c.begin(), c.end(), 0.0);
      std::fill(w.begin(), w.end(), 0.0);
      for (int p = 0; p < lanes; ++p) {
        for (int k = 1; k <= size; ++k) buffer[k] = Sample<kColumns>(data, line + p, k);
        CoarseProjectionInto(delta, j, buffer, c.data() + p, kLanes);
        WaveletProjectionInto(delta, j, templates, buffer, w.data() + p, kLanes);
      }
      coarse.SolveLanes(c.data());
      wavelet.SolveLanes(w.data());
      ScatterLanes<kColumns>(data, line, lanes, 1, n + 1, c.data());
      ScatterLanes<kColumns>(data, line, lanes, n + 2, n, w.data());
    }
  }
};

struct SynthesisStep {
  int j;
  const SparseRows& p;
  const SparseRows& q;
  std::vector<double>& c;
  std::vector<double>& w;
  std::vector<double>& x;

  // x := (Q w) + (P c), with the product's and the sum's order of operations.
  template <bool kColumns>
  void Run(Matrix& data) {
    const int n = 1 << j;
    const int size = 2 * n + 1;
    double qw[kLanes];
    double pc[kLanes];
    for (int line = 1; line <= size; line += kLanes) {
      const int lanes = std::min(kLanes, size - line + 1);
      std::fill(c.begin(), c.end(), 0.0);
      std::fill(w.begin(), w.end(), 0.0);
      GatherLanes<kColumns>(data, line, lanes, 1, n + 1, c.data());
      GatherLanes<kColumns>(data, line, lanes, n + 2, n, w.data());
      const bool finite = AllFinite(c) && AllFinite(w);
      for (int k = 1; k <= size; ++k) {
        q.RowTimesLanes(k, w.data(), finite, qw);
        p.RowTimesLanes(k, c.data(), finite, pc);
        double* out = x.data() + Idx(k - 1) * kLanes;
        for (int pl = 0; pl < kLanes; ++pl) out[pl] = qw[pl] + pc[pl];
      }
      ScatterLanes<kColumns>(data, line, lanes, 1, size, x.data());
    }
  }
};
}  // namespace

void AnalyseLevel(Matrix& data, int j, double delta, const Matrix& q2, std::span<double> rowBuffer) {
  const Templates templates = TemplatesFrom(q2);
  const int n = 1 << j;
  CachedCholesky coarse(CoarseGram(delta, j));
  CachedCholesky wavelet(WaveletGramFrom(delta, j, templates));
  std::vector<double> c(Idx(n + 1) * kLanes);
  std::vector<double> w(Idx(n) * kLanes);
  AnalysisStep step{delta, j, templates, coarse, wavelet, c, w};
  step.Run<false>(data, rowBuffer.data());
  step.Run<true>(data, rowBuffer.data());
}

struct SparseTables {
  std::vector<SparseRows> p;
  std::vector<SparseRows> q;
};

namespace {

void SynthesiseSparse(Matrix& data, int j, const SparseRows& p, const SparseRows& q) {
  const int n = 1 << j;
  std::vector<double> c(Idx(n + 1) * kLanes);
  std::vector<double> w(Idx(n) * kLanes);
  std::vector<double> x(Idx(2 * n + 1) * kLanes);
  SynthesisStep step{j, p, q, c, w, x};
  step.Run<true>(data);
  step.Run<false>(data);
}

}  // namespace

void SynthesiseLevel(Matrix& data, int j, const Matrix& pm, const Matrix& qm) {
  SynthesiseSparse(data, j, SparseRows(pm), SparseRows(qm));
}

SynthesisTables BuildSynthesisTables(double delta, int topLevel) {
  SynthesisTables t;
  t.delta = delta;
  for (int j = 0; j <= topLevel; ++j) {
    if (j < 2) {
      t.p.emplace_back(0, 0);
      t.q.emplace_back(0, 0);
    } else {
      t.p.push_back(BuildSynthesisP(delta, j));
      t.q.push_back(BuildSynthesisQ(delta, j));
    }
  }
  auto sparse = std::make_shared<SparseTables>();
  for (std::size_t j = 0; j < t.p.size(); ++j) {
    sparse->p.emplace_back(t.p[j]);
    sparse->q.emplace_back(t.q[j]);
  }
  t.sparse = std::move(sparse);
  return t;
}

void AnalyseDown(Matrix& data, int from, int to, const SynthesisTables& tables) {
  std::vector<double> buffer(Idx((2 << from) + 2), 0.0);
  for (int j = from - 1; j >= to; --j) AnalyseLevel(data, j, tables.delta, tables.q[2], buffer);
}

void SynthesiseUp(Matrix& data, int from, int to, const SynthesisTables& tables) {
  if (!tables.sparse) {
    SynthesiseUp(data, from, to, tables.p, tables.q);
    return;
  }
  for (int j = from; j < to; ++j)
    SynthesiseSparse(data, j, tables.sparse->p[Idx(j)], tables.sparse->q[Idx(j)]);
}

void SynthesiseUp(Matrix& data, int from, int to, const std::vector<Matrix>& p,
                  const std::vector<Matrix>& q) {
  for (int j = from; j < to; ++j) SynthesiseLevel(data, j, p[Idx(j)], q[Idx(j)]);
}
