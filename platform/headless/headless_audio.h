// Headless sound: no sound card; the device's cursors move with the virtual
// clock, so a second of virtual time plays a second of every buffer.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/audio.h"

namespace platform {

class HeadlessAudio {
 public:
  HeadlessAudio();
  const std::shared_ptr<AudioDevice>& Device() const { return device_; }
  // The virtual clock moved by ms: mix that much (into the capture when one
  // runs) and fire the notifications passed.
  void Advance(uint32_t ms);

 private:
  std::shared_ptr<AudioDevice> device_;
  std::mutex mutex_;  // clock advances from several threads stay in order
  uint64_t elapsedMs_ = 0;
  uint64_t framesDone_ = 0;
};

}  // namespace platform
