#include "widget/buttoncode.h"

namespace {
constexpr uint32_t kKindMask = 0xFF000000u;
constexpr uint32_t kSoundFlag = 0x8000u;
constexpr uint32_t kNumberFlag = 0x80u;

uint32_t Bits(int32_t code) { return static_cast<uint32_t>(code); }
int32_t Code(uint32_t bits) { return static_cast<int32_t>(bits); }
}  // namespace

int32_t MakeButtonCode(int32_t kind, int sound, int value, int number, int volumeType) {
  uint32_t bits = Bits(kind) & kKindMask;
  if (sound > 0) {
    bits |= kSoundFlag | ((static_cast<uint32_t>(sound) & 127u) << 8);
    if (volumeType != -1) bits |= (static_cast<uint32_t>(volumeType) & 7u) << 21;
  }
  if (value != -1) bits |= (static_cast<uint32_t>(value) & 31u) << 16;
  if (number >= 0) bits |= kNumberFlag | (static_cast<uint32_t>(number) & 0x7Fu);
  return Code(bits);
}

int32_t SetButtonCodeNumber(int32_t code, int n) {
  return Code((Bits(code) & 0xFFFFFF00u) | kNumberFlag | (static_cast<uint32_t>(n) & 0x7Fu));
}

int32_t GetButtonCodeKind(int32_t code) {
  return code == buttoncode::kNothing ? code : Code(Bits(code) & kKindMask);
}

int GetButtonCodeSound(int32_t code) {
  if (code == buttoncode::kNothing || !(Bits(code) & kSoundFlag)) return 0;
  return static_cast<int>((Bits(code) >> 8) & 127u);
}

int GetButtonCodeNumber(int32_t code) {
  if (code == buttoncode::kNothing || !(Bits(code) & kNumberFlag)) return -1;
  return static_cast<int>(Bits(code) & 0x7Fu);
}

int GetButtonCodeVolumeType(int32_t code) {
  return code == buttoncode::kNothing ? 0 : static_cast<int>((Bits(code) >> 21) & 7u);
}

int GetButtonCodeValue(int32_t code) {
  return code == buttoncode::kNothing ? 0 : static_cast<int>((Bits(code) >> 16) & 31u);
}

int CheckButtonCodeSound(int32_t code) {
  return code != buttoncode::kNothing && (Bits(code) & kSoundFlag) ? 1 : 0;
}

int CheckButtonCodeNumber(int32_t code) {
  return code != buttoncode::kNothing && (Bits(code) & kNumberFlag) ? 1 : 0;
}
