// CGameCallBack: system sounds, voices, music and the sound device.
//
// Options read here: 100 music volume, 101 sound-effect volume, 102 voice
// volume, 200 music on, 201 sound effects on, 202 voices on. Every volume
// handed to a buffer is held to 0..100.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <string_view>

#include "game/gamecallback.h"
#include "platform/codec.h"
#include "savedata/systemfile.h"
#include "setup/namelist.h"
#include "sound/bgmplayer.h"
#include "sound/directsound.h"
#include "sound/mixer.h"
#include "sound/seplayer.h"
#include "sound/soundbuffer.h"
#include "sound/voiceplayer.h"
#include "sound/wavebuffer.h"

namespace {

constexpr int kVoiceOffWords = 32;
constexpr int kVoiceOffCharas = kVoiceOffWords * 32;
constexpr int kSoundVolumeModeOffset = 88;
constexpr int kCharaVolumeFirst = 500;
constexpr int kCharaVolumeCount = 72;
constexpr int kNoDelta = -9999;

int Level(long long v) { return static_cast<int>(std::clamp<long long>(v, 0, 100)); }

// The bytes of the first `count` characters of text (a double-byte
// character counts once).
size_t CharsPrefix(const char* text, int count) {
  size_t i = 0;
  for (int c = 0; c < count && text[i]; ++c) {
    if (platform::IsCp932LeadByte(static_cast<unsigned char>(text[i])) && text[i + 1]) ++i;
    ++i;
  }
  return i;
}

// The system-data word and bit of character n's voice-off flag.
int VoiceOffOffset(int n) { return CCommonSystemFile::kVoiceOffOffset + 4 * (n % kVoiceOffWords); }
uint32_t VoiceOffBit(int n) { return 1u << (n / kVoiceOffWords); }

}  // namespace

// --- Voices ---

int CGameCallBack::GetVoiceChara(const char* name) const {
  if (!name || !*name || !charaNameList_) return -1;
  const std::string_view prefix(name, CharsPrefix(name, 2));
  const int pairs = charaNameList_->GetCount() / 2;
  for (int p = 1; p < pairs; ++p) {
    const char* key = charaNameList_->GetName(2 * p);
    if (!key || !*key) continue;
    if (platform::EqualNoCase(prefix, std::string_view(key, CharsPrefix(key, 2)))) return p;
  }
  return -1;
}

// The switch and volume entry of the voice's character. With the
// configuration screen it is the index of the voice button that governs
// the character (the screen answers 1-based button numbers; its button i
// keeps switch i and volume 500 + i); without it each character is its own
// entry.
int CGameCallBack::VoiceEntry(const char* name) const {
  const int chara = GetVoiceChara(name);
  const CConfigScreen* config = GetConfigScreen();
  return chara >= 0 && config ? config->GetVoiceOffButton(chara) - 1 : chara;
}

int CGameCallBack::GetCharaVoiceFlag(int chara) {
  // Numbers outside the table have no bit: their voice counts as on.
  if (!systemFile_ || chara < 0 || chara >= kVoiceOffCharas) return 1;
  const uint32_t word = static_cast<uint32_t>(systemFile_->GetSystemData(VoiceOffOffset(chara)));
  return (word & VoiceOffBit(chara)) ? 0 : 1;
}

void CGameCallBack::SetCharaVoiceFlag(int chara, int on) {
  if (!systemFile_ || chara < 0 || chara >= kVoiceOffCharas) return;
  uint32_t word = static_cast<uint32_t>(systemFile_->GetSystemData(VoiceOffOffset(chara)));
  word = on ? word & ~VoiceOffBit(chara) : word | VoiceOffBit(chara);
  systemFile_->SetSystemData(VoiceOffOffset(chara), static_cast<int32_t>(word));
}

int CGameCallBack::CheckVoiceOff(const char* fileName) {
  const int entry = VoiceEntry(fileName);
  if (entry < 0) return 0;
  return GetCharaVoiceFlag(entry) == 0 ? 1 : 0;
}

