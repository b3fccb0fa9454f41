// A platform that lets one call of its choosing fail: every call that can fail on Windows (file,
// open-file, registry, resource and allocation, process start, IME installation) is counted, and
// the k-th fails with one of the errors Windows gives for its kind, the rest going to the machine
// underneath. The fault sweep runs whole roads once to count the calls, then once per call with it
// failing; a focused test fails one call it names.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/platform.h"

namespace platform::fake {

class FaultyPlatform {
 public:
  // Fails the call numbered `failAt` (from 1); 0 fails none. The dialogs, windows and system
  // facts of `machine` are passed through as they are.
  FaultyPlatform(Platform& machine, long failAt);
  // Fails the `occurrence`-th call (from 1; 0: every one) described as `call` ("open c:\\a.txt",
  // as Failed names it) with `error`; every other call goes through.
  FaultyPlatform(Platform& machine, const std::string& call, int occurrence, long error);
  ~FaultyPlatform();
  FaultyPlatform(const FaultyPlatform&) = delete;
  FaultyPlatform& operator=(const FaultyPlatform&) = delete;

  Platform& os();
  // The calls counted so far, and what the failed one was ("" while none failed) and the error
  // it failed with (0 for a call that reports none).
  long Calls() const;
  const std::string& Failed() const;
  long FailedError() const;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform::fake
