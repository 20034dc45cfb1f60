// CGameCallBack: the script commands that load pictures into the effect
// channels and play voices, sound effects and music.
//
// Options read here: 100 music volume, 101 sound-effect volume, 102 voice
// volume (104 for voice channels above 1), 200 music on, 201 sound effects
// on, 202 voices on (204 above channel 1), 2 the skip kind.
#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

#include "effect/alleffect.h"
#include "game/scriptcommands.h"
#include "graphics/picture.h"
#include "graphics/picturepath.h"
#include "platform/system.h"
#include "platform/types.h"
#include "savedata/systemfile.h"
#include "setup/namelist.h"
#include "setup/text.h"
#include "sound/bgmplayer.h"
#include "sound/seplayer.h"
#include "sound/voiceplayer.h"
#include "sound/wavebuffer.h"

namespace {

constexpr int kKindsHeld[] = {2, 3, 5};
// A volume offset of -101 plays at volume 1, the quietest that sounds.
constexpr int kQuietOffset = -101;
constexpr int kVoiceNameBytes = 62;

int Level(long long v) { return static_cast<int>(std::clamp<long long>(v, 0, 100)); }

int VolumeFor(int offset, int setting) {
  return offset == kQuietOffset ? 1 : Level(static_cast<long long>(offset) + setting);
}

}  // namespace

// --- Pictures and effects ---

void ScriptCommandHandlers::GetScreen(CGameCallBack& g, const ScriptArgs&) {
  if (g.fastForward_[CGameCallBack::kReplayRunning]) return;
  g.RestoreFloatingLayers();
  if (g.screenPicture_) g.screenPicture_->GetScreen();
}

void ScriptCommandHandlers::EffectClear(CGameCallBack& g, const ScriptArgs&) {
  if (g.effect_) g.effect_->ResetAll();
  std::fill(std::begin(g.variantVars_), std::end(g.variantVars_), 0);
  if (CStoryMessageMode* pm = g.GetPrintMessage()) pm->ClearFrameFlag(1);
}

void ScriptCommandHandlers::Effect(CGameCallBack& g, const ScriptArgs& a) {
  const int ch = a.Word(0), number = a.Word(1, -1);
  if (!ChannelOk(ch, CGameCallBack::kEffectChannels, "effect")) return;
  if (number != -1) {
    if (g.effect_) g.effect_->StartEffect(ch, number, std::max(a.count - 2, 0), a.words + std::min(a.count, 2));
    return;
  }
  if (g.fastForward_[CGameCallBack::kReplayRunning]) return;
  if (g.effect_) g.effect_->ResetChannel(ch);
  if (CStoryMessageMode* pm = g.GetPrintMessage()) pm->NoticeEffect(ch);
}

void ScriptCommandHandlers::EffectReset(CGameCallBack& g, const ScriptArgs& a) {
  const int ch = a.Word(0);
  if (!ChannelOk(ch, CGameCallBack::kEffectChannels, "effect")) return;
  if (g.effect_) g.effect_->ResetChannel(ch);
  if (CStoryMessageMode* pm = g.GetPrintMessage()) pm->NoticeEffect(ch);
}

void ScriptCommandHandlers::EffectRect(CGameCallBack& g, const ScriptArgs& a) {
  const int ch = a.Word(0);
  if (!ChannelOk(ch, CGameCallBack::kEffectChannels, "effect")) return;
  if ((g.holdFlags_[ch] & 2) || !g.effect_) return;
  int rectA[4], rectB[4];
  for (int i = 0; i < 4; ++i) {
    rectA[i] = a.Word(1 + i);
    rectB[i] = a.Word(5 + i);
  }
  g.effect_->SetRect(ch, 2, rectA);
  g.effect_->SetRect(ch, 5, rectA);
  g.effect_->SetRect(ch, 3, rectB);
}

// Loads `path` into channel ch's picture and names the channel after it;
// a failure leaves the channel without a name.
static int LoadChannelPicture(const std::string& path, char* nameOut, CPicture* picture) {
  const int ok = !path.empty() && picture && picture->LoadDWQ(path.c_str(), 0, nullptr);
  std::memset(nameOut, 0, CGameCallBack::kEffectNameSize);
  if (ok) std::strncpy(nameOut, path.c_str(), CGameCallBack::kEffectNameSize - 2);
  return ok;
}

