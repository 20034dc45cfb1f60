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

// A named lock held for the life of the object: another program (or another
// object in this one) asking for the same name sees it exists.
class InstanceLock {
 public:
  InstanceLock() = default;
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;
  // True when the lock was taken; false when another holder has it.
  bool Acquire(const std::string& name);
  void Release();
  bool Held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

// Folder that holds the lock files; tests point it at their own folder.
void SetLockFolder(const std::string& hostPath);

}  // namespace platform
