#include "sources/file_source.h"

#include <algorithm>
#include <cerrno>
#include <istream>
#include <sys/stat.h>

#include <QImageReader>

#include "sources/bounded_file.h"
#include "sources/picture.h"
#include "sources/resample.h"
#include "sources/table_reader.h"

namespace {

// Judged by the first 64 KiB.
bool LooksBinary(BoundedFile& file) {
  char chunk[65536];
  file.seek(0);
  const qint64 n = file.read(chunk, sizeof chunk);
  return ::LooksBinary(std::string_view(chunk, static_cast<std::size_t>(std::max<qint64>(n, 0))));
}

const std::string kLimitText = std::to_string(kMaxFileBytes) + " Bytes (256 MiB)";

}  // namespace

SurfaceResult SurfaceFromFile(const std::string& path) {
  const std::string name = ShownFileName(path);
  const std::string file = "Die Datei " + Quoted(name);
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return Refused(file + " gibt es nicht.");
    return Refused(file + " lässt sich nicht öffnen.");
  }
  if (S_ISDIR(st.st_mode)) return Refused(Quoted(name) + " ist ein Ordner, keine Datei.");
  if (!S_ISREG(st.st_mode)) return Refused(file + " ist keine gewöhnliche Datei.");
  // The size the system reports is only a first guess (0 for /proc files,
  // and the file may grow): reading counts again.
  const auto reported = static_cast<std::uintmax_t>(st.st_size);
  if (reported > kMaxFileBytes)
    return Refused(file + " ist mit " + std::to_string(reported) + " Bytes zu groß; erlaubt sind höchstens " +
                   kLimitText + ".");

  BoundedFile device(path, kMaxFileBytes);
  if (!device.isOpen()) {
    if (device.openErrno() == EACCES)
      return Refused(file + " lässt sich nicht öffnen: keine Berechtigung zum Lesen.");
    return Refused(file + " lässt sich nicht öffnen.");
  }
  char first = 0;
  if (device.peek(&first, 1) <= 0) {
    if (device.overLimit()) return Refused(TooLargeFileText(file));
    return Refused(file + " ist leer.");
  }

  if (!QImageReader::imageFormat(&device).isEmpty()) {
    // Text that Qt takes for a picture but cannot decode is tried as a table.
    PictureResult picture = ReadPicture(device, name);
    if (!picture.notDecoded || LooksBinary(device)) return std::move(picture.surface);
  }

  device.seek(0);
  BoundedFileBuffer buffer(device);
  std::istream in(&buffer);
  TableResult read = ReadTable(in, name, reported);
  if (device.overLimit()) return Refused(TooLargeFileText(file));
  if (device.readFailed()) return Refused(file + " lässt sich nicht zu Ende lesen.");
  if (!read.table) {
    if (read.noNumberInFirstLine && LooksBinary(device))
      return Refused(file + " ist weder ein Bild noch eine Zahlentabelle.");
    return Refused(std::move(read.error));
  }
  const Table& t = *read.table;
  return TakenSamples(KeepSamples(t.rows, t.cols, [&](int r, int c) {
    return t.values[static_cast<std::size_t>(r) * static_cast<std::size_t>(t.cols) + static_cast<std::size_t>(c)];
  }));
}
