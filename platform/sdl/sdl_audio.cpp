#include "platform/sdl/sdl_audio.h"

#include <dlfcn.h>

#include <chrono>
#include <cstdio>

namespace platform::sdl {
namespace {

extern "C" void QuietAlsaError(const char*, int, const char*, int, const char*, ...) {}

// SDL's ALSA driver loads libasound, whose own handler prints a run of
// lines on stderr when a machine has no sound card. The handler is set on
// that same library first (it stays loaded), so only this program's one
// line says that the game is silent.
void QuietAlsa() {
  static bool done = false;
  if (done) return;
  done = true;
  void* alsa = ::dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
  if (!alsa) return;
  using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
  if (auto set = reinterpret_cast<int (*)(Handler)>(::dlsym(alsa, "snd_lib_error_set_handler")))
    set(&QuietAlsaError);
}

}  // namespace

SdlAudio::SdlAudio(std::shared_ptr<AudioDevice> device) : device_(std::move(device)) {}

SdlAudio::~SdlAudio() { Close(); }

void SdlAudio::Open() {
  if (deviceId_ != 0 || clock_.joinable()) return;
  QuietAlsa();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
    subsystem_ = true;
    SDL_AudioSpec want{};
    want.freq = kMixRate;
    want.format = AUDIO_S16SYS;
    want.channels = kMixChannels;
    want.samples = 1024;
    want.callback = &SdlAudio::Callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts when the card wants another format.
    deviceId_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  }
  if (deviceId_ != 0) {
    device_->SetHasOutput(true);
    SDL_PauseAudioDevice(deviceId_, 0);
    return;
  }
  std::fprintf(stderr, "zor: no sound device opens (%s); the game runs without sound\n", SDL_GetError());
  std::fflush(stderr);
  device_->SetHasOutput(false);
  stopping_ = false;
  clock_ = std::thread([this] { RunClock(); });
}

void SdlAudio::Close() {
  if (deviceId_ != 0) {
    SDL_CloseAudioDevice(deviceId_);
    deviceId_ = 0;
  }
  if (clock_.joinable()) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    clock_.join();
  }
  if (subsystem_) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    subsystem_ = false;
  }
  device_->SetHasOutput(false);
}

void SDLCALL SdlAudio::Callback(void* user, Uint8* stream, int length) {
  auto* self = static_cast<SdlAudio*>(user);
  self->device_->Render(reinterpret_cast<int16_t*>(stream),
                        length / static_cast<int>(sizeof(int16_t) * kMixChannels));
}

void SdlAudio::RunClock() {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  uint64_t framesDone = 0;
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stopping_) {
    wake_.wait_for(lock, std::chrono::milliseconds(5));
    if (stopping_) break;
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
    const uint64_t target = static_cast<uint64_t>(elapsed) * kMixRate / 1000000;
    if (target <= framesDone) continue;
    const uint64_t frames = target - framesDone;
    framesDone = target;
    lock.unlock();
    device_->Render(nullptr, static_cast<int>(frames > 0x7FFFFFFF ? 0x7FFFFFFF : frames));
    lock.lock();
  }
}

}  // namespace platform::sdl
