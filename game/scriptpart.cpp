#include "game/scriptpart.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "game/backscriptrunner.h"
#include "game/extramodes.h"
#include "game/floatingpart.h"
#include "game/framepart.h"
#include "game/gamehooks.h"
#include "game/gamelists.h"
#include "game/gameparts.h"
#include "game/messagewindowpart.h"
#include "game/modeflowpart.h"
#include "game/savepart.h"
#include "game/screenpart.h"
#include "game/settingkeys.h"
#include "game/variablepart.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "modebase/commongeneral.h"
#include "modebase/moderoles.h"
#include "modebase/modenumbers.h"
#include "platform/system.h"
#include "platform/types.h"
#include "savedata/inttablefile.h"
#include "savedata/scenedata.h"
#include "script/codes.h"
#include "script/script.h"
#include "setup/namelist.h"
#include "savedata/gamestatus.h"

namespace {

// Results acted on per frame; what is left goes on in the next frame.
constexpr int kResultsPerFrame = 64;
constexpr int kMaxLevel = 3;
constexpr int kResultRows = CSaveServices::kResultRows;
// Capacities a settings list may give a script, in words.
constexpr int kMaxScriptWords = 1 << 24;
// The boxes of a call below level 3 and of a scene the script does not have.
constexpr char kTooDeep[] = "\x82\xB1\x82\xEA\x88\xC8\x8F\xE3\x81" "A\x89\xBA\x82\xCC\x83X\x83N\x83\x8A\x83v\x83g\x82\xCD\x82\xE6\x82\xD7\x82\xDC\x82\xB9\x82\xF1";
constexpr char kBadScene[] =
    "\x83V\x81[\x83\x93\x94\xD4\x8D\x86\x82\xAA\x95\xCF\x82\xA9\x81" "A\x82\xE0\x82\xB5\x82\xAD\x82\xCD\x81" "A\x83R\x83\x93\x83p\x83" "C\x83\x8B\x82\xB5\x82\xBDplotwick\x82\xAA\x8C\xC3\x82\xA2\x82\xDD\x82\xBD\x82\xA2\x82\xC5\x82\xB7\x82\xC9\x82\xE1";

using Key = IntKey<CScriptPart::Settings>;
using S = CScriptPart::Settings;

const Key kScriptKeys[] = {
    {"noScriptFlag", &S::noScriptFlag},
    {"controlScriptSize", &S::controlScriptSize},
    {"execScriptSize", &S::execScriptSize},
    {"subScriptSize", &S::subScriptSize},
    {"subSubScriptSize", &S::subSubScriptSize},
    {"maxSkipFrameBackScript", &S::maxSkipFrameBackScript},
    {"backScriptSetCGOkFlag", &S::backScriptSetCGOkFlag},
    {"varControlLoadDWQErrorPrint", &S::varControlLoadDWQErrorPrint},
    {"mustSetCGFlag", &S::mustSetCGFlag},
    {"mustSetFilmFlag", &S::mustSetFilmFlag},
    {"mustSetMessageFlag", &S::mustSetMessageFlag},
    {"offLayerDontSetCG", &S::offLayerDontSetCG},
};

}  // namespace

CScriptPart::CScriptPart(const Links& links) : links_(links) {}

// The scripts go from the deepest level up.
CScriptPart::~CScriptPart() {
  backScript_.reset();
  for (int i = kLevels - 1; i >= 0; --i) scripts_[i].reset();
}

void CScriptPart::ReadSettings() {
  Settings& s = settings_;
  s.maxSkipFrameBackScript = links_.frame->GetSettings().maxSkipFrame;
  ReadIntKeys(links_.list, &s, kScriptKeys);
  const Settings defaults;
  int* sizes[kLevels] = {&s.controlScriptSize, &s.execScriptSize, &s.subScriptSize, &s.subSubScriptSize};
  const int kept[kLevels] = {defaults.controlScriptSize, defaults.execScriptSize, defaults.subScriptSize,
                             defaults.subSubScriptSize};
  for (int i = 0; i < kLevels; ++i)
    if (*sizes[i] < 1 || *sizes[i] > kMaxScriptWords) *sizes[i] = kept[i];
}