int CGameCallBack::GetCharaVoiceVolume(const char* fileName) {
  const int entry = VoiceEntry(fileName);
  if (entry < 0 || entry >= kCharaVolumeCount) return 0;
  // In 64 bits: the factor comes from the settings and may be anything.
  const long long delta =
      static_cast<long long>(GetSystemSetting(kCharaVolumeFirst + entry)) * settings_.charaVoiceVolumeDelta;
  return static_cast<int>(std::clamp<long long>(delta, INT_MIN, INT_MAX));
}

void CGameCallBack::PlayVoice(const char* name) {
  if (!voicePlayer_ || !name || GetSystemSetting(202) == 0 || CheckVoiceOff(name)) return;
  voicePlayer_->Stop(0, 0, 0);
  CWaveBuffer wave;
  if (!wave.LoadVoicePack(name) && !wave.LoadVoiceFile(name)) {
    CWaveBuffer::ReportMissingVoice(name);
    return;
  }
  voicePlayer_->CreateBuffer(0, wave.GetData(), wave.GetDataSize(), wave.GetChannels(),
                             wave.GetSamplesPerSec(), wave.GetBitsPerSample());
  voicePlayer_->SetVolume(0, Level(static_cast<long long>(GetSystemSetting(102)) +
                                       GetCharaVoiceVolume(name)),
                          0);
  voicePlayer_->Play(0, 0, 0);
}

void CGameCallBack::FadeOutVoice(int time) {
  if (voicePlayer_ && GetSystemSetting(202) != 0) voicePlayer_->Stop(0, 0, time);
}

void CGameCallBack::StopAllSound() {
  if (sePlayer_) sePlayer_->StopAll();
  if (voicePlayer_) voicePlayer_->StopAll();
}

int CGameCallBack::GetSoundVolumeMode() {
  return systemFile_ ? systemFile_->GetSystemData(kSoundVolumeModeOffset) : 0;
}

CDirectSound* CGameCallBack::GetSoundDevice() { return soundDevice_; }

CMoviePlayer* CGameCallBack::GetMoviePlayer() { return moviePlayer_; }

// --- System sounds: two buffers used in turn ---

CSoundBuffer* CGameCallBack::GetSystemSoundBuffer(int i) const {
  return i == 0 || i == 1 ? systemSoundBuffer_[i] : nullptr;
}

void CGameCallBack::PlayOnSystemBuffer(const CWaveBuffer& wave, int volume) {
  CSoundBuffer* b = systemSoundBuffer_[systemSeToggle_];
  if (!b || !wave.GetData() || wave.GetDataSize() <= 0) return;
  if (!b->CreateBuffer(wave.GetData(), wave.GetDataSize(), wave.GetChannels(),
                       wave.GetSamplesPerSec(), wave.GetBitsPerSample()))
    return;
  b->SetVolume(Level(volume));
  b->Play(0);
}

void CGameCallBack::PlaySystemSe(int n, int asVoice) {
  if (GetSystemSetting(asVoice ? 202 : 201) == 0) return;
  if (systemSoundBuffer_[systemSeToggle_]) systemSoundBuffer_[systemSeToggle_]->Stop(0);
  systemSeToggle_ ^= 1;
  if (systemSoundBuffer_[systemSeToggle_]) systemSoundBuffer_[systemSeToggle_]->Stop(0);
  if (n < 0) return;
  const CWaveBuffer* wave = nullptr;
  const char* name = nullptr;
  if (n < static_cast<int>(systemSounds_.size())) {
    wave = systemSounds_[n];
    name = systemSeList_ ? systemSeList_->GetName(2 * n) : nullptr;
  } else if (systemSeList_ && systemSoundLoader_ && n <= (INT_MAX - 1) / 2) {
    // A number past the list or a file that does not load plays nothing
    // (never the sound loaded before).
    name = systemSeList_->GetName(2 * n);
    if (name && systemSoundLoader_->LoadFile("sys", name)) wave = systemSoundLoader_;
  }
  if (!wave) return;
  long long volume = GetSystemSetting(101);
  if (asVoice) {
    volume = GetSystemSetting(102);
    if (settings_.enableButtonVoiceCharaVolume) volume += GetCharaVoiceVolume(name);
  }
  PlayOnSystemBuffer(*wave, Level(volume));
}

