#include "game/playernames.h"

#include <cstring>

#include "setup/text.h"

namespace playernames {
namespace {

// "《◆姓》" and "《◆名》" in CP932.
constexpr char kFamilyPlaceholder[] = "\x81\x73\x81\x9F\x90\xA9\x81\x74";
constexpr char kGivenPlaceholder[] = "\x81\x73\x81\x9F\x96\xBC\x81\x74";

char family[kNameSize] = "\x81\x73\x81\x9F\x90\xA9\x81\x74";
char given[kNameSize] = "\x81\x73\x81\x9F\x96\xBC\x81\x74";

void Copy(char (&buffer)[kNameSize], const char* text) {
  if (!text) return;
  const size_t n = setup::FitWholeCharacters(text, kNameSize - 1);
  // The text may be the buffer itself.
  std::memmove(buffer, text, n);
  std::memset(buffer + n, 0, kNameSize - n);
}

}  // namespace

const char* GetFamilyName() { return family; }
const char* GetGivenName() { return given; }
void SetFamilyName(const char* text) { Copy(family, text); }
void SetGivenName(const char* text) { Copy(given, text); }
const char* FamilyPlaceholder() { return kFamilyPlaceholder; }
const char* GivenPlaceholder() { return kGivenPlaceholder; }

void Reset() {
  Copy(family, kFamilyPlaceholder);
  Copy(given, kGivenPlaceholder);
}

}  // namespace playernames
