#include "platform/sync.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>

namespace platform {
namespace {

// All events share one lock and one condition: waits for any of several
// events stay simple, and the program has only a handful of events.
std::mutex& EventMutex() {
  static std::mutex mutex;
  return mutex;
}
std::condition_variable& EventCondition() {
  static std::condition_variable condition;
  return condition;
}

std::string& LockFolder() {
  static std::string folder;
  return folder;
}

std::string DefaultLockFolder() {
  for (const char* var : {"XDG_RUNTIME_DIR", "TMPDIR"}) {
    const char* value = std::getenv(var);
    if (value && *value) return value;
  }
  return "/tmp";
}

// Runs `ready` under the event lock until it gives true or the time is up.
template <typename Ready>
bool WaitLocked(std::unique_lock<std::mutex>& lock, uint32_t timeoutMs, Ready ready) {
  if (timeoutMs == kInfinite) {
    EventCondition().wait(lock, ready);
    return true;
  }
  return EventCondition().wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
}

}  // namespace

Event::Event(bool manualReset, bool initiallySet) : manualReset_(manualReset), set_(initiallySet) {}

void Event::Set() {
  {
    std::lock_guard<std::mutex> lock(EventMutex());
    set_ = true;
  }
  EventCondition().notify_all();
}

void Event::Reset() {
  std::lock_guard<std::mutex> lock(EventMutex());
  set_ = false;
}

bool Event::TakeLocked() {
  if (!set_) return false;
  if (!manualReset_) set_ = false;
  return true;
}

bool Event::Wait(uint32_t timeoutMs) {
  std::unique_lock<std::mutex> lock(EventMutex());
  bool taken = false;
  WaitLocked(lock, timeoutMs, [&] { return taken = TakeLocked(); });
  return taken;
}

int WaitForAny(Event* const* events, int count, uint32_t timeoutMs) {
  std::unique_lock<std::mutex> lock(EventMutex());
  int index = -1;
  WaitLocked(lock, timeoutMs, [&] {
    for (int i = 0; i < count; ++i) {
      if (events[i] && events[i]->TakeLocked()) {
        index = i;
        return true;
      }
    }
    return false;
  });
  return index;
}

Thread::~Thread() { Join(); }

bool Thread::Start(std::function<void()> body) {
  if (thread_.joinable()) return false;
  thread_ = std::thread(std::move(body));
  return true;
}

void Thread::Join() {
  if (thread_.joinable()) thread_.join();
}

InstanceLock::~InstanceLock() { Release(); }

bool InstanceLock::Acquire(const std::string& name) {
  Release();
  std::string folder = LockFolder().empty() ? DefaultLockFolder() : LockFolder();
  // The name becomes a file name: keep it to characters that are safe there.
  std::string safe;
  for (unsigned char c : name) safe += (c == '/' || c < 0x20) ? '_' : static_cast<char>(c);
  std::string path = folder + "/" + safe + ".lock";
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return true;  // no place for a lock: do not stop the program for it
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

void InstanceLock::Release() {
  if (fd_ >= 0) {
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
  }
}

void SetLockFolder(const std::string& hostPath) { LockFolder() = hostPath; }

}  // namespace platform
