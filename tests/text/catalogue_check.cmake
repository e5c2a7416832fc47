# Fails when a German text the program shows has no English one in the
# catalogue PO, or when a text and its English differ in their placeholders
# (%1, %2, ...). The texts are those the code passes to Tr, TrArgs or TrQ
# (C++, under SOURCES/src) or to tr (the page's scripts, under SOURCES/web).
# Run with cmake -DSOURCES=... -DPO=... -DWORK=... -P catalogue_check.cmake.
cmake_minimum_required(VERSION 3.25)
find_program(XGETTEXT xgettext REQUIRED)
find_program(MSGCMP msgcmp REQUIRED)
find_program(MSGMERGE msgmerge REQUIRED)
find_program(MSGFMT msgfmt REQUIRED)
file(MAKE_DIRECTORY "${WORK}")

file(GLOB_RECURSE cpp RELATIVE "${SOURCES}" "${SOURCES}/src/*.cpp" "${SOURCES}/src/*.h")
file(GLOB js RELATIVE "${SOURCES}" "${SOURCES}/web/*.js")
set(pot "${WORK}/veltra.pot")
execute_process(
  COMMAND ${XGETTEXT} --from-code=UTF-8 --language=C++ --qt --keyword=Tr --keyword=TrArgs --keyword=TrQ
          --no-wrap -o ${pot} ${cpp}
  WORKING_DIRECTORY "${SOURCES}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "xgettext failed on the C++ sources")
endif()
if(js)
  execute_process(
    COMMAND ${XGETTEXT} --from-code=UTF-8 --language=JavaScript --qt --keyword=tr --join-existing
            --no-wrap -o ${pot} ${js}
    WORKING_DIRECTORY "${SOURCES}" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "xgettext failed on the page's scripts")
  endif()
endif()

# Every text has a translation that is neither empty nor fuzzy.
execute_process(COMMAND ${MSGCMP} ${PO} ${pot} RESULT_VARIABLE rc ERROR_VARIABLE missing)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "Texts without English in ${PO}:\n${missing}")
endif()

# The placeholders: the sources mark texts with %1 as Qt format strings;
# msgfmt compares each such text's placeholders with its translation's (also
# where msgmerge, seeing them differ, marked the entry fuzzy).
set(merged "${WORK}/merged.po")
execute_process(COMMAND ${MSGMERGE} --quiet --no-fuzzy-matching -o ${merged} ${PO} ${pot} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "msgmerge failed")
endif()
execute_process(COMMAND ${MSGFMT} --check-format --use-fuzzy -o /dev/null ${merged} RESULT_VARIABLE rc ERROR_VARIABLE wrong)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "Placeholders differ:\n${wrong}")
endif()
