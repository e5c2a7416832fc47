# Installs the build tree into a fresh prefix and checks that the program, its
# application-menu entry and its icon arrive where a desktop looks for them.
# Run as: cmake -DBUILD_DIR=... -DPREFIX=... -DBINDIR=bin -DDATADIR=share -P check_install.cmake
foreach(var BUILD_DIR PREFIX BINDIR DATADIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} not given")
  endif()
endforeach()

file(REMOVE_RECURSE "${PREFIX}")
execute_process(
  COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${rc}):\n${out}\n${err}")
endif()

set(program "${PREFIX}/${BINDIR}/veltra")
set(entry "${PREFIX}/${DATADIR}/applications/veltra.desktop")
set(icon "${PREFIX}/${DATADIR}/icons/hicolor/32x32/apps/veltra.png")
foreach(f "${program}" "${entry}" "${icon}")
  if(NOT EXISTS "${f}")
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()

# The program is an executable ELF file.
file(READ "${program}" magic LIMIT 4 HEX)
if(NOT magic STREQUAL "7f454c46")
  message(FATAL_ERROR "${program} is not an ELF executable")
endif()
execute_process(COMMAND test -x "${program}" RESULT_VARIABLE notExecutable)
if(notExecutable)
  message(FATAL_ERROR "${program} is not executable")
endif()

# The icon is a PNG of 32 x 32 pixels, as its folder says (width and height
# are the IHDR fields at bytes 16 to 23).
file(READ "${icon}" header LIMIT 24 HEX)
string(SUBSTRING "${header}" 0 16 signature)
string(SUBSTRING "${header}" 32 16 size)
if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT size STREQUAL "0000002000000020")
  message(FATAL_ERROR "${icon} is not a 32 x 32 PNG (header ${header})")
endif()

# The menu entry starts the installed program by name and shows its icon.
file(STRINGS "${entry}" lines)
foreach(expected "[Desktop Entry]" "Type=Application" "Name=Veltra" "Exec=veltra" "Icon=veltra"
                 "Categories=Education;Science;Math;")
  list(FIND lines "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${entry} lacks the line: ${expected}")
  endif()
endforeach()
list(FILTER lines INCLUDE REGEX "^Comment=.+")
if(NOT lines)
  message(FATAL_ERROR "${entry} has no Comment")
endif()

find_program(VALIDATE desktop-file-validate)
if(VALIDATE)
  execute_process(COMMAND "${VALIDATE}" "${entry}" RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "desktop-file-validate rejects ${entry}:\n${out}${err}")
  endif()
  message(STATUS "desktop-file-validate: ${out}${err}")
else()
  message(STATUS "desktop-file-validate not found; the entry was checked by its lines only")
endif()

file(REMOVE_RECURSE "${PREFIX}")
message(STATUS "installed and checked: ${program}, ${entry}, ${icon}")
