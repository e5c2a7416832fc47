#include "blac/level_steps.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>

#include "blac/filters.h"
#include "blac/lane_kernels.h"
#include "blac/lane_solver.h"
#include "blac/projections.h"

using namespace blac_lanes;

namespace {

double* At(Matrix& m, int i, int j) {
  return m.data.get() + Idx(i - 1) * Idx(m.cols) + Idx(j - 1);
}

// Lane buffers, kept per thread so that a step allocates nothing once warm.
struct Scratch {
  std::vector<double> s, c, w, x, saved, single;
};
thread_local Scratch scratch;

void Reserve(std::vector<double>& v, std::size_t count) {
  if (v.size() < count) v.resize(count);
}

// The two Cholesky factors of one level and Delta, formed once and reused by
// every row and column of every step there; kept per thread and per level,
// and formed anew when Delta or the wavelet templates change (compared bit by
// bit, so the factors always belong to the arguments).
struct AnalysisFactors {
  double delta;
  Templates templates;
  CachedCholesky coarse;
  CachedCholesky wavelet;
};
thread_local std::unique_ptr<AnalysisFactors> factorCache[31];

const AnalysisFactors& FactorsFor(double delta, int j, const Templates& tp) {
  std::unique_ptr<AnalysisFactors>& slot = factorCache[j];
  if (!slot || std::memcmp(&slot->delta, &delta, sizeof delta) != 0 ||
      std::memcmp(&slot->templates, &tp, sizeof tp) != 0) {
    slot = std::make_unique<AnalysisFactors>(AnalysisFactors{
        delta, tp, CachedCholesky(CoarseGramBands(delta, j)),
        CachedCholesky(WaveletGramBands(delta, j, tp))});
  }
  return *slot;
}

// CoarseProjectionInto's and WaveletProjectionInto's weights, formed by the
// same expressions.
ProjectionWeights WeightsFor(double delta, const Templates& tp) {
  ProjectionWeights w{};
  const double a = 1 - 0.5 * delta;
  const double q = delta / 6;
  w.centre = 1 + q;
  w.right = q + 1 - a;
  w.farRight = (1 - a) * q;
  w.left = a + q;
  w.farLeft = a * q;
  const double* l = tp.l;
  const double* m = tp.m;
  const double* r = tp.r;
  w.q = q;
  w.a1 = l[2] * q + l[1];
  w.a2 = l[1] * q + l[2] + l[3] * q;
  w.a3 = l[2] * q + l[3] + l[4] * q;
  w.a4 = l[3] * q + l[4];
  w.l4 = l[4];
  w.m1 = m[1];
  w.m5 = m[5];
  w.mA = m[2] * q + m[1];
  w.mB = m[1] * q + m[2] + m[3] * q;
  w.mC = m[2] * q + m[3] + m[4] * q;
  w.mD = m[3] * q + m[4] + m[5] * q;
  w.mE = m[4] * q + m[5];
  w.b1 = r[2] * q + r[1];
  w.r1q = r[1] * q;
  w.b2 = r[1] * q + r[2] + r[3] * q;
  w.b3 = r[2] * q + r[3] + r[4] * q;
  w.b4 = r[3] * q + r[4];
  return w;
}

// Entries first .. first + count - 1 of `used` lines starting at `line`, to
// or from lane layout.
template <bool kColumns>
void Gather(const LaneKernels& k, Matrix& m, int line, int used, int first, int count, double* dst) {
  if constexpr (kColumns) k.gatherColumns(At(m, first, line), Idx(m.cols), used, count, dst);
  else k.gatherRows(At(m, line, first), Idx(m.cols), used, count, dst);
}

template <bool kColumns>
void Scatter(const LaneKernels& k, Matrix& m, int line, int used, int first, int count,
             const double* src) {
  if constexpr (kColumns) k.scatterColumns(At(m, first, line), Idx(m.cols), used, count, src);
  else k.scatterRows(At(m, line, first), Idx(m.cols), used, count, src);
}

// Lanes past the end of the block hold +0, which the solves pass through.
void ClearUnusedLanes(double* x, int count, int used, int lanes) {
  for (int k = 0; k < count; ++k)
    for (int p = used; p < lanes; ++p) x[Idx(k) * Idx(lanes) + Idx(p)] = 0.0;
}

template <bool kColumns>
void AnalysePass(Matrix& data, int j, const ProjectionWeights& weights,
                 const AnalysisFactors& factors, const LaneKernels& k, Scratch& sc) {
  const int n = 1 << j;
  const int size = 2 * n + 1;
  const int lanes = k.lanes;
  for (int line = 1; line <= size; line += lanes) {
    const int used = std::min(lanes, size - line + 1);
    Gather<kColumns>(k, data, line, used, 1, size, sc.s.data());
    k.project(weights, n, sc.s.data(), sc.c.data(), sc.w.data());
    if (used < lanes) {
      ClearUnusedLanes(sc.c.data(), n + 1, used, lanes);
      ClearUnusedLanes(sc.w.data(), n, used, lanes);
    }
    factors.coarse.SolveLanes(sc.c.data(), k, sc.saved, sc.single);
    factors.wavelet.SolveLanes(sc.w.data(), k, sc.saved, sc.single);
    Scatter<kColumns>(k, data, line, used, 1, n + 1, sc.c.data());
    Scatter<kColumns>(k, data, line, used, n + 2, n, sc.w.data());
  }
}

// x := (Q w) + (P c), with the product's and the sum's order of operations.
template <bool kColumns>
void SynthesisePass(Matrix& data, int j, const SparseRows& p, const SparseRows& q,
                    const LaneKernels& k, Scratch& sc) {
  const int n = 1 << j;
  const int size = 2 * n + 1;
  const int lanes = k.lanes;
  std::vector<double> qw(Idx(lanes)), pc(Idx(lanes));
  for (int line = 1; line <= size; line += lanes) {
    const int used = std::min(lanes, size - line + 1);
    Gather<kColumns>(k, data, line, used, 1, n + 1, sc.c.data());
    Gather<kColumns>(k, data, line, used, n + 2, n, sc.w.data());
    const bool finite = k.allFinite(sc.c.data(), Idx(n + 1) * Idx(lanes)) &&
                        k.allFinite(sc.w.data(), Idx(n) * Idx(lanes));
    if (finite) {
      k.synthesise(p.View(), q.View(), size, sc.c.data(), sc.w.data(), sc.x.data());
    } else {
      for (int r = 0; r < size; ++r) {
        q.FullRowTimesLanes(r, sc.w.data(), lanes, qw.data());
        p.FullRowTimesLanes(r, sc.c.data(), lanes, pc.data());
        double* out = sc.x.data() + Idx(r) * Idx(lanes);
        for (int pl = 0; pl < lanes; ++pl) out[pl] = qw[Idx(pl)] + pc[Idx(pl)];
      }
    }
    Scatter<kColumns>(k, data, line, used, 1, size, sc.x.data());
  }
}

Scratch& ScratchFor(int j, int lanes) {
  const std::size_t size = Idx((2 << j) + 1) * Idx(lanes);
  Reserve(scratch.s, size);
  Reserve(scratch.c, size);
  Reserve(scratch.w, size);
  Reserve(scratch.x, size);
  return scratch;
}

}  // namespace

