// CSceneVoiceList: the scene gallery's list "mok\\sceneVoice.xtx". A token
// starting with '[' opens the next character section, one starting with '@'
// a scene entry (the rest of it is the scene's picture name); "#n" sets bit
// n (0..31) of the entry's flag word; of the other tokens of an entry the
// first is its voice and the rest are its text lines.
#pragma once

#include <cstdint>
#include <vector>

#include "setup/namelist.h"

class CSceneVoiceList {
 public:
  static constexpr int kMaxSections = 99;
  static constexpr int kMaxEntries = 999;

  // Reads the list; a missing file leaves it empty and not loaded.
  CSceneVoiceList();
  virtual ~CSceneVoiceList();
  CSceneVoiceList(const CSceneVoiceList&) = delete;
  CSceneVoiceList& operator=(const CSceneVoiceList&) = delete;

  int IsLoaded() const { return loaded_; }
  int GetSectionCount() const { return static_cast<int>(sections_.size()); }

  // Character section c, scene s; out of range gives 0 or null.
  int GetSceneCount(int c) const;
  int GetValue(int c) const { return GetSceneCount(c); }
  // Tokens of the entry, its '@' token included.
  int GetEntryLength(int c, int s) const;
  const char* GetScenePictureName(int c, int s) const;
  // The entry's second token unless it starts with '!'.
  const char* GetSceneVoice(int c, int s) const;
  // Token i + 2 of the entry unless it starts with '#'.
  const char* GetSceneText(int c, int s, int i) const;
  uint32_t GetSceneFlags(int c, int s) const;

 private:
  struct Section {
    int first = 0;
    int count = 0;
  };
  struct Entry {
    int token = 0;
    int length = 0;
    uint32_t flags = 0;
  };
  // Entry (c, s) or null.
  const Entry* Find(int c, int s) const;

  CNameList list_;
  std::vector<Section> sections_;
  std::vector<Entry> entries_;
  int loaded_ = 0;
};
