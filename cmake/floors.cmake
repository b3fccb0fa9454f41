# The floors as libraries: platform at the bottom, core on it, archive, system and ui side by side
# (the window has its pictures from the steps the flow gives it), the install flow on top. Each floor links the ones
# below it and nothing else, and compiles against a view of the tree (build/floors/NAME) that holds
# only its own folder and the folders below: an include that runs up or across names a file the
# compiler cannot find. A target that links a floor sees that floor and the ones below.
set(TAVO_FLOORS platform core archive system ui flow)
set(TAVO_BELOW_platform "")
set(TAVO_BELOW_core platform)
set(TAVO_BELOW_archive core)
set(TAVO_BELOW_system core)
set(TAVO_BELOW_ui core)
set(TAVO_BELOW_flow core archive system ui)
set(TAVO_SEES_platform platform)
set(TAVO_SEES_core platform core)
set(TAVO_SEES_archive platform core archive)
set(TAVO_SEES_system platform core system)
set(TAVO_SEES_ui platform core ui)
set(TAVO_SEES_flow platform core archive system ui flow)

foreach(floor ${TAVO_FLOORS})
  set(view ${CMAKE_BINARY_DIR}/floors/${floor})
  file(MAKE_DIRECTORY ${view})
  foreach(seen ${TAVO_SEES_${floor}})
    if(NOT IS_SYMLINK ${view}/${seen})
      file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${seen} ${view}/${seen} SYMBOLIC)
    endif()
  endforeach()
  set(TAVO_VIEW_${floor} ${view})
endforeach()

# Sources of a floor: its folder's units, without the tests and the program's entry point (the
# platform floor's own subfolders, the real layers and the fake, are libraries of their own).
foreach(floor ${TAVO_FLOORS})
  file(GLOB sources CONFIGURE_DEPENDS ${floor}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "_test\\.cpp$")
  list(FILTER sources EXCLUDE REGEX "/flow/main\\.cpp$")
  set(TAVO_SOURCES_${floor} ${sources})
endforeach()

# Every include in the floors, the test support and the tests, checked against the same table
# before anything is compiled (cmake/check_floors.cmake): it also covers headers no source of
# their own floor compiles, and the tests, built with the whole tree in view.
add_custom_target(floors_hold ALL
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -P ${CMAKE_SOURCE_DIR}/cmake/check_floors.cmake
  COMMENT "Checking that includes point down the floors")

# tavo_FLOOR${suffix} for every floor, with these compile and link options.
function(tavo_floor_libraries suffix)
  cmake_parse_arguments(ARG "" "" "OPTIONS" ${ARGN})
  foreach(floor ${TAVO_FLOORS})
    set(lib tavo_${floor}${suffix})
    add_library(${lib} STATIC ${TAVO_SOURCES_${floor}})
    target_include_directories(${lib} PUBLIC ${TAVO_VIEW_${floor}})
    foreach(below ${TAVO_BELOW_${floor}})
      target_link_libraries(${lib} PUBLIC tavo_${below}${suffix})
    endforeach()
    if(ARG_OPTIONS)
      target_compile_options(${lib} PUBLIC ${ARG_OPTIONS})
      target_link_options(${lib} PUBLIC ${ARG_OPTIONS})
    endif()
    add_dependencies(${lib} floors_hold)
  endforeach()
endfunction()
