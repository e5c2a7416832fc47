#include "linalg/matrix.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

std::size_t ElementCount(std::int32_t rows, std::int32_t cols) {
  return static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols);
}

bool SameShape(const Matrix& a, const Matrix& b) { return a.rows == b.rows && a.cols == b.cols; }

// The printable characters of bytes 0x80..0x9F in Windows-1252 (0 where the
// code page leaves the byte undefined).
constexpr std::array<char32_t, 32> kHighControls{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char EncodeCodePoint(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (std::size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] != 0 && kHighControls[i] == cp) return static_cast<char>(0x80 + i);
  }
  return '?';
}

}  // namespace

std::string ToWindows1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    int extra = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
      cp = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      extra = 1;
      cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2;
      cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3;
      cp = lead & 0x07;
    } else {
      out.push_back('?');  // stray continuation byte or invalid lead
      ++i;
      continue;
    }
    bool valid = i + static_cast<std::size_t>(extra) < utf8.size();
    for (int k = 1; valid && k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
      if ((next & 0xC0) != 0x80) {
        valid = false;
      } else {
        cp = (cp << 6) | (next & 0x3F);
      }
    }
    if (!valid) {
      out.push_back('?');
      ++i;
      continue;
    }
    out.push_back(EncodeCodePoint(cp));
    i += static_cast<std::size_t>(extra) + 1;
  }
  return out;
}

void ReportError(std::string_view utf8Message) {
  std::string bytes = ToWindows1252(utf8Message);
  bytes.push_back('\n');
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

Matrix::Matrix(std::int32_t rows_, std::int32_t cols_)
    : rows(rows_), cols(cols_), data(std::make_unique<double[]>(ElementCount(rows_, cols_))) {}

Matrix::Matrix(const Matrix& other)
    : rows(other.rows),
      cols(other.cols),
      data(std::make_unique<double[]>(ElementCount(rows, cols))) {
  std::copy_n(other.data.get(), ElementCount(rows, cols), data.get());
}

// The source gives up its storage and is left an empty 0 x 0 matrix, so it
// stays safe to destroy or to copy from.
Matrix::Matrix(Matrix&& other) noexcept
    : rows(other.rows), cols(other.cols), data(std::move(other.data)) {
  other.rows = 0;
  other.cols = 0;
}

Matrix& Matrix::operator=(const Matrix& source) {
  if (!SameShape(*this, source)) {
    ReportError("In =: Matrix-Dimensionen stimmen nicht überein!");
    return *this;
  }
  if (this != &source) std::copy_n(source.data.get(), ElementCount(rows, cols), data.get());
  return *this;
}

// Same contract as the copy: values go into this matrix's own storage (which
// anyone holding a pointer into it keeps seeing), and the shape never changes.
Matrix& Matrix::operator=(Matrix&& source) {
  return *this = static_cast<const Matrix&>(source);
}

std::optional<Matrix> operator+(const Matrix& a, const Matrix& b) {
  if (!SameShape(a, b)) {
    ReportError("In +: Matrix-Dimensionen stimmen nicht überein!");
    return std::nullopt;
  }
  Matrix result(a.rows, a.cols);
  const std::size_t count = ElementCount(a.rows, a.cols);
  for (std::size_t k = 0; k < count; ++k) result.data[k] = a.data[k] + b.data[k];
  return result;
}

std::optional<Matrix> operator*(const Matrix& a, const Matrix& b) {
  if (b.rows != a.cols) {
    ReportError("In *: Matrix-Dimensionen stimmen nicht überein!");
    return std::nullopt;
  }
  Matrix result(a.rows, b.cols);
  for (int i = 1; i <= a.rows; ++i) {
    for (int j = 1; j <= b.cols; ++j) {
      double s = 0.0;
      for (int k = 1; k <= a.cols; ++k) s = s + GetElement(a, i, k) * GetElement(b, k, j);
      SetElement(result, i, j, s);
    }
  }
  return result;
}
