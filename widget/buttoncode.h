// ButtonCode: the packed signed 32-bit answer of every button, button group,
// menu panel, page-button pair and floating button. -1 means nothing
// happened; otherwise bits 24-31 hold the kind, bits 21-23 the volume type,
// bits 16-20 a spare value, bit 15 marks a 1-based system-sound number in
// bits 8-14 and bit 7 a button number in bits 0-6. Callers compare kinds
// only (GetButtonCodeKind).
#pragma once

#include <cstdint>

namespace buttoncode {
constexpr int32_t kNothing = -1;
constexpr int32_t kDecided = static_cast<int32_t>(0xF0000000u);
constexpr int32_t kPressed = static_cast<int32_t>(0xF8000000u);
constexpr int32_t kBusy = static_cast<int32_t>(0xF9000000u);
// The mode base plays the button's bad sound for this kind.
constexpr int32_t kRefused = static_cast<int32_t>(0xFA000000u);
constexpr int32_t kEntered = static_cast<int32_t>(0xFB000000u);
constexpr int32_t kLeft = static_cast<int32_t>(0xFC000000u);
constexpr int32_t kSoundOnly = static_cast<int32_t>(0xFD000000u);
// Button numbers fit in 7 bits, so no container holds more members.
constexpr int kMaxNumber = 128;
}  // namespace buttoncode

// kind AND 0xFF000000; a sound above 0 with its volume type (unless -1);
// value -1 counts as 0; a number of 0 or more sets bit 7 with its low 7 bits.
int32_t MakeButtonCode(int32_t kind, int sound, int value, int number, int volumeType);
// The upper 24 bits stay; the low byte becomes 0x80 | (n & 0x7F).
int32_t SetButtonCodeNumber(int32_t code, int n);
// -1 for -1, else code AND 0xFF000000.
int32_t GetButtonCodeKind(int32_t code);
// The sound number when bit 15 is set, else 0.
int GetButtonCodeSound(int32_t code);
// The button number when bit 7 is set, else -1.
int GetButtonCodeNumber(int32_t code);
int GetButtonCodeVolumeType(int32_t code);
int GetButtonCodeValue(int32_t code);
int CheckButtonCodeSound(int32_t code);
int CheckButtonCodeNumber(int32_t code);
