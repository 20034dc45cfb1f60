// CGameCallBack: running the scripts. Each frame lets the
// released script run until its next blocking command, and a replay that
// StartFastForward began run on to its place; sub-script calls, the end of
// the game, scene replay and the forwards to the back-script runner.
#include <algorithm>
#include <string>

#include "game/backscriptrunner.h"
#include "modebase/commongeneral.h"
#include "game/scriptcommands.h"
#include "modebase/modenumbers.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "platform/system.h"
#include "platform/types.h"
#include "savedata/scenedata.h"
#include "script/codes.h"
#include "script/script.h"
#include "setup/namelist.h"

namespace {

// Results acted on per frame; what is left goes on in the next frame.
constexpr int kResultsPerFrame = 64;
constexpr int kMaxLevel = 3;
// The boxes of a call below level 3 and of a scene the script does not have.
constexpr char kTooDeep[] = "\x82\xB1\x82\xEA\x88\xC8\x8F\xE3\x81" "A\x89\xBA\x82\xCC\x83X\x83N\x83\x8A\x83v\x83g\x82\xCD\x82\xE6\x82\xD7\x82\xDC\x82\xB9\x82\xF1";
constexpr char kBadScene[] =
    "\x83V\x81[\x83\x93\x94\xD4\x8D\x86\x82\xAA\x95\xCF\x82\xA9\x81" "A\x82\xE0\x82\xB5\x82\xAD\x82\xCD\x81" "A\x83R\x83\x93\x83p\x83" "C\x83\x8B\x82\xB5\x82\xBDplotwick\x82\xAA\x8C\xC3\x82\xA2\x82\xDD\x82\xBD\x82\xA2\x82\xC5\x82\xB7\x82\xC9\x82\xE1";

}  // namespace

// Each frame asks with -1: the released script's loop. Another
// start runs the current script once from that word.
int CGameCallBack::CallControlScript(int start) {
  if (start != -1) return RunCurrentScript(start);
  RunScriptStep();
  return 0;
}

int CGameCallBack::RunCurrentScript(int start) {
  CScript* script = CurrentScript();
  if (!script) return script::kResultError;
  script->SetStepLimit(scriptRecordLimit_);
  return script->Run(start);
}

void CGameCallBack::StartFastForward(int skipToPosition) {
  fastForward_[kReplayRunning] = 1;
  fastForward_[kSkipToPosition] = skipToPosition ? 1 : 0;
  fastForward_[kReplaySecond] = skipToPosition ? 1 : 0;
  fastForward_[kReplayPage] = 0;
}

void CGameCallBack::RunScriptStep() {
  int budget = kResultsPerFrame;
  while (fastForward_[kReplayRunning]) {
    if (budget-- <= 0) return;
    if (!ActOnScriptResult(RunCurrentScript(-1), 1)) break;
  }
  while (skipFilmStarted_) {
    // A script that stopped on an end or an error stays stopped until
    // something moves it.
    CScript* script = CurrentScript();
    if (scriptHalted_ && script && haltLevel_ == scriptLevel_ && haltPc_ == script->GetPC()) {
      skipFilmStarted_ = 0;
      return;
    }
    scriptHalted_ = 0;
    skipFilmStarted_ = 0;
    for (;;) {
      if (budget-- <= 0) {
        skipFilmStarted_ = 1;
        return;
      }
      if (!ActOnScriptResult(RunCurrentScript(-1), 0)) break;
    }
  }
}

