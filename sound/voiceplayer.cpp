#include "sound/voiceplayer.h"

namespace {
bool VoiceIs3D(int channel) { return channel == 1 || channel == 3; }
}  // namespace

CVoicePlayer::CVoicePlayer(CDirectSound* directSound, const int* expand)
    : CSoundChannelPlayer(directSound, kChannels, expand, &VoiceIs3D) {}

void CVoicePlayer::SetParams(int channel, int soundNumber, int volumeOffset, int count,
                             const int* params) {
  const long long base = params && count > 2 ? params[2] : 0;
  long long volume = volumeOffset + base;
  if (volume < -100) volume = -100;
  if (volume > 100) volume = 100;
  FillRecord(channel, soundNumber, static_cast<int>(volume), count, params);
}
