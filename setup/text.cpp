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

}  // namespace setup