void CGameCallBack::PlaySystemSeAlt(int n) { PlaySystemSe(n == 4 ? 2 : n, 0); }

void CGameCallBack::PlaySeFile(const char* name, int delta) {
  if (GetSystemSetting(201) == 0) return;
  systemSeToggle_ ^= 1;
  if (systemSoundBuffer_[systemSeToggle_]) systemSoundBuffer_[systemSeToggle_]->Stop(0);
  if (!systemSoundLoader_ || !systemSoundLoader_->LoadFile("sys", name)) return;
  PlayOnSystemBuffer(*systemSoundLoader_,
                     Level(static_cast<long long>(GetSystemSetting(101)) + delta));
}

void CGameCallBack::PlaySystemVoiceFile(const char* name, int, int sameBuffer) {
  if (GetSystemSetting(202) == 0) return;
  if (!sameBuffer) systemSeToggle_ ^= 1;
  if (systemSoundBuffer_[systemSeToggle_]) systemSoundBuffer_[systemSeToggle_]->Stop(0);
  if (!systemSoundLoader_ || !systemSoundLoader_->LoadFile("sys", name)) return;
  PlayOnSystemBuffer(*systemSoundLoader_, GetSystemSetting(102));
}

void CGameCallBack::PlayNote(int n) {
  if (n < 0) return;
  static constexpr char kLetters[] = "cdefgab";
  char name[16];
  std::snprintf(name, sizeof name, "o%d%c", n / 7 + 4, kLetters[n % 7]);
  PlaySeFile(name, 0);
}

int CGameCallBack::SetSystemVolume(int id) {
  const int v = GetSystemSetting(id);
  if (v == 0) return 0;
  if (id != 102 || v == lastVoiceVolume_) return 1;
  // The in-program system wave volume; the desktop's mixer is not touched.
  if (GetSoundVolumeMode() != 0) {
    if (soundDevice_) soundDevice_->SetVolume(Level(v));
  } else if (mixer_) {
    mixer_->SetWaveVolume(Level(v), 0);
  }
  lastVoiceVolume_ = v;
  return 1;
}

// --- Music ---

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

int CGameCallBack::SearchBgmName(const char* name) const {
  if (!bgmList_ || !name) return -1;
  const int pairs = bgmList_->GetCount() / 2;
  for (int p = 0; p < pairs; ++p) {
    const char* key = bgmList_->GetName(2 * p);
    if (key && platform::EqualNoCase(key, name)) return p;
  }
  return -1;
}

int CGameCallBack::GetMusicFlag(int n) const { return systemFile_ ? systemFile_->GetMusicFlag(n) : 0; }

void CGameCallBack::PlayBgm(const char* name, int loopCount, int delta, int fadeIn, int fadeOut) {
  long long volume = GetSystemSetting(100);
  if (delta != kNoDelta) volume = std::clamp<long long>(volume + delta, 1, 100);
  if (bgmPlayer_ && name) bgmPlayer_->Play(name, loopCount, Level(volume), fadeIn, fadeOut);
}

// Both music number words follow every request, also when nothing can play.
void CGameCallBack::PlayBgmNumber(int n, int loopCount, int delta, int fadeIn, int fadeOut) {
  if (settings_.allMusicSetFlag && systemFile_) systemFile_->AddMusicCount(n);
  const char* name = GetBgmFileName(n);
  if (name && GetSystemSetting(200) != 0) PlayBgm(name, loopCount, delta, fadeIn, fadeOut);
  currentBgm_ = lastBgm_ = n;
}

void CGameCallBack::StopBgm(int fadeOut) {
  if (bgmPlayer_) bgmPlayer_->Stop(fadeOut);
  currentBgm_ = lastBgm_ = -1;
}

CBgmPlayer* CGameCallBack::GetBgmPlayer() { return bgmPlayer_; }