void CScriptPart::Init() {
  if (settings_.noScriptFlag) return;
  const int sizes[kLevels] = {settings_.controlScriptSize, settings_.execScriptSize, settings_.subScriptSize,
                              settings_.subSubScriptSize};
  for (int i = 0; i < kLevels; ++i) scripts_[i] = std::make_unique<CScript>(links_.callback, sizes[i]);
  // A missing file goes to the script's error ring.
  scripts_[0]->Load(kControlScriptPath);
  links_.saves->KeepGameState();
}

void CScriptPart::InitFunctionNumbers() {
  const CGameLists& lists = *links_.lists;
  functions_.adjustDate = lists.FunctionRow("adjustdate");
  functions_.setScene = lists.FunctionRow("setscene");
  functions_.saveSystemFile = lists.FunctionRow("savesystemfile");
  functions_.layer = lists.FunctionRow("layer");
  functions_.stopF5 = lists.FunctionRow("stopf5");
  if (links_.floating->GetSettings().noticeFlag) functions_.notice = lists.FunctionRow("notice");
  // "getresult" is the built-in even without a variable for its answer;
  // it then does nothing.
  if (links_.saves->GetSettings().resultFlag) {
    functions_.setResult = lists.FunctionRow("setresult");
    functions_.getResult = lists.FunctionRow("getresult");
  }
}

// --- Registration ---

int CScriptPart::RegistSystemCall(int mode, const char* name) {
  const CNameList* commands = links_.lists->GetCommandList();
  if (systemCallCount_ >= kTableRows || links_.modes->IsModeDisabled(mode) || !name || !commands) return 0;
  // The command list holds pairs; a name counts wherever it stands.
  const int token = commands->Search(name, -1);
  if (token < 0) {
    std::fprintf(stderr,
                 "spt\\command.xtx: mode %d asks for the call \"%s\", which the list does not name; "
                 "scripts cannot call it\n",
                 mode, name);
    return 0;
  }
  systemCalls_[systemCallCount_][0] = token / 2;
  systemCalls_[systemCallCount_][1] = mode;
  ++systemCallCount_;
  return 1;
}

int CScriptPart::RegistSystemFunction(int mode, const char* name, int value) {
  if (systemFunctionCount_ >= kTableRows || links_.modes->IsModeDisabled(mode) || !name) return 0;
  const int row = links_.lists->FunctionRow(name);
  if (row < 0) return 0;
  systemFunctions_[systemFunctionCount_][0] = row;
  systemFunctions_[systemFunctionCount_][1] = mode;
  systemFunctions_[systemFunctionCount_][2] = value;
  ++systemFunctionCount_;
  return 1;
}

void CScriptPart::RegistExtraModeCalls() {
  // After the command list is loaded, before any mode registers: the
  // tables start empty, then every extra mode left on is a call under its
  // own name, when the command list names it. An extra mode the list does
  // not name is reached from the menus only, which is no fault: the debug
  // output says so (a misspelt name then shows). A list without a single
  // call is always told.
  systemCallCount_ = systemFunctionCount_ = 0;
  const CNameList* commands = links_.lists->GetCommandList();
  if (commands && commands->GetCount() < 2)
    std::fprintf(stderr, "spt\\command.xtx holds no calls; scripts cannot call any mode\n");
  const CExtraModeList* extras = links_.modes->GetExtraModeList();
  for (int i = 0; extras && i < extras->GetCount(); ++i) {
    const int n = extras->GetNumber(i);
    const char* name = extras->GetName(i);
    if (links_.modes->IsModeDisabled(n) || !name || !commands) continue;
    if (commands->Search(name, -1) < 0) {
      const std::string line = std::string("spt\\command.xtx does not name the mode \"") + name +
                               "\"; scripts cannot call it\n";
      platform::DebugOutput(line.c_str());
      continue;
    }
    RegistSystemCall(n, name);
  }
}

// --- Calls and functions ---

void CScriptPart::SystemCall(int code, int count, const int* values) {
  if (!values) count = 0;
  links_.messageWindow->ClearSkipFilm();
  CModeFlowPart& modes = *links_.modes;
  for (int i = 0; i < systemCallCount_; ++i) {
    if (systemCalls_[i][0] != code) continue;
    CCommonGeneral* mode = modes.GetMode(systemCalls_[i][1]);
    if (!mode) continue;
    links_.floating->PrintFloatingLayers();
    const int args[2] = {count > 0 ? values[0] : 0, count > 1 ? values[1] : 0};
    mode->SetCallArgs(2, args);
    modes.SetNextMode(systemCalls_[i][1]);
    return;
  }
  links_.hooks->OnSystemCall(code, count, values);
}

