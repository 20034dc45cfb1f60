// Any 16 x 1024 bytes as channel records: straight into the live records, or
// as a saved copy that LoadChannels checks first; then frames are run. The
// first input byte picks the way and the number of frames.
#include <cstddef>
#include <cstdint>

#include "effect_fuzz.h"
#include "setup/random.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  effectfuzz::World& world = effectfuzz::GetWorld();
  CEffectManager& m = *world.manager;
  effectfuzz::ForgetGrowth(world);
  m.ResetAll();
  const uint8_t mode = effectfuzz::TakeByte(data, size);
  crt::srand(mode);
  uint8_t record[EffectChannel::kBytes];
  for (int channel = 0; channel < CEffectManager::kChannels; ++channel) {
    const size_t n = size < sizeof record ? size : sizeof record;
    std::memset(record, 0, sizeof record);
    std::memcpy(record, data, n);
    data += n;
    size -= n;
    EffectChannel* target = (mode & 1) ? m.GetSaveChannel(channel) : m.GetChannel(channel);
    target->Read(record);
  }
  if (mode & 1) m.LoadChannels();
  if (mode & 1) {
    // What a restore lets through is within the record's rules.
    for (int channel = 0; channel < CEffectManager::kChannels; ++channel) {
      const EffectChannel& r = *m.GetChannel(channel);
      fuzzsupport::Check(r.EffectNumber() == -1 || m.GetEffect(r.EffectNumber()) != nullptr,
                         "restored effect number has an effect");
      fuzzsupport::Check(r.PictureNumber() >= -1 && r.PictureNumber() < 16,
                         "restored picture number");
      fuzzsupport::Check(r.Counter() >= 0 && r.Counter() <= r.Duration(), "restored counter");
    }
  }
  effectfuzz::RunFrames(m, 1 + (mode >> 1) % 3, (mode & 0x80) ? 5 : 1);
  m.RestoreEffects();
  m.SaveChannels();
  return 0;
}
