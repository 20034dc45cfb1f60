// The script command handlers of the game object: what SystemCommand runs
// for each code, shared by the game's scriptcommands*.cpp files only.
#pragma once

#include <cstdint>

#include "game/gamecallback.h"

// One command as the interpreter handed it over: the code, the parameter
// word, the data (words or a CP932 string, by the code's shape) and the
// extra word, with the words the record holds counted.
struct ScriptArgs {
  int code = 0;
  int param = 0;
  const void* data = nullptr;
  int extra = 0;
  const int32_t* words = nullptr;
  int count = 0;
  // Word i of the data (word 4 + i of the record); `fallback` when the
  // record does not hold it.
  int Word(int i, int fallback = 0) const {
    return words && i >= 0 && i < count ? words[i] : fallback;
  }
  // The string of a string shape ("" without one).
  const char* Text() const { return data ? static_cast<const char*>(data) : ""; }
};

// The handlers: one static function per command, reaching the game's words
// as its friend.
struct ScriptCommandHandlers {
  using Handler = void (*)(CGameCallBack& g, const ScriptArgs& a);
  struct Entry {
    int32_t code;
    Handler run;
  };
  // The handler of each command of script/commandtable.h that is not
  // marked ignored.
  static const Entry kTable[];
  static const int kTableSize;

  // A channel word outside 0..count-1 ignores the command with a debug line.
  static bool ChannelOk(int channel, int count, const char* what);
  // Whether a picture or scene unlock may be kept now (the group test
  // included when useGroup).
  static bool UnlockAllowed(CGameCallBack& g, int group, bool useGroup, int replayFlag);

  // Text and choices (scriptcommands.cpp).
  static void Message(CGameCallBack& g, const ScriptArgs& a);
  static void Wait(CGameCallBack& g, const ScriptArgs& a);
  static void Transition(CGameCallBack& g, const ScriptArgs& a);
  static void Choice(CGameCallBack& g, const ScriptArgs& a);
  // Small setters (scriptcommands.cpp).
  static void TextShown(CGameCallBack& g, const ScriptArgs& a);
  static void StoredOption(CGameCallBack& g, const ScriptArgs& a);
  static void FrameTime(CGameCallBack& g, const ScriptArgs& a);
  static void DefaultFrameTime(CGameCallBack& g, const ScriptArgs& a);
  static void DebugLine(CGameCallBack& g, const ScriptArgs& a);
  static void FirstName(CGameCallBack& g, const ScriptArgs& a);
  static void SecondName(CGameCallBack& g, const ScriptArgs& a);
  static void ScriptWord(CGameCallBack& g, const ScriptArgs& a);
  static void WindowDesign(CGameCallBack& g, const ScriptArgs& a);
  static void CursorDesign(CGameCallBack& g, const ScriptArgs& a);
  static void MouseDesign(CGameCallBack& g, const ScriptArgs& a);
  static void WindowMode(CGameCallBack& g, const ScriptArgs& a);
  static void SkipProhibit(CGameCallBack& g, const ScriptArgs& a);
  static void SkipWord2(CGameCallBack& g, const ScriptArgs& a);
  static void AutoProhibit(CGameCallBack& g, const ScriptArgs& a);
  static void SkipWord4(CGameCallBack& g, const ScriptArgs& a);
  static void CutinNumber(CGameCallBack& g, const ScriptArgs& a);
  static void FrameFlag(CGameCallBack& g, const ScriptArgs& a);
  static void ChoiceReturn(CGameCallBack& g, const ScriptArgs& a);
  static void ScriptHook(CGameCallBack& g, const ScriptArgs& a);
  static void CostumeMask(CGameCallBack& g, const ScriptArgs& a);
  static void SetVariable(CGameCallBack& g, const ScriptArgs& a);
  static void VariantVar(CGameCallBack& g, const ScriptArgs& a);
  static void FaceType(CGameCallBack& g, const ScriptArgs& a);
  static void FaceNumber(CGameCallBack& g, const ScriptArgs& a);
  static void SeFade(CGameCallBack& g, const ScriptArgs& a);
  static void VoiceFade(CGameCallBack& g, const ScriptArgs& a);
  static void WindowState(CGameCallBack& g, const ScriptArgs& a);
  static void WindowDisplay(CGameCallBack& g, const ScriptArgs& a);
  static void PictureFlag(CGameCallBack& g, const ScriptArgs& a);
  static void PictureFlagIf(CGameCallBack& g, const ScriptArgs& a);
  static void SceneFlag(CGameCallBack& g, const ScriptArgs& a);
  // Sub-scripts (scriptrun.cpp).
  static void CallScript(CGameCallBack& g, const ScriptArgs& a);
  static void ReplaceScript(CGameCallBack& g, const ScriptArgs& a);
  // Pictures and effects (scriptcommands_media.cpp).
  static void GetScreen(CGameCallBack& g, const ScriptArgs& a);
  static void EffectClear(CGameCallBack& g, const ScriptArgs& a);
  static void Effect(CGameCallBack& g, const ScriptArgs& a);
  static void EffectReset(CGameCallBack& g, const ScriptArgs& a);
  static void LoadDwq(CGameCallBack& g, const ScriptArgs& a);
  static void PreloadDwq(CGameCallBack& g, const ScriptArgs& a);
  static void EffectRect(CGameCallBack& g, const ScriptArgs& a);
  // Sounds (scriptcommands_media.cpp).
  static void Music(CGameCallBack& g, const ScriptArgs& a);
  static void Voice(CGameCallBack& g, const ScriptArgs& a);
  static void SoundEffect(CGameCallBack& g, const ScriptArgs& a);
  static void SeVolume(CGameCallBack& g, const ScriptArgs& a);
  static void VoiceVolume(CGameCallBack& g, const ScriptArgs& a);
  static void MusicVolume(CGameCallBack& g, const ScriptArgs& a);
};