int CScriptPart::SystemFunction(int code, int count, const int* values) {
  if (count < 0 || !values) count = 0;
  // Each built-in whose number matches is applied, in this order.
  using Builtin = int (CScriptPart::*)(int, const int*);
  const struct {
    int number;
    Builtin run;
  } builtins[] = {
      {functions_.stopF5, &CScriptPart::RunStopF5},
      {functions_.saveSystemFile, &CScriptPart::RunSaveSystemFile},
      {functions_.layer, &CScriptPart::RunLayer},
      {functions_.notice, &CScriptPart::RunNotice},
      {functions_.setResult, &CScriptPart::RunSetResult},
      {functions_.getResult, &CScriptPart::RunGetResult},
  };
  bool matched = false;
  int result = 0;
  for (const auto& b : builtins) {
    if (b.number < 0 || b.number != code) continue;
    matched = true;
    result = (this->*b.run)(count, values);
  }
  if (matched) return result;
  for (int i = 0; i < systemFunctionCount_; ++i) {
    if (systemFunctions_[i][0] != code) continue;
    CCommonGeneral* mode = links_.modes->GetMode(systemFunctions_[i][1]);
    if (!mode) continue;
    matched = true;
    result = mode->Function(systemFunctions_[i][2], count, values);
  }
  return matched ? result : links_.hooks->OnSystemFunction(code, count, values);
}

int CScriptPart::RunStopF5(int, const int*) {
  links_.messageWindow->ClearSkipFilm();
  return 0;
}

int CScriptPart::RunSaveSystemFile(int, const int*) {
  links_.saves->SaveSystemFile();
  return 0;
}

int CScriptPart::RunLayer(int count, const int* values) {
  if (count < 1) return 0;
  links_.screen->SwitchEffectLayer(values[0], count > 1 ? values[1] : 1);
  return 0;
}

// Notice n (from 1); without the notice object nothing shows.
int CScriptPart::RunNotice(int count, const int* values) {
  if (count >= 1) links_.floating->SetNotice(values[0] - 1);
  return 0;
}

int CScriptPart::RunSetResult(int count, const int* values) {
  CIntTableFile* table = links_.saves->GetResultTable();
  if (count < 1 || !table) return 0;
  const int row = values[0];
  if (row < 0 || row >= kResultRows || table->GetValue(row, 0) != 0) return 0;
  table->SetValue(row, count > 1 ? values[1] : 1, 0);
  // With "autoResultNotice" notice row + autoResultNotice - 2 follows.
  const int autoNotice = links_.saves->GetSettings().autoResultNotice;
  const int64_t notice = int64_t{row} + autoNotice - 2;
  if (autoNotice >= 1 && notice <= INT32_MAX) links_.floating->SetNotice(static_cast<int>(notice));
  return 0;
}

int CScriptPart::RunGetResult(int count, const int* values) {
  const CIntTableFile* table = links_.saves->GetResultTable();
  const int var = links_.saves->GetResultVar();
  if (count < 1 || !table || var < 0) return 0;
  const int row = values[0];
  const int threshold = count > 1 ? values[1] : 1;
  const int entry = row >= 0 && row < kResultRows ? table->GetValue(row, 0) : 0;
  links_.vars->SetVar(var, entry >= threshold ? 1 : 0);
  return 0;
}

void CScriptPart::SetCallParam(int count, const int* values) {
  if (count < 0 || !values) count = 0;
  if (count > kMaxCallParams) count = kMaxCallParams;
  for (int i = 0; i < count; ++i) callParams_[i] = values[i];
  callParamCount_ = count;
}

// --- The levels ---

int CScriptPart::GetRunningScriptNumber(int fallback) const {
  return scriptLevel_ >= 0 && scriptLevel_ < kLevels ? scriptNumber_[scriptLevel_] : fallback;
}

int CScriptPart::ReloadScript(int level, int number) {
  if (level < 1 || level >= kLevels || !scripts_[level]) return 0;
  const std::string path = links_.lists->ScriptPath(number);
  if (path.empty()) return 0;
  scriptNumber_[level] = number;
  return scripts_[level]->Load(path.c_str());
}

void CScriptPart::RewindControlScript(bool alsoLevel1) {
  if (scripts_[0]) {
    scripts_[0]->SetPC(0);
    scripts_[0]->SetCallDepth(0);
  }
  if (alsoLevel1 && scripts_[1]) scripts_[1]->SetPC(0);
  scriptLevel_ = 0;
}

