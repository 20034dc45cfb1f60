#include "platform/headless/headless_audio.h"

namespace platform {

HeadlessAudio::HeadlessAudio() : device_(AudioDevice::Create()) {}

void HeadlessAudio::Advance(uint32_t ms) {
  std::lock_guard<std::mutex> lock(mutex_);
  elapsedMs_ += ms;
  // Counted from the start, so 44.1 frames a millisecond never drift.
  const uint64_t target = elapsedMs_ * kMixRate / 1000;
  uint64_t frames = target - framesDone_;
  framesDone_ = target;
  // A capture gets the mix in slices; otherwise the cursors jump at once.
  const uint64_t slice = device_->Capturing() ? 4410 : 0x7FFFFFFF;
  while (frames > 0) {
    const uint64_t n = frames < slice ? frames : slice;
    device_->Render(nullptr, static_cast<int>(n));
    frames -= n;
  }
}

}  // namespace platform
