#pragma once
// A file opened by its name as the system gave it (bytes, not text), read
// through Qt or as a C++ stream. It hands out at most a fixed number of bytes
// and counts them, so a file that grows while it is read, or one that reports
// size 0 but has content (/proc), is still bounded.
#include <QIODevice>
#include <cstdint>
#include <streambuf>
#include <string>

class BoundedFile : public QIODevice {
public:
  // Opens path read-only; on failure isOpen() is false and openErrno() says why.
  BoundedFile(const std::string& path, std::uintmax_t limit);
  ~BoundedFile() override;
  BoundedFile(const BoundedFile&) = delete;
  BoundedFile& operator=(const BoundedFile&) = delete;

  int openErrno() const { return openErrno_; }
  bool isSequential() const override { return false; }
  bool seek(qint64 pos) override;
  qint64 size() const override;

  // Set once a read stopped at the limit although the file went on.
  bool overLimit() const { return overLimit_; }
  // Set when a read got fewer bytes than asked for (the end came first).
  bool readShort() const { return readShort_; }
  void forgetShortReads() { readShort_ = false; }
  // Set when the system reported a read error.
  bool readFailed() const { return readFailed_; }
  // Highest position any read reached.
  std::uintmax_t bytesSeen() const { return seen_; }

protected:
  qint64 readData(char* data, qint64 maxSize) override;
  qint64 writeData(const char*, qint64) override { return -1; }

private:
  int fd_ = -1;
  int openErrno_ = 0;
  std::uintmax_t limit_;
  std::uintmax_t offset_ = 0;
  std::uintmax_t seen_ = 0;
  bool overLimit_ = false;
  bool readShort_ = false;
  bool readFailed_ = false;
};

// A stream buffer reading a BoundedFile from its current position on.
class BoundedFileBuffer : public std::streambuf {
public:
  explicit BoundedFileBuffer(BoundedFile& file) : file_(file) {}

protected:
  int_type underflow() override;

private:
  BoundedFile& file_;
  char chunk_[1 << 16];
};

// The last part of path (the file's name) as UTF-8 text for messages: valid
// UTF-8 stays as it is, any other byte is read as Latin-1, so "Fl\xE4che.csv"
// shows as "Fläche.csv".
std::string ShownFileName(const std::string& path);