void CScriptPart::CheckControlScriptLoaded() {
  // Without its system script the run stops at once and ends the game on
  // the title, on every start, even where an earlier start stopped.
  if (!scripts_[0] || scripts_[0]->IsLoaded()) return;
  ReportNoControlScript();
  halt_.halted = 0;
  calledScriptFailed_ = 1;
}

void CScriptPart::ReportNoControlScript() {
  const std::string head =
      std::string(kControlScriptPath) + ": the game cannot start without the system script";
  const char* why = scripts_[0] ? scripts_[0]->GetError(0) : "";
  platform::ErrorOutput((head + " (" + why + ")").c_str());
  if (noControlScriptShown_) return;
  noControlScriptShown_ = 1;
  platform::MessageBox(nullptr, (head + "\n" + why).c_str(), "ERROR", MB_OK | MB_ICONERROR);
}

int CScriptPart::CallScriptLabel(int label) {
  CScript* script = CurrentScript();
  if (!script || !script->GotoLabel(label)) return -1;
  return 0;
}

// --- Running ---

int CScriptPart::CallControlScript(int start) {
  if (start != -1) return RunCurrentScript(start);
  RunScriptStep();
  return 0;
}

int CScriptPart::RunCurrentScript(int start) {
  CScript* script = CurrentScript();
  if (!script) return script::kResultError;
  script->SetStepLimit(scriptRecordLimit_);
  return script->Run(start);
}

void CScriptPart::StartFastForward(int skipToPosition) {
  fastForward_[kReplayRunning] = 1;
  fastForward_[kSkipToPosition] = skipToPosition ? 1 : 0;
  fastForward_[kReplaySecond] = skipToPosition ? 1 : 0;
  fastForward_[kReplayPage] = 0;
}

void CScriptPart::ClearFastForward() { std::fill(std::begin(fastForward_), std::end(fastForward_), 0); }

void CScriptPart::RunScriptStep() {
  CMessageWindowPart& story = *links_.messageWindow;
  int budget = kResultsPerFrame;
  while (fastForward_[kReplayRunning]) {
    if (budget-- <= 0) return CountBusyFrame(true);
    if (!ActOnScriptResult(RunCurrentScript(-1), 1)) break;
  }
  while (story.GetSkipFilmFlag()) {
    // A script that stopped on an end or an error stays stopped until
    // something moves it.
    CScript* script = CurrentScript();
    if (halt_.halted && script && halt_.level == scriptLevel_ && halt_.pc == script->GetPC()) {
      story.SetSkipFilmFlag(0);
      return CountBusyFrame(false);
    }
    halt_.halted = 0;
    story.SetSkipFilmFlag(0);
    for (;;) {
      if (budget-- <= 0) {
        story.SetSkipFilmFlag(1);
        return CountBusyFrame(true);
      }
      if (!ActOnScriptResult(RunCurrentScript(-1), 0)) break;
    }
  }
  CountBusyFrame(false);
}

void CScriptPart::CountBusyFrame(bool busy) {
  if (!busy) {
    busyFrames_ = 0;
    return;
  }
  if (++busyFrames_ != kBusyFramesReported) return;
  const CScript* script = CurrentScript();
  char line[CScript::kNameLength + 200];
  std::snprintf(line, sizeof line,
                "%s: the script has run %d frames in a row without waiting (level %d, now at word %d); "
                "nothing on the screen changes until it reaches a text, wait or choice",
                script ? script->GetLoadedName() : "", kBusyFramesReported, scriptLevel_,
                script ? script->GetPC() : -1);
  platform::ErrorOutput(line);
}

