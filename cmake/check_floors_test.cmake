# The floor check against small trees of its own: it passes a tree whose includes point down and
# fails each tree with one include planted upward, across, or around it.
# cmake -DCHECK=.../check_floors.cmake -DSCRATCH=dir -P check_floors_test.cmake
set(clean_files
  "platform/files.h=#include <string>"
  "core/paths.h=#include \"platform/files.h\""
  "archive/reader.h=#include \"core/paths.h\""
  "ui/drawing.cpp=#include \"core/paths.h\""
  "flow/main.cpp=#include \"ui/drawing.h\"\n#include \"system/x.h\""
  "core/paths_test.cpp=#include \"tests/support/fixture.h\"")
set(cases
  "core/paths.h=#include \"ui/drawing.h\""
  "platform/fake/fake.h=#include \"core/paths.h\""
  "archive/reader.cpp=#include \"system/x.h\""
  "ui/drawing.cpp=#include \"archive/reader.h\""
  "ui/pages.cpp=#include \"flow/main.h\""
  "system/x.cpp=#include \"../flow/main.h\""
  "ui/drawing.h=#include \"drawing_parts.h\""
  "core/state.cpp=#include \"tests/support/fixture.h\"")

function(write_tree dir)
  file(REMOVE_RECURSE "${dir}")
  foreach(entry ${ARGN})
    string(REGEX REPLACE "=.*$" "" name "${entry}")
    string(REGEX REPLACE "^[^=]*=" "" text "${entry}")
    string(REPLACE "\\n" "\n" text "${text}")
    file(WRITE "${dir}/${name}" "${text}\n")
  endforeach()
endfunction()

function(run_check dir out)
  execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${dir} -P ${CHECK} RESULT_VARIABLE rc OUTPUT_QUIET
                  ERROR_QUIET)
  set(${out} ${rc} PARENT_SCOPE)
endfunction()

write_tree("${SCRATCH}/clean" ${clean_files})
run_check("${SCRATCH}/clean" rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "a tree whose includes point down was refused")
endif()
set(index 0)
foreach(planted ${cases})
  math(EXPR index "${index} + 1")
  write_tree("${SCRATCH}/planted${index}" ${clean_files} "${planted}")
  run_check("${SCRATCH}/planted${index}" rc)
  if(rc EQUAL 0)
    message(FATAL_ERROR "passed with a planted include: ${planted}")
  endif()
endforeach()
message(STATUS "floor check: the clean tree passes, ${index} planted includes fail")
