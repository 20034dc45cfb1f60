#include "setup/text.h"

#include <cstdint>


namespace setup {

int ParseDecimal(const char* text) {
  if (!text) return 0;
  while (*text == ' ' || *text == '\t' || *text == '\n' || *text == '\v' || *text == '\f' ||
         *text == '\r') {
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

size_t FitWholeCharacters(const char* text, size_t room) {
  if (!text) return 0;
  size_t n = 0;
  while (text[n] != 0) {
    const size_t width =
        platform::IsCp932LeadByte(static_cast<unsigned char>(text[n])) && text[n + 1] != 0 ? 2 : 1;
    if (n + width > room) break;
    n += width;
  }
  return n;
}

}  // namespace setup