int CScriptPart::ActOnScriptResult(int result, int fastForward) {
  switch (result) {
    case script::kResultStepLimit:
      return 1;
    case script::kResultSystemCall:
      if (!fastForward) return 0;
      links_.hooks->OnRestoreStateHook();
      return 1;
    case script::kStopHere5:
      scriptLevel_ = 0;
      if (scripts_[0]) {
        scripts_[0]->SetPC(0);
        scripts_[0]->SetCallDepth(0);
      }
      return 1;
    case script::kStopHere6:
      if (scriptLevel_ > 0) {
        --scriptLevel_;
        return 1;
      }
      // A return from the control script itself has nowhere to go and
      // would come again on every run: a replay ends here.
      EndFastForward();
      return 0;
    case script::kCallScript:
    case script::kStopAfterE:
    case script::kStopAfter13:
    case script::kReplaceScript:
    case script::kCallScript2:
      return 1;
    case script::kStopAfterB:
      EndOfGame();
      return 0;
    case script::kStopAfterC:
      if (sceneReplay_) {
        if (!CallNextSceneItem()) {
          if (CStoryMessageMode* pm = links_.modes->GetPrintMessage()) pm->ResetGame();
          fastForward_[kReplayRunning] = 0;
          sceneReplay_ = 0;
          links_.modes->SetNextMode(modenumber::kSelectScene);
          return 0;
        }
        if (fastForward_[kReplayPage]) ClearFastForward();
      }
      return 1;
    case script::kResultEnd:
    case script::kResultError: {
      // Never repeated: a replay whose place is gone ends here.
      EndFastForward();
      ReportScriptStop(result);
      // A called script that could not be loaded (its loader said why), or
      // the system script missing at a game start, never runs: the game
      // ends on the title instead of standing still.
      const CScript* current = CurrentScript();
      if (result == script::kResultError && calledScriptFailed_ && current && !current->IsLoaded()) {
        EndOfGame();
      } else if (result == script::kResultEnd && current && current->RanOffItsEnd()) {
        // A story that runs off the end of its code has nowhere to go: the
        // player is told and taken back to the title.
        ReportRanOffEnd();
        EndOfGame();
      }
      calledScriptFailed_ = 0;
      return 0;
    }
    default:
      // A blocking command: the replay goes on past it only while it skips
      // to its saved message.
      if (!fastForward) return 0;
      if (!fastForward_[kSkipToPosition]) fastForward_[kReplayRunning] = 0;
      return fastForward_[kReplayRunning];
  }
}

void CScriptPart::EndFastForward() {
  if (!fastForward_[kReplayRunning]) return;
  ClearFastForward();
  links_.messageWindow->EndSkipFilm();
}

void CScriptPart::ReportScriptStop(int result) {
  CScript* script = CurrentScript();
  const char* name = script ? script->GetLoadedName() : "";
  if (result == script::kResultEnd)
    platform::DebugPrintf("script: %s (level %d) has no more code; it stops here", name, scriptLevel_);
  else
    platform::DebugPrintf("script: %s (level %d) stopped on an error: %s", name, scriptLevel_,
                          script ? script->GetError(0) : "no script");
  halt_.halted = 1;
  halt_.level = scriptLevel_;
  halt_.pc = script ? script->GetPC() : -1;
}

void CScriptPart::ReportRanOffEnd() {
  const CScript* script = CurrentScript();
  if (!script) return;
  const std::string text = std::string(script->GetLoadedName()) + ": the script ran off its end at word " +
                           std::to_string(script->GetPC()) +
                           "\nNo exitscript, endgame or jumpscript comes before it; the game goes back to "
                           "the title.";
  platform::MessageBox(nullptr, text.c_str(), "ERROR", MB_OK | MB_ICONERROR);
}

void CScriptPart::EndOfGame() {
  links_.floating->RestoreFloatingLayers();
  if (CPicture* screen = links_.screen->GetScreenPicture()) screen->GetScreen();
  links_.vars->StoreNamesAndKeptVars();
  CModeFlowPart& modes = *links_.modes;
  for (int n = 1; n < modenumber::kModeCount; ++n)
    if (CCommonGeneral* mode = modes.GetMode(n)) mode->ExitGame();
  links_.saves->SaveSystemFile();
  links_.messageWindow->EndSkipFilm();
  modes.SetNextMode(modenumber::kTitle);
  fastForward_[kReplayRunning] = 0;
}

// --- Sub-scripts ---

void CScriptPart::CallSubScript(const char* name, int down) {
  if (backScriptRunning_) {
    platform::DebugPrintf("script: the back script cannot call \"%s\"; ignored", name ? name : "");
    return;
  }
  const std::string path = std::string("spt\\") + (name ? name : "") + ".spt";
  if (down) {
    if (scriptLevel_ < kMaxLevel)
      ++scriptLevel_;
    else
      platform::MessageBox(nullptr, path.c_str(), kTooDeep, MB_OK);
  }
  scriptLevel_ = std::clamp(scriptLevel_, 0, kMaxLevel);
  const CNameList* projects = links_.lists->GetProjectList();
  const int found = projects && name ? projects->Search(name, 0) : -1;
  scriptNumber_[scriptLevel_] = std::max(found, 0);
  CScript* script = scripts_[scriptLevel_].get();
  if (!script) return;
  calledScriptFailed_ = script->Load(path.c_str()) ? 0 : 1;
  if (calledScriptFailed_) script->ReportLoadFailure();
  script->SetPC(0);
  script->SetCallDepth(0);
}

