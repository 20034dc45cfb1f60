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

using script::CommandCode;
// The handler of each command of the script's table that the game acts on.
using script::CommandCode;
const Entry kTable[] = {
    {CommandCode("text"), &Message},
    {CommandCode("fulltext"), &Message},
    {CommandCode("moretext"), &Message},
    {CommandCode("wait"), &Wait},
    {CommandCode("wipe"), &Transition},
    {CommandCode("choice"), &Choice},
    {CommandCode("bgm"), &Music},
    {CommandCode("voice"), &Voice},
    {CommandCode("se"), &SoundEffect},
    {CommandCode("getscreen"), &GetScreen},
    {CommandCode("effectclear"), &EffectClear},
    {CommandCode("effect"), &Effect},
    {CommandCode("effectreset"), &EffectReset},
    {CommandCode("loaddwq"), &LoadDwq},
    {CommandCode("effectrect"), &EffectRect},
    {CommandCode("textshown"), &TextShown},
    {CommandCode("cgflag"), &PictureFlag},
    {CommandCode("filmflag"), &SceneFlag},
    {CommandCode("windowstate"), &WindowState},
    {CommandCode("windowdisplay"), &WindowDisplay},
    {CommandCode("option6"), &StoredOption},
    {CommandCode("preloaddwq"), &PreloadDwq},
    {CommandCode("frametime"), &FrameTime},
    {CommandCode("defaultframetime"), &DefaultFrameTime},
    {CommandCode("debugline"), &DebugLine},
    {CommandCode("name1"), &FirstName},
    {CommandCode("name2"), &SecondName},
    {CommandCode("scriptword"), &ScriptWord},
    {CommandCode("windowdesign"), &WindowDesign},
    {CommandCode("cursordesign"), &CursorDesign},
    {CommandCode("mousedesign"), &MouseDesign},
    {CommandCode("skipprohibit"), &SkipProhibit},
    {CommandCode("messageswitch"), &SkipWord2},
    {CommandCode("autoprohibit"), &AutoProhibit},
    {CommandCode("floatingbuttonoff"), &SkipWord4},
    {CommandCode("cutin"), &CutinNumber},
    {CommandCode("frameflag"), &FrameFlag},
    {CommandCode("choicereturn"), &ChoiceReturn},
    {CommandCode("scripthook"), &ScriptHook},
    {CommandCode("windowmode"), &WindowMode},
    {CommandCode("costumemask"), &CostumeMask},
    {CommandCode("cgflagif"), &PictureFlagIf},
    {CommandCode("setvar"), &SetVariable},
    {CommandCode("variantvar"), &VariantVar},
    {CommandCode("face"), &FaceType},
    {CommandCode("facenumber"), &FaceNumber},
    {CommandCode("sefade"), &SeFade},
    {CommandCode("voicefade"), &VoiceFade},
    {CommandCode("sevolume"), &SeVolume},
    {CommandCode("voicevolume"), &VoiceVolume},
    {CommandCode("bgmvolume"), &MusicVolume},
    {CommandCode("callscript"), &CallScript},
    {CommandCode("jumpscript"), &ReplaceScript},
    {CommandCode("callscript2"), &CallScript},
};
const int kTableSize = sizeof(kTable) / sizeof(kTable[0]);

bool ChannelOk(int channel, int count, const char* what) {
  if (channel >= 0 && channel < count) return true;
  platform::DebugPrintf("script: %s channel %d is outside 0..%d; the command is ignored", what, channel,
                        count - 1);
  return false;
}

CScript* CommandScript(GameParts& g) {
  const CScriptPart& scripts = *g.scripts;
  if (scripts.IsBackScriptRunning() && scripts.GetBackScriptRunner()) return scripts.GetBackScriptRunner()->GetScript();
  return scripts.CurrentScript();
}

void ReportCommandFault(GameParts& g, const std::string& what) {
  const CScript* script = CommandScript(g);
  const std::string name = script && *script->GetLoadedName() ? script->GetLoadedName() : "the script";
  const int at = script ? script->GetCommandStart() : -1;
  platform::ErrorOutput((name + " at word " + std::to_string(at) + ": " + what).c_str());
}

bool WipeExists(GameParts& g, int n) {
  const CAllEffect* effect = g.screen->GetEffect();
  const CEffectManager* manager = effect ? effect->GetManager() : nullptr;
  const auto* wipe =
      manager ? dynamic_cast<const CEffectSimpleWipe*>(manager->GetEffect(CEffectSimpleWipe::kNumber)) : nullptr;
  return wipe && wipe->GetWipe(n);
}

// --- Text and choices ---

void Message(GameParts& g, const ScriptArgs& a) {
  CMessageWindowPart& story = *g.messageWindow;
  CScriptPart& scripts = *g.scripts;
  CModeFlowPart& modes = *g.modes;
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
      ReportCommandFault(g, ((a.param & 0xFFFF) == 0xFFFF ? std::string("the page without a key")
                                                          : "the page with key " + std::to_string(a.param)) +
                                ": " + problem);
  }
  if (a.code == script::kTextWindow) story.SetMessageWindowOn(1);
  if (a.code == script::kTextFull) story.SetMessageWindowOn(0);
  if (modes.GetCurrentMode() != modenumber::kPrintMessage) modes.SetNextMode(modenumber::kPrintMessage);
  CScreenBuffer::SetFullRedraw(0);
}

