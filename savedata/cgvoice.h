// CCGVoiceList: the voice a gallery picture plays, from "spt\\cgVoice.xtx":
// triples of character (from 1), picture (from 1) and voice name. A voice
// covers its picture and the ones after it up to the next listed picture.
#pragma once

#include <unordered_map>

#include "setup/namelist.h"

class CCGVoiceList {
 public:
  // Reads the list; without it (or with fewer than three tokens) no picture
  // has a voice.
  CCGVoiceList();
  virtual ~CCGVoiceList();
  CCGVoiceList(const CCGVoiceList&) = delete;
  CCGVoiceList& operator=(const CCGVoiceList&) = delete;

  // Voice of picture i (from 0) of character c (from 0), or null.
  const char* GetVoice(int c, int i) const;

 private:
  struct Run {
    int first = 0;  // triple index
    int count = 0;
  };

  CNameList list_;
  int triples_ = 0;
  // Per character (as numbered in the file): its run of consecutive triples.
  std::unordered_map<int, Run> runs_;
};