// --- Scene replay ---

int CScriptPart::StartSceneScript() {
  CSceneList* scenes = links_.saves->GetSceneList();
  CSceneDataFile* sceneData = links_.saves->GetSceneDataFile();
  if (!scenes || !sceneData || !scripts_[1]) return 0;
  links_.messageWindow->Words().cutinNumber = 0;
  if (CStoryMessageMode* pm = links_.modes->GetPrintMessage()) pm->SetCutinNumber(0);
  const int chara = scenes->GetCurrentChara(), scene = scenes->GetCurrentScene();
  const int number = sceneData->GetSceneScript(chara, scene);
  const CNameList* projects = links_.lists->GetProjectList();
  const char* name = projects ? projects->GetName(number) : nullptr;
  scenes->SetItemCursor(0);
  const int label = sceneData->GetItem(chara, scene, 0);
  if (!name || !scripts_[1]->Load((std::string("spt\\") + name + ".spt").c_str()) ||
      !scripts_[1]->GotoLabel(label)) {
    platform::MessageBox(nullptr, kBadScene, "ERROR", MB_OK);
    return 0;
  }
  scripts_[1]->SetCallDepth(0);
  scriptLevel_ = 1;
  scriptNumber_[1] = number;
  sceneScriptNumber_ = number;
  sceneReplay_ = 1;
  links_.messageWindow->SetSkipFilmFlag(1);
  CScreenBuffer::SetFullRedraw(0);
  return 1;
}

int CScriptPart::CallNextSceneItem() {
  CSceneList* scenes = links_.saves->GetSceneList();
  if (!scenes || !scripts_[1]) return 0;
  const int item = scenes->NextItem();
  if (item < 0) return 0;
  return scripts_[1]->GotoLabel(item) ? 1 : 0;
}

// --- The back-script runner ---

void CScriptPart::ResetBackScript() {
  if (backScript_) backScript_->Restart();
}

int CScriptPart::LoadBackScript(const char* name) {
  if (!backScript_) backScript_ = std::make_unique<CBackScriptRunner>(
        CBackScriptRunner::Links{*this, *links_.frame, *links_.screen, *links_.lists, links_.callback});
  return backScript_->Load(name);
}

int CScriptPart::CalcuBackScript(int loop) { return backScript_ ? backScript_->Calcu(loop) : 0; }

void CScriptPart::PrintBackScript() {
  if (backScript_) backScript_->Print();
}

void CScriptPart::PrintBackScriptRange(int first, int last) {
  if (backScript_) backScript_->PrintRange(first, last);
}

// --- Its share of the saved game ---

void CScriptPart::KeepScripts() {
  for (int ch = 0; ch < kEffectChannels; ++ch) keptHoldFlags_[ch] = pictures_.holdFlags[ch];
  keptScriptLevel_ = GetScriptLevel();
  for (int k = 0; k < kSavedLevels; ++k) {
    keptScriptNumber_[k] = GetScriptNumber(k);
    KeptScript& kept = keptScripts_[k];
    const CScript* script = GetScript(k);
    kept = KeptScript{};
    if (!script) continue;
    kept.pc = script->GetPC();
    kept.depth = script->GetCallDepth();
    for (int i = 0; i < kSavedStackWords; ++i) {
      kept.returnStack[i] = script->GetReturnStack(i);
      kept.callSites[i] = script->GetCallSite(i);
    }
  }
}

void CScriptPart::RestoreKeptScripts() {
  for (int ch = 0; ch < kEffectChannels; ++ch) pictures_.holdFlags[ch] = keptHoldFlags_[ch];
  SetScriptLevel(keptScriptLevel_);
  for (int k = 0; k < kSavedLevels; ++k) SetScriptNumber(k, keptScriptNumber_[k]);
  for (int k = 1; k <= keptScriptLevel_ && k < kSavedLevels; ++k) ReloadScript(k, keptScriptNumber_[k]);
  for (int k = 0; k < kSavedLevels; ++k) {
    CScript* script = GetScript(k);
    if (!script) continue;
    const KeptScript& kept = keptScripts_[k];
    script->SetPC(kept.pc);
    script->SetCallDepth(kept.depth);
    for (int i = 0; i < kSavedStackWords; ++i) {
      script->SetReturnStack(i, kept.returnStack[i]);
      script->SetCallSite(i, kept.callSites[i]);
    }
  }
}

