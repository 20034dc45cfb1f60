// Small helpers shared by the data-file readers of this folder.
#pragma once

#include <cstdint>

namespace savedata {

// Decimal numbers in list tokens, read as the runtime's atoi reads them:
// leading blanks, an optional sign, then decimal digits up to the first other
// character (0 when there are none); overflow wraps in 32 bits.
inline int ParseDecimal(const char* text) {
  if (!text) return 0;
  while (*text == ' ' || *text == '\t' || *text == '\n' || *text == '\v' || *text == '\f' || *text == '\r') {
    ++text;
  }
  bool negative = false;
  if (*text == '+' || *text == '-') {
    negative = *text == '-';
    ++text;
  }
  uint32_t value = 0;
  while (*text >= '0' && *text <= '9') {
    value = value * 10u + static_cast<uint32_t>(*text - '0');
    ++text;
  }
  if (negative) value = 0u - value;
  return static_cast<int>(value);
}

// The galleries' percentage: seen * 100 / total with integer division
// (total at least 1), but at least 1 as soon as anything is seen.
inline int SeenPercent(int64_t seen, int64_t total) {
  if (total < 1) total = 1;
  const int64_t percent = seen * 100 / total;
  return seen > 0 && percent == 0 ? 1 : static_cast<int>(percent);
}

}  // namespace savedata
