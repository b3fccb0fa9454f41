# Windows build: the real platform layer and the setup program build/win32/tavosetup.exe,
# PE32 GUI, linked statically (only Windows system DLLs imported).
enable_language(RC)
set(HOST_TOOLS_DIR "${CMAKE_SOURCE_DIR}/build/host/tools" CACHE PATH "Tools built by the host tree")
foreach(tool mkicon tvz mkpayload)
  if(NOT EXISTS "${HOST_TOOLS_DIR}/${tool}")
    message(FATAL_ERROR "Build the host tree first (scripts/build.sh does both): ${HOST_TOOLS_DIR}/${tool} missing")
  endif()
endforeach()

set(ZLIB_STATIC /usr/i686-w64-mingw32/lib/libz.a)
target_link_libraries(tavo_archive PUBLIC ${ZLIB_STATIC})

file(GLOB WIN32_SOURCES CONFIGURE_DEPENDS platform/win32/*.cpp)
list(REMOVE_ITEM WIN32_SOURCES ${CMAKE_SOURCE_DIR}/platform/win32/lean_runtime.cpp)
# The real platform layer: a library of the platform floor, seeing that floor only.
add_library(tavo_win32 STATIC ${WIN32_SOURCES})
# ole32 and oleaut32: the marshalling of the setup window's accessible objects to readers in other
# processes, and their texts; oleacc.dll is loaded when the window is first asked for them
# (platform/win32/accessibility_api), since Windows 95 and 98 may lack it.
target_link_libraries(tavo_win32 PUBLIC tavo_platform imm32 ole32 oleaut32 uuid)
add_dependencies(tavo_win32 floors_hold)

set(ICON_FILE ${CMAKE_BINARY_DIR}/generated/tavohu.ico)
add_custom_command(OUTPUT ${ICON_FILE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated
  COMMAND ${HOST_TOOLS_DIR}/mkicon ${ICON_FILE}
  DEPENDS ${HOST_TOOLS_DIR}/mkicon
  COMMENT "Generating the program icon")
# The sample payload: stand-ins for the modules and programs, built here, and the generated data
# files. PAYLOAD_DIR names the directory whose files become the payload resource.
add_library(payload_ime SHARED tools/payload/imemodule.c)
set_target_properties(payload_ime PROPERTIES PREFIX "" OUTPUT_NAME imemodule)
target_link_options(payload_ime PRIVATE -static-libgcc -s)
add_executable(payload_launch WIN32 tools/payload/launchlog.c)
target_link_options(payload_launch PRIVATE -static-libgcc -s)
set(SAMPLE_PAYLOAD_DIR ${CMAKE_BINARY_DIR}/payload)
set(PAYLOAD_DIR "" CACHE PATH "Directory whose files the setup carries as its payload (empty: the sample payload)")
if(PAYLOAD_DIR)
  set(PACKED_PAYLOAD_DIR ${PAYLOAD_DIR})
else()
  set(PACKED_PAYLOAD_DIR ${SAMPLE_PAYLOAD_DIR})
endif()
message(STATUS "The setup carries the payload ${PACKED_PAYLOAD_DIR}")
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/generated/sample_payload.stamp
  COMMAND ${HOST_TOOLS_DIR}/mkpayload ${SAMPLE_PAYLOAD_DIR} $<TARGET_FILE:payload_ime> $<TARGET_FILE:payload_launch>
  COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_BINARY_DIR}/generated/sample_payload.stamp
  DEPENDS ${HOST_TOOLS_DIR}/mkpayload payload_ime payload_launch
  COMMENT "Generating the sample payload")
add_custom_target(sample_payload DEPENDS ${CMAKE_BINARY_DIR}/generated/sample_payload.stamp)
set(PAYLOAD_ARCHIVE ${CMAKE_BINARY_DIR}/generated/payload.tvz)
# Checked and packed on every build (the directory may change), rewritten only when its bytes
# change.
add_custom_target(payload_archive ALL
  COMMAND ${CMAKE_COMMAND} -DTVZ=${HOST_TOOLS_DIR}/tvz -DPAYLOAD_DIR=${PACKED_PAYLOAD_DIR} -DARCHIVE=${PAYLOAD_ARCHIVE}
          -DSETUP=${CMAKE_BINARY_DIR}/tavosetup.exe -P ${CMAKE_SOURCE_DIR}/cmake/pack_payload.cmake
  BYPRODUCTS ${PAYLOAD_ARCHIVE}
  COMMENT "Checking and packing the payload ${PACKED_PAYLOAD_DIR}")
add_dependencies(payload_archive sample_payload)

configure_file(resources/tavosetup.rc.in ${CMAKE_BINARY_DIR}/generated/tavosetup.rc @ONLY)
set_source_files_properties(${CMAKE_BINARY_DIR}/generated/tavosetup.rc PROPERTIES
  OBJECT_DEPENDS "${ICON_FILE};${CMAKE_SOURCE_DIR}/resources/tavosetup.manifest;${PAYLOAD_ARCHIVE}")

set(STATIC_LINK -static -static-libgcc -static-libstdc++ -mwindows -s)
add_executable(tavosetup WIN32 flow/main.cpp platform/win32/lean_runtime.cpp
  ${CMAKE_BINARY_DIR}/generated/tavosetup.rc)
target_link_libraries(tavosetup PRIVATE tavo_logic tavo_win32)
add_dependencies(tavosetup payload_archive)
target_link_options(tavosetup PRIVATE ${STATIC_LINK})
set_target_properties(tavosetup PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# Programs the Wine tests use to look into a prefix (registry, message boxes, exact launches).
add_executable(e2eprobe tests/e2e/probe/e2eprobe.cpp)
# Active Accessibility: it reads and presses the setup window's parts as a screen reader does.
target_link_libraries(e2eprobe PRIVATE oleacc ole32 oleaut32 uuid)
target_link_options(e2eprobe PRIVATE -static -static-libgcc -static-libstdc++ -municode)
set_target_properties(e2eprobe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)

# The packaging tool for Windows packagers.
add_executable(tvz tools/tvz.cpp tools/payload_source.cpp)
target_include_directories(tvz PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(tvz PRIVATE tavo_logic)
target_link_options(tvz PRIVATE -static -static-libgcc -static-libstdc++ -s)
set_target_properties(tvz PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
add_executable(sysops tests/e2e/probe/sysops.cpp)
target_link_libraries(sysops PRIVATE tavo_logic tavo_win32)
target_link_options(sysops PRIVATE -static -static-libgcc -static-libstdc++)
set_target_properties(sysops PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
# The seam table (tests/seam) against the real layer, and the module it loads (the stand-in IME).
add_executable(seamtable tests/e2e/probe/seamtable.cpp tests/seam/seam_table.cpp)
target_include_directories(seamtable PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(seamtable PRIVATE tavo_win32)
target_link_options(seamtable PRIVATE -static -static-libgcc -static-libstdc++)
set_target_properties(seamtable PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
add_custom_command(TARGET seamtable POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:payload_ime> ${CMAKE_BINARY_DIR}/tests/seammod.dll)
add_dependencies(seamtable payload_ime)

# The benchmark's baseline: a program that does nothing.
add_executable(bench_noop WIN32 bench/noop.c)
target_link_options(bench_noop PRIVATE -static-libgcc -s)
set_target_properties(bench_noop PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench OUTPUT_NAME noop)
# Benchmarks that run inside Wine on the setup's own code; it carries the same payload resource.
file(WRITE ${CMAKE_BINARY_DIR}/generated/wine_bench.rc
  "LANGUAGE 4, 2\nKELVTVZ TVZ \"${CMAKE_BINARY_DIR}/generated/payload.tvz\"\n")
set_source_files_properties(${CMAKE_BINARY_DIR}/generated/wine_bench.rc PROPERTIES OBJECT_DEPENDS ${PAYLOAD_ARCHIVE})
add_executable(wine_bench bench/wine_bench.cpp ${CMAKE_BINARY_DIR}/generated/wine_bench.rc)
target_include_directories(wine_bench PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(wine_bench PRIVATE tavo_logic tavo_win32 psapi)
add_dependencies(wine_bench payload_archive)
target_link_options(wine_bench PRIVATE -static -static-libgcc -static-libstdc++ -s)
set_target_properties(wine_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
