// Events, threads and the single-instance lock.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "platform/types.h"

namespace platform {

// Auto-reset or manual-reset event. A Set happens-before the wait that sees it.
class Event {
 public:
  explicit Event(bool manualReset, bool initiallySet = false);
  void Set();
  void Reset();
  // True when signalled within timeoutMs (kInfinite waits for ever).
  bool Wait(uint32_t timeoutMs);

 private:
  friend int WaitForAny(Event* const* events, int count, uint32_t timeoutMs);
  bool TakeLocked();
  const bool manualReset_;
  bool set_;
};

// Waits until one of the events is set; the lowest signalled index wins and
// is returned (an auto-reset one is reset). -1 on time-out.
int WaitForAny(Event* const* events, int count, uint32_t timeoutMs);

class Thread {
 public:
  Thread() = default;
  ~Thread();  // joins
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;
  bool Start(std::function<void()> body);
  void Join();
  bool Running() const { return thread_.joinable(); }

 private:
  std::thread thread_;
};

// A lock on a folder, held for the life of the object: a lock file in the
// folder, locked with flock, so every program working on that folder sees
// it, whatever its own runtime or temporary folders are.
class InstanceLock {
 public:
  enum class Result {
    kTaken,        // this object holds the folder now
    kHeld,         // another holder has the folder
    kUnavailable,  // no lock can be made there (error says why)
  };
  // The name of the lock file within the folder.
  static constexpr const char* kFileName = "zorgame.lock";

  InstanceLock() = default;
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;
  // Locks the folder (an engine path, relative to the game folder or
  // absolute); with kUnavailable, error (when given) holds the lock file's
  // host path and the system's text.
  Result Acquire(const std::string& folder, std::string* error = nullptr);
  void Release();
  bool Held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace platform
