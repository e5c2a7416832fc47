# Builds the Debian package with CPack into a scratch folder and checks it the
# way Debian and a desktop would: file name, file list, dependencies, lintian,
# AppStream and desktop-entry validation, manual page, and that the packed
# (stripped) program still answers --version.
# Run as: cmake -DBUILD_DIR=... -DWORK_DIR=... -DVERSION=1.0 -DAPP_ID=... -P check_package.cmake
foreach(var BUILD_DIR WORK_DIR VERSION APP_ID)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} not given")
  endif()
endforeach()

function(must_run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE stdout ERROR_VARIABLE stderr
                  TIMEOUT 240)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${what} failed (${rc}):\n${ARGN}\n${stdout}\n${stderr}")
  endif()
  set(out "${stdout}" PARENT_SCOPE)
  set(err "${stderr}" PARENT_SCOPE)
endfunction()

foreach(tool dpkg dpkg-deb lintian appstreamcli desktop-file-validate man gzip)
  find_program(found_${tool} ${tool})
  if(NOT found_${tool})
    message(FATAL_ERROR "${tool} not found (packages dpkg-dev, lintian, appstream, desktop-file-utils, man-db)")
  endif()
endforeach()

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
must_run(cpack "${CMAKE_CPACK_COMMAND}" -G DEB -B "${WORK_DIR}" --config "${BUILD_DIR}/CPackConfig.cmake")

# Debian's file name: <name>_<version>_<architecture>.deb
must_run("dpkg --print-architecture" dpkg --print-architecture)
string(STRIP "${out}" arch)
set(deb "${WORK_DIR}/veltra_${VERSION}_${arch}.deb")
if(NOT EXISTS "${deb}")
  file(GLOB made "${WORK_DIR}/*.deb")
  message(FATAL_ERROR "expected ${deb}, cpack made: ${made}")
endif()

