// Effect starts with any values on any channel, over every registered
// effect number (and a few that are not), each followed by some frames.
// Input: a seed byte (0xFE picks a 33 x 33 screen, 0xFF an 801 x 601 one,
// 0xFD a 64 x 48 one; rare, as a new size makes the world anew), then per
// start: channel byte,
// number byte, count byte, then that many little-endian ints.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "effect/effectregistry.h"
#include "effect_fuzz.h"
#include "setup/random.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint8_t seed = effectfuzz::TakeByte(data, size);
  effectfuzz::World& world = seed == 0xFF   ? effectfuzz::GetWorld(801, 601)
                             : seed == 0xFE ? effectfuzz::GetWorld(33, 33)
                             : seed == 0xFD ? effectfuzz::GetWorld(64, 48)
                                            : effectfuzz::GetWorld(effectfuzz::kW, effectfuzz::kH);
  CEffectManager& m = *world.manager;
  effectfuzz::ForgetGrowth(world);
  m.ResetAll();
  crt::srand(seed);
  const auto entries = GetEffectEntries();
  std::vector<int> values;
  for (int starts = 0; size > 0 && starts < 8; ++starts) {
    const int channel = effectfuzz::TakeByte(data, size) % 19 - 1;
    const uint8_t pick = effectfuzz::TakeByte(data, size);
    // Mostly registered numbers; 240.. pick raw numbers around the table.
    int number = entries[pick % entries.size()].number;
    if (pick >= 240) number = (pick - 240) * 17 - 1;
    const int count = effectfuzz::TakeByte(data, size) % 40;
    values.clear();
    for (int i = 0; i < count; ++i) values.push_back(effectfuzz::TakeInt(data, size));
    if (pick & 1) m.SetPicture(channel, channel);
    m.StartEffect(channel, number, count, values.data());
    effectfuzz::RunFrames(m, 1 + pick % 3, 1 + (pick >> 5));
  }
  m.SaveChannels();
  m.LoadChannels();
  effectfuzz::RunFrames(m, 1, 1);
  return 0;
}
