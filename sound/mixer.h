// Volumes of the sound lines: synthesizer, wave output and CD audio, read
// and set as raw 0..65535 or percent, with the levels found at start put
// back at the end. The wave line is the host's in-program "system wave
// volume" (the desktop's mixer is never touched); this host has no
// synthesizer or CD line, so those are not found and left alone.
#pragma once

#include <memory>

#include "platform/audio.h"

class CMixer {
 public:
  enum Line { kSynth = 0, kWave = 1, kCd = 2, kLineCount = 3 };

  CMixer();
  ~CMixer();
  CMixer(const CMixer&) = delete;
  CMixer& operator=(const CMixer&) = delete;

  // Puts back every found line's level as read at construction.
  void Release();
  void RestoreWaveVolume();

  // raw nonzero: 0..65535; raw 0: percent (mean * 100 / 65535).
  int GetSynthVolume(int raw) const { return GetVolume(kSynth, raw); }
  int GetWaveVolume(int raw) const { return GetVolume(kWave, raw); }
  int GetCdVolume(int raw) const { return GetVolume(kCd, raw); }
  // raw nonzero: level as given; raw 0: level * 65535 / 100.
  void SetSynthVolume(int level, int raw) { SetVolume(kSynth, level, raw); }
  void SetWaveVolume(int level, int raw) { SetVolume(kWave, level, raw); }
  void SetCdVolume(int level, int raw) { SetVolume(kCd, level, raw); }

  int IsFound(Line line) const { return found_[line]; }
  int GetSavedLevel(Line line) const { return saved_[line]; }

 private:
  int GetVolume(Line line, int raw) const;
  void SetVolume(Line line, int level, int raw);

  // The host's device, held so the levels can be put back at the end.
  std::shared_ptr<platform::AudioDevice> device_;
  int saved_[kLineCount] = {};
  int found_[kLineCount] = {};
};
