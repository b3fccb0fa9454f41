# Host build: the in-memory fake platform, the unit tests and the build's own tools.
find_package(GTest REQUIRED)
find_package(ZLIB REQUIRED)
target_link_libraries(tavo_archive PUBLIC ZLIB::ZLIB)
enable_testing()

# The fake platform: a library of the platform floor, seeing that floor only.
file(GLOB FAKE_SOURCES CONFIGURE_DEPENDS platform/fake/*.cpp)
list(FILTER FAKE_SOURCES EXCLUDE REGEX "_test\\.cpp$")
add_library(tavo_fake STATIC ${FAKE_SOURCES})
target_link_libraries(tavo_fake PUBLIC tavo_platform)
add_dependencies(tavo_fake floors_hold)

set(TEST_SOURCES)
foreach(floor core archive system ui flow)
  file(GLOB floor_tests CONFIGURE_DEPENDS ${floor}/*_test.cpp)
  list(APPEND TEST_SOURCES ${floor_tests})
endforeach()
file(GLOB FAKE_TESTS CONFIGURE_DEPENDS platform/fake/*_test.cpp)
file(GLOB SUPPORT_SOURCES CONFIGURE_DEPENDS tests/support/*.cpp)
# The seam table (tests/seam): the same file and registry cases run here against the fake and in
# Wine against the real layer (tests/e2e/probe/seamtable.cpp).
file(GLOB SEAM_SOURCES CONFIGURE_DEPENDS tests/seam/*.cpp)
list(FILTER SEAM_SOURCES EXCLUDE REGEX "_test\\.cpp$")
file(GLOB SEAM_TESTS CONFIGURE_DEPENDS tests/seam/*_test.cpp)
# The unit tests run under AddressSanitizer and UBSan, on their own instrumented copy of the
# floors and the fake, so that the tools and benchmarks of this tree stay as they ship.
option(TAVO_SANITIZE "Unit tests under AddressSanitizer and UBSan" ON)
if(TAVO_SANITIZE)
  set(SANITIZE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  tavo_floor_libraries(_tested OPTIONS ${SANITIZE_FLAGS})
  target_link_libraries(tavo_archive_tested PUBLIC ZLIB::ZLIB)
  add_library(tavo_fake_tested STATIC ${FAKE_SOURCES})
  target_link_libraries(tavo_fake_tested PUBLIC tavo_platform_tested)
  add_dependencies(tavo_fake_tested floors_hold)
else()
  foreach(lib ${TAVO_FLOORS} fake)
    add_library(tavo_${lib}_tested INTERFACE)
    target_link_libraries(tavo_${lib}_tested INTERFACE tavo_${lib})
  endforeach()
endif()
add_library(tavo_tested INTERFACE)
target_link_libraries(tavo_tested INTERFACE tavo_flow_tested tavo_fake_tested)
# What the tests share: machines with a payload, text encodings, the seam table.
add_library(tavo_test_support STATIC ${SUPPORT_SOURCES} ${SEAM_SOURCES})
target_include_directories(tavo_test_support PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(tavo_test_support PUBLIC tavo_archive_tested tavo_fake_tested GTest::gtest)
# The packaging side's tight zlib streams (libdeflate), for tvz and the sample payload.
find_library(LIBDEFLATE deflate REQUIRED)
add_library(tavo_tight STATIC tools/tight_pack.cpp)
target_include_directories(tavo_tight PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(tavo_tight PUBLIC ${LIBDEFLATE})

file(GLOB PLATFORM_TESTS CONFIGURE_DEPENDS platform/*_test.cpp)
# The sweeps (tests/sweep): every road with each of its system calls failing in turn, and ended
# after each call that changes the machine; with the machines, runs and judgements they share.
file(GLOB SWEEP_TESTS CONFIGURE_DEPENDS tests/sweep/*_test.cpp)
file(GLOB SWEEP_SOURCES CONFIGURE_DEPENDS tests/sweep/*.cpp)
list(FILTER SWEEP_SOURCES EXCLUDE REGEX "_test\\.cpp$")
add_executable(tavo_tests ${TEST_SOURCES} ${FAKE_TESTS} ${PLATFORM_TESTS} ${SWEEP_TESTS} ${SWEEP_SOURCES}
  ${SEAM_TESTS} tools/tight_pack_test.cpp tools/payload_source.cpp tools/payload_source_test.cpp)
target_include_directories(tavo_tests PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(tavo_tests PRIVATE tavo_tested tavo_test_support tavo_tight GTest::gtest GTest::gtest_main)
include(GoogleTest)
gtest_discover_tests(tavo_tests DISCOVERY_TIMEOUT 60 TEST_FILTER "-Roads/CrashSweep.*")
# The crash sweep's roads, each a test of its own as the fault sweep's are (ctest -L crash_sweep
# runs them alone): the install stopped after each change it makes, then run again to its end.
gtest_discover_tests(tavo_tests DISCOVERY_TIMEOUT 60 TEST_FILTER "Roads/CrashSweep.*" TEST_LIST tavo_crash_sweep
  PROPERTIES LABELS crash_sweep)

add_executable(mkicon tools/mkicon.cpp)
set_target_properties(mkicon PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

add_executable(tvz tools/tvz.cpp tools/payload_source.cpp)
target_link_libraries(tvz PRIVATE tavo_logic tavo_tight)
target_compile_definitions(tvz PRIVATE TAVO_TIGHT_PACK)
set_target_properties(tvz PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

add_executable(mkpayload tools/mkpayload.cpp)
target_link_libraries(mkpayload PRIVATE tavo_logic tavo_tight)
set_target_properties(mkpayload PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

# The tools work through hundreds of megabytes by hand and in every build, so they are optimised
# in a Debug tree too; the unit tests keep the tree's own flags.
foreach(tool mkicon tvz mkpayload)
  target_compile_options(${tool} PRIVATE $<$<CONFIG:Debug>:-O2>)
endforeach()

# The archive reader's fuzz target (clang, libFuzzer with AddressSanitizer and UBSan), in a tree
# of its own: cmake -S . -B build/fuzz -DCMAKE_CXX_COMPILER=clang++ -DTAVO_FUZZ=ON
option(TAVO_FUZZ "Build the fuzz target" OFF)
if(TAVO_FUZZ)
  set(FUZZ_FLAGS -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -g -O1)
  foreach(lib ${TAVO_FLOORS} fake)
    target_compile_options(tavo_${lib} PRIVATE ${FUZZ_FLAGS})
  endforeach()
  add_executable(archive_fuzz tests/fuzz/archive_fuzz.cpp)
  target_compile_options(archive_fuzz PRIVATE ${FUZZ_FLAGS})
  target_link_libraries(archive_fuzz PRIVATE tavo_logic tavo_fake)
  target_link_options(archive_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
endif()

# Real files on the build machine, for tools and benchmarks.
add_library(tavo_posix STATIC platform/posix/posix_files.cpp)
target_link_libraries(tavo_posix PUBLIC tavo_logic)
add_executable(unpack_bench bench/unpack_bench.cpp)
target_include_directories(unpack_bench PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(unpack_bench PRIVATE tavo_posix tavo_fake)
set_target_properties(unpack_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)

# tvz's help, and its answer to the mistakes of a packager working by hand: one line, no abort.
add_test(NAME tvz_usage
  COMMAND sh ${CMAKE_SOURCE_DIR}/tests/tools/tvz_usage.sh $<TARGET_FILE:tvz> ${CMAKE_CURRENT_BINARY_DIR}/tvz_usage)

# tvz given bad input, command by command: exit code 1 and one line naming the file and the reason.
add_test(NAME tvz_faults
  COMMAND sh ${CMAKE_SOURCE_DIR}/tests/tools/tvz_faults.sh $<TARGET_FILE:tvz> ${CMAKE_CURRENT_BINARY_DIR}/tvz_faults)

# tvz extract run on real files: links in the target directory are replaced, not written through.
add_test(NAME tvz_extract_replaces_links
  COMMAND sh ${CMAKE_SOURCE_DIR}/tests/tools/tvz_extract_links.sh $<TARGET_FILE:tvz>
          ${CMAKE_CURRENT_BINARY_DIR}/tvz_extract_links)

# The check that tells whether this machine runs 32-bit x86 programs (and so the Wine cases).
add_test(NAME ia32_check
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/tools/ia32_check_test.sh ${CMAKE_CURRENT_BINARY_DIR}/ia32_check)

# The floor check on its own, and against planted includes: it must refuse each of them.
add_test(NAME floors_hold
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -P ${CMAKE_SOURCE_DIR}/cmake/check_floors.cmake)
add_test(NAME floors_check_refuses_planted_includes
  COMMAND ${CMAKE_COMMAND} -DCHECK=${CMAKE_SOURCE_DIR}/cmake/check_floors.cmake
          -DSCRATCH=${CMAKE_CURRENT_BINARY_DIR}/floors_check -P ${CMAKE_SOURCE_DIR}/cmake/check_floors_test.cmake)

# The build's payload step: the sample payload packs; each kind of broken payload stops it with
# the file named, and takes away the setup of an earlier build.
add_test(NAME payload_check_stops_the_build
  COMMAND sh ${CMAKE_SOURCE_DIR}/tests/tools/pack_payload.sh ${CMAKE_COMMAND} $<TARGET_FILE:tvz>
          $<TARGET_FILE:mkpayload> ${CMAKE_SOURCE_DIR}/cmake/pack_payload.cmake ${CMAKE_CURRENT_BINARY_DIR}/pack_payload)
# The Windows tree configured by hand: release settings by default, and the payload it packs told.
add_test(NAME win32_configure_defaults
  COMMAND sh ${CMAKE_SOURCE_DIR}/tests/tools/win32_configure.sh ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/tools
          ${CMAKE_CURRENT_BINARY_DIR}/win32_configure)
set_tests_properties(win32_configure_defaults PROPERTIES SKIP_RETURN_CODE 77)
