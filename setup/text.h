// Text rules shared by every reader of settings and data lists.
#pragma once

#include <cstddef>

#include "platform/codec.h"

namespace setup {

// A decimal number in a list token, read as the run-time's atoi reads it:
// leading blanks, an optional sign, then decimal digits up to the first other
// character (0 when there are none); overflow wraps in 32 bits.
int ParseDecimal(const char* text);

// The byte length of the longest start of `text` made of whole characters
// that fits in `room` bytes: a CP932 double-byte character is never split
// (a lead byte right before the NUL counts as one byte). 0 for null.
size_t FitWholeCharacters(const char* text, size_t room);

// Equal without regard to ASCII letter case; the second byte of a CP932
// double-byte character is compared as it is, so two different kanji never
// meet. The platform's path resolver needs the same rule, so it is defined
// there, once.
using platform::EqualNoCase;
using platform::EndsWithNoCase;
using platform::StartsWithNoCase;

}  // namespace setup
