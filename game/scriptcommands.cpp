// The script command dispatcher, the text and choice handoff to the message
// modes, the small setters and the sub-script calls. Pictures and sounds are
// in scriptcommands_media.cpp.
//
// Scripts are untrusted: every channel, list and variable number a command
// carries is checked before it is used, and a handler reads only the words
// its record holds (a missing optional word takes its default).
#include "game/scriptcommands.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <type_traits>

#include "effect/alleffect.h"
#include "effect/effectwipe.h"
#include "game/backscriptrunner.h"
#include "game/debugpart.h"
#include "game/floatingpart.h"
#include "game/framepart.h"
#include "game/gamehooks.h"
#include "game/gameparts.h"
#include "game/messagewindowpart.h"
#include "game/modeflowpart.h"
#include "game/screenpart.h"
#include "game/scriptpart.h"
#include "game/soundpart.h"
#include "game/variablepart.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "modebase/moderoles.h"
#include "modebase/modenumbers.h"
#include "platform/system.h"
#include "savedata/systemfile.h"
#include "script/commandtable.h"
#include "script/script.h"

namespace {

constexpr int kChoiceSlots = 64;

int OffForMinusOne(int v) { return v == -1 ? 0 : v; }

// The project number of the running level (level 0 outside the levels).
int RunningProject(const CScriptPart& scripts) {
  const int level = scripts.GetScriptLevel();
  return scripts.GetScriptNumber(level >= 0 && level < CScriptPart::kLevels ? level : 0);
}

}  // namespace

void RunScriptCommand(GameParts& parts, int code, int param, const void* data, int extra) {
  const script::CommandInfo* command = script::FindCommand(code);
  if (!command) return;
  const scriptcommand::Entry* entry = nullptr;
  for (int i = 0; i < scriptcommand::kTableSize && !entry; ++i)
    if (scriptcommand::kTable[i].code == code) entry = &scriptcommand::kTable[i];
  if (!entry) return;
  ScriptArgs a;
  a.code = code;
  a.param = param;
  a.data = data;
  a.extra = extra;
  // The words the record holds, by the command's shape.
  const auto* words = static_cast<const int32_t*>(data);
  switch (command->shape) {
    case script::CommandShape::kWords1: a.words = words, a.count = words ? 1 : 0; break;
    case script::CommandShape::kWordsN: a.words = words, a.count = words ? std::max(param, 0) : 0; break;
    // The choice list holds n, m, the n + m texts and P, Q, R: one word
    // more than the parameter counts.
    case script::CommandShape::kChoice: a.words = words, a.count = words && param >= 0 ? param + 1 : 0; break;
    case script::CommandShape::kValue: a.words = &a.param, a.count = 1; break;
    default: break;
  }
  entry->run(parts, a);
}