void Wait(GameParts& g, const ScriptArgs& a) {
  CModeFlowPart& modes = *g.modes;
  g.messageWindow->ApplyPendingSwitch();
  const int frames = a.Word(0);
  CBackScriptRunner* back = g.scripts->GetBackScriptRunner();
  if (g.scripts->IsBackScriptRunning() && back) {
    back->StartCountDown(frames);
    return;
  }
  if (CStoryMessageMode* pm = modes.GetPrintMessage()) pm->SetWaitTime(frames);
  if (frames != 0 && !g.scripts->IsSkippingToPosition()) {
    if (modes.GetCurrentMode() != modenumber::kPrintMessage) modes.SetNextMode(modenumber::kPrintMessage);
    CScreenBuffer::SetFullRedraw(0);
  }
}

void Transition(GameParts& g, const ScriptArgs& a) {
  CScreenPart& screen = *g.screen;
  CScriptPart& scripts = *g.scripts;
  CMessageWindowPart& story = *g.messageWindow;
  CModeFlowPart& modes = *g.modes;
  CAllEffect* effect = screen.GetEffect();
  CPicture* from = screen.GetBufferPicture(0);
  CPicture* to = screen.GetBufferPicture(1);
  const int kind = a.Word(0), length = a.Word(1);
  if (!WipeExists(g, kind))
    ReportCommandFault(g, "wipe " + std::to_string(kind) + " does not exist; the transition shows no wipe");
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

void Choice(GameParts& g, const ScriptArgs& a) {
  CScript* script = g.scripts->CurrentScript();
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
  g.messageWindow->SetMessageWindowOn(0);
  CStoryChoiceMode* sm = g.modes->GetSelectMessage();
  if (sm) {
    sm->AddBackLogHeader();
    sm->SetSelectRange(n, m);
    sm->SetSelectExtra(r);
  }
  // A restored game finds the choice record again by the record's own key
  // word; P is the time limit, shared by many choices.
  g.messageWindow->Words().choiceKey = script ? script->GetChoiceKey() : -1;
  for (int i = 0; i < n + m; ++i) {
    const char* text = script ? script->GetString(a.Word(firstText + i)) : "";
    if (!text) text = "";
    // The question lines lose their first byte (a mark of the compiler).
    if (i < m && *text) ++text;
    if (sm) sm->SetSelectText(i, text);
  }
  if (sm) sm->SetTimeLimit(p, q == 0 ? n + 1 : q);
  g.scripts->ClearFastForward();
  g.modes->SetNextMode(modenumber::kSelectMessage);
}

// --- Small setters ---

void TextShown(GameParts& g, const ScriptArgs&) { g.messageWindow->SetMessageWindowOn(1); }

void StoredOption(GameParts& g, const ScriptArgs& a) {
  const int v = a.Word(0);
  g.messageWindow->SetStoredOption(v == 2 ? 0 : v);
}

void FrameTime(GameParts& g, const ScriptArgs& a) {
  const int ms = a.Word(0);
  if (ms > 0) g.frame->SetFrameTime(ms);
  if (ms == 0) g.frame->ResetFrameTime();
}

void DefaultFrameTime(GameParts& g, const ScriptArgs&) { g.frame->ResetFrameTime(); }

// A line for the on-screen debug list.
void DebugLine(GameParts& g, const ScriptArgs& a) {
  if (g.debug->GetDebugFlag()) g.debug->AddDebugLine(a.Text());
}

void FirstName(GameParts& g, const ScriptArgs& a) { g.debug->SetSceneNameText(0, a.Text()); }

void SecondName(GameParts& g, const ScriptArgs& a) { g.debug->SetSceneNameText(1, a.Text()); }

void ScriptWord(GameParts& g, const ScriptArgs& a) {
  const int v = a.Word(0);
  if (v > 0) g.vars->SetScriptWord(v);
  if (v < 0) g.vars->SetScriptWord(0);
}

void WindowDesign(GameParts& g, const ScriptArgs& a) { g.messageWindow->SetWindowNumberScript(a.Word(0)); }

void CursorDesign(GameParts& g, const ScriptArgs& a) { g.floating->SetCursorNumberScript(a.Word(0)); }

void MouseDesign(GameParts& g, const ScriptArgs& a) { g.floating->SetMouseNumberScript(a.Word(0)); }

void WindowMode(GameParts& g, const ScriptArgs& a) { g.messageWindow->SetMessageWindowMode(a.Word(0)); }

// The prohibit words: -1 counts as 0; a positive one also stops a running
// skip when the settings say so.
void SkipProhibit(GameParts& g, const ScriptArgs& a) {
  g.messageWindow->SetCannotSkipFlag(OffForMinusOne(a.Word(0)));
}

void SkipWord2(GameParts& g, const ScriptArgs& a) { g.messageWindow->SetMessageSwitch(OffForMinusOne(a.Word(0))); }

void AutoProhibit(GameParts& g, const ScriptArgs& a) {
  g.messageWindow->SetAutoMessageCheckFlag(OffForMinusOne(a.Word(0)));
}

void SkipWord4(GameParts& g, const ScriptArgs& a) { g.floating->SetFloatingButtonOffFlag(OffForMinusOne(a.Word(0))); }

void CutinNumber(GameParts& g, const ScriptArgs& a) {
  int& number = g.messageWindow->Words().cutinNumber;
  number = a.Word(0);
  if (CStoryMessageMode* pm = g.modes->GetPrintMessage()) pm->SetCutinNumber(number);
}

void FrameFlag(GameParts& g, const ScriptArgs& a) {
  if (CStoryMessageMode* pm = g.modes->GetPrintMessage()) pm->SetFrameFlag(a.Word(0));
}

void ChoiceReturn(GameParts& g, const ScriptArgs& a) {
  if (a.Word(0) == 1) g.messageWindow->Words().choiceReturn = 1;
}

void ScriptHook(GameParts& g, const ScriptArgs& a) { g.hooks->OnScriptCommand(a.Word(0)); }

void CostumeMask(GameParts& g, const ScriptArgs& a) { g.scripts->Pictures().costumeMask = a.Word(0); }

void SetVariable(GameParts& g, const ScriptArgs& a) {
  if (a.count >= 2) g.vars->SetVar(a.Word(0), a.Word(1));
}

void VariantVar(GameParts& g, const ScriptArgs& a) {
  const int ch = a.Word(0);
  if (ChannelOk(ch, CScriptPart::kEffectChannels, "effect")) g.scripts->Pictures().variantVars[ch] = a.Word(1);
}

void FaceType(GameParts& g, const ScriptArgs& a) { g.messageWindow->SetFaceType(a.Word(0), std::max(a.Word(1), 0)); }

void FaceNumber(GameParts& g, const ScriptArgs& a) { g.messageWindow->SetFaceNumber(a.Word(0)); }

// --- Message-window state ---

void WindowState(GameParts& g, const ScriptArgs& a) {
  CMessageWindowPart& story = *g.messageWindow;
  CScriptPart& scripts = *g.scripts;
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

void WindowDisplay(GameParts& g, const ScriptArgs& a) {
  if (a.param <= 0) return;
  CMessageWindowPart& story = *g.messageWindow;
  CScriptPart& scripts = *g.scripts;
  CMessageWindowPart::StoryWords& words = story.Words();
  const int key = a.Word(0, -1);
  if (key != -1 && scripts.IsFastForwarding() && !story.CheckMessageReadFlag(key, -1))
    scripts.SetFastForward(CScriptPart::kReplaySecond, 0);
  words.displayKind = a.Word(1, 3);
  words.autoKind = a.Word(2, -1);
  if (words.autoKind == 2 || (words.displayKind == 0 && words.autoKind != 1)) story.SetMessageWindowOn(1);
}

// --- Gallery flags ---

bool UnlockAllowed(GameParts& g, int group, bool useGroup, int replayFlag) {
  const CScriptPart& scripts = *g.scripts;
  const CScriptPart::Settings& s = scripts.GetSettings();
  if (scripts.IsBackScriptRunning() && !scripts.GetSceneReplay() && !s.backScriptSetCGOkFlag) return false;
  if (scripts.IsFastForwarding() && !replayFlag) return false;
  if (useGroup && s.offLayerDontSetCG && group >= 0 && group < 32) {
    const uint32_t bit = group < 1 ? 1u : 1u << group;
    if (static_cast<uint32_t>(g.screen->GetLayerDisableMask()) & bit) return false;
  }
  return true;
}

void PictureFlag(GameParts& g, const ScriptArgs& a) {
  if (!UnlockAllowed(g, a.Word(2, -1), true, g.scripts->GetSettings().mustSetCGFlag)) return;
  if (g.systemFile && a.count >= 2) g.systemFile->SetCGFlag(a.Word(0) - 1, a.Word(1) - 1);
}

void PictureFlagIf(GameParts& g, const ScriptArgs& a) {
  if (a.count < 5) return;
  const int value = g.vars->GetVar(a.Word(3));
  const int required = a.Word(4);
  if (required == 0 || required == 1) {
    if (value != 0 && value != 1) return;
  } else if (value != required) {
    return;
  }
  PictureFlag(g, a);
}

void SceneFlag(GameParts& g, const ScriptArgs& a) {
  if (!UnlockAllowed(g, -1, false, g.scripts->GetSettings().mustSetFilmFlag)) return;
  if (g.systemFile && a.count >= 1) g.systemFile->SetFilmFlag(RunningProject(*g.scripts), a.Word(0) - 1);
}

// --- Sub-scripts ---

void CallScript(GameParts& g, const ScriptArgs& a) { g.scripts->CallSubScript(a.Text(), 1); }

void ReplaceScript(GameParts& g, const ScriptArgs& a) { g.scripts->CallSubScript(a.Text(), 0); }

}  // namespace scriptcommand
