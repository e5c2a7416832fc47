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
#include "text/language.h"

namespace {

// Judged by the first 64 KiB.
bool LooksBinary(BoundedFile& file) {
  char chunk[65536];
  file.seek(0);
  const qint64 n = file.read(chunk, sizeof chunk);
  return ::LooksBinary(std::string_view(chunk, static_cast<std::size_t>(std::max<qint64>(n, 0))));
}

}  // namespace

SurfaceResult SurfaceFromFile(const std::string& path) {
  const std::string name = ShownFileName(path);
  const std::string quoted = Quoted(name);
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return Refused(TrArgs("Die Datei %1 gibt es nicht.", {quoted}));
    return Refused(TrArgs("Die Datei %1 lässt sich nicht öffnen.", {quoted}));
  }
  if (S_ISDIR(st.st_mode)) return Refused(TrArgs("%1 ist ein Ordner, keine Datei.", {quoted}));
  if (!S_ISREG(st.st_mode)) return Refused(TrArgs("Die Datei %1 ist keine gewöhnliche Datei.", {quoted}));
  // The size the system reports is only a first guess (0 for /proc files,
  // and the file may grow): reading counts again.
  const auto reported = static_cast<std::uintmax_t>(st.st_size);
  if (reported > kMaxFileBytes)
    return Refused(TrArgs("Die Datei %1 ist mit %2 Bytes zu groß; erlaubt sind höchstens %3 Bytes (256 MiB).",
                          {quoted, std::to_string(reported), std::to_string(kMaxFileBytes)}));

  BoundedFile device(path, kMaxFileBytes);
  if (!device.isOpen()) {
    if (device.openErrno() == EACCES)
      return Refused(TrArgs("Die Datei %1 lässt sich nicht öffnen: keine Berechtigung zum Lesen.", {quoted}));
    return Refused(TrArgs("Die Datei %1 lässt sich nicht öffnen.", {quoted}));
  }
  char first = 0;
  if (device.peek(&first, 1) <= 0) {
    if (device.overLimit()) return Refused(TooLargeFileText(TrArgs("Die Datei %1", {quoted})));
    return Refused(TrArgs("Die Datei %1 ist leer.", {quoted}));
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
  if (device.overLimit()) return Refused(TooLargeFileText(TrArgs("Die Datei %1", {quoted})));
  if (device.readFailed()) return Refused(TrArgs("Die Datei %1 lässt sich nicht zu Ende lesen.", {quoted}));
  if (!read.table) {
    if (read.noNumberInFirstLine && LooksBinary(device))
      return Refused(TrArgs("Die Datei %1 ist weder ein Bild noch eine Zahlentabelle.", {quoted}));
    return Refused(std::move(read.error));
  }
  const Table& t = *read.table;
  return TakenSamples(KeepSamples(t.rows, t.cols, [&](int r, int c) {
    return t.values[static_cast<std::size_t>(r) * static_cast<std::size_t>(t.cols) + static_cast<std::size_t>(c)];
  }));
}