namespace scriptcommand {

namespace {

// What a handler's parameter of each type is handed: the part of that type,
// the system file by pointer. A handler that asks for any other type does
// not compile.
template <class T>
struct Tag {};
CScreenPart& From(GameParts& g, Tag<CScreenPart>) { return *g.screen; }
CFramePart& From(GameParts& g, Tag<CFramePart>) { return *g.frame; }
CVariablePart& From(GameParts& g, Tag<CVariablePart>) { return *g.vars; }
CSoundPart& From(GameParts& g, Tag<CSoundPart>) { return *g.sound; }
CFloatingPart& From(GameParts& g, Tag<CFloatingPart>) { return *g.floating; }
CMessageWindowPart& From(GameParts& g, Tag<CMessageWindowPart>) { return *g.messageWindow; }
CScriptPart& From(GameParts& g, Tag<CScriptPart>) { return *g.scripts; }
CDebugPart& From(GameParts& g, Tag<CDebugPart>) { return *g.debug; }
CModeFlowPart& From(GameParts& g, Tag<CModeFlowPart>) { return *g.modes; }
CGameHooks& From(GameParts& g, Tag<CGameHooks>) { return *g.hooks; }
CCommonSystemFile* From(GameParts& g, Tag<CCommonSystemFile*>) { return g.systemFile; }

template <auto F, class... P>
void CallWith(GameParts& g, const ScriptArgs& a, void (*)(const ScriptArgs&, P...)) {
  F(a, From(g, Tag<std::remove_cvref_t<P>>{})...);
}

// The table's call of handler F: the words, then the parts F names.
template <auto F>
void Call(GameParts& g, const ScriptArgs& a) {
  CallWith<F>(g, a, F);
}

}  // namespace

using script::CommandCode;
// The handler of each command of the script's table that the game acts on.
const Entry kTable[] = {
    {CommandCode("text"), &Call<&Message>},
    {CommandCode("fulltext"), &Call<&Message>},
    {CommandCode("moretext"), &Call<&Message>},
    {CommandCode("wait"), &Call<&Wait>},
    {CommandCode("wipe"), &Call<&Transition>},
    {CommandCode("choice"), &Call<&Choice>},
    {CommandCode("bgm"), &Call<&Music>},
    {CommandCode("voice"), &Call<&Voice>},
    {CommandCode("se"), &Call<&SoundEffect>},
    {CommandCode("getscreen"), &Call<&GetScreen>},
    {CommandCode("effectclear"), &Call<&EffectClear>},
    {CommandCode("effect"), &Call<&Effect>},
    {CommandCode("effectreset"), &Call<&EffectReset>},
    {CommandCode("loaddwq"), &Call<&LoadDwq>},
    {CommandCode("effectrect"), &Call<&EffectRect>},
    {CommandCode("textshown"), &Call<&TextShown>},
    {CommandCode("cgflag"), &Call<&PictureFlag>},
    {CommandCode("filmflag"), &Call<&SceneFlag>},
    {CommandCode("windowstate"), &Call<&WindowState>},
    {CommandCode("windowdisplay"), &Call<&WindowDisplay>},
    {CommandCode("option6"), &Call<&StoredOption>},
    {CommandCode("preloaddwq"), &Call<&PreloadDwq>},
    {CommandCode("frametime"), &Call<&FrameTime>},
    {CommandCode("defaultframetime"), &Call<&DefaultFrameTime>},
    {CommandCode("debugline"), &Call<&DebugLine>},
    {CommandCode("name1"), &Call<&FirstName>},
    {CommandCode("name2"), &Call<&SecondName>},
    {CommandCode("scriptword"), &Call<&ScriptWord>},
    {CommandCode("windowdesign"), &Call<&WindowDesign>},
    {CommandCode("cursordesign"), &Call<&CursorDesign>},
    {CommandCode("mousedesign"), &Call<&MouseDesign>},
    {CommandCode("skipprohibit"), &Call<&SkipProhibit>},
    {CommandCode("messageswitch"), &Call<&SkipWord2>},
    {CommandCode("autoprohibit"), &Call<&AutoProhibit>},
    {CommandCode("floatingbuttonoff"), &Call<&SkipWord4>},
    {CommandCode("cutin"), &Call<&CutinNumber>},
    {CommandCode("frameflag"), &Call<&FrameFlag>},
    {CommandCode("choicereturn"), &Call<&ChoiceReturn>},
    {CommandCode("scripthook"), &Call<&ScriptHook>},
    {CommandCode("windowmode"), &Call<&WindowMode>},
    {CommandCode("costumemask"), &Call<&CostumeMask>},
    {CommandCode("cgflagif"), &Call<&PictureFlagIf>},
    {CommandCode("setvar"), &Call<&SetVariable>},
    {CommandCode("variantvar"), &Call<&VariantVar>},
    {CommandCode("face"), &Call<&FaceType>},
    {CommandCode("facenumber"), &Call<&FaceNumber>},
    {CommandCode("sefade"), &Call<&SeFade>},
    {CommandCode("voicefade"), &Call<&VoiceFade>},
    {CommandCode("sevolume"), &Call<&SeVolume>},
    {CommandCode("voicevolume"), &Call<&VoiceVolume>},
    {CommandCode("bgmvolume"), &Call<&MusicVolume>},
    {CommandCode("callscript"), &Call<&CallScript>},
    {CommandCode("jumpscript"), &Call<&ReplaceScript>},
    {CommandCode("callscript2"), &Call<&CallScript>},
};
const int kTableSize = sizeof(kTable) / sizeof(kTable[0]);

bool ChannelOk(int channel, int count, const char* what) {
  if (channel >= 0 && channel < count) return true;
  platform::DebugPrintf("script: %s channel %d is outside 0..%d; the command is ignored", what, channel,
                        count - 1);
  return false;
}

CScript* CommandScript(const CScriptPart& scripts) {
  if (scripts.IsBackScriptRunning() && scripts.GetBackScriptRunner()) return scripts.GetBackScriptRunner()->GetScript();
  return scripts.CurrentScript();
}

void ReportCommandFault(const CScriptPart& scripts, const std::string& what) {
  const CScript* script = CommandScript(scripts);
  const std::string name = script && *script->GetLoadedName() ? script->GetLoadedName() : "the script";
  const int at = script ? script->GetCommandStart() : -1;
  platform::ErrorOutput((name + " at word " + std::to_string(at) + ": " + what).c_str());
}

bool WipeExists(const CScreenPart& screen, int n) {
  const CAllEffect* effect = screen.GetEffect();
  const CEffectManager* manager = effect ? effect->GetManager() : nullptr;
  const auto* wipe =
      manager ? dynamic_cast<const CEffectSimpleWipe*>(manager->GetEffect(CEffectSimpleWipe::kNumber)) : nullptr;
  return wipe && wipe->GetWipe(n);
}

// --- Text and choices ---

void Message(const ScriptArgs& a, CMessageWindowPart& story, CScriptPart& scripts, CModeFlowPart& modes) {
  story.ApplyPendingSwitch();
  const uint32_t project = static_cast<uint32_t>(RunningProject(scripts));
  const int id = static_cast<int>((project << 16) | (static_cast<uint32_t>(a.param) & 0xFFFF));
  story.Words().messageKey = a.param;
  if (scripts.IsSkippingToPosition()) {
    if (scripts.GetSettings().mustSetMessageFlag) story.SetMessageReadFlag(a.param, -1);
    return;
  }
  if (CStoryMessageMode* pm = modes.GetPrintMessage()) {
    pm->SetMessage(a.code, id, a.Text(), a.extra);
    // What of the page does not fit is drawn as it comes; the author hears of it.
    const std::string problem = pm->TakePageFitProblem();
    if (!problem.empty())
      ReportCommandFault(scripts, ((a.param & 0xFFFF) == 0xFFFF ? std::string("the page without a key")
                                                          : "the page with key " + std::to_string(a.param)) +
                                ": " + problem);
  }
  if (a.code == script::kTextWindow) story.SetMessageWindowOn(1);
  if (a.code == script::kTextFull) story.SetMessageWindowOn(0);
  if (modes.GetCurrentMode() != modenumber::kPrintMessage) modes.SetNextMode(modenumber::kPrintMessage);
  CScreenBuffer::SetFullRedraw(0);
}

void Wait(const ScriptArgs& a, CMessageWindowPart& story, CScriptPart& scripts, CModeFlowPart& modes) {
  story.ApplyPendingSwitch();
  const int frames = a.Word(0);
  CBackScriptRunner* back = scripts.GetBackScriptRunner();
  if (scripts.IsBackScriptRunning() && back) {
    back->StartCountDown(frames);
    return;
  }
  if (CStoryMessageMode* pm = modes.GetPrintMessage()) pm->SetWaitTime(frames);
  if (frames != 0 && !scripts.IsSkippingToPosition()) {
    if (modes.GetCurrentMode() != modenumber::kPrintMessage) modes.SetNextMode(modenumber::kPrintMessage);
    CScreenBuffer::SetFullRedraw(0);
  }
}

void Transition(const ScriptArgs& a, CScreenPart& screen, CMessageWindowPart& story, CScriptPart& scripts, CModeFlowPart& modes) {
  CAllEffect* effect = screen.GetEffect();
  CPicture* from = screen.GetBufferPicture(0);
  CPicture* to = screen.GetBufferPicture(1);
  const int kind = a.Word(0), length = a.Word(1);
  if (!WipeExists(screen, kind))
    ReportCommandFault(scripts, "wipe " + std::to_string(kind) + " does not exist; the transition shows no wipe");
  CStoryMessageMode* pm = modes.GetPrintMessage();
  CBackScriptRunner* back = scripts.GetBackScriptRunner();
  if (scripts.IsBackScriptRunning() && back) {
    // The screen as it stood is where the wipe starts.
    if (from) from->GetScreen();
    if (effect) effect->Print(0, 0);
    if (story.GetAutoModeFlag()) story.PrintMessageWindow(1, 1, nullptr);
    if (effect) effect->Print(1, 0);
    screen.SetWipe(kind, length);
    if (to) to->GetScreen();
    back->StartTransition(kind, length);
    return;
  }
  if (scripts.IsSkippingToPosition() && scripts.GetFastForward(CScriptPart::kReplaySecond)) return;
  if (from) from->GetScreen();
  const int onlyEnabled = scripts.GetBackScriptMode() == 0 ? 1 : 0;
  if (effect) effect->Print(0, onlyEnabled);
  if (story.GetAutoModeFlag()) {
    const int displayKind = story.Words().displayKind;
    if (displayKind == 0)
      story.PrintMessageWindow(1, 1, nullptr);
    else if ((displayKind == 1 || displayKind == 2) && pm)
      pm->CheckPrintLprintBG();
  }
  if (effect) effect->Print(1, onlyEnabled);
  screen.SetWipe(kind, length);
  if (to) to->GetScreen();
  if (pm) pm->SetScreenWait(kind, length);
  if (modes.GetCurrentMode() != modenumber::kPrintMessage) modes.SetNextMode(modenumber::kPrintMessage);
  CScreenBuffer::SetFullRedraw(0);
}

void Choice(const ScriptArgs& a, CMessageWindowPart& story, CScriptPart& scripts, CModeFlowPart& modes) {
  CScript* script = scripts.CurrentScript();
  int n = a.Word(0), m = a.Word(1);
  const long long texts = static_cast<long long>(n) + m;
  if (n < 0 || m < 0 || texts + 5 > a.count) {
    if (script) script->AddError("choice list is broken; the choice is ignored");
    return;
  }
  const int p = a.Word(2 + n + m), q = a.Word(3 + n + m), r = a.Word(4 + n + m);
  const int firstText = 2;
  if (texts > kChoiceSlots) {
    if (script) script->AddError("choice has more than 64 texts; the rest are left out");
    m = std::min(m, kChoiceSlots);
    n = kChoiceSlots - m;
  }
  story.SetMessageWindowOn(0);
  CStoryChoiceMode* sm = modes.GetSelectMessage();
  if (sm) {
    sm->AddBackLogHeader();
    sm->SetSelectRange(n, m);
    sm->SetSelectExtra(r);
  }
  // A restored game finds the choice record again by the record's own key
  // word; P is the time limit, shared by many choices.
  story.Words().choiceKey = script ? script->GetChoiceKey() : -1;
  for (int i = 0; i < n + m; ++i) {
    const char* text = script ? script->GetString(a.Word(firstText + i)) : "";
    if (!text) text = "";
    // The question lines lose their first byte (a mark of the compiler).
    if (i < m && *text) ++text;
    if (sm) sm->SetSelectText(i, text);
  }
  if (sm) sm->SetTimeLimit(p, q == 0 ? n + 1 : q);
  scripts.ClearFastForward();
  modes.SetNextMode(modenumber::kSelectMessage);
}

// --- Small setters ---

void TextShown(const ScriptArgs&, CMessageWindowPart& story) { story.SetMessageWindowOn(1); }

void StoredOption(const ScriptArgs& a, CMessageWindowPart& story) {
  const int v = a.Word(0);
  story.SetStoredOption(v == 2 ? 0 : v);
}

void FrameTime(const ScriptArgs& a, CFramePart& frame) {
  const int ms = a.Word(0);
  if (ms > 0) frame.SetFrameTime(ms);
  if (ms == 0) frame.ResetFrameTime();
}

void DefaultFrameTime(const ScriptArgs&, CFramePart& frame) { frame.ResetFrameTime(); }

// A line for the on-screen debug list.
void DebugLine(const ScriptArgs& a, CDebugPart& debug) {
  if (debug.GetDebugFlag()) debug.AddDebugLine(a.Text());
}

void FirstName(const ScriptArgs& a, CDebugPart& debug) { debug.SetSceneNameText(0, a.Text()); }

void SecondName(const ScriptArgs& a, CDebugPart& debug) { debug.SetSceneNameText(1, a.Text()); }

void ScriptWord(const ScriptArgs& a, CVariablePart& vars) {
  const int v = a.Word(0);
  if (v > 0) vars.SetScriptWord(v);
  if (v < 0) vars.SetScriptWord(0);
}

void WindowDesign(const ScriptArgs& a, CMessageWindowPart& story) { story.SetWindowNumberScript(a.Word(0)); }

void CursorDesign(const ScriptArgs& a, CFloatingPart& floating) { floating.SetCursorNumberScript(a.Word(0)); }

void MouseDesign(const ScriptArgs& a, CFloatingPart& floating) { floating.SetMouseNumberScript(a.Word(0)); }

void WindowMode(const ScriptArgs& a, CMessageWindowPart& story) { story.SetMessageWindowMode(a.Word(0)); }

// The prohibit words: -1 counts as 0; a positive one also stops a running
// skip when the settings say so.
void SkipProhibit(const ScriptArgs& a, CMessageWindowPart& story) {
  story.SetCannotSkipFlag(OffForMinusOne(a.Word(0)));
}

void SkipWord2(const ScriptArgs& a, CMessageWindowPart& story) { story.SetMessageSwitch(OffForMinusOne(a.Word(0))); }

void AutoProhibit(const ScriptArgs& a, CMessageWindowPart& story) {
  story.SetAutoMessageCheckFlag(OffForMinusOne(a.Word(0)));
}

void SkipWord4(const ScriptArgs& a, CFloatingPart& floating) { floating.SetFloatingButtonOffFlag(OffForMinusOne(a.Word(0))); }

void CutinNumber(const ScriptArgs& a, CMessageWindowPart& story, CModeFlowPart& modes) {
  int& number = story.Words().cutinNumber;
  number = a.Word(0);
  if (CStoryMessageMode* pm = modes.GetPrintMessage()) pm->SetCutinNumber(number);
}

void FrameFlag(const ScriptArgs& a, CModeFlowPart& modes) {
  if (CStoryMessageMode* pm = modes.GetPrintMessage()) pm->SetFrameFlag(a.Word(0));
}

void ChoiceReturn(const ScriptArgs& a, CMessageWindowPart& story) {
  if (a.Word(0) == 1) story.Words().choiceReturn = 1;
}

void ScriptHook(const ScriptArgs& a, CGameHooks& hooks) { hooks.OnScriptCommand(a.Word(0)); }

void CostumeMask(const ScriptArgs& a, CScriptPart& scripts) { scripts.Pictures().costumeMask = a.Word(0); }

void SetVariable(const ScriptArgs& a, CVariablePart& vars) {
  if (a.count >= 2) vars.SetVar(a.Word(0), a.Word(1));
}

void VariantVar(const ScriptArgs& a, CScriptPart& scripts) {
  const int ch = a.Word(0);
  if (ChannelOk(ch, CScriptPart::kEffectChannels, "effect")) scripts.Pictures().variantVars[ch] = a.Word(1);
}

void FaceType(const ScriptArgs& a, CMessageWindowPart& story) { story.SetFaceType(a.Word(0), std::max(a.Word(1), 0)); }

void FaceNumber(const ScriptArgs& a, CMessageWindowPart& story) { story.SetFaceNumber(a.Word(0)); }

// --- Message-window state ---

void WindowState(const ScriptArgs& a, CMessageWindowPart& story, CScriptPart& scripts) {
  CMessageWindowPart::StoryWords& words = story.Words();
  if (a.param > 0) {
    const int key = a.Word(0, -1);
    if (key >= 0) words.messageKey = key;
    // A message not read yet ends a replay.
    if (key != -1 && scripts.IsFastForwarding() && !story.CheckMessageReadFlag(key, -1))
      scripts.SetFastForward(CScriptPart::kReplayRunning, 0);
    const int kind = a.count >= 2 ? a.Word(1) : 0;
    words.readSkip = kind == 1 ? 0 : kind == 2 ? 1 : -1;
  }
  words.windowPendingWord = 0;
}

void WindowDisplay(const ScriptArgs& a, CMessageWindowPart& story, CScriptPart& scripts) {
  if (a.param <= 0) return;
  CMessageWindowPart::StoryWords& words = story.Words();
  const int key = a.Word(0, -1);
  if (key != -1 && scripts.IsFastForwarding() && !story.CheckMessageReadFlag(key, -1))
    scripts.SetFastForward(CScriptPart::kReplaySecond, 0);
  words.displayKind = a.Word(1, 3);
  words.autoKind = a.Word(2, -1);
  if (words.autoKind == 2 || (words.displayKind == 0 && words.autoKind != 1)) story.SetMessageWindowOn(1);
}

// --- Gallery flags ---

bool UnlockAllowed(const CScriptPart& scripts, int replayFlag) {
  const CScriptPart::Settings& s = scripts.GetSettings();
  if (scripts.IsBackScriptRunning() && !scripts.GetSceneReplay() && !s.backScriptSetCGOkFlag) return false;
  if (scripts.IsFastForwarding() && !replayFlag) return false;
  return true;
}

bool GroupLayerOff(const CScriptPart& scripts, const CScreenPart& screen, int group) {
  if (!scripts.GetSettings().offLayerDontSetCG || group < 0 || group >= 32) return false;
  const uint32_t bit = group < 1 ? 1u : 1u << group;
  return (static_cast<uint32_t>(screen.GetLayerDisableMask()) & bit) != 0;
}

void PictureFlag(const ScriptArgs& a, CScriptPart& scripts, CScreenPart& screen, CCommonSystemFile* systemFile) {
  if (!UnlockAllowed(scripts, scripts.GetSettings().mustSetCGFlag) || GroupLayerOff(scripts, screen, a.Word(2, -1)))
    return;
  if (systemFile && a.count >= 2) systemFile->SetCGFlag(a.Word(0) - 1, a.Word(1) - 1);
}

void PictureFlagIf(const ScriptArgs& a, CScriptPart& scripts, CScreenPart& screen, CVariablePart& vars, CCommonSystemFile* systemFile) {
  if (a.count < 5) return;
  const int value = vars.GetVar(a.Word(3));
  const int required = a.Word(4);
  if (required == 0 || required == 1) {
    if (value != 0 && value != 1) return;
  } else if (value != required) {
    return;
  }
  PictureFlag(a, scripts, screen, systemFile);
}

void SceneFlag(const ScriptArgs& a, CScriptPart& scripts, CCommonSystemFile* systemFile) {
  if (!UnlockAllowed(scripts, scripts.GetSettings().mustSetFilmFlag)) return;
  if (systemFile && a.count >= 1) systemFile->SetFilmFlag(RunningProject(scripts), a.Word(0) - 1);
}

// --- Sub-scripts ---

void CallScript(const ScriptArgs& a, CScriptPart& scripts) { scripts.CallSubScript(a.Text(), 1); }

void ReplaceScript(const ScriptArgs& a, CScriptPart& scripts) { scripts.CallSubScript(a.Text(), 0); }

}  // namespace scriptcommand
