// The setup program's own answers to the C++ runtime's failure paths. The program is built
// without exceptions: a failed allocation or a broken container precondition ends it at once,
// as an uncaught exception would. Defining these here keeps the runtime's exception classes,
// their strings and the demangling terminate handler (about 150 KiB) out of a program that is
// downloaded, and changes nothing the program does while it works.
#include <cstddef>
#include <cstdlib>
#include <exception>
#include <new>

namespace std {

[[noreturn]] void __throw_bad_alloc() { std::abort(); }
[[noreturn]] void __throw_bad_array_new_length() { std::abort(); }
[[noreturn]] void __throw_length_error(const char*) { std::abort(); }
[[noreturn]] void __throw_logic_error(const char*) { std::abort(); }
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
[[noreturn]] void __glibcxx_assert_fail(const char*, int, const char*, const char*) noexcept { std::abort(); }

}  // namespace std

// Allocation that cannot fail by throwing: out of memory ends the program.
void* operator new(std::size_t size) {
  void* block = std::malloc(size ? size : 1);
  if (!block) std::abort();
  return block;
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

namespace __cxxabiv1 {

// Replaces the runtime's verbose handler, which would bring the symbol demangler along.
std::terminate_handler __terminate_handler = std::abort;

}  // namespace __cxxabiv1
