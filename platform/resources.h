// The program's own resources and movable global memory blocks.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform {

// A locked, read-only resource image; released (FreeResource) when destroyed.
class ResourceImage {
 public:
  virtual ~ResourceImage() = default;
  virtual const uint8_t* Data() const = 0;
  virtual size_t Size() const = 0;
};

// A zero-filled, locked global memory block; unlocked and freed when destroyed.
class MemoryBlock {
 public:
  virtual ~MemoryBlock() = default;
  virtual uint8_t* Data() = 0;
  virtual size_t Size() const = 0;
};

class Resources {
 public:
  virtual ~Resources() = default;
  // FindResourceA/LoadResource/LockResource of the program's own module; null when absent.
  virtual std::unique_ptr<ResourceImage> Load(const char* type, const char* name) = 0;
  // GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT) and GlobalLock; null when either fails.
  virtual std::unique_ptr<MemoryBlock> AllocZeroed(size_t size) = 0;
};

}  // namespace platform