void AnalyseLevel(Matrix& data, int j, double delta, const Matrix& q2, std::span<double> rowBuffer) {
  const Templates templates = TemplatesFrom(q2);
  const AnalysisFactors& factors = FactorsFor(delta, j, templates);
  const ProjectionWeights weights = WeightsFor(delta, templates);
  const LaneKernels& k = ActiveKernels();
  Scratch& sc = ScratchFor(j, k.lanes);
  AnalysePass<false>(data, j, weights, factors, k, sc);
  AnalysePass<true>(data, j, weights, factors, k, sc);
  // The literal one-row-at-a-time step reads every line through rowBuffer, which is left
  // holding the last column's samples: the last lane of the last batch.
  const int size = (2 << j) + 1;
  const int lanes = k.lanes;
  const int lastLane = (size - 1) % lanes;
  for (int s = 1; s <= size; ++s) rowBuffer[Idx(s)] = sc.s[Idx(s - 1) * Idx(lanes) + Idx(lastLane)];
}

struct SparseTables {
  std::vector<SparseRows> p;
  std::vector<SparseRows> q;
};

namespace {

void SynthesiseSparse(Matrix& data, int j, const SparseRows& p, const SparseRows& q) {
  const LaneKernels& k = ActiveKernels();
  Scratch& sc = ScratchFor(j, k.lanes);
  SynthesisePass<true>(data, j, p, q, k, sc);
  SynthesisePass<false>(data, j, p, q, k, sc);
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