# --- Control fields ---------------------------------------------------------
must_run("dpkg-deb -f" dpkg-deb -f "${deb}" Package Version Section Maintainer Depends)
set(control "${out}")
foreach(field "Package: veltra" "Version: ${VERSION}" "Section: education")
  string(FIND "${control}" "${field}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "control lacks '${field}':\n${control}")
  endif()
endforeach()
if(NOT control MATCHES "Maintainer: [^\n<]+ <[^@\n]+@[^>\n]+>")
  message(FATAL_ERROR "no maintainer with address:\n${control}")
endif()
string(REGEX MATCH "Depends: [^\n]*" depends "${control}")
# Package names only, without versions and alternatives' bars.
string(REGEX REPLACE "\\([^)]*\\)" "" names "${depends}")
string(REGEX REPLACE "^Depends: " "" names "${names}")
string(REGEX REPLACE "[ ]*[,|][ ]*" ";" names "${names}")
list(TRANSFORM names STRIP)

# Plugins Qt loads at run time, which dpkg-shlibdeps cannot see: Wayland
# platform, TIFF and WebP readers, Mesa's software OpenGL. The X11 platform
# plugin and the JPEG and GIF readers come with libqt6gui6; German texts for
# Qt's own dialogs.
# Linked libraries, found by dpkg-shlibdeps.
foreach(package qt6-wayland qt6-image-formats-plugins libgl1-mesa-dri qt6-translations-l10n
                libqt6core6 libqt6gui6 libqt6widgets6 libopengl0 libglu1-mesa)
  list(FIND names ${package} at)
  if(at EQUAL -1)
    message(FATAL_ERROR "Depends lacks ${package}:\n${depends}")
  endif()
endforeach()

# --- Files ------------------------------------------------------------------
must_run("dpkg-deb -c" dpkg-deb -c "${deb}")
set(listing "${out}")
set(expected
    usr/bin/veltra
    usr/share/applications/${APP_ID}.desktop
    usr/share/metainfo/${APP_ID}.metainfo.xml
    usr/share/icons/hicolor/scalable/apps/veltra.svg
    usr/share/man/man1/veltra.1.gz
    usr/share/doc/veltra/copyright
    usr/share/doc/veltra/changelog.gz)
foreach(size 16 32 48 64 128 256)
  list(APPEND expected usr/share/icons/hicolor/${size}x${size}/apps/veltra.png)
endforeach()
foreach(path IN LISTS expected)
  string(FIND "${listing}" " ./${path}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the package lacks /${path}:\n${listing}")
  endif()
endforeach()
# Nothing from the build tree or elsewhere outside /usr.
string(REGEX MATCHALL " \\./[^\n]*" entries "${listing}")
foreach(entry IN LISTS entries)
  if(NOT entry MATCHES "^ \\./(usr/.*)?$")
    message(FATAL_ERROR "unexpected entry outside /usr:${entry}")
  endif()
endforeach()

# --- Dependencies cover every library the program is linked against --------
set(root "${WORK_DIR}/root")
must_run("dpkg-deb -x" dpkg-deb -x "${deb}" "${root}")
must_run(ldd ldd "${root}/usr/bin/veltra")
string(REGEX MATCHALL "=> (/[^ ]+)" libs "${out}")
must_run(readelf readelf -d "${root}/usr/bin/veltra")
string(REGEX MATCHALL "\\(NEEDED\\)[^[]*\\[([^]]+)\\]" needed "${out}")
foreach(entry IN LISTS needed)
  string(REGEX REPLACE ".*\\[([^]]+)\\]" "\\1" soname "${entry}")
  # The library's path as ldd found it, then the package that owns it.
  set(path "")
  foreach(lib IN LISTS libs)
    string(REGEX REPLACE "^=> " "" lib "${lib}")
    get_filename_component(name "${lib}" NAME)
    if(name STREQUAL soname)
      set(path "${lib}")
    endif()
  endforeach()
  if(path STREQUAL "")
    message(FATAL_ERROR "ldd did not resolve ${soname}")
  endif()
  execute_process(COMMAND dpkg -S "${path}" RESULT_VARIABLE rc OUTPUT_VARIABLE owner ERROR_QUIET)
  if(NOT rc EQUAL 0)
    # Merged /usr: dpkg may know the file under the other prefix.
    string(REGEX REPLACE "^/usr/lib/" "/lib/" other "${path}")
    if(other STREQUAL path)
      string(REGEX REPLACE "^/lib/" "/usr/lib/" other "${path}")
    endif()
    execute_process(COMMAND dpkg -S "${other}" RESULT_VARIABLE rc OUTPUT_VARIABLE owner ERROR_QUIET)
  endif()
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "no installed package owns ${path} (${soname})")
  endif()
  string(REGEX REPLACE ":.*" "" owner "${owner}")
  list(FIND names ${owner} at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${soname} comes from ${owner}, which Depends does not name:\n${depends}")
  endif()
  list(APPEND covered "${soname} (${owner})")
endforeach()
if(NOT covered)
  message(FATAL_ERROR "readelf listed no linked libraries:\n${out}")
endif()
list(JOIN covered ", " covered)
message(STATUS "linked libraries, each from a package in Depends: ${covered}")

# --- lintian: neither errors nor warnings -----------------------------------
must_run(lintian lintian --fail-on error,warning --display-info --pedantic "${deb}")
message(STATUS "lintian:\n${out}")

# --- Desktop metadata as installed ------------------------------------------
# No errors, warnings or infos (--strict); the tree check also finds the
# desktop entry and icons the metainfo refers to.
must_run("appstreamcli validate" appstreamcli validate --no-net --strict
         "${root}/usr/share/metainfo/${APP_ID}.metainfo.xml")
must_run("appstreamcli validate-tree" appstreamcli validate-tree --no-net --strict "${root}")
must_run(desktop-file-validate desktop-file-validate "${root}/usr/share/applications/${APP_ID}.desktop")

# The metainfo's newest release, the changelog and the manual page carry the
# package's version.
file(READ "${root}/usr/share/metainfo/${APP_ID}.metainfo.xml" xml)
string(REGEX MATCH "<release version=\"([^\"]+)\"" release "${xml}")
if(NOT CMAKE_MATCH_1 STREQUAL VERSION)
  message(FATAL_ERROR "the metainfo's newest release is '${CMAKE_MATCH_1}', the package's ${VERSION}")
endif()
must_run("gzip -dc changelog" gzip -dc "${root}/usr/share/doc/veltra/changelog.gz")
if(NOT out MATCHES "^veltra \\(${VERSION}\\) ")
  message(FATAL_ERROR "the changelog's first entry is not version ${VERSION}:\n${out}")
endif()

# The manual page: German section names, no groff warnings.
must_run("gzip -dc veltra.1.gz" gzip -dc "${root}/usr/share/man/man1/veltra.1.gz")
set(manpage "${out}")
if(NOT manpage MATCHES "\n\\.TH VELTRA 1 \"[^\"]+\" \"veltra ${VERSION}\"")
  message(FATAL_ERROR "the manual page's .TH line does not name veltra ${VERSION}")
endif()
foreach(section "BEZEICHNUNG" "ÜBERSICHT" "BESCHREIBUNG" "OPTIONEN" "DATEI" "\"TASTEN UND MAUS\""
                "\"SIEHE AUCH\"")
  string(FIND "${manpage}" "\n.SH ${section}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the manual page has no section ${section}")
  endif()
endforeach()
must_run("man --warnings" ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 MANWIDTH=80
         man --warnings -E UTF-8 -l "${root}/usr/share/man/man1/veltra.1.gz")
if(NOT err STREQUAL "")
  message(FATAL_ERROR "man reports:\n${err}")
endif()
foreach(option "--help" "--version")
  string(FIND "${out}" "${option}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the formatted manual page does not mention ${option}")
  endif()
endforeach()

# --- The packed program -----------------------------------------------------
must_run(file file "${root}/usr/bin/veltra")
if(NOT out MATCHES ", stripped")
  message(FATAL_ERROR "the packed program is not stripped: ${out}")
endif()
must_run("veltra --version" ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
         "${root}/usr/bin/veltra" --version)
if(NOT out MATCHES "^veltra ${VERSION}\n")
  message(FATAL_ERROR "the packed program answers --version with:\n${out}")
endif()

file(REMOVE_RECURSE "${WORK_DIR}")
message(STATUS "${deb}: contents, Depends, lintian, AppStream, desktop entry and manual page checked")
