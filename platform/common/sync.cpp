#include "platform/sync.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>

#include "platform/files.h"

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

InstanceLock::Result InstanceLock::Acquire(const std::string& folder, std::string* error) {
  Release();
  const std::string path = ResolvePath(folder.empty() ? std::string(kFileName)
                                                      : folder + "\\" + kFileName);
  // A link in the lock's place is not followed: it could make or lock a
  // file outside the save folder.
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
  // A folder the player may only read still takes a lock on a file that is there.
  if (fd < 0 && (errno == EACCES || errno == EROFS)) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) {
    if (error) {
      *error = path + ": " + (errno == ELOOP ? std::string("is a symbolic link, which the lock does not follow")
                                             : std::string(std::strerror(errno)));
    }
    return Result::kUnavailable;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int code = errno;
    ::close(fd);
    if (code == EWOULDBLOCK) return Result::kHeld;
    if (error) *error = path + ": " + std::strerror(code);
    return Result::kUnavailable;
  }
  fd_ = fd;
  return Result::kTaken;
}

void InstanceLock::Release() {
  if (fd_ >= 0) {
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
  }
}

}  // namespace platform
