#pragma once
// The English catalogue as a table, generated from po/en.po at build time
// (po_to_cpp.cmake): every translated entry, German first.
#include <cstddef>

struct CatalogueEntry {
  const char* german;
  const char* english;
};

extern const CatalogueEntry kEnglish[];
extern const std::size_t kEnglishCount;