void CScriptPart::PutStatus(uint8_t* status) const {
  namespace gs = gamestatus;
  const int resume = GetScript(0) && GetScript(0)->HasResumeTables() ? 1 : 0;
  gs::Set(status, gs::kResumeTables, resume);
  gs::Set(status, gs::kScriptLevel, keptScriptLevel_);
  for (int k = 1; k < kSavedLevels; ++k) gs::Set(status, gs::kScriptNumberWords[k], keptScriptNumber_[k]);
  gs::Set(status, gs::kCostumeMask, pictures_.costumeMask);
  uint8_t* holds = status + 4 * gs::kHoldFlags;
  for (int i = 0; i < kEffectChannels; ++i) {
    const uint16_t flag = static_cast<uint16_t>(keptHoldFlags_[i]);
    holds[2 * i] = static_cast<uint8_t>(flag);
    holds[2 * i + 1] = static_cast<uint8_t>(flag >> 8);
  }
  for (int k = 0; k < kSavedLevels; ++k) {
    const KeptScript& kept = keptScripts_[k];
    gs::Set(status, gs::kProgramCounters + k, kept.pc);
    const int at = gs::kCallDepths + gs::kLevelStride * k;
    gs::Set(status, at, kept.depth);
    for (int i = 0; i < kSavedStackWords; ++i)
      gs::Set(status, at + 1 + i, resume && i < gs::kResumeCallSites ? kept.callSites[i] : kept.returnStack[i]);
  }
}

void CScriptPart::GetStatus(const uint8_t* status) {
  namespace gs = gamestatus;
  int numbers[kSavedLevels] = {GetScriptNumber(0)};
  for (int k = 1; k < kSavedLevels; ++k) numbers[k] = gs::Get(status, gs::kScriptNumberWords[k]);
  SetScriptLevel(gs::Get(status, gs::kScriptLevel));
  for (int k = 1; k <= GetScriptLevel(); ++k) ReloadScript(k, numbers[k]);
  pictures_.costumeMask = gs::Get(status, gs::kCostumeMask);
  const uint8_t* holds = status + 4 * gs::kHoldFlags;
  for (int i = 0; i < kEffectChannels; ++i) pictures_.holdFlags[i] = holds[2 * i] | holds[2 * i + 1] << 8;
  for (int k = 0; k < kSavedLevels; ++k) {
    CScript* script = GetScript(k);
    if (!script) continue;
    script->SetPC(gs::Get(status, gs::kProgramCounters + k));
    const int at = gs::kCallDepths + gs::kLevelStride * k;
    script->SetCallDepth(gs::Get(status, at));
    for (int i = 0; i < kSavedStackWords; ++i) script->SetReturnStack(i, gs::Get(status, at + 1 + i));
  }
  if (gs::Get(status, gs::kResumeTables) > 0) {
    const int level = GetScriptLevel();
    for (int k = 0; k < kSavedLevels; ++k)
      if (GetScript(k) && (k == 0 || level >= k)) GetScript(k)->RestoreCallStack();
    for (int k = 0; k < level; ++k)
      if (GetScript(k)) GetScript(k)->JumpToEntryB();
  }
}

void CScriptPart::ResumeStatus(const uint8_t* status, bool older) {
  namespace gs = gamestatus;
  CScript* script = CurrentScript();
  if (!script) return;
  const int mode = gs::Get(status, gs::kReturnMode);
  const int messageKey = gs::Get(status, gs::kMessageKey);
  if (mode == modenumber::kPrintMessage) {
    if (older && messageKey >= 0) script->SearchMessage(messageKey);
  } else if (mode == modenumber::kSelectMessage) {
    if (older && messageKey >= 0) script->SearchChoice(gs::Get(status, gs::kChoiceKey));
  } else if (mode != modenumber::kTitle && gs::Get(status, gs::kResumeTables) >= 1) {
    script->JumpToEntryA();
  }
}
