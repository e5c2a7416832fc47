#include "gl1es/transform.h"

#include <cmath>
#include <numbers>

namespace gl1es {

Mat4 Identity() { return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}; }

Mat4 Multiply(const Mat4& a, const Mat4& b) {
  Mat4 p{};
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r) {
      double sum = 0.0;
      for (int k = 0; k < 4; ++k) sum += a[k * 4 + r] * b[c * 4 + k];
      p[c * 4 + r] = sum;
    }
  return p;
}

Vec4 Transform(const Mat4& m, const Vec4& v) {
  Vec4 out{};
  for (int r = 0; r < 4; ++r)
    out[r] = m[r] * v[0] + m[4 + r] * v[1] + m[8 + r] * v[2] + m[12 + r] * v[3];
  return out;
}

Mat4 Translation(double x, double y, double z) {
  Mat4 m = Identity();
  m[12] = x;
  m[13] = y;
  m[14] = z;
  return m;
}

Mat4 Rotation(double angleDegrees, double x, double y, double z) {
  const double length = std::sqrt(x * x + y * y + z * z);
  if (length == 0.0) return Identity();
  x /= length;
  y /= length;
  z /= length;
  const double a = angleDegrees * std::numbers::pi / 180.0;
  const double c = std::cos(a);
  const double s = std::sin(a);
  const double t = 1.0 - c;
  Mat4 m = Identity();
  m[0] = x * x * t + c;
  m[1] = y * x * t + z * s;
  m[2] = x * z * t - y * s;
  m[4] = x * y * t - z * s;
  m[5] = y * y * t + c;
  m[6] = y * z * t + x * s;
  m[8] = x * z * t + y * s;
  m[9] = y * z * t - x * s;
  m[10] = z * z * t + c;
  return m;
}

bool Perspective(double fovyDegrees, double aspect, double zNear, double zFar, Mat4& out) {
  const double half = fovyDegrees / 2.0 * std::numbers::pi / 180.0;
  const double depth = zFar - zNear;
  const double sine = std::sin(half);
  if (depth == 0.0 || sine == 0.0 || aspect == 0.0) return false;
  const double cotangent = std::cos(half) / sine;
  out = Mat4{};
  out[0] = cotangent / aspect;
  out[5] = cotangent;
  out[10] = -(zFar + zNear) / depth;
  out[11] = -1.0;
  out[14] = -2.0 * zNear * zFar / depth;
  return true;
}

Mat3 NormalMatrix(const Mat4& m) {
  // Upper-left block a(r, c); its inverse transpose is the cofactor matrix
  // divided by the determinant.
  auto a = [&m](int r, int c) { return m[c * 4 + r]; };
  Mat3 cof{};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) {
      const int r1 = (r + 1) % 3, r2 = (r + 2) % 3, c1 = (c + 1) % 3, c2 = (c + 2) % 3;
      cof[c * 3 + r] = a(r1, c1) * a(r2, c2) - a(r1, c2) * a(r2, c1);
    }
  const double det = a(0, 0) * cof[0] + a(0, 1) * cof[3] + a(0, 2) * cof[6];
  if (det == 0.0) return Mat3{};
  for (double& v : cof) v /= det;
  return cof;
}

}  // namespace gl1es
