#include "blac/projections.h"

namespace {

std::size_t Idx(int k) { return static_cast<std::size_t>(k); }

}  // namespace

Templates TemplatesFrom(const Matrix& q2) {
  Templates t{};
  for (int k = 1; k <= 4; ++k) t.l[k] = GetElement(q2, k, 1);
  for (int k = 1; k <= 5; ++k) t.m[k] = GetElement(q2, k + 1, 2);
  for (int k = 1; k <= 4; ++k) t.r[k] = GetElement(q2, k + 5, 4);
  return t;
}

// The weights are hoisted out of the loops unchanged; products that involve a
// sample keep their written grouping.
void CoarseProjectionInto(double delta, int j, const double* s, double* out, std::size_t stride) {
  const int n = 1 << j;
  const double a = 1 - 0.5 * delta;
  const double q = delta / 6;
  const double centre = 1 + q;
  const double right = q + 1 - a;
  const double farRight = (1 - a) * q;
  const double left = a + q;
  const double farLeft = a * q;
  out[0] = centre * s[1] + right * s[2] + farRight * s[3];
  for (int i = 2; i <= n; ++i) {
    const double u = left * s[2 * i - 2] + farLeft * s[2 * i - 3] + centre * s[2 * i - 1];
    out[Idx(i - 1) * stride] = right * s[2 * i] + farRight * s[2 * i + 1] + u;
  }
  out[Idx(n) * stride] = left * s[2 * n] + farLeft * s[2 * n - 1] + centre * s[2 * n + 1];
}

void WaveletProjectionInto(double delta, int j, const Templates& tp, const double* s, double* out,
                           std::size_t stride) {
  const int n = 1 << j;
  const double q = delta / 6;
  const double* l = tp.l;
  const double* r = tp.r;
  const double m1 = tp.m[1];
  const double m5 = tp.m[5];
  const double mA = tp.m[2] * q + m1;
  const double mB = m1 * q + tp.m[2] + tp.m[3] * q;
  const double mC = tp.m[2] * q + tp.m[3] + tp.m[4] * q;
  const double mD = tp.m[3] * q + tp.m[4] + m5 * q;
  const double mE = tp.m[4] * q + m5;

  double e = (l[2] * q + l[1]) * s[1] + (l[1] * q + l[2] + l[3] * q) * s[2] +
             (l[2] * q + l[3] + l[4] * q) * s[3];
  out[0] = (l[3] * q + l[4]) * s[4] + s[5] * l[4] * q + e;

  for (int i = 2; i <= n - 1; ++i) {
    double u = mA * s[2 * i - 2] + s[2 * i - 3] * m1 * q + mB * s[2 * i - 1];
    u = mC * s[2 * i] + mD * s[2 * i + 1] + u;
    out[Idx(i - 1) * stride] = mE * s[2 * i + 2] + s[2 * i + 3] * m5 * q + u;
  }

  e = (r[2] * q + r[1]) * s[2 * n - 2] + r[1] * q * s[2 * n - 3] +
      (r[1] * q + r[2] + r[3] * q) * s[2 * n - 1];
  out[Idx(n - 1) * stride] =
      (r[2] * q + r[3] + r[4] * q) * s[2 * n] + (r[3] * q + r[4]) * s[2 * n + 1] + e;
}

GramBands CoarseGramBands(double delta, int j) {
  const int n = 1 << j;
  const double a = 1 - 0.5 * delta;
  const double q = delta / 6;
  const double t = delta / 3;
  GramBands g;
  const double d = (1 - a) * (1 - a) + (a * a + 1) + t;
  const double o = (1 - a) * a + q;
  g.diagonal.assign(Idx(n + 1), d);
  g.offDiagonal.assign(Idx(n), o);
  g.diagonal.front() = (t + (1 - a)) * (1 - a) + 1;
  g.offDiagonal.front() = (1 - a) * a + q;
  g.diagonal.back() = a * a + a * t + 1;
  return g;
}

GramBands WaveletGramBands(double delta, int j, const Templates& tp) {
  const int n = 1 << j;
  const double q = delta / 6;
  const double t = delta / 3;
  const double* l = tp.l;
  const double* m = tp.m;
  const double* r = tp.r;
  const double neighbours = m[1] * m[2] + m[2] * m[3] + m[3] * m[4] + m[4] * m[5];
  const double dm =
      neighbours * t + m[1] * m[1] + m[2] * m[2] + m[3] * m[3] + m[4] * m[4] + m[5] * m[5];
  const double om = (m[2] * m[4] + m[3] * m[5]) + neighbours * q;
  GramBands g;
  g.diagonal.assign(Idx(n), dm);
  g.offDiagonal.assign(Idx(n - 1), om);
  g.diagonal.front() = (l[1] * l[1] + l[2] * l[2] + l[3] * l[3] + l[4] * l[4]) +
                       (l[1] * l[2] + l[2] * l[3] + l[3] * l[4]) * t;
  g.offDiagonal.front() = (m[1] * l[2] + m[2] * l[3] + m[3] * l[4]) +
                          (m[1] * l[1] + m[1] * l[3] + m[2] * l[2] + m[2] * l[4] + m[3] * l[3] +
                           m[4] * l[4]) * q;
  g.diagonal.back() = (r[1] * r[1] + r[2] * r[2] + r[3] * r[3] + r[4] * r[4]) +
                      (r[1] * r[2] + r[2] * r[3] + r[3] * r[4]) * t;
  g.offDiagonal.back() = (m[3] * r[1] + m[4] * r[2] + m[5] * r[3]) +
                         (m[2] * r[1] + m[4] * r[1] + m[3] * r[2] + m[5] * r[2] + m[4] * r[3] +
                          m[5] * r[4]) * q;
  return g;
}

Matrix GramFromBands(const GramBands& bands) {
  const int n = static_cast<int>(bands.diagonal.size());
  Matrix g(n, n);
  for (int i = 1; i <= n; ++i) SetElement(g, i, i, bands.diagonal[Idx(i - 1)]);
  for (int i = 1; i < n; ++i) {
    SetElement(g, i, i + 1, bands.offDiagonal[Idx(i - 1)]);
    SetElement(g, i + 1, i, bands.offDiagonal[Idx(i - 1)]);
  }
  return g;
}

Matrix CoarseGram(double delta, int j) { return GramFromBands(CoarseGramBands(delta, j)); }

Matrix WaveletGramFrom(double delta, int j, const Templates& tp) {
  return GramFromBands(WaveletGramBands(delta, j, tp));
}
