#pragma once
// Dense matrix of doubles, stored row by row, addressed 1-based.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// Writes a German message and a line break to standard output, encoded as
// Windows-1252 (the text is given as UTF-8; "ü" leaves as the byte 0xFC).
void ReportError(std::string_view utf8Message);

// Converts UTF-8 text to Windows-1252 bytes (characters it cannot encode become '?').
std::string ToWindows1252(std::string_view utf8);

class Matrix {
public:
  Matrix(std::int32_t rows, std::int32_t cols);
  Matrix(const Matrix& other);
  Matrix(Matrix&& other) noexcept;
  // Copies the values of a source of the same shape; a different shape is
  // reported and leaves this matrix untouched. Never reshapes.
  Matrix& operator=(const Matrix& source);
  Matrix& operator=(Matrix&& source);
  ~Matrix() = default;

  std::int32_t rows;
  std::int32_t cols;
  std::unique_ptr<double[]> data;
};

inline std::int32_t GetRows(const Matrix& m) { return m.rows; }
inline std::int32_t GetCols(const Matrix& m) { return m.cols; }
// No index checks: these sit in the inner loops of the product and the solvers.
inline double GetElement(const Matrix& m, int i, int j) {
  return m.data[static_cast<std::size_t>(i - 1) * static_cast<std::size_t>(m.cols) +
                static_cast<std::size_t>(j - 1)];
}
inline void SetElement(Matrix& m, int i, int j, double value) {
  m.data[static_cast<std::size_t>(i - 1) * static_cast<std::size_t>(m.cols) +
         static_cast<std::size_t>(j - 1)] = value;
}

// Sum and product: no result when the shapes do not fit (the mismatch is reported).
std::optional<Matrix> operator+(const Matrix& a, const Matrix& b);
std::optional<Matrix> operator*(const Matrix& a, const Matrix& b);
