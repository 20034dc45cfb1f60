// Script voices on 4 channels; channels 1 and 3 have 3-D control. The
// player keeps 8 parameter records so both players save the same layout.
#pragma once

#include "sound/soundchannel.h"

class CVoicePlayer : public CSoundChannelPlayer {
 public:
  static constexpr int kChannels = 4;
  // expand: the game's "scriptVoiceExpand1".."4" values (may be null).
  explicit CVoicePlayer(CDirectSound* directSound, const int* expand = nullptr);
  // Word 2 := volumeOffset + params[2], clamped to -100..100.
  void SetParams(int channel, int soundNumber, int volumeOffset, int count, const int* params);
};