void ScriptCommandHandlers::LoadDwq(CGameCallBack& g, const ScriptArgs& a) {
  if (g.fastForward_[CGameCallBack::kReplayRunning]) return;
  const int ch = a.param;
  if (!ChannelOk(ch, CGameCallBack::kEffectChannels, "effect")) return;
  const char* name = a.Text();
  const std::string base = PicturePath(name);
  std::string variant;
  if (!base.empty()) {
    const int variantVar = g.variantVars_[ch];
    const int v = variantVar ? g.GetVar(variantVar) : 0;
    if (variantVar && v > 1) variant = base + "__" + std::to_string(v);
    if (g.costumeVar_ != -1 && ((static_cast<uint32_t>(g.costumeMask_) >> ch) & 1)) {
      const int c = g.GetVar(g.costumeVar_);
      if (c > 0) {
        const int suffixes = static_cast<int>(g.costumeSuffixes_.size());
        if (c < suffixes) {
          const char* suffix = g.costumeSuffixes_[c - 1].data();
          variant = *suffix ? base + suffix : base + std::to_string(c);
        } else {
          variant = base + "__" + std::to_string(c);
        }
      }
    }
  }
  if (!(g.holdFlags_[ch] & 1)) {
    g.lastLoadedChannel_ = ch;
    CPicture* picture = g.GetEffectPicture(ch);
    char* slot = g.effectPictureNames_[ch];
    // A name too short for its folder is a missing picture.
    const std::string shown = base.empty() ? "__\\" + std::string(name) : base;
    if (!variant.empty()) {
      if (!LoadChannelPicture(variant, slot, picture)) {
        if (g.settings_.varControlLoadDWQErrorPrint)
          platform::MessageBox(nullptr, variant.c_str(), "SystemCommand LOADDWQ ERROR", MB_OK);
        else if (!LoadChannelPicture(base, slot, picture))
          platform::MessageBox(nullptr, shown.c_str(), "SystemCommand LOADDWQ ERROR", MB_OK);
      }
    } else if (!LoadChannelPicture(base, slot, picture)) {
      platform::MessageBox(nullptr, shown.c_str(), "SystemCommand LOADDWQ ERROR", MB_OK);
    }
  }
  // The channel shows its picture from (0, 0) at its size, or where it
  // stood when it holds its rectangles.
  if (!g.effect_) return;
  int held[3][4] = {};
  const bool hold = g.holdFlags_[ch] & 2;
  if (hold)
    for (int i = 0; i < 3; ++i) g.effect_->GetRect(ch, kKindsHeld[i], held[i]);
  g.effect_->SetPicture(ch, ch);
  if (hold)
    for (int i = 0; i < 3; ++i) g.effect_->SetRect(ch, kKindsHeld[i], held[i]);
}

void ScriptCommandHandlers::PreloadDwq(CGameCallBack& g, const ScriptArgs& a) {
  const int ch = a.param;
  if (!ChannelOk(ch, CGameCallBack::kEffectChannels, "effect")) return;
  if (g.holdFlags_[ch] & 1) return;
  const std::string base = PicturePath(a.Text());
  g.lastLoadedChannel_ = ch;
  if (!LoadChannelPicture(base, g.effectPictureNames_[ch], g.GetEffectPicture(ch))) {
    const std::string shown = base.empty() ? "__\\" + std::string(a.Text()) : base;
    platform::MessageBox(nullptr, shown.c_str(), "SystemCommand PRELOADDWQ ERROR", MB_OK);
  }
}

// --- Voices ---

int CGameCallBack::LoadAndStartVoice(int ch, const char* name) {
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
  if (GetSystemSetting(ch <= 1 ? 202 : 204) == 0) return 1;
  if (CheckVoiceOff(name)) return 1;
  const int volume =
      VolumeFor(voicePlayer_->GetParam(ch, SoundChannelRecord::kVolume), GetSystemSetting(ch <= 1 ? 102 : 104));
  voicePlayer_->SetVolume(ch, volume, 0);
  voicePlayer_->Play(ch, voicePlayer_->GetLoopFlag(ch), voiceFadeTime_);
  return 1;
}

