#include "game/soundpart.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <string>
#include <string_view>

#include "game/gamelists.h"
#include "game/gameparts.h"
#include "game/modeflowpart.h"
#include "game/settingkeys.h"
#include "game/variablepart.h"
#include "modebase/moderoles.h"
#include "platform/codec.h"
#include "platform/system.h"
#include "platform/types.h"
#include "savedata/systemfile.h"
#include "setup/namelist.h"
#include "sound/bgmplayer.h"
#include "sound/directsound.h"
#include "sound/mixer.h"
#include "sound/movieplayer.h"
#include "sound/seplayer.h"
#include "sound/soundbuffer.h"
#include "sound/voiceplayer.h"
#include "sound/wavebuffer.h"
#include "savedata/gamestatus.h"

namespace {

constexpr int kVoiceOffWords = 32;
constexpr int kVoiceOffCharas = kVoiceOffWords * 32;
constexpr int kSoundVolumeModeOffset = 88;
constexpr int kCharaVolumeFirst = 500;
constexpr int kCharaVolumeCount = 72;
constexpr int kNoDelta = -9999;
// The pause after the music stops and after the players go, so fades and
// streams come to rest (virtual time in headless runs).
constexpr uint32_t kSoundPauseMs = 300;

using Key = IntKey<CSoundPart::Settings>;
using S = CSoundPart::Settings;

// The sound keys, in their reading order.
const Key kSoundKeys[] = {
    {"directXVolumeFlag", &S::directXVolumeFlag},
    {"directXVolume", &S::directXVolume},
    {"loadVoiceErrorPrintFlag", &S::loadVoiceErrorPrintFlag},
    {"loadSeErrorPrintFlag", &S::loadSeErrorPrintFlag},
    {"charaVoiceVolumeDelta", &S::charaVoiceVolumeDelta},
    {"mustSetVoiceFlag", &S::mustSetVoiceFlag},
    {"mustSetMusicFlag", &S::mustSetMusicFlag},
    {"enableButtonVoiceCharaVolume", &S::enableButtonVoiceCharaVolume},
    {"seVoiceDontStopFlag", &S::seVoiceDontStopFlag},
    {"skipToScriptVoiceStopFlag", &S::skipToScriptVoiceStopFlag},
    {"defaultMusicFadeInTime", &S::defaultMusicFadeInTime},
    {"defaultMusicFadeOutTime", &S::defaultMusicFadeOutTime},
    {"soundChannel", &S::soundChannel},
    {"samplingRate", &S::samplingRate},
    {"samplingBit", &S::samplingBit},
    {"primaryFormatSetFlag", &S::primaryFormatSetFlag},
    {"sound3DFlag", &S::sound3DFlag},
    {"allMusicSetFlag", &S::allMusicSetFlag},
};

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

int CSoundPart::VolumeFor(int offset, int setting) {
  return offset == kQuietOffset ? 1 : Level(static_cast<long long>(offset) + setting);
}

CSoundPart::CSoundPart(const Links& links) : links_(links) { std::fill(std::begin(seInBuffer_), std::end(seInBuffer_), -1); }

CSoundPart::~CSoundPart() = default;

void CSoundPart::ReadSettings() {
  ReadIntKeys(links_.list, &settings_, kSoundKeys);
  // Without the system-sound list nothing is preloaded unless the list
  // says so.
  if (links_.lists->GetSettings().noSystemSeFlag) settings_.systemSoundLoadNumber = 0;
  ReadInt(links_.list, &settings_.systemSoundLoadNumber, "systemSoundLoadNumber");
}

void CSoundPart::Init() {
  const Settings& s = settings_;
  soundDevice_ = std::make_unique<CDirectSound>(links_.window);
  mixer_ = std::make_unique<CMixer>();
  // The movie player, with the movie cursor option the window's cursor
  // follows, told at once that the display mode changed.
  const int movieCursor =
      links_.systemFile ? links_.systemFile->GetSystemData(CCommonSystemFile::kMovieCursorOffset) : 0;
  moviePlayer_ = std::make_unique<CMoviePlayer>(links_.window, CMoviePlayer::kNotifyMessage, movieCursor);
  moviePlayer_->DisplayModeChanged();
  if (s.primaryFormatSetFlag) soundDevice_->SetPrimaryFormat(s.soundChannel, s.samplingRate, s.samplingBit);
  soundDevice_->SetSound3DFlag(s.sound3DFlag);
  soundDevice_->Create(s.primaryFormatSetFlag);
  bgmPlayer_ = std::make_unique<CBgmPlayer>(soundDevice_.get());
  bgmPlayer_->SetDefaultFadeTimes(s.defaultMusicFadeInTime, s.defaultMusicFadeOutTime);
  for (auto& b : systemSoundBuffer_) b = std::make_unique<CSoundBuffer>(soundDevice_->GetDirectSound(), 0);
  int voiceExpand[4] = {}, seExpand[8] = {};
  for (int i = 0; i < 4; ++i) ReadInt(links_.list, &voiceExpand[i], NumberedKey("scriptVoiceExpand%d", i + 1).c_str());
  for (int i = 0; i < 8; ++i) ReadInt(links_.list, &seExpand[i], NumberedKey("scriptSoundExpand%d", i + 1).c_str());
  voicePlayer_ = std::make_unique<CVoicePlayer>(soundDevice_.get(), voiceExpand);
  sePlayer_ = std::make_unique<CSePlayer>(soundDevice_.get(), seExpand);
  systemSoundLoader_ = std::make_unique<CWaveBuffer>();
  // Only the sounds the list names: a number past its end loads nothing.
  const CNameList* list = links_.lists->GetSystemSeList();
  const int listed = list ? (list->GetCount() + 1) / 2 : 0;
  const int count = std::clamp(s.systemSoundLoadNumber, 0, listed);
  for (int i = 0; i < count; ++i) {
    auto wave = std::make_unique<CWaveBuffer>();
    wave->LoadFile("sys", list->GetName(2 * i));
    systemSounds_.push_back(std::move(wave));
  }
  if (s.directXVolumeFlag) mixer_->SetWaveVolume(s.directXVolume, 0);
}

void CSoundPart::Shutdown() {
  if (sePlayer_) {
    StopBgm(-1);
    platform::Sleep(kSoundPauseMs);
  }
  voicePlayer_.reset();
  sePlayer_.reset();
  for (auto& b : systemSoundBuffer_) b.reset();
  bgmPlayer_.reset();
  systemSoundLoader_.reset();
  platform::Sleep(kSoundPauseMs);
}

// --- Voices ---

int CSoundPart::GetVoiceChara(const char* name) const {
  const CNameList* charas = links_.lists->GetCharaNameList();
  if (!name || !*name || !charas) return -1;
  const std::string_view prefix(name, CharsPrefix(name, 2));
  const int pairs = charas->GetCount() / 2;
  for (int p = 1; p < pairs; ++p) {
    const char* key = charas->GetName(2 * p);
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
int CSoundPart::VoiceEntry(const char* name) const {
  const int chara = GetVoiceChara(name);
  const CConfigScreen* config = links_.modes->GetConfigScreen();
  return chara >= 0 && config ? config->GetVoiceOffButton(chara) - 1 : chara;
}

int CSoundPart::GetCharaVoiceFlag(int chara) {
  // Numbers outside the table have no bit: their voice counts as on.
  CCommonSystemFile* file = links_.systemFile;
  if (!file || chara < 0 || chara >= kVoiceOffCharas) return 1;
  const uint32_t word = static_cast<uint32_t>(file->GetSystemData(VoiceOffOffset(chara)));
  return (word & VoiceOffBit(chara)) ? 0 : 1;
}

void CSoundPart::SetCharaVoiceFlag(int chara, int on) {
  CCommonSystemFile* file = links_.systemFile;
  if (!file || chara < 0 || chara >= kVoiceOffCharas) return;
  uint32_t word = static_cast<uint32_t>(file->GetSystemData(VoiceOffOffset(chara)));
  word = on ? word & ~VoiceOffBit(chara) : word | VoiceOffBit(chara);
  file->SetSystemData(VoiceOffOffset(chara), static_cast<int32_t>(word));
}

int CSoundPart::CheckVoiceOff(const char* fileName) {
  const int entry = VoiceEntry(fileName);
  if (entry < 0) return 0;
  return GetCharaVoiceFlag(entry) == 0 ? 1 : 0;
}

int CSoundPart::GetCharaVoiceVolume(const char* fileName) {
  const int entry = VoiceEntry(fileName);
  if (entry < 0 || entry >= kCharaVolumeCount) return 0;
  // In 64 bits: the factor comes from the settings and may be anything.
  const long long delta = static_cast<long long>(links_.vars->GetSystemSetting(kCharaVolumeFirst + entry)) *
                          settings_.charaVoiceVolumeDelta;
  return static_cast<int>(std::clamp<long long>(delta, INT_MIN, INT_MAX));
}

void CSoundPart::PlayVoice(const char* name) {
  CVariablePart& vars = *links_.vars;
  if (!voicePlayer_ || !name || vars.GetSystemSetting(202) == 0 || CheckVoiceOff(name)) return;
  voicePlayer_->Stop(0, 0, 0);
  CWaveBuffer wave;
  if (!wave.LoadVoicePack(name) && !wave.LoadVoiceFile(name)) {
    CWaveBuffer::ReportMissingVoice(name);
    return;
  }
  voicePlayer_->CreateBuffer(0, wave.GetData(), wave.GetDataSize(), wave.GetChannels(),
                             wave.GetSamplesPerSec(), wave.GetBitsPerSample());
  voiceInBuffer_[0] = name;
  voicePlayer_->SetVolume(0, Level(static_cast<long long>(vars.GetSystemSetting(102)) +
                                       GetCharaVoiceVolume(name)),
                          0);
  voicePlayer_->Play(0, 0, 0);
}

void CSoundPart::FadeOutVoice(int time) {
  if (voicePlayer_ && links_.vars->GetSystemSetting(202) != 0) voicePlayer_->Stop(0, 0, time);
}

void CSoundPart::StopAllSound() {
  if (sePlayer_) sePlayer_->StopAll();
  if (voicePlayer_) voicePlayer_->StopAll();
}

int CSoundPart::GetSoundVolumeMode() {
  return links_.systemFile ? links_.systemFile->GetSystemData(kSoundVolumeModeOffset) : 0;
}

int CSoundPart::SetSystemVolume(int id) {
  const int v = links_.vars->GetSystemSetting(id);
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

// --- System sounds: two buffers used in turn ---

CSoundBuffer* CSoundPart::GetSystemSoundBuffer(int i) const {
  return i == 0 || i == 1 ? systemSoundBuffer_[i].get() : nullptr;
}

void CSoundPart::PlayOnSystemBuffer(const CWaveBuffer& wave, int volume) {
  CSoundBuffer* b = systemSoundBuffer_[systemSeToggle_].get();
  if (!b || !wave.GetData() || wave.GetDataSize() <= 0) return;
  if (!b->CreateBuffer(wave.GetData(), wave.GetDataSize(), wave.GetChannels(),
                       wave.GetSamplesPerSec(), wave.GetBitsPerSample()))
    return;
  b->SetVolume(Level(volume));
  b->Play(0);
}

void CSoundPart::PlaySystemSe(int n, int asVoice) {
  CVariablePart& vars = *links_.vars;
  if (vars.GetSystemSetting(asVoice ? 202 : 201) == 0) return;
  if (systemSoundBuffer_[systemSeToggle_]) systemSoundBuffer_[systemSeToggle_]->Stop(0);
  systemSeToggle_ ^= 1;
  if (systemSoundBuffer_[systemSeToggle_]) systemSoundBuffer_[systemSeToggle_]->Stop(0);
  if (n < 0) return;
  const CNameList* list = links_.lists->GetSystemSeList();
  const CWaveBuffer* wave = nullptr;
  const char* name = nullptr;
  if (n < static_cast<int>(systemSounds_.size())) {
    wave = systemSounds_[n].get();
    name = list ? list->GetName(2 * n) : nullptr;
  } else if (list && systemSoundLoader_ && n <= (INT_MAX - 1) / 2) {
    // A number past the list or a file that does not load plays nothing
    // (never the sound loaded before).
    name = list->GetName(2 * n);
    if (name && systemSoundLoader_->LoadFile("sys", name)) wave = systemSoundLoader_.get();
  }
  if (!wave) return;
  long long volume = vars.GetSystemSetting(101);
  if (asVoice) {
    volume = vars.GetSystemSetting(102);
    if (settings_.enableButtonVoiceCharaVolume) volume += GetCharaVoiceVolume(name);
  }
  PlayOnSystemBuffer(*wave, Level(volume));
}

void CSoundPart::PlaySystemSeAlt(int n) { PlaySystemSe(n == 4 ? 2 : n, 0); }

void CSoundPart::PlaySeFile(const char* name, int delta) {
  CVariablePart& vars = *links_.vars;
  if (vars.GetSystemSetting(201) == 0) return;
  systemSeToggle_ ^= 1;
  if (systemSoundBuffer_[systemSeToggle_]) systemSoundBuffer_[systemSeToggle_]->Stop(0);
  if (!systemSoundLoader_ || !systemSoundLoader_->LoadFile("sys", name)) return;
  PlayOnSystemBuffer(*systemSoundLoader_, Level(static_cast<long long>(vars.GetSystemSetting(101)) + delta));
}

void CSoundPart::PlaySystemVoiceFile(const char* name, int, int sameBuffer) {
  CVariablePart& vars = *links_.vars;
  if (vars.GetSystemSetting(202) == 0) return;
  if (!sameBuffer) systemSeToggle_ ^= 1;
  if (systemSoundBuffer_[systemSeToggle_]) systemSoundBuffer_[systemSeToggle_]->Stop(0);
  if (!systemSoundLoader_ || !systemSoundLoader_->LoadFile("sys", name)) return;
  PlayOnSystemBuffer(*systemSoundLoader_, vars.GetSystemSetting(102));
}

void CSoundPart::PlayNote(int n) {
  if (n < 0) return;
  static constexpr char kLetters[] = "cdefgab";
  char name[16];
  std::snprintf(name, sizeof name, "o%d%c", n / 7 + 4, kLetters[n % 7]);
  PlaySeFile(name, 0);
}

// --- The script's voices and sound effects ---

int CSoundPart::LoadAndStartVoice(int ch, const char* name) {
  if (!voicePlayer_ || !name || !*name) return 0;
  voicePlayer_->Stop(ch, 0, 0);
  CWaveBuffer wave;
  if (!wave.LoadVoicePack(name) && !wave.LoadVoiceFile(name)) {
    if (settings_.loadVoiceErrorPrintFlag == 1)
      platform::MessageBox(nullptr, name, "Error LoadVoice", MB_OK);
    else if (settings_.loadVoiceErrorPrintFlag == 2)
      platform::DebugPrintf("Err LoadVoice:%s", name);
    CWaveBuffer::ReportMissingVoice(name);
    return 0;
  }
  voiceWaitTime_ = wave.GetLength();
  voicePlayer_->CreateBuffer(ch, wave.GetData(), wave.GetDataSize(), wave.GetChannels(),
                             wave.GetSamplesPerSec(), wave.GetBitsPerSample());
  if (ch >= 0 && ch < CVoicePlayer::kChannels) voiceInBuffer_[ch] = name;
  CVariablePart& vars = *links_.vars;
  if (vars.GetSystemSetting(ch <= 1 ? 202 : 204) == 0) return 1;
  if (CheckVoiceOff(name)) return 1;
  const int volume = VolumeFor(voicePlayer_->GetParam(ch, SoundChannelRecord::kVolume),
                               vars.GetSystemSetting(ch <= 1 ? 102 : 104));
  voicePlayer_->SetVolume(ch, volume, 0);
  voicePlayer_->Play(ch, voicePlayer_->GetLoopFlag(ch), script_.voiceFadeTime);
  return 1;
}

void CSoundPart::StartSoundEffect(int ch, int number) {
  // A number past the list is a missing sound: nothing plays.
  const CNameList* list = links_.lists->GetSeList();
  const char* name = list && number >= 0 && number <= (INT_MAX - 1) / 2 ? list->GetName(2 * number) : nullptr;
  CVariablePart& vars = *links_.vars;
  if (!name || !sePlayer_ || vars.GetSystemSetting(201) == 0) return;
  CWaveBuffer wave;
  if (!wave.LoadFile("se", name)) {
    // A damaged file has had its line from the loader; a missing one gets
    // it here.
    if (wave.GetProblem().empty())
      platform::ErrorOutput((std::string("sound effect ") + std::to_string(number) + " \"" + name +
                             "\" could not be loaded (looked in vaw\\se\\" + name + ".vaw); nothing plays")
                                .c_str());
    return;
  }
  sePlayer_->CreateBuffer(ch, wave.GetData(), wave.GetDataSize(), wave.GetChannels(),
                          wave.GetSamplesPerSec(), wave.GetBitsPerSample());
  if (ch >= 0 && ch < CSePlayer::kChannels) seInBuffer_[ch] = number;
  sePlayer_->SetVolume(ch, VolumeFor(sePlayer_->GetParam(ch, SoundChannelRecord::kVolume), vars.GetSystemSetting(101)), 0);
  sePlayer_->Play(ch, sePlayer_->GetLoopFlag(ch), script_.seFadeTime);
}

namespace {

// Whether the channel's buffer is still looping a sound.
bool StillLooping(const CSoundChannelPlayer& player, int ch) {
  const CSoundBuffer* b = player.GetBuffer(ch);
  const platform::SoundBuffer* buffer = b ? b->GetBuffer() : nullptr;
  return buffer && buffer->IsPlaying() && buffer->IsLooping();
}

// Whether the record of channel ch asks for a looped sound.
bool WantsLoop(const CSoundChannelPlayer& player, int ch) {
  return player.IsPlaying(ch) && player.GetLoopFlag(ch);
}

}  // namespace

void CSoundPart::PlayPendingSounds() {
  // A channel whose record asks for a looped sound starts it, unless the
  // channel still loops that very sound: it goes on undisturbed.
  if (sePlayer_)
    for (int ch = 0; ch < CSePlayer::kChannels; ++ch) {
      if (!WantsLoop(*sePlayer_, ch)) continue;
      const int number = sePlayer_->GetParam(ch, SoundChannelRecord::kNumber);
      if (StillLooping(*sePlayer_, ch) && seInBuffer_[ch] == number) continue;
      StartSoundEffect(ch, number);
    }
  if (voicePlayer_)
    for (int ch = 0; ch < CVoicePlayer::kChannels; ++ch) {
      if (!WantsLoop(*voicePlayer_, ch)) continue;
      if (StillLooping(*voicePlayer_, ch) && voiceInBuffer_[ch] == script_.voiceNames[ch]) continue;
      LoadAndStartVoice(ch, script_.voiceNames[ch]);
    }
}

void CSoundPart::ClearLoopFlags() {
  for (int ch = 0; ch < CSePlayer::kChannels; ++ch)
    if (sePlayer_) sePlayer_->SetLoopFlag(ch, 0);
  for (int ch = 0; ch < CVoicePlayer::kChannels; ++ch)
    if (voicePlayer_) voicePlayer_->SetLoopFlag(ch, 0);
}

// --- Music ---

int CSoundPart::GetBgmCount() const { return links_.lists->GetBgmCount(); }

const char* CSoundPart::GetBgmFileName(int n) const { return links_.lists->GetBgmFileName(n); }

const char* CSoundPart::GetBgmTitle(int n) const { return links_.lists->GetBgmTitle(n); }

int CSoundPart::SearchBgmName(const char* name) const { return links_.lists->SearchBgmName(name); }

const char* CSoundPart::GetMovieListName(int n) const { return links_.lists->GetMovieListName(n); }

int CSoundPart::GetMusicFlag(int n) const {
  return links_.systemFile ? links_.systemFile->GetMusicFlag(n) : 0;
}

void CSoundPart::SetListenBgmState(int type, int number) { links_.vars->SetListenBgmState(type, number); }

void CSoundPart::PlayBgm(const char* name, int loopCount, int delta, int fadeIn, int fadeOut) {
  long long volume = links_.vars->GetSystemSetting(100);
  if (delta != kNoDelta) volume = std::clamp<long long>(volume + delta, 1, 100);
  if (bgmPlayer_ && name) bgmPlayer_->Play(name, loopCount, Level(volume), fadeIn, fadeOut);
}

// Both music number words follow every request, also when nothing can play.
void CSoundPart::PlayBgmNumber(int n, int loopCount, int delta, int fadeIn, int fadeOut) {
  if (settings_.allMusicSetFlag && links_.systemFile) links_.systemFile->AddMusicCount(n);
  const char* name = GetBgmFileName(n);
  if (name && links_.vars->GetSystemSetting(200) != 0) PlayBgm(name, loopCount, delta, fadeIn, fadeOut);
  currentBgm_ = lastBgm_ = n;
}

void CSoundPart::StopBgm(int fadeOut) {
  if (bgmPlayer_) bgmPlayer_->Stop(fadeOut);
  currentBgm_ = lastBgm_ = -1;
}

void CSoundPart::ApplyMusicVolume(int value) {
  if (bgmPlayer_) bgmPlayer_->SetVolume(std::clamp(value, 0, 100));
}

void CSoundPart::ApplyMusicSwitch(int value) {
  if (value == 0) {
    // The remembered track survives the stop, so switching music on
    // again plays it.
    const int remembered = lastBgm_;
    StopBgm(-1);
    lastBgm_ = remembered;
  } else if (lastBgm_ != -1) {
    PlayBgmNumber(lastBgm_, bgmLoop_, -9999, -1, -1);
  }
}

// --- Movies ---

int CSoundPart::CheckMovieCodec() {
  // Asked once. Without the movie mode, the movie player or with movies
  // off the answer is 0; otherwise the movie mode's own codec test answers.
  if (codecCheck_ == -1) {
    CMoviePlayback* movieMode = links_.modes->GetMoviePlayback();
    codecCheck_ = movieMode && moviePlayer_ && !movieOff_ ? movieMode->CheckCodec() : 0;
    // The player names a file it could not use; these say why no file was
    // tried.
    if (!movieMode)
      platform::ErrorOutput(
          "movie check: the game has no movie mode (see \"printmovieIsDefault\" in "
          "init\\game.xtx)");
    else if (!moviePlayer_)
      platform::ErrorOutput("movie check: the game has no movie player");
  }
  return codecCheck_;
}

// --- Its share of the saved game ---

void CSoundPart::PutStatus(uint8_t* status) {
  namespace gs = gamestatus;
  gs::Set(status, gs::kMusic, GetBgmNumber());
  gs::Set(status, gs::kMusicLoop, script_.bgmLoopCount);
  const CSePlayer* se = GetSePlayer();
  const CVoicePlayer* voice = GetVoicePlayer();
  for (int ch = 0; ch < gs::kSoundChannels; ++ch)
    for (int i = 0; i < gs::kSoundParams; ++i) {
      gs::Set(status, gs::kSeParams + gs::kSoundParams * ch + i, se ? se->GetParam(ch, i) : 0);
      gs::Set(status, gs::kVoiceParams + gs::kSoundParams * ch + i, voice ? voice->GetParam(ch, i) : 0);
    }
  static_assert(sizeof script_.voiceNames == gs::kSoundChannels * gs::kVoiceNameSize);
  std::memcpy(status + gs::kVoiceNamesOffset, script_.voiceNames, sizeof script_.voiceNames);
}

void CSoundPart::GetStatus(const uint8_t* status) {
  namespace gs = gamestatus;
  CSePlayer* se = GetSePlayer();
  CVoicePlayer* voice = GetVoicePlayer();
  for (int ch = 0; ch < gs::kSoundChannels; ++ch)
    for (int i = 0; i < gs::kSoundParams; ++i) {
      if (se) se->SetParam(ch, i, gs::Get(status, gs::kSeParams + gs::kSoundParams * ch + i));
      if (voice) voice->SetParam(ch, i, gs::Get(status, gs::kVoiceParams + gs::kSoundParams * ch + i));
    }
  for (int v = 0; v < gs::kSoundChannels; ++v) {
    const std::string name = gs::GetText(status + gs::kVoiceNamesOffset + gs::kVoiceNameSize * v, gs::kVoiceNameSize);
    std::memset(script_.voiceNames[v], 0, sizeof script_.voiceNames[v]);
    std::memcpy(script_.voiceNames[v], name.data(), name.size());
  }
  const int music = gs::Get(status, gs::kMusic);
  script_.bgmLoopCount = gs::Get(status, gs::kMusicLoop);
  if (music == -1)
    StopBgm(-1);
  else
    PlayBgmNumber(music, script_.bgmLoopCount, -9999, -1, -1);
}
