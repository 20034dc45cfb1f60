#include "message/textdebuglist.h"

#include <cstring>

int CTextDebugList::Add(uint32_t colour, int x, int y, const char* text, int length) {
  if (!text || length < 0 || GetCount() >= kMaxEntries) return 0;
  const size_t bytes = strnlen(text, static_cast<size_t>(length));
  entries_.push_back({colour & 0xFFFFFFu, x, y, std::string(text, bytes)});
  return 1;
}
