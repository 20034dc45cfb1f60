// CGameCallBack: system sounds, voices, music and the sound device.
#include "game/gamecallback.h"

#include <climits>

#include "setup/namelist.h"

int CGameCallBack::GetCharaVoiceFlag(int) { return 1; }

void CGameCallBack::SetCharaVoiceFlag(int, int) {}

void CGameCallBack::PlayVoice(const char*) {}

void CGameCallBack::PlaySystemSeAlt(int n) { PlaySystemSe(n == 4 ? 2 : n, 0); }

int CGameCallBack::GetSoundVolumeMode() { return 0; }

CDirectSound* CGameCallBack::GetSoundDevice() { return soundDevice_; }

CMoviePlayer* CGameCallBack::GetMoviePlayer() { return moviePlayer_; }

void CGameCallBack::PlaySystemSe(int, int) {}

void CGameCallBack::PlaySeFile(const char*, int) {}

int CGameCallBack::GetBgmCount() { return bgmList_ ? bgmList_->GetCount() / 2 : 0; }

// Token indexes beyond the list give NULL from the list itself.
const char* CGameCallBack::GetBgmFileName(int n) {
  if (!bgmList_ || n < 0 || n > (INT_MAX - 1) / 2) return nullptr;
  return bgmList_->GetName(2 * n);
}

const char* CGameCallBack::GetBgmTitle(int n) {
  if (!bgmList_ || n < 0 || n > (INT_MAX - 1) / 2) return nullptr;
  return bgmList_->GetName(2 * n + 1);
}

void CGameCallBack::PlaySystemVoiceFile(const char*, int, int) {}

int CGameCallBack::SetSystemVolume(int) { return 0; }

int CGameCallBack::CheckVoiceOff(const char*) { return 0; }

int CGameCallBack::GetCharaVoiceVolume(const char*) { return 0; }

void CGameCallBack::PlayNote(int) {}

void CGameCallBack::PlayBgm(const char*, int, int, int, int) {}

// Both music number words follow every request, also when nothing can play.
void CGameCallBack::PlayBgmNumber(int n, int, int, int, int) { currentBgm_ = lastBgm_ = n; }

void CGameCallBack::StopBgm(int) { currentBgm_ = lastBgm_ = -1; }

CBgmPlayer* CGameCallBack::GetBgmPlayer() { return bgmPlayer_; }