int CGameCallBack::ActOnScriptResult(int result, int fastForward) {
  switch (result) {
    case script::kResultStepLimit:
      return 1;
    case script::kResultSystemCall:
      if (!fastForward) return 0;
      OnRestoreStateHook();
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
          if (CStoryMessageMode* pm = GetPrintMessage()) pm->ResetGame();
          fastForward_[kReplayRunning] = 0;
          sceneReplay_ = 0;
          SetNextMode(modenumber::kSelectScene);
          return 0;
        }
        if (fastForward_[kReplayPage]) std::fill(std::begin(fastForward_), std::end(fastForward_), 0);
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
      if (result == script::kResultError && calledScriptFailed_ && current && !current->IsLoaded())
        EndOfGame();
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

void CGameCallBack::EndFastForward() {
  if (!fastForward_[kReplayRunning]) return;
  std::fill(std::begin(fastForward_), std::end(fastForward_), 0);
  EndSkipFilm();
}

void CGameCallBack::ReportScriptStop(int result) {
  CScript* script = CurrentScript();
  const char* name = script ? script->GetLoadedName() : "";
  if (result == script::kResultEnd)
    platform::DebugPrintf("script: %s (level %d) has no more code; it stops here", name,
                          scriptLevel_);
  else
    platform::DebugPrintf("script: %s (level %d) stopped on an error: %s", name, scriptLevel_,
                          script ? script->GetError(0) : "no script");
  scriptHalted_ = 1;
  haltLevel_ = scriptLevel_;
  haltPc_ = script ? script->GetPC() : -1;
}

void CGameCallBack::EndOfGame() {
  RestoreFloatingLayers();
  if (screenPicture_) screenPicture_->GetScreen();
  StoreNamesAndKeptVars();
  for (int n = 1; n < kModeCount; ++n)
    if (CCommonGeneral* mode = GetMode(n)) mode->ExitGame();
  SaveSystemFile();
  EndSkipFilm();
  SetNextMode(modenumber::kTitle);
  fastForward_[kReplayRunning] = 0;
}

// --- Sub-scripts ---

void CGameCallBack::CallSubScript(const char* name, int down) {
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
  const int found = projectList_ && name ? projectList_->Search(name, 0) : -1;
  scriptNumber_[scriptLevel_] = std::max(found, 0);
  CScript* script = scripts_[scriptLevel_];
  if (!script) return;
  calledScriptFailed_ = script->Load(path.c_str()) ? 0 : 1;
  if (calledScriptFailed_) script->ReportLoadFailure();
  script->SetPC(0);
  script->SetCallDepth(0);
}

void ScriptCommandHandlers::CallScript(CGameCallBack& g, const ScriptArgs& a) {
  g.CallSubScript(a.Text(), 1);
}

void ScriptCommandHandlers::ReplaceScript(CGameCallBack& g, const ScriptArgs& a) {
  g.CallSubScript(a.Text(), 0);
}

// --- Scene replay ---

int CGameCallBack::StartSceneScript() {
  if (!sceneList_ || !sceneDataFile_ || !scripts_[1]) return 0;
  cutinNumber_ = 0;
  if (CStoryMessageMode* pm = GetPrintMessage()) pm->SetCutinNumber(0);
  const int chara = sceneList_->GetCurrentChara(), scene = sceneList_->GetCurrentScene();
  const int number = sceneDataFile_->GetSceneScript(chara, scene);
  const char* name = projectList_ ? projectList_->GetName(number) : nullptr;
  sceneList_->SetItemCursor(0);
  const int label = sceneDataFile_->GetItem(chara, scene, 0);
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
  SetSkipFilmFlag(1);
  CScreenBuffer::SetFullRedraw(0);
  return 1;
}

int CGameCallBack::CallNextSceneItem() {
  if (!sceneList_ || !scripts_[1]) return 0;
  const int item = sceneList_->NextItem();
  if (item < 0) return 0;
  return scripts_[1]->GotoLabel(item) ? 1 : 0;
}

// --- The back-script runner ---

void CGameCallBack::ResetBackScript() {
  if (backScript_) backScript_->Restart();
}

int CGameCallBack::LoadBackScript(const char* name) {
  if (!backScript_) backScript_ = std::make_unique<CBackScriptRunner>(this);
  return backScript_->Load(name);
}

int CGameCallBack::CalcuBackScript(int loop) { return backScript_ ? backScript_->Calcu(loop) : 0; }

void CGameCallBack::PrintBackScript() {
  if (backScript_) backScript_->Print();
}

void CGameCallBack::PrintBackScriptRange(int first, int last) {
  if (backScript_) backScript_->PrintRange(first, last);
}
