// libFuzzer entry: any bytes as a table. Built and run by scripts/fuzz.sh.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "sources/table_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  const TableResult read = ReadTable(in, "fuzz.csv", size);
  // Exactly one of table and message; a table is at least 2 x 2 and holds rows x cols values.
  if (read.table.has_value() == !read.error.empty()) __builtin_trap();
  if (read.table && (read.table->rows < 2 || read.table->cols < 2 ||
                     read.table->values.size() != static_cast<std::size_t>(read.table->rows) * read.table->cols))
    __builtin_trap();
  if (read.table) {
    const SurfaceResult surface = SurfaceFromTable(in, "fuzz.csv");  // the stream is spent: must refuse
    if (surface.grid) __builtin_trap();
  }
  return 0;
}
