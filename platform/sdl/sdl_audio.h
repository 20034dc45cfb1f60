// Sound output for the SDL backend: the software mix goes to an SDL audio
// device at 44,100 Hz stereo 16-bit. Without a sound card (SDL's drivers all
// refuse, as on CI machines) a clock thread moves the buffers instead, so
// they play silently in real time.
#pragma once

#include <SDL.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/audio.h"

namespace platform::sdl {

class SdlAudio {
 public:
  explicit SdlAudio(std::shared_ptr<AudioDevice> device);
  ~SdlAudio();
  SdlAudio(const SdlAudio&) = delete;
  SdlAudio& operator=(const SdlAudio&) = delete;

  // Opens the sound card, or starts the silent clock.
  void Open();
  void Close();
  bool HasOutput() const { return deviceId_ != 0; }

 private:
  static void SDLCALL Callback(void* user, Uint8* stream, int length);
  void RunClock();

  std::shared_ptr<AudioDevice> device_;
  bool subsystem_ = false;
  SDL_AudioDeviceID deviceId_ = 0;
  std::thread clock_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
};

}  // namespace platform::sdl
