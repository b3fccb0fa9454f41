# Windows build: the real platform layer and the setup program build/win32/tavosetup.exe,
# PE32 GUI, linked statically (only Windows system DLLs imported).
enable_language(RC)
set(HOST_TOOLS_DIR "${CMAKE_SOURCE_DIR}/build/host/tools" CACHE PATH "Tools built by the host tree")
if(NOT EXISTS "${HOST_TOOLS_DIR}/mkicon")
  message(FATAL_ERROR "Build the host tree first (scripts/build.sh does both): ${HOST_TOOLS_DIR}/mkicon missing")
endif()

set(ZLIB_STATIC /usr/i686-w64-mingw32/lib/libz.a)
target_link_libraries(tavo_logic PUBLIC ${ZLIB_STATIC})

file(GLOB WIN32_SOURCES CONFIGURE_DEPENDS platform/win32/*.cpp)
list(REMOVE_ITEM WIN32_SOURCES ${CMAKE_SOURCE_DIR}/platform/win32/win_main.cpp)
add_library(tavo_win32 STATIC ${WIN32_SOURCES})
target_link_libraries(tavo_win32 PUBLIC tavo_logic imm32)

set(ICON_FILE ${CMAKE_BINARY_DIR}/generated/tavohu.ico)
add_custom_command(OUTPUT ${ICON_FILE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated
  COMMAND ${HOST_TOOLS_DIR}/mkicon ${ICON_FILE}
  DEPENDS ${HOST_TOOLS_DIR}/mkicon
  COMMENT "Generating the program icon")
configure_file(resources/tavosetup.rc.in ${CMAKE_BINARY_DIR}/generated/tavosetup.rc @ONLY)
set_source_files_properties(${CMAKE_BINARY_DIR}/generated/tavosetup.rc PROPERTIES
  OBJECT_DEPENDS "${ICON_FILE};${CMAKE_SOURCE_DIR}/resources/tavosetup.manifest")

set(STATIC_LINK -static -static-libgcc -static-libstdc++ -mwindows -s)
add_executable(tavosetup WIN32 platform/win32/win_main.cpp ${CMAKE_BINARY_DIR}/generated/tavosetup.rc)
target_link_libraries(tavosetup PRIVATE tavo_win32)
target_link_options(tavosetup PRIVATE ${STATIC_LINK})
set_target_properties(tavosetup PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# Programs the Wine tests use to look into a prefix (registry, message boxes, exact launches).
add_executable(e2eprobe tests/e2e/probe/e2eprobe.cpp)
target_link_options(e2eprobe PRIVATE -static -static-libgcc -static-libstdc++ -municode)
set_target_properties(e2eprobe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
