#include "effect/effectchannel.h"

#include "platform/bytes.h"

void EffectChannel::Read(const uint8_t* bytes) {
  for (int i = 0; i < kInts; ++i) v[i] = platform::GetLE32Signed(bytes + 4 * i);
}

void EffectChannel::Write(uint8_t* bytes) const {
  for (int i = 0; i < kInts; ++i) platform::SetLE32(bytes + 4 * i, static_cast<uint32_t>(v[i]));
}
