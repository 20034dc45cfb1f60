// CGameCallBack: the script command dispatcher, the text and choice
// handoff to the message modes and the small setters. Pictures and sounds
// are in scriptcommands_media.cpp, sub-scripts and the run loops in
// scriptrun.cpp.
//
// Scripts are untrusted: every channel, list and variable number a command
// carries is checked before it is used, and a handler reads only the words
// its record holds (a missing optional word takes its default).
#include "game/scriptcommands.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "effect/alleffect.h"
#include "game/backscriptrunner.h"
#include "modebase/commongeneral.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "modebase/modenumbers.h"
#include "platform/system.h"
#include "savedata/systemfile.h"
#include "script/commandtable.h"
#include "script/script.h"
#include "setup/text.h"

namespace {

constexpr int kChoiceSlots = 64;
// The two names keep 62 bytes and two NULs.

int OffForMinusOne(int v) { return v == -1 ? 0 : v; }

}  // namespace

// The handler of each command of the script's table that the game acts on.
using script::CommandCode;
const ScriptCommandHandlers::Entry ScriptCommandHandlers::kTable[] = {
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
const int ScriptCommandHandlers::kTableSize = sizeof(kTable) / sizeof(kTable[0]);

void CGameCallBack::SystemCommand(int code, int param, const void* data, int extra) {
  const script::CommandInfo* command = script::FindCommand(code);
  if (!command) return;
  const ScriptCommandHandlers::Entry* entry = nullptr;
  for (int i = 0; i < ScriptCommandHandlers::kTableSize && !entry; ++i)
    if (ScriptCommandHandlers::kTable[i].code == code) entry = &ScriptCommandHandlers::kTable[i];
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
  entry->run(*this, a);
}

void CGameCallBack::CommandNotice(int code, int, const char* text) {
  if (code != script::CommandCode("voice")) return;
  setup::CopyCp932Cut(noticedVoice_, text, kNameTextSize - 2);
}

bool ScriptCommandHandlers::ChannelOk(int channel, int count, const char* what) {
  if (channel >= 0 && channel < count) return true;
  platform::DebugPrintf("script: %s channel %d is outside 0..%d; the command is ignored", what,
                        channel, count - 1);
  return false;
}

// --- Text and choices ---

void ScriptCommandHandlers::Message(CGameCallBack& g, const ScriptArgs& a) {
  g.ApplyPendingSwitch();
  const int level = g.scriptLevel_ >= 0 && g.scriptLevel_ < 4 ? g.scriptLevel_ : 0;
  const uint32_t project = static_cast<uint32_t>(g.scriptNumber_[level]);
  const int id = static_cast<int>((project << 16) | (static_cast<uint32_t>(a.param) & 0xFFFF));
  g.messageKey_ = a.param;
  if (g.fastForward_[CGameCallBack::kSkipToPosition]) {
    if (g.settings_.mustSetMessageFlag) g.SetMessageReadFlag(a.param, -1);
    return;
  }
  if (CStoryMessageMode* pm = g.GetPrintMessage()) pm->SetMessage(a.code, id, a.Text(), a.extra);
  if (a.code == script::kTextWindow) g.SetMessageWindowOn(1);
  if (a.code == script::kTextFull) g.SetMessageWindowOn(0);
  if (g.GetCurrentMode() != modenumber::kPrintMessage) g.SetNextMode(modenumber::kPrintMessage);
  CScreenBuffer::SetFullRedraw(0);
}

void ScriptCommandHandlers::Wait(CGameCallBack& g, const ScriptArgs& a) {
  g.ApplyPendingSwitch();
  const int frames = a.Word(0);
  if (g.backScriptRunning_ && g.backScript_) {
    g.backScript_->StartCountDown(frames);
    return;
  }
  if (CStoryMessageMode* pm = g.GetPrintMessage()) pm->SetWaitTime(frames);
  if (frames != 0 && !g.fastForward_[CGameCallBack::kSkipToPosition]) {
    if (g.GetCurrentMode() != modenumber::kPrintMessage) g.SetNextMode(modenumber::kPrintMessage);
    CScreenBuffer::SetFullRedraw(0);
  }
}

void ScriptCommandHandlers::Transition(CGameCallBack& g, const ScriptArgs& a) {
  const int kind = a.Word(0), length = a.Word(1);
  CStoryMessageMode* pm = g.GetPrintMessage();
  if (g.backScriptRunning_ && g.backScript_) {
    // The screen as it stood is where the wipe starts.
    if (g.bufferPicture_[0]) g.bufferPicture_[0]->GetScreen();
    if (g.effect_) g.effect_->Print(0, 0);
    if (g.messageWindowOn_) g.PrintMessageWindow(1, 1, nullptr);
    if (g.effect_) g.effect_->Print(1, 0);
    g.wipeType_ = kind;
    g.wipeLength_ = length;
    if (g.bufferPicture_[1]) g.bufferPicture_[1]->GetScreen();
    g.backScript_->StartTransition(kind, length);
    return;
  }
  if (g.fastForward_[CGameCallBack::kSkipToPosition] && g.fastForward_[CGameCallBack::kReplaySecond])
    return;
  if (g.bufferPicture_[0]) g.bufferPicture_[0]->GetScreen();
  const int onlyEnabled = g.GetBackScriptMode() == 0 ? 1 : 0;
  if (g.effect_) g.effect_->Print(0, onlyEnabled);
  if (g.messageWindowOn_) {
    if (g.displayKind_ == 0)
      g.PrintMessageWindow(1, 1, nullptr);
    else if ((g.displayKind_ == 1 || g.displayKind_ == 2) && pm)
      pm->CheckPrintLprintBG();
  }
  if (g.effect_) g.effect_->Print(1, onlyEnabled);
  g.wipeType_ = kind;
  g.wipeLength_ = length;
  if (g.bufferPicture_[1]) g.bufferPicture_[1]->GetScreen();
  if (pm) pm->SetScreenWait(kind, length);
  if (g.GetCurrentMode() != modenumber::kPrintMessage) g.SetNextMode(modenumber::kPrintMessage);
  CScreenBuffer::SetFullRedraw(0);
}

void ScriptCommandHandlers::Choice(CGameCallBack& g, const ScriptArgs& a) {
  CScript* script = g.CurrentScript();
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
  g.SetMessageWindowOn(0);
  CStoryChoiceMode* sm = g.GetSelectMessage();
  if (sm) {
    sm->AddBackLogHeader();
    sm->SetSelectRange(n, m);
    sm->SetSelectExtra(r);
  }
  // A restored game finds the choice record again by the record's own key
  // word; P is the time limit, shared by many choices.
  g.choiceKey_ = script ? script->GetChoiceKey() : -1;
  for (int i = 0; i < n + m; ++i) {
    const char* text = script ? script->GetString(a.Word(firstText + i)) : "";
    if (!text) text = "";
    // The question lines lose their first byte (a mark of the compiler).
    if (i < m && *text) ++text;
    if (sm) sm->SetSelectText(i, text);
  }
  if (sm) sm->SetTimeLimit(p, q == 0 ? n + 1 : q);
  std::fill(std::begin(g.fastForward_), std::end(g.fastForward_), 0);
  g.SetNextMode(modenumber::kSelectMessage);
}

// --- Small setters ---

void ScriptCommandHandlers::TextShown(CGameCallBack& g, const ScriptArgs&) { g.SetMessageWindowOn(1); }

void ScriptCommandHandlers::StoredOption(CGameCallBack& g, const ScriptArgs& a) {
  const int v = a.Word(0);
  g.SetStoredOption(v == 2 ? 0 : v);
}

void ScriptCommandHandlers::FrameTime(CGameCallBack& g, const ScriptArgs& a) {
  const int ms = a.Word(0);
  if (ms > 0) g.SetFrameTime(ms);
  if (ms == 0) g.ResetFrameTime();
}

void ScriptCommandHandlers::DefaultFrameTime(CGameCallBack& g, const ScriptArgs&) { g.ResetFrameTime(); }

// A line for the on-screen debug list.
void ScriptCommandHandlers::DebugLine(CGameCallBack& g, const ScriptArgs& a) {
  if (g.GetDebugFlag()) g.AddDebugLine(a.Text());
}

void ScriptCommandHandlers::FirstName(CGameCallBack& g, const ScriptArgs& a) {
  g.SetSceneNameText(0, a.Text());
}

void ScriptCommandHandlers::SecondName(CGameCallBack& g, const ScriptArgs& a) {
  g.SetSceneNameText(1, a.Text());
}

void ScriptCommandHandlers::ScriptWord(CGameCallBack& g, const ScriptArgs& a) {
  const int v = a.Word(0);
  if (v > 0) g.scriptWord_ = v;
  if (v < 0) g.scriptWord_ = 0;
}

void ScriptCommandHandlers::WindowDesign(CGameCallBack& g, const ScriptArgs& a) {
  g.SetWindowNumberScript(a.Word(0));
}

void ScriptCommandHandlers::CursorDesign(CGameCallBack& g, const ScriptArgs& a) {
  g.SetCursorNumberScript(a.Word(0));
}

void ScriptCommandHandlers::MouseDesign(CGameCallBack& g, const ScriptArgs& a) {
  g.SetMouseNumberScript(a.Word(0));
}

void ScriptCommandHandlers::WindowMode(CGameCallBack& g, const ScriptArgs& a) {
  g.SetMessageWindowMode(a.Word(0));
}

// A prohibit word: -1 counts as 0; a positive one also stops a running
// skip when the settings say so.
static void SetProhibitWord(CGameCallBack& g, int* word, int value, int stopsSkip) {
  *word = OffForMinusOne(value);
  if (*word > 0 && stopsSkip) {
    g.SetShiftSkipState(0);
    g.EndSkipFilm();
  }
}

void ScriptCommandHandlers::SkipProhibit(CGameCallBack& g, const ScriptArgs& a) {
  SetProhibitWord(g, &g.cannotSkipFlag_, a.Word(0), g.settings_.cannotSkipCheckKillShift);
}

void ScriptCommandHandlers::SkipWord2(CGameCallBack& g, const ScriptArgs& a) {
  g.messageSwitch_ = OffForMinusOne(a.Word(0));
}

void ScriptCommandHandlers::AutoProhibit(CGameCallBack& g, const ScriptArgs& a) {
  SetProhibitWord(g, &g.autoMessageCheckFlag_, a.Word(0), g.settings_.autoMessageCheckKillShift);
}

void ScriptCommandHandlers::SkipWord4(CGameCallBack& g, const ScriptArgs& a) {
  g.floatingButtonOffFlag_ = OffForMinusOne(a.Word(0));
}

void ScriptCommandHandlers::CutinNumber(CGameCallBack& g, const ScriptArgs& a) {
  g.cutinNumber_ = a.Word(0);
  if (CStoryMessageMode* pm = g.GetPrintMessage()) pm->SetCutinNumber(g.cutinNumber_);
}

void ScriptCommandHandlers::FrameFlag(CGameCallBack& g, const ScriptArgs& a) {
  if (CStoryMessageMode* pm = g.GetPrintMessage()) pm->SetFrameFlag(a.Word(0));
}

void ScriptCommandHandlers::ChoiceReturn(CGameCallBack& g, const ScriptArgs& a) {
  if (a.Word(0) == 1) g.choiceReturn_ = 1;
}

void ScriptCommandHandlers::ScriptHook(CGameCallBack& g, const ScriptArgs& a) {
  g.OnScriptCommand(a.Word(0));
}

void ScriptCommandHandlers::CostumeMask(CGameCallBack& g, const ScriptArgs& a) {
  g.costumeMask_ = a.Word(0);
}

void ScriptCommandHandlers::SetVariable(CGameCallBack& g, const ScriptArgs& a) {
  if (a.count >= 2) g.SetVar(a.Word(0), a.Word(1));
}

void ScriptCommandHandlers::VariantVar(CGameCallBack& g, const ScriptArgs& a) {
  const int ch = a.Word(0);
  if (ChannelOk(ch, CGameCallBack::kEffectChannels, "effect")) g.variantVars_[ch] = a.Word(1);
}

void ScriptCommandHandlers::FaceType(CGameCallBack& g, const ScriptArgs& a) {
  g.SetFaceType(a.Word(0), std::max(a.Word(1), 0));
}

void ScriptCommandHandlers::FaceNumber(CGameCallBack& g, const ScriptArgs& a) {
  g.SetFaceNumber(a.Word(0));
}

void ScriptCommandHandlers::SeFade(CGameCallBack& g, const ScriptArgs& a) { g.seFadeTime_ = a.Word(0); }

void ScriptCommandHandlers::VoiceFade(CGameCallBack& g, const ScriptArgs& a) {
  g.voiceFadeTime_ = a.Word(0);
  platform::DebugOutput("\nNextFadeVoiceFunction\n");
}

// --- Message-window state ---

void ScriptCommandHandlers::WindowState(CGameCallBack& g, const ScriptArgs& a) {
  if (a.param > 0) {
    const int key = a.Word(0, -1);
    if (key >= 0) g.messageKey_ = key;
    // A message not read yet ends a replay.
    if (key != -1 && g.fastForward_[CGameCallBack::kReplayRunning] &&
        !g.CheckMessageReadFlag(key, -1))
      g.fastForward_[CGameCallBack::kReplayRunning] = 0;
    const int kind = a.count >= 2 ? a.Word(1) : 0;
    g.readSkip_ = kind == 1 ? 0 : kind == 2 ? 1 : -1;
  }
  g.windowPendingWord_ = 0;
}

void ScriptCommandHandlers::WindowDisplay(CGameCallBack& g, const ScriptArgs& a) {
  if (a.param <= 0) return;
  const int key = a.Word(0, -1);
  if (key != -1 && g.fastForward_[CGameCallBack::kReplayRunning] &&
      !g.CheckMessageReadFlag(key, -1))
    g.fastForward_[CGameCallBack::kReplaySecond] = 0;
  g.displayKind_ = a.Word(1, 3);
  g.autoKind_ = a.Word(2, -1);
  if (g.autoKind_ == 2 || (g.displayKind_ == 0 && g.autoKind_ != 1)) g.SetMessageWindowOn(1);
}

// --- Gallery flags ---

bool ScriptCommandHandlers::UnlockAllowed(CGameCallBack& g, int group, bool useGroup, int replayFlag) {
  if (g.backScriptRunning_ && !g.sceneReplay_ && !g.settings_.backScriptSetCGOkFlag) return false;
  if (g.fastForward_[CGameCallBack::kReplayRunning] && !replayFlag) return false;
  if (useGroup && g.settings_.offLayerDontSetCG && group >= 0 && group < 32) {
    const uint32_t bit = group < 1 ? 1u : 1u << group;
    if (static_cast<uint32_t>(g.GetLayerDisableMask()) & bit) return false;
  }
  return true;
}

void ScriptCommandHandlers::PictureFlag(CGameCallBack& g, const ScriptArgs& a) {
  if (!UnlockAllowed(g, a.Word(2, -1), true, g.settings_.mustSetCGFlag)) return;
  if (g.systemFile_ && a.count >= 2) g.systemFile_->SetCGFlag(a.Word(0) - 1, a.Word(1) - 1);
}

void ScriptCommandHandlers::PictureFlagIf(CGameCallBack& g, const ScriptArgs& a) {
  if (a.count < 5) return;
  const int value = g.GetVar(a.Word(3));
  const int required = a.Word(4);
  if (required == 0 || required == 1) {
    if (value != 0 && value != 1) return;
  } else if (value != required) {
    return;
  }
  PictureFlag(g, a);
}

void ScriptCommandHandlers::SceneFlag(CGameCallBack& g, const ScriptArgs& a) {
  if (!UnlockAllowed(g, -1, false, g.settings_.mustSetFilmFlag)) return;
  const int level = g.scriptLevel_ >= 0 && g.scriptLevel_ < 4 ? g.scriptLevel_ : 0;
  if (g.systemFile_ && a.count >= 1) g.systemFile_->SetFilmFlag(g.scriptNumber_[level], a.Word(0) - 1);
}
