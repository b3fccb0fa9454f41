# Packs the payload directory into the archive the setup carries, after checking that the setup
# can install it as a whole product. A payload that fails the check, or an archive that fails
# its checks, stops the build, and the setup built from an earlier payload is taken away: no
# tavosetup.exe stays that looks like the result of this build.
#   cmake -DTVZ=... -DPAYLOAD_DIR=... -DARCHIVE=... -DSETUP=... -P pack_payload.cmake
foreach(arg TVZ PAYLOAD_DIR ARCHIVE SETUP)
  if(NOT DEFINED ${arg})
    message(FATAL_ERROR "pack_payload.cmake: ${arg} not given")
  endif()
endforeach()

function(run_tvz what)
  execute_process(COMMAND ${TVZ} ${ARGN} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    file(REMOVE ${SETUP})
    message(FATAL_ERROR "${what}: no setup is built from ${PAYLOAD_DIR}")
  endif()
endfunction()

message(STATUS "The setup carries the payload ${PAYLOAD_DIR}")
if(NOT IS_DIRECTORY ${PAYLOAD_DIR})
  file(REMOVE ${SETUP})
  message(FATAL_ERROR "The payload directory ${PAYLOAD_DIR} does not exist: no setup is built")
endif()
run_tvz("The payload cannot be installed whole (the faults above)" check-payload ${PAYLOAD_DIR})
run_tvz("The payload cannot be packed (the fault above)" pack ${ARCHIVE} ${PAYLOAD_DIR})
run_tvz("The packed payload fails its checks (the fault above)" verify ${ARCHIVE})
run_tvz("The packed payload cannot be installed whole (the faults above)" check-payload ${ARCHIVE})
