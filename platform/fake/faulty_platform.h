// A platform that lets one call of its choosing fail: every call that can fail on Windows (file,
// open-file, registry, resource and allocation, process start, IME installation) is counted, and
// the k-th fails with one of the errors Windows gives for its kind, the rest going to the machine
// underneath. The fault sweep runs whole roads once to count the calls, then once per call with it
// failing; a focused test fails one call it names. The crash sweep ends a run after a call instead,
// as a power cut or a killed process does.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace platform::fake {

// Thrown when a stopped run calls the platform: the process is gone and nothing more reaches the
// machine. Derived from nothing, so that no handler for the standard exceptions takes it.
class RunStopped {};

// Where a run ends: after the call numbered `call` (from 1), which is carried out; with `cut`, a
// write or copy there keeps only the first half of its bytes, as one under way when the power
// goes does.
struct StopAfter {
  long call = 0;
  bool cut = false;
};

class FaultyPlatform {
 public:
  // Fails the call numbered `failAt` (from 1); 0 fails none. The dialogs, windows and system
  // facts of `machine` are passed through as they are.
  FaultyPlatform(Platform& machine, long failAt);
  // Fails the `occurrence`-th call (from 1; 0: every one) described as `call` ("open c:\\a.txt",
  // as Failed names it) with `error`; every other call goes through.
  FaultyPlatform(Platform& machine, const std::string& call, int occurrence, long error);
  // Fails nothing, but ends the run at `stop`: RunStopped is thrown right after that call and from
  // every later one. A call made while that exception unwinds the stack (a destructor's) is
  // refused without reaching the machine instead, since a second exception would end the program.
  FaultyPlatform(Platform& machine, StopAfter stop);
  ~FaultyPlatform();
  FaultyPlatform(const FaultyPlatform&) = delete;
  FaultyPlatform& operator=(const FaultyPlatform&) = delete;

  Platform& os();
  // The calls counted so far, and what the failed one was ("" while none failed) and the error
  // it failed with (0 for a call that reports none).
  long Calls() const;
  const std::string& Failed() const;
  long FailedError() const;

  // A call of a kind that changes the machine (writes, creates, copies, moves, deletes, attributes
  // and access lists, registry keys and values, program starts, IME installation and activation),
  // by its number; `cuttable` for a write or copy whose bytes a stop can cut short.
  struct Change {
    long call;
    bool cuttable;
  };
  const std::vector<Change>& Changes() const;
  // The call the run stopped after, named with the file or key it worked on ("" while it runs on).
  const std::string& StoppedAfter() const;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform::fake
