# Installs the build tree into a fresh prefix and checks that the program, its
# application-menu entry, AppStream metadata, icons and manual page arrive
# where a desktop and man look for them.
# Run as: cmake -DBUILD_DIR=... -DPREFIX=... -DBINDIR=bin -DDATADIR=share
#               -DMANDIR=share/man -DAPP_ID=... -P check_install.cmake
foreach(var BUILD_DIR PREFIX BINDIR DATADIR MANDIR APP_ID)
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
set(entry "${PREFIX}/${DATADIR}/applications/${APP_ID}.desktop")
set(metainfo "${PREFIX}/${DATADIR}/metainfo/${APP_ID}.metainfo.xml")
set(icons "${PREFIX}/${DATADIR}/icons/hicolor")
set(manpage "${PREFIX}/${MANDIR}/man1/veltra.1.gz")
foreach(f "${program}" "${entry}" "${metainfo}" "${icons}/scalable/apps/veltra.svg" "${manpage}")
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

# Each icon is a PNG of the size its folder names (width and height are the
# IHDR fields at bytes 16 to 23).
foreach(size 16 32 48 64 128 256)
  set(icon "${icons}/${size}x${size}/apps/veltra.png")
  if(NOT EXISTS "${icon}")
    message(FATAL_ERROR "not installed: ${icon}")
  endif()
  file(READ "${icon}" header LIMIT 24 HEX)
  string(SUBSTRING "${header}" 0 16 signature)
  string(SUBSTRING "${header}" 32 8 width)
  string(SUBSTRING "${header}" 40 8 height)
  math(EXPR width "0x${width}")
  math(EXPR height "0x${height}")
  if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT width EQUAL size OR NOT height EQUAL size)
    message(FATAL_ERROR "${icon} is not a ${size} x ${size} PNG (header ${header})")
  endif()
endforeach()

# The manual page is gzip-compressed (magic 1f 8b).
file(READ "${manpage}" magic LIMIT 2 HEX)
if(NOT magic STREQUAL "1f8b")
  message(FATAL_ERROR "${manpage} is not gzip-compressed")
endif()

# The menu entry starts the installed program by name and shows its icon;
# English by default, German besides. (Read whole: its lines hold semicolons.)
file(READ "${entry}" text)
set(text "\n${text}")
foreach(line "[Desktop Entry]" "Type=Application" "Name=Veltra" "Exec=veltra %f" "Icon=veltra"
             "Categories=Education;Science;Math;")
  string(FIND "${text}" "\n${line}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${entry} lacks the line: ${line}")
  endif()
endforeach()
foreach(key "Comment" "Comment\\[de\\]" "GenericName" "GenericName\\[de\\]")
  if(NOT text MATCHES "\n${key}=[^\n]+")
    message(FATAL_ERROR "${entry} has no line ${key}=...")
  endif()
endforeach()

# The metainfo names the menu entry it belongs to.
file(READ "${metainfo}" xml)
string(FIND "${xml}" "<launchable type=\"desktop-id\">${APP_ID}.desktop</launchable>" at)
if(at EQUAL -1)
  message(FATAL_ERROR "${metainfo} does not launch ${APP_ID}.desktop")
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
message(STATUS "installed and checked: ${program}, ${entry}, ${metainfo}, icons, ${manpage}")
