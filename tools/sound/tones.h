// Sounds written as text, for the sample game's short sounds kept in
// readable sources:
//
//   # a comment
//   rate 22050            sample rate (default 22050); mono, 16-bit
//   note 880 120 60       a sine tone: frequency (Hz), length (ms),
//                         volume (percent, default 50), 5 ms fades
//   rest 40               silence (ms)
//
// Blank lines are skipped.
#pragma once

#include <string>

#include "platform/audio.h"

namespace soundtool {

// False with the reason (and its line number) in *error.
bool ReadToneText(const std::string& text, platform::WavData* out, std::string* error);

}  // namespace soundtool
