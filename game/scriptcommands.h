// The script's commands: what the game does for each command code the
// interpreter hands over (CScriptCallBack::SystemCommand). Each command has
// one handler, a free function that receives the command's words and the
// parts it acts through, and nothing more: its parameters list them, and
// the table hands each one in by its type. "Adding a script command" in
// game/README.md says how a new command joins.
#pragma once

#include <cstdint>
#include <string>

class CCommonSystemFile;
class CDebugPart;
class CFloatingPart;
class CFramePart;
class CGameHooks;
class CMessageWindowPart;
class CModeFlowPart;
class CScreenPart;
class CScript;
class CScriptPart;
class CSoundPart;
class CVariablePart;
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
// the command's shape and the parts the handler names; a code without a
// handler is ignored.
void RunScriptCommand(GameParts& parts, int code, int param, const void* data, int extra);

namespace scriptcommand {

// A table entry's call: the handler, handed the parts its parameters name.
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
CScript* CommandScript(const CScriptPart& scripts);
// A line on stderr, "<script> at word <n>: <what>", naming the script and
// where the command being run stands in it.
void ReportCommandFault(const CScriptPart& scripts, const std::string& what);
// Whether the game's effects have wipe number n (what the wipe command and
// the simple-wipe effect draw).
bool WipeExists(const CScreenPart& screen, int n);
// Whether a picture or scene unlock may be kept now: not from a back script
// (unless its setting allows), during a replay only with replayFlag.
bool UnlockAllowed(const CScriptPart& scripts, int replayFlag);
// Whether a picture of the group stays locked because the group's layer is
// off ("offLayerDontSetCG").
bool GroupLayerOff(const CScriptPart& scripts, const CScreenPart& screen, int group);

// The handlers: the command's words first, then the parts the command uses
// (the system file by pointer: a game may run without one).
// Text and choices (scriptcommands.cpp).
void Message(const ScriptArgs& a, CMessageWindowPart& story, CScriptPart& scripts, CModeFlowPart& modes);
void Wait(const ScriptArgs& a, CMessageWindowPart& story, CScriptPart& scripts, CModeFlowPart& modes);
void Transition(const ScriptArgs& a, CScreenPart& screen, CMessageWindowPart& story, CScriptPart& scripts, CModeFlowPart& modes);
void Choice(const ScriptArgs& a, CMessageWindowPart& story, CScriptPart& scripts, CModeFlowPart& modes);
// Small setters (scriptcommands.cpp).
void TextShown(const ScriptArgs& a, CMessageWindowPart& story);
void StoredOption(const ScriptArgs& a, CMessageWindowPart& story);
void FrameTime(const ScriptArgs& a, CFramePart& frame);
void DefaultFrameTime(const ScriptArgs& a, CFramePart& frame);
void DebugLine(const ScriptArgs& a, CDebugPart& debug);
void FirstName(const ScriptArgs& a, CDebugPart& debug);
void SecondName(const ScriptArgs& a, CDebugPart& debug);
void ScriptWord(const ScriptArgs& a, CVariablePart& vars);
void WindowDesign(const ScriptArgs& a, CMessageWindowPart& story);
void CursorDesign(const ScriptArgs& a, CFloatingPart& floating);
void MouseDesign(const ScriptArgs& a, CFloatingPart& floating);
void WindowMode(const ScriptArgs& a, CMessageWindowPart& story);
void SkipProhibit(const ScriptArgs& a, CMessageWindowPart& story);
void SkipWord2(const ScriptArgs& a, CMessageWindowPart& story);
void AutoProhibit(const ScriptArgs& a, CMessageWindowPart& story);
void SkipWord4(const ScriptArgs& a, CFloatingPart& floating);
void CutinNumber(const ScriptArgs& a, CMessageWindowPart& story, CModeFlowPart& modes);
void FrameFlag(const ScriptArgs& a, CModeFlowPart& modes);
void ChoiceReturn(const ScriptArgs& a, CMessageWindowPart& story);
void ScriptHook(const ScriptArgs& a, CGameHooks& hooks);
void CostumeMask(const ScriptArgs& a, CScriptPart& scripts);
void SetVariable(const ScriptArgs& a, CVariablePart& vars);
void VariantVar(const ScriptArgs& a, CScriptPart& scripts);
void FaceType(const ScriptArgs& a, CMessageWindowPart& story);
void FaceNumber(const ScriptArgs& a, CMessageWindowPart& story);
void SeFade(const ScriptArgs& a, CSoundPart& sound);
void VoiceFade(const ScriptArgs& a, CSoundPart& sound);
void WindowState(const ScriptArgs& a, CMessageWindowPart& story, CScriptPart& scripts);
void WindowDisplay(const ScriptArgs& a, CMessageWindowPart& story, CScriptPart& scripts);
void PictureFlag(const ScriptArgs& a, CScriptPart& scripts, CScreenPart& screen, CCommonSystemFile* systemFile);
void PictureFlagIf(const ScriptArgs& a, CScriptPart& scripts, CScreenPart& screen, CVariablePart& vars, CCommonSystemFile* systemFile);
void SceneFlag(const ScriptArgs& a, CScriptPart& scripts, CCommonSystemFile* systemFile);
// Sub-scripts (scriptcommands.cpp).
void CallScript(const ScriptArgs& a, CScriptPart& scripts);
void ReplaceScript(const ScriptArgs& a, CScriptPart& scripts);
// Pictures and effects (scriptcommands_media.cpp).
void GetScreen(const ScriptArgs& a, CScreenPart& screen, CFloatingPart& floating, CScriptPart& scripts);
void EffectClear(const ScriptArgs& a, CScreenPart& screen, CScriptPart& scripts, CModeFlowPart& modes);
void Effect(const ScriptArgs& a, CScreenPart& screen, CScriptPart& scripts, CModeFlowPart& modes);
void EffectReset(const ScriptArgs& a, CScreenPart& screen, CModeFlowPart& modes);
void LoadDwq(const ScriptArgs& a, CScreenPart& screen, CScriptPart& scripts, CVariablePart& vars);
void PreloadDwq(const ScriptArgs& a, CScreenPart& screen, CScriptPart& scripts);
void EffectRect(const ScriptArgs& a, CScreenPart& screen, CScriptPart& scripts);
// Sounds (scriptcommands_media.cpp).
void Music(const ScriptArgs& a, CSoundPart& sound, CScriptPart& scripts, CVariablePart& vars, CCommonSystemFile* systemFile);
void Voice(const ScriptArgs& a, CSoundPart& sound, CMessageWindowPart& story, CScriptPart& scripts, CModeFlowPart& modes, CVariablePart& vars, CCommonSystemFile* systemFile);
void SoundEffect(const ScriptArgs& a, CSoundPart& sound, CMessageWindowPart& story, CScriptPart& scripts);
void SeVolume(const ScriptArgs& a, CSoundPart& sound, CVariablePart& vars);
void VoiceVolume(const ScriptArgs& a, CSoundPart& sound, CVariablePart& vars);
void MusicVolume(const ScriptArgs& a, CSoundPart& sound, CVariablePart& vars);

}  // namespace scriptcommand
