# Runs the real program with --help, --version and wrong command lines and
# checks exit status, standard output and standard error. No display is
# given: help and version must not start the toolkit, and a wrong call must
# be refused before it does.
# Run as: cmake -DPROGRAM=.../veltra -DVERSION=1.0 -P check_command_line.cmake
foreach(var PROGRAM VERSION)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} not given")
  endif()
endforeach()

# run(<name> <expected status> <args>...): sets out, err.
function(run name expected)
  execute_process(
    COMMAND "${CMAKE_COMMAND}" -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb
            "${PROGRAM}" ${ARGN}
    RESULT_VARIABLE rc OUTPUT_VARIABLE stdout ERROR_VARIABLE stderr TIMEOUT 30)
  if(NOT "${rc}" STREQUAL "${expected}")
    message(FATAL_ERROR "${name}: veltra ${ARGN} ended with '${rc}', expected ${expected}\n"
                        "stdout:\n${stdout}\nstderr:\n${stderr}")
  endif()
  set(out "${stdout}" PARENT_SCOPE)
  set(err "${stderr}" PARENT_SCOPE)
endfunction()

function(expect_contains name text what)
  string(FIND "${text}" "${what}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${name}: expected '${what}' in:\n${text}")
  endif()
endfunction()

function(expect_starts name text what)
  string(FIND "${text}" "${what}" at)
  if(NOT at EQUAL 0)
    message(FATAL_ERROR "${name}: expected the output to start with '${what}':\n${text}")
  endif()
endfunction()

function(expect_empty name stream text)
  if(NOT text STREQUAL "")
    message(FATAL_ERROR "${name}: expected nothing on ${stream}, got:\n${text}")
  endif()
endfunction()

# Help on standard output, status 0, in both spellings alike.
run(help 0 --help)
set(help "${out}")
expect_starts(help "${help}" "Aufruf: veltra [OPTION] [DATEI]\n")
foreach(line "-h, --help" "-v, --version" "DATEI ist eine Fläche")
  expect_contains(help "${help}" "${line}")
endforeach()
expect_empty(help stderr "${err}")
run(h 0 -h)
if(NOT out STREQUAL help)
  message(FATAL_ERROR "-h and --help print different texts:\n${out}")
endif()

# Version: the project's version on the first line.
run(version 0 --version)
set(version "${out}")
expect_starts(version "${version}" "veltra ${VERSION}\n")
expect_empty(version stderr "${err}")
run(v 0 -v)
if(NOT out STREQUAL version)
  message(FATAL_ERROR "-v and --version print different texts:\n${out}")
endif()

# Wrong calls: status 2 exactly, a message naming the fault and the help on
# standard error, nothing on standard output.
foreach(case "--bogus;Unbekannte Option: --bogus"
             "-x;Unbekannte Option: -x"
             "eins.png;zwei.png;Nur eine Datei"
             "-;Standardeingabe")
  list(POP_BACK case message)
  run("${case}" 2 ${case})
  expect_empty("${case}" stdout "${out}")
  expect_starts("${case}" "${err}" "veltra: ")
  expect_contains("${case}" "${err}" "${message}")
  expect_contains("${case}" "${err}" "${help}")
endforeach()

message(STATUS "help, version and wrong calls behave")
