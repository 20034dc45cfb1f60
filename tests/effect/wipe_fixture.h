// The effect fixture with two picture patterns and the wipe table of the
// manager's simple-wipe effect (#59).
#pragma once

#include <cstdint>
#include <functional>

#include "effect/allwipe.h"
#include "effect/effectwipe.h"
#include "effect_fixture.h"

namespace effect_test {

// Every pixel of each pattern differs from its neighbours and from the
// other pattern.
inline uint32_t OldPx(int x, int y) {
  return 0x200000u | static_cast<uint32_t>(x) << 8 | static_cast<uint32_t>(y);
}
inline uint32_t NewPx(int x, int y) {
  return 0xC00000u | static_cast<uint32_t>(y) << 8 | static_cast<uint32_t>(x);
}

class WipeTest : public EffectTest {
 public:
  CAllWipe* Table() const {
    return static_cast<CEffectSimpleWipe*>(manager_->GetEffect(59))->GetTable();
  }
  // Loads channel picture `channel` and frees the channel again, so that
  // frames do not draw it by itself.
  CPicture* Load(int channel, const std::function<uint32_t(int, int)>& pixel, int w = kW,
                 int h = kH) {
    ChannelPicture(channel, w, h, pixel);
    manager_->SetPicture(channel, -1);
    return manager_->GetPicture(channel);
  }
  CPicture* OldPicture() { return Load(12, OldPx); }
  CPicture* NewPicture() { return Load(13, NewPx); }
  // 1 when every screen pixel equals f (x, y).
  static bool ScreenMatches(const std::function<uint32_t(int, int)>& f, int* badX = nullptr,
                            int* badY = nullptr) {
    for (int y = 0; y < CScreenBuffer::GetHeight(); ++y)
      for (int x = 0; x < CScreenBuffer::GetWidth(); ++x)
        if (At(x, y) != f(x, y)) {
          if (badX) *badX = x;
          if (badY) *badY = y;
          return false;
        }
    return true;
  }
};

// The old and new patterns loaded, the screen grey, and one step of a
// numbered wipe between them.
class WipeStepTest : public WipeTest {
 public:
  static constexpr uint32_t kGrey = 0x555555;

 protected:
  void SetUp() override {
    WipeTest::SetUp();
    old_ = OldPicture();
    new_ = NewPicture();
    Clear(kGrey);
  }
  void Draw(int number, int progress, int max) {
    Table()->Print(number, old_, new_, progress, max, nullptr, nullptr);
  }
  CPicture* old_ = nullptr;
  CPicture* new_ = nullptr;
};

}  // namespace effect_test
