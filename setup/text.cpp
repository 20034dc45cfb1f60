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

void CopyCp932Cut(char* dst, const char* src, int maxBytes) {
  int n = 0;
  const auto* p = reinterpret_cast<const unsigned char*>(src ? src : "");
  while (p[n] != 0 && n < maxBytes) {
    if (platform::IsCp932LeadByte(p[n])) {
      if (p[n + 1] == 0 || n + 2 > maxBytes) break;
      n += 2;
    } else {
      ++n;
    }
  }
  for (int i = 0; i < n; ++i) dst[i] = static_cast<char>(p[i]);
  dst[n] = 0;
}

}  // namespace setup
