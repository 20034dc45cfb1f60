#include "message/textstate.h"

#include <cstdio>
#include <cstring>

#include "setup/text.h"

namespace {

const char kFamilyPlaceholder[] = "\x81\x73\x81\x9F\x90\xA9\x81\x74";  // 《◆姓》
const char kGivenPlaceholder[] = "\x81\x73\x81\x9F\x96\xBC\x81\x74";   // 《◆名》
const char kExtraName[] = "\x89\xD4\x82\xCC\x96\xBC\x91\x4F";          // 花の名前
const char kReplacePrefix[] = "\x92\x75\x82\xAB\x8A\xB7\x82\xA6";      // 置き換え
const char kEnd[] = "\x8F\x49";                                        // 終

void Fill(CTextState& s) {
  s = CTextState();
  std::memcpy(s.familyName, kFamilyPlaceholder, sizeof kFamilyPlaceholder);
  std::memcpy(s.givenName, kGivenPlaceholder, sizeof kGivenPlaceholder);
  std::memcpy(s.extraName, kExtraName, sizeof kExtraName);
  for (int i = 0; i < CTextState::kReplaceSlots; ++i) {
    // "置き換え" and the full-width digit i.
    std::snprintf(s.replace[i], sizeof s.replace[i], "%s\x82%c", kReplacePrefix, 0x4F + i);
  }
  std::memcpy(s.codeList, kEnd, sizeof kEnd);
}

CTextState& State() {
  static CTextState state = [] {
    CTextState s;
    Fill(s);
    return s;
  }();
  return state;
}

}  // namespace

CTextState& GetTextState() { return State(); }

void ResetTextState() { Fill(State()); }

void SetTextNames(const char* family, const char* given) {
  CTextState& s = State();
  if (family) setup::CopyCp932Cut(s.familyName, family, CTextState::kNameBytes);
  if (given) setup::CopyCp932Cut(s.givenName, given, CTextState::kNameBytes);
}

const char* KeptName(const char* name) {
  if (!name) return "";
  return std::strcmp(name, kFamilyPlaceholder) == 0 || std::strcmp(name, kGivenPlaceholder) == 0 ? "" : name;
}
