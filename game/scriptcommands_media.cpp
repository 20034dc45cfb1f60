// The script commands that load pictures into the effect channels and play
// voices, sound effects and music.
//
// Options read here: 100 music volume, 101 sound-effect volume, 102 voice
// volume (104 for voice channels above 1), 200 music on, 201 sound effects
// on, 202 voices on (204 above channel 1), 2 the skip kind.
#include <algorithm>
#include <climits>
#include <cstring>
#include <iterator>
#include <string>

#include "effect/alleffect.h"
#include "effect/effectwipe.h"
#include "game/floatingpart.h"
#include "game/messagewindowpart.h"
#include "game/modeflowpart.h"
#include "game/screenpart.h"
#include "game/scriptcommands.h"
#include "game/scriptpart.h"
#include "game/soundpart.h"
#include "game/variablepart.h"
#include "graphics/picture.h"
#include "graphics/picturepath.h"
#include "modebase/moderoles.h"
#include "platform/system.h"
#include "platform/types.h"
#include "savedata/systemfile.h"
#include "setup/text.h"
#include "sound/bgmplayer.h"
#include "sound/seplayer.h"
#include "sound/voiceplayer.h"

namespace {

constexpr int kKindsHeld[] = {2, 3, 5};
constexpr int kVoiceNameBytes = 62;
constexpr int kEffectChannels = CScreenPart::kEffectChannels;
constexpr int kEffectNameSize = CScreenPart::kEffectNameSize;

// Loads `path` into channel ch's picture and names the channel after it;
// a failure leaves the channel without a name.
int LoadChannelPicture(const std::string& path, char* nameOut, CPicture* picture) {
  const int ok = !path.empty() && picture && picture->LoadDWQ(path.c_str(), 0, nullptr);
  std::memset(nameOut, 0, kEffectNameSize);
  if (ok) std::strncpy(nameOut, path.c_str(), kEffectNameSize - 2);
  return ok;
}

// A film skip or the shift skip runs, or a replay.
bool Skipping(const CMessageWindowPart& story, const CScriptPart& scripts) { return story.IsSkipping() || scripts.IsFastForwarding(); }

}  // namespace

