// The effect fixture with what the overlay and small-thing tests share: a
// channel's record and stored values, a screen of any size (a new manager
// with it: effect objects read the size when made) and one effect's own
// draw over a screen of kClear.
#pragma once

#include <algorithm>
#include <memory>
#include <vector>

#include "effect_fixture.h"

namespace effect_test {

class ScreenEffectTest : public EffectTest {
 protected:
  static constexpr uint32_t kClear = 0x404040;

  EffectChannel& Record(int channel) { return *manager_->GetChannel(channel); }
  std::vector<int> Params(int channel, int n) {
    return std::vector<int>(Record(channel).v + 29, Record(channel).v + 29 + n);
  }
  void Screen(int w, int h) {
    manager_.reset();
    screen_ = std::make_unique<CScreenBuffer>(w, h, 0);
    manager_ = std::make_unique<CEffectManager>(kExtra);
  }
  // The channel's effect draws at `counter` over a screen of kClear.
  void DrawAt(int channel, int counter) {
    Record(channel).Counter() = counter;
    std::fill_n(CScreenBuffer::GetBuffer(),
                static_cast<size_t>(CScreenBuffer::GetWidth()) * CScreenBuffer::GetHeight(), kClear);
    manager_->GetEffect(Record(channel).EffectNumber())->Print(&Record(channel), channel);
  }
};

}  // namespace effect_test
