# Turns the gettext catalogue PO into the C++ table text/catalogue.h declares
# (written to OUT): every entry that has a translation and is not marked
# fuzzy. The strings of a .po file are C string literals already, so they are
# copied as they stand. Run with cmake -DPO=... -DOUT=... -P po_to_cpp.cmake.
cmake_minimum_required(VERSION 3.25)
file(READ "${PO}" content)
# A CMake list splits at ';': inside the literals it becomes its octal escape.
string(REPLACE ";" "\\073" content "${content}")
string(REPLACE "\n" ";" lines "${content}")

set(entries "")
set(count 0)
set(field "")
set(msgid "")
set(msgstr "")
set(fuzzy FALSE)

function(is_empty_literal text out)
  string(REGEX REPLACE "\"\"" "" rest "${text}")
  string(STRIP "${rest}" rest)
  if(rest STREQUAL "")
    set(${out} TRUE PARENT_SCOPE)
  else()
    set(${out} FALSE PARENT_SCOPE)
  endif()
endfunction()

macro(flush_entry)
  if(NOT msgid STREQUAL "")
    is_empty_literal("${msgid}" id_empty)
    is_empty_literal("${msgstr}" str_empty)
    # The header (empty msgid), untranslated and fuzzy entries stay out.
    if(NOT id_empty AND NOT str_empty AND NOT fuzzy)
      string(APPEND entries "    {${msgid},\n     ${msgstr}},\n")
      math(EXPR count "${count} + 1")
    endif()
  endif()
  set(msgid "")
  set(msgstr "")
  set(field "")
  set(fuzzy FALSE)
endmacro()

foreach(line IN LISTS lines)
  string(STRIP "${line}" line)
  if(line MATCHES "^#,.*fuzzy")
    flush_entry()
    set(fuzzy TRUE)
  elseif(line MATCHES "^#" OR line STREQUAL "")
    if(field STREQUAL "msgstr")
      flush_entry()
    endif()
  elseif(line MATCHES "^msgid (\".*\")$")
    # An entry right after another (no blank line) cannot carry a flag of its own.
    if(NOT field STREQUAL "")
      flush_entry()
    endif()
    set(field msgid)
    set(msgid "${CMAKE_MATCH_1}")
  elseif(line MATCHES "^msgstr (\".*\")$")
    set(field msgstr)
    set(msgstr "${CMAKE_MATCH_1}")
  elseif(line MATCHES "^\".*\"$")
    if(field STREQUAL "msgid")
      string(APPEND msgid " ${line}")
    elseif(field STREQUAL "msgstr")
      string(APPEND msgstr " ${line}")
    endif()
  else()
    message(FATAL_ERROR "${PO}: not understood: ${line}")
  endif()
endforeach()
flush_entry()

file(WRITE "${OUT}.tmp" "// Generated from po/en.po at build time; do not edit.
#include \"text/catalogue.h\"

const CatalogueEntry kEnglish[] = {
${entries}    {nullptr, nullptr}};
const std::size_t kEnglishCount = ${count};
")
# Unchanged text keeps its time stamp: nothing is compiled again.
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