void ScriptCommandHandlers::Voice(CGameCallBack& g, const ScriptArgs& a) {
  const int number = a.Word(0, -1), ch = a.Word(1);
  const int fade = g.voiceFadeTime_;
  g.voiceFadeTime_ = 0;
  if (!ChannelOk(ch, CVoicePlayer::kChannels, "voice")) return;
  const char* name = g.noticedVoice_;
  const bool skipping = g.IsSkipping() || g.fastForward_[CGameCallBack::kReplayRunning];
  // The back log and the voice-heard flag.
  if (number != -1 && ch <= 1)
    if (CStoryBackLogMode* log = g.GetBackLog()) log->SetVoice(name);
  const int chara = g.GetVoiceChara(name);
  if (chara >= 0 && g.systemFile_ && (g.settings_.mustSetVoiceFlag || !skipping))
    g.systemFile_->SetVoiceFlag(chara);
  CVoicePlayer* player = g.voicePlayer_;
  // Skipping stops what still sounds.
  if (skipping && g.cannotSkipFlag_ == 0 && (ch <= 1 || g.messageSwitch_ == 0) && player &&
      player->IsPlaying(ch))
    player->Stop(ch, 0, fade);
  // Whether this voice is wanted.
  if (g.fastForward_[CGameCallBack::kReplayRunning]) return;
  const bool held = g.cannotSkipFlag_ != 0 || (ch > 1 && g.messageSwitch_ != 0);
  bool wanted = !g.IsSkipping() || held ||
                (g.GetSystemSetting(2) != 1 && !g.CheckMessageReadFlag(g.messageKey_, -1));
  if (g.GetSystemSetting(ch <= 1 ? 202 : 204) == 0) wanted = false;
  if (number != -1 && g.CheckVoiceOff(name)) wanted = false;
  if (!wanted || !player) return;
  if (number == -1) {
    player->Stop(ch, 0, fade);
    player->SetLoopFlag(ch, 0);
    return;
  }
  player->SetParams(ch, number, g.GetCharaVoiceVolume(name), a.count, a.words);
  // The script's own -101 asks for the quietest volume; the record's
  // offset is held to -100..100, so the word itself is looked at.
  if (a.Word(2) == kQuietOffset) player->SetParam(ch, SoundChannelRecord::kVolume, kQuietOffset);
  setup::CopyCp932Cut(g.voiceNames_[ch], name, kVoiceNameBytes);
  if (ch <= 1) {
    g.voiceFlag_ = 1;
    g.voiceWaitTime_ = CGameCallBack::kDefaultVoiceWaitTime;
  }
  g.voiceFadeTime_ = fade;
  const int loaded = g.LoadAndStartVoice(ch, name);
  g.voiceFadeTime_ = 0;
  if (!loaded && ch <= 1) g.voiceWaitTime_ = CGameCallBack::kDefaultVoiceWaitTime;
}

void ScriptCommandHandlers::VoiceVolume(CGameCallBack& g, const ScriptArgs& a) {
  const int ch = a.Word(0), delta = a.Word(1);
  const int fade = g.voiceFadeTime_;
  g.voiceFadeTime_ = 0;
  if (!ChannelOk(ch, CVoicePlayer::kChannels, "voice") || !g.voicePlayer_) return;
  if (!g.voicePlayer_->IsPlaying(ch)) return;
  const int setting = g.GetSystemSetting(ch <= 1 ? 102 : 104) + g.GetCharaVoiceVolume(g.voiceNames_[ch]);
  g.voicePlayer_->SetVolume(ch, VolumeFor(delta, setting), fade);
  g.voicePlayer_->SetParam(ch, SoundChannelRecord::kVolume, delta);
}

// --- Sound effects ---

void CGameCallBack::StartSoundEffect(int ch, int number) {
  // A number past the list is a missing sound: nothing plays.
  const char* name = seList_ && number >= 0 && number <= (INT_MAX - 1) / 2 ? seList_->GetName(2 * number) : nullptr;
  if (!name || !sePlayer_ || GetSystemSetting(201) == 0) return;
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
  sePlayer_->SetVolume(ch, VolumeFor(sePlayer_->GetParam(ch, SoundChannelRecord::kVolume), GetSystemSetting(101)), 0);
  sePlayer_->Play(ch, sePlayer_->GetLoopFlag(ch), seFadeTime_);
}

