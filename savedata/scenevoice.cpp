#include "savedata/scenevoice.h"

#include "setup/text.h"

namespace {

// "#n" with n a decimal number 0..31; -1 for any other token.
int FlagBit(const char* token) {
  if (token[0] != '#' || token[1] < '0' || token[1] > '9') return -1;
  for (const char* p = token + 1; *p; ++p) {
    if (*p < '0' || *p > '9') return -1;
  }
  const int n = setup::ParseDecimal(token + 1);
  return n >= 0 && n <= 31 ? n : -1;
}

}  // namespace

CSceneVoiceList::CSceneVoiceList() {
  loaded_ = list_.Load("mok\\sceneVoice.xtx", false, true) ? 1 : 0;
  if (!loaded_) return;

  const int count = list_.GetCount();
  int section = -1;  // the section new entries join
  int open = -1;     // the entry the tokens now belong to
  auto close = [&](int end) {
    if (open >= 0)
      entries_[static_cast<size_t>(open)].length = end - entries_[static_cast<size_t>(open)].token;
    open = -1;
  };
  for (int t = 0; t < count; ++t) {
    const char* token = list_.GetName(t);
    if (token[0] == '[') {
      close(t);
      // Entries after a section the tables have no room for belong nowhere.
      section = -1;
      if (static_cast<int>(sections_.size()) < kMaxSections) {
        section = static_cast<int>(sections_.size());
        sections_.push_back({static_cast<int>(entries_.size()), 0});
      }
    } else if (token[0] == '@') {
      close(t);
      if (static_cast<int>(entries_.size()) < kMaxEntries) {
        open = static_cast<int>(entries_.size());
        entries_.push_back({t, 0, 0});
        if (section >= 0) ++sections_[static_cast<size_t>(section)].count;
      }
    } else if (open >= 0) {
      const int bit = FlagBit(token);
      if (bit >= 0) entries_[static_cast<size_t>(open)].flags |= 1u << bit;
    }
  }
  // The last entry runs to the end of the list.
  close(count);
}

CSceneVoiceList::~CSceneVoiceList() = default;

int CSceneVoiceList::GetSceneCount(int c) const {
  if (c < 0 || c >= GetSectionCount()) return 0;
  return sections_[static_cast<size_t>(c)].count;
}

const CSceneVoiceList::Entry* CSceneVoiceList::Find(int c, int s) const {
  if (c < 0 || c >= GetSectionCount()) return nullptr;
  const Section& section = sections_[static_cast<size_t>(c)];
  if (s < 0 || s >= section.count) return nullptr;
  return &entries_[static_cast<size_t>(section.first + s)];
}

int CSceneVoiceList::GetEntryLength(int c, int s) const {
  const Entry* entry = Find(c, s);
  return entry ? entry->length : 0;
}

const char* CSceneVoiceList::GetScenePictureName(int c, int s) const {
  const Entry* entry = Find(c, s);
  return entry ? list_.GetName(entry->token) + 1 : nullptr;
}

const char* CSceneVoiceList::GetSceneVoice(int c, int s) const {
  const Entry* entry = Find(c, s);
  if (!entry || entry->length < 2) return nullptr;
  const char* voice = list_.GetName(entry->token + 1);
  return voice[0] == '!' ? nullptr : voice;
}

const char* CSceneVoiceList::GetSceneText(int c, int s, int i) const {
  const Entry* entry = Find(c, s);
  if (!entry || i < 0 || i >= entry->length - 2) return nullptr;
  const char* text = list_.GetName(entry->token + 2 + i);
  return text[0] == '#' ? nullptr : text;
}

uint32_t CSceneVoiceList::GetSceneFlags(int c, int s) const {
  const Entry* entry = Find(c, s);
  return entry ? entry->flags : 0;
}
