#include "sound/seplayer.h"

namespace {
bool SeIs3D(int channel) { return channel >= 4; }
}  // namespace

CSePlayer::CSePlayer(CDirectSound* directSound, const int* expand)
    : CSoundChannelPlayer(directSound, kChannels, expand, &SeIs3D) {}

void CSePlayer::SetParams(int channel, int soundNumber, int count, const int* params) {
  FillRecord(channel, soundNumber, params && count > 2 ? params[2] : 0, count, params);
}
