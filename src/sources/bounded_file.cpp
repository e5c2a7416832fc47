#include "sources/bounded_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

BoundedFile::BoundedFile(const std::string& path, std::uintmax_t limit) : limit_(limit) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
  if (fd_ < 0) {
    openErrno_ = errno;
    return;
  }
  // Unbuffered: the decoders' own requests reach readData, so a short read
  // shows that the data ended before the decoder was done.
  QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

BoundedFile::~BoundedFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool BoundedFile::seek(qint64 pos) {
  if (pos < 0 || !QIODevice::seek(pos)) return false;
  offset_ = static_cast<std::uintmax_t>(pos);
  return true;
}

qint64 BoundedFile::size() const {
  struct stat st {};
  return fd_ >= 0 && ::fstat(fd_, &st) == 0 ? static_cast<qint64>(st.st_size) : 0;
}

qint64 BoundedFile::readData(char* data, qint64 maxSize) {
  if (maxSize <= 0) return 0;
  const std::uintmax_t room = offset_ < limit_ ? limit_ - offset_ : 0;
  const auto wanted = std::min(static_cast<std::uintmax_t>(maxSize), room);
  std::uintmax_t got = 0;
  while (got < wanted) {
    const ssize_t n = ::pread(fd_, data + got, wanted - got, static_cast<off_t>(offset_ + got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      readFailed_ = true;
      return -1;
    }
    if (n == 0) break;
    got += static_cast<std::uintmax_t>(n);
  }
  offset_ += got;
  seen_ = std::max(seen_, offset_);
  if (got == wanted && wanted < static_cast<std::uintmax_t>(maxSize)) {
    // Stopped at the limit: is there more?
    char probe = 0;
    ssize_t n = 0;
    do n = ::pread(fd_, &probe, 1, static_cast<off_t>(limit_));
    while (n < 0 && errno == EINTR);
    if (n > 0) overLimit_ = true;
  }
  if (got < static_cast<std::uintmax_t>(maxSize)) readShort_ = true;
  return static_cast<qint64>(got);
}

BoundedFileBuffer::int_type BoundedFileBuffer::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  const qint64 n = file_.read(chunk_, sizeof chunk_);
  if (n <= 0) return traits_type::eof();
  setg(chunk_, chunk_, chunk_ + n);
  return traits_type::to_int_type(*gptr());
}

namespace {

// Length of the valid UTF-8 sequence at text[b], or 0.
std::size_t Utf8Length(const std::string& text, std::size_t b) {
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char c = at(b);
  std::size_t length = 0;
  unsigned min = 0;
  unsigned code = 0;
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) length = 2, min = 0x80, code = c & 0x1F;
  else if (c >= 0xE0 && c <= 0xEF) length = 3, min = 0x800, code = c & 0x0F;
  else if (c >= 0xF0 && c <= 0xF4) length = 4, min = 0x10000, code = c & 0x07;
  else return 0;
  if (b + length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((at(b + i) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (at(b + i) & 0x3F);
  }
  if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

}  // namespace

std::string ShownFileName(const std::string& path) {
  std::string name = path;
  while (name.size() > 1 && name.back() == '/') name.pop_back();
  if (const auto slash = name.rfind('/'); slash != std::string::npos && name.size() > 1)
    name = name.substr(slash + 1);
  std::string shown;
  for (std::size_t b = 0; b < name.size();) {
    if (const std::size_t length = Utf8Length(name, b); length > 0) {
      shown.append(name, b, length);
      b += length;
    } else {
      const auto c = static_cast<unsigned char>(name[b++]);  // Latin-1: code point = byte
      shown.push_back(static_cast<char>(0xC0 | (c >> 6)));
      shown.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return shown;
}
