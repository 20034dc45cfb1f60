// The script's commands: what the game does for each command code the
// interpreter hands over (CScriptCallBack::SystemCommand). Each command has
// one handler, a free function over the game's parts that uses their public
// operations only; the table pairs the codes of script/commandtable.h with
// the handlers. "Adding a script command" in game/README.md says how a new
// command joins.
#pragma once

#include <cstdint>
#include <string>

class CScript;
struct GameParts;

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
  int Word(int i, int fallback = 0) const { return words && i >= 0 && i < count ? words[i] : fallback; }
  // The string of a string shape ("" without one).
  const char* Text() const { return data ? static_cast<const char*>(data) : ""; }
};

// Finds the code's handler and runs it with the words the record holds, by
// the command's shape; a code without a handler is ignored.
void RunScriptCommand(GameParts& parts, int code, int param, const void* data, int extra);

namespace scriptcommand {

using Handler = void (*)(GameParts& g, const ScriptArgs& a);
struct Entry {
  int32_t code;
  Handler run;
};
// The handler of each command of script/commandtable.h that is not marked
// ignored.
extern const Entry kTable[];
extern const int kTableSize;

// A channel word outside 0..count-1 ignores the command with a debug line.
bool ChannelOk(int channel, int count, const char* what);
// The script that handed over the command being run (the back script's
// while it runs), or null.
CScript* CommandScript(GameParts& g);
// A line on stderr, "<script> at word <n>: <what>", naming the script and
// where the command being run stands in it.
void ReportCommandFault(GameParts& g, const std::string& what);
// Whether the game's effects have wipe number n (what the wipe command and
// the simple-wipe effect draw).
bool WipeExists(GameParts& g, int n);
// Whether a picture or scene unlock may be kept now (the group test
// included when useGroup).
bool UnlockAllowed(GameParts& g, int group, bool useGroup, int replayFlag);

// Text and choices (scriptcommands.cpp).
void Message(GameParts& g, const ScriptArgs& a);
void Wait(GameParts& g, const ScriptArgs& a);
void Transition(GameParts& g, const ScriptArgs& a);
void Choice(GameParts& g, const ScriptArgs& a);
// Small setters (scriptcommands.cpp).
void TextShown(GameParts& g, const ScriptArgs& a);
void StoredOption(GameParts& g, const ScriptArgs& a);
void FrameTime(GameParts& g, const ScriptArgs& a);
void DefaultFrameTime(GameParts& g, const ScriptArgs& a);
void DebugLine(GameParts& g, const ScriptArgs& a);
void FirstName(GameParts& g, const ScriptArgs& a);
void SecondName(GameParts& g, const ScriptArgs& a);
void ScriptWord(GameParts& g, const ScriptArgs& a);
void WindowDesign(GameParts& g, const ScriptArgs& a);
void CursorDesign(GameParts& g, const ScriptArgs& a);
void MouseDesign(GameParts& g, const ScriptArgs& a);
void WindowMode(GameParts& g, const ScriptArgs& a);
void SkipProhibit(GameParts& g, const ScriptArgs& a);
void SkipWord2(GameParts& g, const ScriptArgs& a);
void AutoProhibit(GameParts& g, const ScriptArgs& a);
void SkipWord4(GameParts& g, const ScriptArgs& a);
void CutinNumber(GameParts& g, const ScriptArgs& a);
void FrameFlag(GameParts& g, const ScriptArgs& a);
void ChoiceReturn(GameParts& g, const ScriptArgs& a);
void ScriptHook(GameParts& g, const ScriptArgs& a);
void CostumeMask(GameParts& g, const ScriptArgs& a);
void SetVariable(GameParts& g, const ScriptArgs& a);
void VariantVar(GameParts& g, const ScriptArgs& a);
void FaceType(GameParts& g, const ScriptArgs& a);
void FaceNumber(GameParts& g, const ScriptArgs& a);
void SeFade(GameParts& g, const ScriptArgs& a);
void VoiceFade(GameParts& g, const ScriptArgs& a);
void WindowState(GameParts& g, const ScriptArgs& a);
void WindowDisplay(GameParts& g, const ScriptArgs& a);
void PictureFlag(GameParts& g, const ScriptArgs& a);
void PictureFlagIf(GameParts& g, const ScriptArgs& a);
void SceneFlag(GameParts& g, const ScriptArgs& a);
// Sub-scripts (scriptcommands.cpp).
void CallScript(GameParts& g, const ScriptArgs& a);
void ReplaceScript(GameParts& g, const ScriptArgs& a);
// Pictures and effects (scriptcommands_media.cpp).
void GetScreen(GameParts& g, const ScriptArgs& a);
void EffectClear(GameParts& g, const ScriptArgs& a);
void Effect(GameParts& g, const ScriptArgs& a);
void EffectReset(GameParts& g, const ScriptArgs& a);
void LoadDwq(GameParts& g, const ScriptArgs& a);
void PreloadDwq(GameParts& g, const ScriptArgs& a);
void EffectRect(GameParts& g, const ScriptArgs& a);
// Sounds (scriptcommands_media.cpp).
void Music(GameParts& g, const ScriptArgs& a);
void Voice(GameParts& g, const ScriptArgs& a);
void SoundEffect(GameParts& g, const ScriptArgs& a);
void SeVolume(GameParts& g, const ScriptArgs& a);
void VoiceVolume(GameParts& g, const ScriptArgs& a);
void MusicVolume(GameParts& g, const ScriptArgs& a);

}  // namespace scriptcommand
