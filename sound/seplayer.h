// Script sound effects on 8 channels; channels 4..7 have 3-D control.
#pragma once

#include "sound/soundchannel.h"

class CSePlayer : public CSoundChannelPlayer {
 public:
  static constexpr int kChannels = 8;
  // expand: the game's "scriptSoundExpand1".."8" values (may be null).
  explicit CSePlayer(CDirectSound* directSound, const int* expand = nullptr);
  // Word 2 := params[2], as given.
  void SetParams(int channel, int soundNumber, int count, const int* params);
};
