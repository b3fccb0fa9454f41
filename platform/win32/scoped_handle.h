// One move-only owner for every kind of Windows handle; the traits say what is invalid and how
// to close it.
#pragma once
#include <windows.h>

#include <utility>

namespace platform::win32 {

template <typename Traits>
class ScopedHandle {
 public:
  using Handle = typename Traits::Handle;

  ScopedHandle() = default;
  explicit ScopedHandle(Handle handle) : handle_(handle) {}
  ~ScopedHandle() { Close(); }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(std::exchange(other.handle_, Traits::Invalid())) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) {
      Close();
      handle_ = std::exchange(other.handle_, Traits::Invalid());
    }
    return *this;
  }

  bool IsValid() const { return Traits::IsValid(handle_); }
  Handle Get() const { return handle_; }
  // For calls that fill in a handle; the old one is closed first.
  Handle* Receive() {
    Close();
    return &handle_;
  }

 private:
  void Close() {
    if (Traits::IsValid(handle_)) Traits::Close(handle_);
    handle_ = Traits::Invalid();
  }

  Handle handle_ = Traits::Invalid();
};

struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { ::CloseHandle(h); }
};

struct SmallFileTraits {
  using Handle = HFILE;
  static Handle Invalid() { return HFILE_ERROR; }
  static bool IsValid(Handle h) { return h != HFILE_ERROR; }
  static void Close(Handle h) { ::_lclose(h); }
};

struct RegKeyTraits {
  using Handle = HKEY;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::RegCloseKey(h); }
};

struct FindTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { ::FindClose(h); }
};

struct GlobalTraits {
  using Handle = HGLOBAL;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::GlobalFree(h); }
};

struct LibraryTraits {
  using Handle = HMODULE;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::FreeLibrary(h); }
};

// A COM interface pointer: closing gives its reference back.
template <typename Interface>
struct ComTraits {
  using Handle = Interface*;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { h->Release(); }
};

using ScopedKernelHandle = ScopedHandle<KernelHandleTraits>;
using ScopedSmallFile = ScopedHandle<SmallFileTraits>;
using ScopedRegKey = ScopedHandle<RegKeyTraits>;
using ScopedFind = ScopedHandle<FindTraits>;
using ScopedGlobal = ScopedHandle<GlobalTraits>;
using ScopedLibrary = ScopedHandle<LibraryTraits>;
template <typename Interface>
using ScopedCom = ScopedHandle<ComTraits<Interface>>;

}  // namespace platform::win32
