#pragma once
// The matrices of GL 1.x, in doubles, column-major as GL stores them:
// row r, column c at [c * 4 + r].
#include <array>

namespace gl1es {

using Mat4 = std::array<double, 16>;
using Vec4 = std::array<double, 4>;
using Mat3 = std::array<double, 9>;  // column-major as well

Mat4 Identity();
Mat4 Multiply(const Mat4& a, const Mat4& b);  // a * b
Vec4 Transform(const Mat4& m, const Vec4& v);  // m * v

// glTranslate, glRotate (angle in degrees about the axis (x, y, z), which
// need not be of unit length; no rotation about a zero axis) and
// gluPerspective (nothing for a degenerate frustum, as GLU does).
Mat4 Translation(double x, double y, double z);
Mat4 Rotation(double angleDegrees, double x, double y, double z);
bool Perspective(double fovyDegrees, double aspect, double zNear, double zFar, Mat4& out);

// The inverse transpose of the upper-left 3 x 3 block, which carries normals
// into eye coordinates; zero when the block is singular.
Mat3 NormalMatrix(const Mat4& m);

}  // namespace gl1es
