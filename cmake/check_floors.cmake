# Includes point down the floors only: each folder may include the folders listed for it and
# nothing else, its tests also the test support. Run at every build (cmake -DSOURCE_DIR=... -P);
# it also catches what the include views of the floor libraries cannot: a header that no source
# of its own floor compiles, and the tests, which are built with the whole tree in view.
if(NOT SOURCE_DIR)
  message(FATAL_ERROR "check_floors: SOURCE_DIR not given")
endif()

set(SEES_platform platform)
set(SEES_core platform core)
set(SEES_archive platform core archive)
set(SEES_system platform core system)
set(SEES_ui platform core ui)
set(SEES_flow platform core archive system ui flow)
set(SEES_tests/support platform core archive tests)
set(SEES_tests/seam platform tests)

set(faults "")
foreach(folder platform core archive system ui flow tests/support tests/seam)
  file(GLOB_RECURSE files "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
  foreach(file ${files})
    file(RELATIVE_PATH name "${SOURCE_DIR}" "${file}")
    set(allowed ${SEES_${folder}})
    if(name MATCHES "_test\\.cpp$")
      list(APPEND allowed tests)
    endif()
    file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line ${includes})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*$" "\\1" path "${line}")
      # Every include names its folder from the top of the tree; a bare or relative name could
      # reach any floor unseen.
      if(NOT path MATCHES "^([a-z_]+)/" OR path MATCHES "\\.\\.")
        string(APPEND faults "  ${name}: \"${path}\" does not name its folder from the top\n")
        continue()
      endif()
      string(REGEX REPLACE "/.*$" "" top "${path}")
      list(FIND allowed "${top}" at)
      if(at EQUAL -1)
        string(APPEND faults "  ${name}: \"${path}\" is not below ${folder}\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  message(FATAL_ERROR "Includes that run up or across the floors:\n${faults}")
endif()