namespace scriptcommand {

// --- Pictures and effects ---

void GetScreen(const ScriptArgs&, CScreenPart& screen, CFloatingPart& floating, CScriptPart& scripts) {
  if (scripts.IsFastForwarding()) return;
  floating.RestoreFloatingLayers();
  if (CPicture* shown = screen.GetScreenPicture()) shown->GetScreen();
}

void EffectClear(const ScriptArgs&, CScreenPart& screen, CScriptPart& scripts, CModeFlowPart& modes) {
  if (CAllEffect* effect = screen.GetEffect()) effect->ResetAll();
  auto& variants = scripts.Pictures().variantVars;
  std::fill(std::begin(variants), std::end(variants), 0);
  if (CStoryMessageMode* pm = modes.GetPrintMessage()) pm->ClearFrameFlag(1);
}

void Effect(const ScriptArgs& a, CScreenPart& screen, CScriptPart& scripts, CModeFlowPart& modes) {
  const int ch = a.Word(0), number = a.Word(1, -1);
  if (!ChannelOk(ch, kEffectChannels, "effect")) return;
  CAllEffect* effect = screen.GetEffect();
  if (number != -1) {
    const CEffectManager* manager = effect ? effect->GetManager() : nullptr;
    if (manager && !manager->GetEffect(number)) {
      ReportCommandFault(scripts, "effect " + std::to_string(number) + " does not exist; channel " + std::to_string(ch) +
                                " starts nothing");
      return;
    }
    // The simple wipe's second value is the wipe it draws.
    if (manager && number == CEffectSimpleWipe::kNumber && a.count > 2 + CEffectSimpleWipe::kWipeNumber) {
      const int wipe = a.Word(2 + CEffectSimpleWipe::kWipeNumber);
      if (!WipeExists(screen, wipe))
        ReportCommandFault(scripts, "wipe " + std::to_string(wipe) + " of effect " + std::to_string(number) +
                                  " does not exist; channel " + std::to_string(ch) + " draws nothing");
    }
    if (effect) effect->StartEffect(ch, number, std::max(a.count - 2, 0), a.words + std::min(a.count, 2));
    return;
  }
  if (scripts.IsFastForwarding()) return;
  if (effect) effect->ResetChannel(ch);
  if (CStoryMessageMode* pm = modes.GetPrintMessage()) pm->NoticeEffect(ch);
}

void EffectReset(const ScriptArgs& a, CScreenPart& screen, CModeFlowPart& modes) {
  const int ch = a.Word(0);
  if (!ChannelOk(ch, kEffectChannels, "effect")) return;
  if (CAllEffect* effect = screen.GetEffect()) effect->ResetChannel(ch);
  if (CStoryMessageMode* pm = modes.GetPrintMessage()) pm->NoticeEffect(ch);
}

void EffectRect(const ScriptArgs& a, CScreenPart& screen, CScriptPart& scripts) {
  const int ch = a.Word(0);
  if (!ChannelOk(ch, kEffectChannels, "effect")) return;
  CAllEffect* effect = screen.GetEffect();
  if ((scripts.Pictures().holdFlags[ch] & 2) || !effect) return;
  int rectA[4], rectB[4];
  for (int i = 0; i < 4; ++i) {
    rectA[i] = a.Word(1 + i);
    rectB[i] = a.Word(5 + i);
  }
  effect->SetRect(ch, 2, rectA);
  effect->SetRect(ch, 5, rectA);
  effect->SetRect(ch, 3, rectB);
}

void LoadDwq(const ScriptArgs& a, CScreenPart& screen, CScriptPart& scripts, CVariablePart& vars) {
  if (scripts.IsFastForwarding()) return;
  const int ch = a.param;
  if (!ChannelOk(ch, kEffectChannels, "effect")) return;
  const char* name = a.Text();
  const std::string base = PicturePath(name);
  std::string variant;
  if (!base.empty()) {
    const int variantVar = scripts.Pictures().variantVars[ch];
    const int v = variantVar ? vars.GetVar(variantVar) : 0;
    if (variantVar && v > 1) variant = base + "__" + std::to_string(v);
    const int costumeVar = scripts.Pictures().costumeVar;
    if (costumeVar != -1 && ((static_cast<uint32_t>(scripts.Pictures().costumeMask) >> ch) & 1)) {
      const int c = vars.GetVar(costumeVar);
      if (c > 0) {
        const auto& suffixes = scripts.Pictures().costumeSuffixes;
        if (c < static_cast<int>(suffixes.size())) {
          const char* suffix = suffixes[c - 1].data();
          variant = *suffix ? base + suffix : base + std::to_string(c);
        } else {
          variant = base + "__" + std::to_string(c);
        }
      }
    }
  }
  const int hold = scripts.Pictures().holdFlags[ch];
  if (!(hold & 1)) {
    scripts.Pictures().lastLoadedChannel = ch;
    CPicture* picture = screen.GetEffectPicture(ch);
    char* slot = screen.GetEffectPictureName(ch);
    // A name too short for its folder is a missing picture.
    const std::string shown = base.empty() ? "__\\" + std::string(name) : base;
    if (!variant.empty()) {
      if (!LoadChannelPicture(variant, slot, picture)) {
        if (scripts.GetSettings().varControlLoadDWQErrorPrint)
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
  CAllEffect* effect = screen.GetEffect();
  if (!effect) return;
  int held[3][4] = {};
  const bool keep = hold & 2;
  if (keep)
    for (int i = 0; i < 3; ++i) effect->GetRect(ch, kKindsHeld[i], held[i]);
  effect->SetPicture(ch, ch);
  if (keep)
    for (int i = 0; i < 3; ++i) effect->SetRect(ch, kKindsHeld[i], held[i]);
}

void PreloadDwq(const ScriptArgs& a, CScreenPart& screen, CScriptPart& scripts) {
  const int ch = a.param;
  if (!ChannelOk(ch, kEffectChannels, "effect")) return;
  if (scripts.Pictures().holdFlags[ch] & 1) return;
  const std::string base = PicturePath(a.Text());
  scripts.Pictures().lastLoadedChannel = ch;
  if (!LoadChannelPicture(base, screen.GetEffectPictureName(ch), screen.GetEffectPicture(ch))) {
    const std::string shown = base.empty() ? "__\\" + std::string(a.Text()) : base;
    platform::MessageBox(nullptr, shown.c_str(), "SystemCommand PRELOADDWQ ERROR", MB_OK);
  }
}

// --- Voices ---

void Voice(const ScriptArgs& a, CSoundPart& sound, CMessageWindowPart& story, CScriptPart& scripts, CModeFlowPart& modes, CVariablePart& vars, CCommonSystemFile* systemFile) {
  CSoundPart::ScriptSounds& state = sound.GetScriptSounds();
  const int number = a.Word(0, -1), ch = a.Word(1);
  const int fade = state.voiceFadeTime;
  state.voiceFadeTime = 0;
  if (!ChannelOk(ch, CVoicePlayer::kChannels, "voice")) return;
  const char* name = state.noticedVoice;
  const bool skipping = Skipping(story, scripts);
  // The back log and the voice-heard flag.
  if (number != -1 && ch <= 1)
    if (CStoryBackLogMode* log = modes.GetBackLog()) log->SetVoice(name);
  const int chara = sound.GetVoiceChara(name);
  if (chara >= 0 && systemFile && (sound.GetSettings().mustSetVoiceFlag || !skipping))
    systemFile->SetVoiceFlag(chara);
  CVoicePlayer* player = sound.GetVoicePlayer();
  const int cannotSkip = story.GetCannotSkipFlag(), messageSwitch = story.GetMessageSwitch();
  // Skipping stops what still sounds.
  if (skipping && cannotSkip == 0 && (ch <= 1 || messageSwitch == 0) && player && player->IsPlaying(ch))
    player->Stop(ch, 0, fade);
  // Whether this voice is wanted.
  if (scripts.IsFastForwarding()) return;
  const bool held = cannotSkip != 0 || (ch > 1 && messageSwitch != 0);
  bool wanted = !story.IsSkipping() || held ||
                (vars.GetSystemSetting(2) != 1 && !story.CheckMessageReadFlag(story.Words().messageKey, -1));
  if (vars.GetSystemSetting(ch <= 1 ? 202 : 204) == 0) wanted = false;
  if (number != -1 && sound.CheckVoiceOff(name)) wanted = false;
  if (!wanted || !player) return;
  if (number == -1) {
    player->Stop(ch, 0, fade);
    player->SetLoopFlag(ch, 0);
    return;
  }
  player->SetParams(ch, number, sound.GetCharaVoiceVolume(name), a.count, a.words);
  // The script's own -101 asks for the quietest volume; the record's
  // offset is held to -100..100, so the word itself is looked at.
  if (a.Word(2) == CSoundPart::kQuietOffset) player->SetParam(ch, SoundChannelRecord::kVolume, CSoundPart::kQuietOffset);
  setup::CopyCp932Cut(state.voiceNames[ch], name, kVoiceNameBytes);
  if (ch <= 1) {
    sound.SetVoiceFlag(1);
    sound.SetVoiceWaitTime(CSoundPart::kDefaultVoiceWaitTime);
  }
  state.voiceFadeTime = fade;
  const int loaded = sound.LoadAndStartVoice(ch, name);
  state.voiceFadeTime = 0;
  if (!loaded && ch <= 1) sound.SetVoiceWaitTime(CSoundPart::kDefaultVoiceWaitTime);
}

void VoiceFade(const ScriptArgs& a, CSoundPart& sound) {
  sound.GetScriptSounds().voiceFadeTime = a.Word(0);
  platform::DebugOutput("\nNextFadeVoiceFunction\n");
}

void VoiceVolume(const ScriptArgs& a, CSoundPart& sound, CVariablePart& vars) {
  CSoundPart::ScriptSounds& state = sound.GetScriptSounds();
  const int ch = a.Word(0), delta = a.Word(1);
  const int fade = state.voiceFadeTime;
  state.voiceFadeTime = 0;
  CVoicePlayer* player = sound.GetVoicePlayer();
  if (!ChannelOk(ch, CVoicePlayer::kChannels, "voice") || !player) return;
  if (!player->IsPlaying(ch)) return;
  const int setting =
      vars.GetSystemSetting(ch <= 1 ? 102 : 104) + sound.GetCharaVoiceVolume(state.voiceNames[ch]);
  player->SetVolume(ch, CSoundPart::VolumeFor(delta, setting), fade);
  player->SetParam(ch, SoundChannelRecord::kVolume, delta);
}

// --- Sound effects ---

void SeFade(const ScriptArgs& a, CSoundPart& sound) { sound.GetScriptSounds().seFadeTime = a.Word(0); }

void SoundEffect(const ScriptArgs& a, CSoundPart& sound, CMessageWindowPart& story, CScriptPart& scripts) {
  CSoundPart::ScriptSounds& state = sound.GetScriptSounds();
  const int number = a.Word(0, -1), ch = a.Word(1);
  const int fade = state.seFadeTime;
  state.seFadeTime = 0;
  CSePlayer* player = sound.GetSePlayer();
  if (!ChannelOk(ch, CSePlayer::kChannels, "sound-effect") || !player) return;
  if (number == -1) {
    player->Stop(ch, 0, fade);
    player->SetLoopFlag(ch, 0);
    return;
  }
  player->SetParams(ch, number, a.count, a.words);
  if (Skipping(story, scripts) && story.GetCannotSkipFlag() == 0) {
    player->SetStopped(ch, 1);
    return;
  }
  state.seFadeTime = fade;
  sound.StartSoundEffect(ch, number);
  state.seFadeTime = 0;
}

void SeVolume(const ScriptArgs& a, CSoundPart& sound, CVariablePart& vars) {
  CSoundPart::ScriptSounds& state = sound.GetScriptSounds();
  const int ch = a.Word(0), delta = a.Word(1);
  const int fade = state.seFadeTime;
  state.seFadeTime = 0;
  CSePlayer* player = sound.GetSePlayer();
  if (!ChannelOk(ch, CSePlayer::kChannels, "sound-effect") || !player) return;
  if (!player->IsPlaying(ch)) return;
  player->SetVolume(ch, CSoundPart::VolumeFor(delta, vars.GetSystemSetting(101)), fade);
  player->SetParam(ch, SoundChannelRecord::kVolume, delta);
}

// --- Music ---

void Music(const ScriptArgs& a, CSoundPart& sound, CScriptPart& scripts, CVariablePart& vars, CCommonSystemFile* systemFile) {
  const int number = a.Word(0);
  if (number > 0) {
    const int track = number - 1, loop = a.Word(1, -1);
    sound.GetScriptSounds().bgmLoopCount = loop;
    sound.SetBgmLoop(loop);
    if (scripts.IsFastForwarding()) {
      // Only remembered: the replay ends where the music is started.
      sound.RememberBgm(track);
      return;
    }
    if (!sound.GetSettings().allMusicSetFlag && systemFile) systemFile->AddMusicCount(track);
    sound.PlayBgmNumber(track, loop, a.Word(2, -9999), a.Word(3, -1), a.Word(4, -1));
  } else if (number == -1) {
    sound.StopBgm(a.Word(1, -1));
  } else if (number == -2) {
    const long long volume = static_cast<long long>(a.Word(1)) + vars.GetSystemSetting(100);
    if (CBgmPlayer* bgm = sound.GetBgmPlayer()) bgm->SetVolume(static_cast<int>(std::clamp<long long>(volume, 1, 100)));
  }
}

void MusicVolume(const ScriptArgs& a, CSoundPart& sound, CVariablePart& vars) {
  const long long volume = static_cast<long long>(a.Word(0)) + vars.GetSystemSetting(100);
  if (CBgmPlayer* bgm = sound.GetBgmPlayer())
    bgm->FadeVolume(static_cast<int>(std::clamp<long long>(volume, 1, 100)), a.Word(1, 0));
}

}  // namespace scriptcommand
