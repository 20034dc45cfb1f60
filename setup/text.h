// Text rules shared by every reader of settings and data lists.
#pragma once

#include "platform/codec.h"

namespace setup {

// A decimal number in a list token, read as the run-time's atoi reads it:
// leading blanks, an optional sign, then decimal digits up to the first other
// character (0 when there are none); overflow wraps in 32 bits.
int ParseDecimal(const char* text);

// Copies at most maxBytes bytes of src (null: empty) into dst and ends it
// with a NUL; a CP932 double-byte character that would not fit whole is
// left out, and so is a lead byte cut off by the NUL. dst must hold
// maxBytes + 1 bytes; dst may be src itself.
void CopyCp932Cut(char* dst, const char* src, int maxBytes);

// Equal without regard to ASCII letter case; the second byte of a CP932
// double-byte character is compared as it is, so two different kanji never
// meet. The platform's path resolver needs the same rule, so it is defined
// there, once.
using platform::EqualNoCase;
using platform::EndsWithNoCase;
using platform::StartsWithNoCase;

}  // namespace setup