void ScriptCommandHandlers::SoundEffect(CGameCallBack& g, const ScriptArgs& a) {
  const int number = a.Word(0, -1), ch = a.Word(1);
  const int fade = g.seFadeTime_;
  g.seFadeTime_ = 0;
  if (!ChannelOk(ch, CSePlayer::kChannels, "sound-effect") || !g.sePlayer_) return;
  if (number == -1) {
    g.sePlayer_->Stop(ch, 0, fade);
    g.sePlayer_->SetLoopFlag(ch, 0);
    return;
  }
  g.sePlayer_->SetParams(ch, number, a.count, a.words);
  if ((g.IsSkipping() || g.fastForward_[CGameCallBack::kReplayRunning]) && g.cannotSkipFlag_ == 0) {
    g.sePlayer_->SetStopped(ch, 1);
    return;
  }
  g.seFadeTime_ = fade;
  g.StartSoundEffect(ch, number);
  g.seFadeTime_ = 0;
}

void ScriptCommandHandlers::SeVolume(CGameCallBack& g, const ScriptArgs& a) {
  const int ch = a.Word(0), delta = a.Word(1);
  const int fade = g.seFadeTime_;
  g.seFadeTime_ = 0;
  if (!ChannelOk(ch, CSePlayer::kChannels, "sound-effect") || !g.sePlayer_) return;
  if (!g.sePlayer_->IsPlaying(ch)) return;
  g.sePlayer_->SetVolume(ch, VolumeFor(delta, g.GetSystemSetting(101)), fade);
  g.sePlayer_->SetParam(ch, SoundChannelRecord::kVolume, delta);
}

void CGameCallBack::PlayPendingSounds() {
  // A channel whose record still asks for a looped sound starts it again.
  if (sePlayer_)
    for (int ch = 0; ch < CSePlayer::kChannels; ++ch)
      if (sePlayer_->IsPlaying(ch) && sePlayer_->GetLoopFlag(ch))
        StartSoundEffect(ch, sePlayer_->GetParam(ch, SoundChannelRecord::kNumber));
  if (voicePlayer_)
    for (int ch = 0; ch < CVoicePlayer::kChannels; ++ch)
      if (voicePlayer_->IsPlaying(ch) && voicePlayer_->GetLoopFlag(ch))
        LoadAndStartVoice(ch, voiceNames_[ch]);
}

// --- Music ---

void ScriptCommandHandlers::Music(CGameCallBack& g, const ScriptArgs& a) {
  const int number = a.Word(0);
  const bool replaying = g.fastForward_[CGameCallBack::kReplayRunning] != 0;
  if (number > 0) {
    const int track = number - 1, loop = a.Word(1, -1);
    g.bgmLoopCount_ = loop;
    g.SetBgmLoop(loop);
    if (replaying) {
      // Only remembered: the replay ends where the music is started.
      g.currentBgm_ = g.lastBgm_ = track;
      return;
    }
    if (!g.settings_.allMusicSetFlag && g.systemFile_) g.systemFile_->AddMusicCount(track);
    g.PlayBgmNumber(track, loop, a.Word(2, -9999), a.Word(3, -1), a.Word(4, -1));
  } else if (number == -1) {
    g.StopBgm(a.Word(1, -1));
  } else if (number == -2) {
    const long long volume = static_cast<long long>(a.Word(1)) + g.GetSystemSetting(100);
    if (g.bgmPlayer_) g.bgmPlayer_->SetVolume(static_cast<int>(std::clamp<long long>(volume, 1, 100)));
  }
}

void ScriptCommandHandlers::MusicVolume(CGameCallBack& g, const ScriptArgs& a) {
  const long long volume = static_cast<long long>(a.Word(0)) + g.GetSystemSetting(100);
  if (g.bgmPlayer_)
    g.bgmPlayer_->FadeVolume(static_cast<int>(std::clamp<long long>(volume, 1, 100)), a.Word(1, 0));
}
