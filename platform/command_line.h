// What a program's own command line says besides the program's name: the text WinMain would be
// handed, for an entry point that reads the command line itself.
#pragma once
#include <string_view>

namespace platform {

// The command line after the program's name (which may be quoted and hold blanks) and the blanks
// that follow it; the rest is kept byte for byte.
std::string_view CommandTail(std::string_view commandLine);

}  // namespace platform
