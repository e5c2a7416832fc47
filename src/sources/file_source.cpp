#include "sources/file_source.h"

#include <QImageReader>
#include <QString>
#include <cerrno>
#include <filesystem>
#include <fstream>

#include "sources/picture.h"
#include "sources/resample.h"
#include "sources/table_reader.h"

namespace {

namespace fs = std::filesystem;

// Control bytes other than tab, line and page breaks do not occur in text.
bool LooksBinary(std::istream& in) {
  char chunk[65536];
  in.clear();
  in.seekg(0);
  in.read(chunk, sizeof chunk);
  for (std::streamsize b = 0; b < in.gcount(); ++b) {
    const auto c = static_cast<unsigned char>(chunk[b]);
    if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != '\v') || c == 0x7F) return true;
  }
  return false;
}

std::string MebibyteText(std::uintmax_t bytes) {
  // One decimal, rounded down, so 256 MiB and a byte more never reads "256.0".
  const std::uintmax_t tenths = bytes * 10 / (1024 * 1024);
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

}  // namespace

SurfaceResult SurfaceFromFile(const std::string& path) {
  std::string name = fs::path(path).filename().string();
  if (name.empty()) name = path;  // "dir/" has no file name
  const std::string file = "Die Datei " + Quoted(name);
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (status.type() == fs::file_type::not_found) return Refused(file + " gibt es nicht.");
  if (status.type() == fs::file_type::directory)
    return Refused(Quoted(name) + " ist ein Ordner, keine Datei.");
  if (ec) return Refused(file + " lässt sich nicht öffnen.");
  if (status.type() != fs::file_type::regular) return Refused(file + " ist keine gewöhnliche Datei.");
  const std::uintmax_t bytes = fs::file_size(path, ec);
  if (ec) return Refused(file + " lässt sich nicht öffnen.");
  if (bytes > kMaxFileBytes)
    return Refused(file + " ist mit " + MebibyteText(bytes) +
                   " MiB zu groß; erlaubt sind höchstens 256 MiB.");
  if (bytes == 0) return Refused(file + " ist leer.");

  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (errno == EACCES) return Refused(file + " lässt sich nicht öffnen: keine Berechtigung zum Lesen.");
    return Refused(file + " lässt sich nicht öffnen.");
  }
  if (!QImageReader::imageFormat(QString::fromStdString(path)).isEmpty()) return SurfaceFromPicture(path);

  TableResult read = ReadTable(in, name);
  if (!read.table) {
    if (read.noNumberInFirstLine && LooksBinary(in))
      return Refused(file + " ist weder ein Bild noch eine Zahlentabelle.");
    return Refused(std::move(read.error));
  }
  return {ResampleToGrid(read.table->values, read.table->rows, read.table->cols), {}};
}
