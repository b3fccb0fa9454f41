# Cross toolchain for the 32-bit Windows build (Debian's mingw-w64 i686 packages).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOL_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${TOOL_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${TOOL_PREFIX}-g++)
set(CMAKE_RC_COMPILER ${TOOL_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TOOL_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The setup is downloaded: every function and datum in its own section, and the unused dropped.
set(CMAKE_C_FLAGS_INIT "-ffunction-sections -fdata-sections")
# No exceptions and no run-time type information: the code throws none and asks no object its
# type, and a failed allocation or a broken container precondition ends the program
# (platform/win32/lean_runtime.cpp), so neither the unwinder nor the runtime's exception classes
# are linked in. The container checks stay on, which also keeps std::string's members inline,
# where the unused ones can be dropped.
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections -fno-exceptions -fno-asynchronous-unwind-tables \
-fno-rtti -D_GLIBCXX_ASSERTIONS")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,--gc-sections -Wl,--no-insert-timestamp")
# The same bytes from every build of one commit: no link time in the PE header.
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-Wl,--no-insert-timestamp")
