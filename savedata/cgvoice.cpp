#include "savedata/cgvoice.h"

#include <cstdint>

#include "setup/text.h"

CCGVoiceList::CCGVoiceList() {
  if (!list_.Load("spt\\cgVoice.xtx", false, true)) return;
  triples_ = list_.GetCount() / 3;
  int previous = 0;
  for (int t = 0; t < triples_; ++t) {
    const int chara = setup::ParseDecimal(list_.GetName(3 * t));
    // Characters count from 1; anything else belongs to nobody.
    if (chara < 1) {
      previous = 0;
      continue;
    }
    if (chara == previous) {
      ++runs_[chara].count;
    } else {
      runs_[chara] = {t, 1};  // a later run replaces an earlier one
      previous = chara;
    }
  }
}

CCGVoiceList::~CCGVoiceList() = default;

const char* CCGVoiceList::GetVoice(int c, int i) const {
  if (c < 0 || c == INT32_MAX) return nullptr;
  const auto it = runs_.find(c + 1);
  if (it == runs_.end()) return nullptr;
  for (int t = it->second.first + it->second.count - 1; t >= it->second.first; --t) {
    const int64_t picture = setup::ParseDecimal(list_.GetName(3 * t + 1));
    if (picture - 1 <= i) return list_.GetName(3 * t + 2);
  }
  return nullptr;
}
