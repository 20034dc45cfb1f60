// The SDL backend's sound output: a sound card when one opens (SDL's dummy
// driver stands in for one), else the silent clock; buffers play either way.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>

#include "platform/audio.h"
#include "platform/sdl/sdl.h"

namespace {

// Plays a looping buffer and waits (real time, generously) until it moved.
bool Advances(platform::AudioDevice& device) {
  platform::BufferDesc desc;
  desc.format = {2, 44100, 16};
  desc.size = 176400;
  auto b = device.CreateBuffer(desc, nullptr);
  if (!b) return false;
  b->Play(true);
  for (int i = 0; i < 400; ++i) {
    if (b->GetPosition() > 0) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

void WithDrivers(const char* audio) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", audio, 1);
}

TEST(SdlAudio, WithoutASoundCardBuffersStillPlayByTheClock) {
  WithDrivers("no-such-driver");
  std::string error;
  auto backend = platform::CreateSdlBackend(&error);
  ASSERT_NE(backend, nullptr) << error;
  auto device = backend->Audio();
  EXPECT_FALSE(device->HasOutput());
  EXPECT_EQ(backend->Audio(), device);  // opened once
  EXPECT_TRUE(Advances(*device));
  backend.reset();
  // Buffers may outlive the backend; they just stop moving.
  platform::BufferDesc desc;
  desc.format = {1, 22050, 8};
  desc.size = 100;
  EXPECT_NE(device->CreateBuffer(desc, nullptr), nullptr);
}

// Without a card, ALSA's own lines stay away; one line says the game is
// silent.
TEST(SdlAudio, NoSoundCardIsOneLine) {
  WithDrivers("alsa");
  std::string error;
  testing::internal::CaptureStderr();
  auto backend = platform::CreateSdlBackend(&error);
  ASSERT_NE(backend, nullptr) << error;
  const bool output = backend->Audio()->HasOutput();
  backend.reset();
  const std::string err = testing::internal::GetCapturedStderr();
  if (output) GTEST_SKIP() << "this machine has a sound card";
  EXPECT_EQ(err.find("ALSA lib"), std::string::npos) << err;
  EXPECT_EQ(err.rfind("zor: no sound device opens (", 0), 0u) << err;
  EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
}

TEST(SdlAudio, ASoundCardGetsTheMix) {
  WithDrivers("dummy");
  std::string error;
  auto backend = platform::CreateSdlBackend(&error);
  ASSERT_NE(backend, nullptr) << error;
  auto device = backend->Audio();
  if (!device->HasOutput()) GTEST_SKIP() << "this SDL has no dummy audio driver";
  EXPECT_TRUE(Advances(*device));
}

}  // namespace
