// A small screen, the headless host and an effect manager per test, with a
// recording effect at a number the engine leaves free.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "effect/commoneffect.h"
#include "effectrunner.h"
#include "effect/effectmanager.h"
#include "graphics/pictureloader.h"
#include "graphics/allgraphics.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "platform/headless/headless.h"
#include "setup/random.h"
#include "support/temp_dir.h"

namespace effect_test {

// A pixel of busy noise at (x, y): every byte changes from one pixel to the
// next, so a row loop that takes a wrong pixel or byte shows.
inline uint32_t NoisePixel(int x, int y) {
  uint32_t v = static_cast<uint32_t>(x) * 73856093u ^ static_cast<uint32_t>(y) * 19349663u;
  v ^= v >> 15;
  return v * 0x2C1B3C6Du;
}

// Records every call; SetParam starts it with p0 as the duration.
class CRecordingEffect : public CCommonEffect {
 public:
  static constexpr int kNumber = 250;
  static constexpr const char* kClassName = "CRecordingEffect";
  using CCommonEffect::CCommonEffect;

  int SetParam(EffectChannel* record, int count, const int* values, int) override {
    int p[4];
    const int given = TakeParams(count, values, 4, p);
    Default(p, given, 0, 20);
    return StartRecord(record, kNumber, p[0], p, 4);
  }
  int Finish(EffectChannel*, int channel) override {
    calls.push_back("Finish " + std::to_string(channel));
    return finishResult;
  }
  void Tick(EffectChannel*, int channel) override { calls.push_back("Tick " + std::to_string(channel)); }
  void Calcu(EffectChannel*, int channel) override {
    calls.push_back("Calcu " + std::to_string(channel));
  }
  void Print(EffectChannel*, int channel) override {
    calls.push_back("Print " + std::to_string(channel));
  }
  int CheckPrintPicture(EffectChannel*, int) override { return printPicture; }
  void Restore(EffectChannel*, int channel) override {
    calls.push_back("Restore " + std::to_string(channel));
  }
  int Count(const std::string& call) const {
    int n = 0;
    for (const std::string& c : calls) n += c == call;
    return n;
  }

  std::vector<std::string> calls;
  int finishResult = 0;
  int printPicture = 1;
};

class EffectTest : public testing::Test {
 public:
  static constexpr int kW = 64;
  static constexpr int kH = 48;
  static constexpr EffectEntry kExtra[] = {MakeEffectEntry<CRecordingEffect>()};

  static uint32_t& At(int x, int y) {
    return CScreenBuffer::GetBuffer()[static_cast<size_t>(y) * CScreenBuffer::GetWidth() + x];
  }
  static void Clear(uint32_t colour) {
    std::fill_n(CScreenBuffer::GetBuffer(), size_t{kW} * kH, colour);
  }
  static bool ScreenIs(uint32_t colour) {
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x)
        if (At(x, y) != colour) return false;
    return true;
  }

  // Loads channel picture `channel` (w x h, pixels from `pixel`, a mask from
  // `alpha` when given) from a picture file, then SetPicture (channel, channel).
  void ChannelPicture(int channel, int w, int h, const std::function<uint32_t(int, int)>& pixel,
                      const std::function<uint8_t(int, int)>& alpha = {}) {
    dwqtool::Picture picture{w, h, {}, {}};
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        picture.pixels.push_back(pixel(x, y));
        if (alpha) picture.alpha.push_back(alpha(x, y));
      }
    std::string error;
    ASSERT_TRUE(effecttool::LoadPictureThroughFile(manager_->GetPicture(channel), picture,
                                                   dir_->path(), &error))
        << error;
    manager_->SetPicture(channel, channel);
  }
  CRecordingEffect* Recorder() const {
    return static_cast<CRecordingEffect*>(manager_->GetEffect(CRecordingEffect::kNumber));
  }
  int Start(int channel, int number, std::vector<int> values) {
    return manager_->StartEffect(channel, number, static_cast<int>(values.size()), values.data());
  }
  // One frame in the game's order, drawn whole.
  void Frame() { effecttool::GameFrame(*manager_); }
  // The next `n` draws of the generator seeded with `seed`, which is then
  // seeded again with it.
  static std::vector<int> Draws(uint32_t seed, int n) {
    crt::srand(seed);
    std::vector<int> out;
    for (int i = 0; i < n; ++i) out.push_back(crt::rand());
    crt::srand(seed);
    return out;
  }

 protected:
  void SetUp() override {
    host_ = &platform::InstallHeadless();
    host_->SetBoxEcho(false);
    crt::ResetRandom();
    dir_ = std::make_unique<testsupport::TempDir>();
    InitPictureLoader(dwq::kDecodeMegabytes);
    screen_ = std::make_unique<CScreenBuffer>(kW, kH, 0);
    manager_ = std::make_unique<CEffectManager>(kExtra);
  }
  void TearDown() override {
    manager_.reset();
    screen_.reset();
    ReleasePictureLoader();
    dir_.reset();
  }

  platform::HeadlessBackend* host_ = nullptr;
  std::unique_ptr<testsupport::TempDir> dir_;
  std::unique_ptr<CScreenBuffer> screen_;
  std::unique_ptr<CEffectManager> manager_;
};

}  // namespace effect_test
