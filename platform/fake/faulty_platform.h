// A platform that lets one call of its choosing fail: every call that can fail on Windows (file,
// open-file, registry, resource and allocation, process start, IME installation) is counted, and
// the k-th fails with one of the errors Windows gives for its kind, the rest going to the machine
// underneath. The fault sweep runs whole roads once to count the calls, then once per call with it
// failing; a focused test fails one call it names. Cut off at a call, it fails that one and every
// later one, as a machine whose power went or a process killed there would leave things.
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
  // The call numbered `at` (from 1) and every later one fail: nothing the run does from there on
  // reaches the machine, but for a write cut at that call, which lands the first half of its bytes.
  // 0 cuts nothing.
  struct CutOff {
    long at;
  };
  FaultyPlatform(Platform& machine, CutOff cut);
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
