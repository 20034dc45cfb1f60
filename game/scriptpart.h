// CScriptPart: running the scripts: the four script levels (the control
// script "spt\sys.spt" and three levels of sub-scripts) with their project
// numbers, the frame's run of the released script, replays and scene
// replays, the script calls and functions the modes register, the built-in
// functions, the back-script runner, and the words the script's picture
// commands keep per effect channel. It plays the back-script role
// (CBackScriptServices) for the modes. The script's commands are handled
// by game/scriptcommands*.cpp over the game's parts.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "effect/effectmanager.h"
#include "savedata/gamestatus.h"
#include "services/backscriptservices.h"

class CFloatingPart;
class CFramePart;
class CGameHooks;
class CGameLists;
class CMessageWindowPart;
class CModeFlowPart;
class CSavePart;
class CScreenPart;
class CScriptCallBack;
class CSetupList;
class CVariablePart;
class CBackScriptRunner;
class CScript;

class CScriptPart : public CBackScriptServices {
 public:
  // The keys of the list "game" this part reads.
  struct Settings {
    int noScriptFlag = 0;
    int controlScriptSize = 64;
    int execScriptSize = 2048;
    int subScriptSize = 2048;
    int subSubScriptSize = 2048;
    int maxSkipFrameBackScript = 2;
    int backScriptSetCGOkFlag = 0;
    int varControlLoadDWQErrorPrint = 0;
    int mustSetCGFlag = 1;
    int mustSetFilmFlag = 1;
    int mustSetMessageFlag = 1;
    int offLayerDontSetCG = 0;
  };
  enum FastForwardFlag { kReplayRunning, kSkipToPosition, kReplaySecond, kReplayPage };
  // The rows of the built-in functions in the function list (-1 none).
  struct FunctionRows {
    int adjustDate = -1, setScene = -1, saveSystemFile = -1, layer = -1;
    int stopF5 = -1, notice = -1, setResult = -1, getResult = -1;
  };
  static constexpr int kLevels = 4;
  static constexpr int kEffectChannels = CEffectManager::kChannels;
  static constexpr int kTableRows = 50;
  static constexpr int kMaxCallParams = 256;
  // The system script: the control script every game start runs.
  static constexpr char kControlScriptPath[] = "spt\\sys.spt";
  // Records a script runs before it hands the frame back (a script caught
  // in a loop without a blocking command leaves the game responsive).
  static constexpr int kScriptRecordsPerRun = 20000;
  // Frames in a row that use up the frame's whole budget of results before
  // the script is named on stderr as caught in a loop that never waits.
  static constexpr int kBusyFramesReported = 100;

  // What the part uses: the parts it calls (their slots in the game's set,
  // so a part made later or replaced by a test's double is found) and what
  // the game was given.
  struct Links {
    std::unique_ptr<CScreenPart>& screen;
    std::unique_ptr<CFramePart>& frame;
    std::unique_ptr<CGameLists>& lists;
    std::unique_ptr<CVariablePart>& vars;
    std::unique_ptr<CSavePart>& saves;
    std::unique_ptr<CFloatingPart>& floating;
    std::unique_ptr<CMessageWindowPart>& messageWindow;
    std::unique_ptr<CModeFlowPart>& modes;
    CGameHooks* hooks;
    CScriptCallBack* callback;
    const CSetupList* const& list;  // null before the list loads
  };

  explicit CScriptPart(const Links& links);
  virtual ~CScriptPart();
  CScriptPart(const CScriptPart&) = delete;
  CScriptPart& operator=(const CScriptPart&) = delete;
  const Settings& GetSettings() const { return settings_; }
  Settings& GetSettings() { return settings_; }

  // The keys; a capacity outside 1..2^24 words keeps its default, the back
  // script's maximum skip defaults to the frame's.
  void ReadSettings();
  // The four levels, the control script loaded and the starting game state
  // kept (unless "noScriptFlag").
  void Init();
  // The rows of the built-in functions in the function list.
  void InitFunctionNumbers();
  // Each extra mode left on as a script call under its name.
  void RegistExtraModeCalls();

  // --- CBackScriptServices ---
  void SetBackScriptMode(int mode) override { backScriptMode_ = mode; }
  int GetBackScriptMode() override { return backScriptMode_; }
  void ResetBackScript() override;
  int LoadBackScript(const char* name) override;
  int CalcuBackScript(int loop) override;
  void PrintBackScript() override;
  void PrintBackScriptRange(int first, int last) override;
  CBackScriptRunner* GetBackScriptRunner() const { return backScript_.get(); }
  // 1 while the back-script runner runs its script (its waits and
  // transitions go to the runner, not to the print-message mode).
  int IsBackScriptRunning() const { return backScriptRunning_; }
  void SetBackScriptRunning(int running) { backScriptRunning_ = running; }

  // --- Calls and functions ---
  // A script call: the skip-film words cleared, the first registered mode
  // that exists requested with (a, b); what none takes goes to the title.
  void SystemCall(int code, int count, const int* values);
  // The built-ins whose numbers match, in their order; else the registered
  // modes' Function; what nothing takes goes to the title.
  int SystemFunction(int code, int count, const int* values);
  int RegistSystemCall(int mode, const char* name);
  int RegistSystemFunction(int mode, const char* name, int value);
  // Keeps up to 256 values.
  void SetCallParam(int count, const int* values);
  int GetCallParamCount() const { return callParamCount_; }
  int GetCallParam(int i) const {
    return i >= 0 && i < callParamCount_ && i < kMaxCallParams ? callParams_[i] : 0;
  }
  // The row of "adjustdate" in the function list (-1 none), and every
  // built-in's row (a title may give two built-ins one row).
  int GetAdjustDateFunction() const { return functions_.adjustDate; }
  const FunctionRows& GetFunctionRows() const { return functions_; }
  void SetFunctionRows(const FunctionRows& rows) { functions_ = rows; }
  // The built-in "stopf5": the skip-film words cleared.
  int RunStopF5(int count, const int* values);

  // --- The levels ---
  CScript* GetScript(int level) const {
    return level >= 0 && level < kLevels ? scripts_[level].get() : nullptr;
  }
  // The script of the running level (null without one).
  CScript* CurrentScript() const { return GetScript(scriptLevel_); }
  int GetScriptLevel() const { return scriptLevel_; }
  void SetScriptLevel(int level) { scriptLevel_ = level; }
  int GetScriptNumber(int level) const {
    return level >= 0 && level < kLevels ? scriptNumber_[level] : 0;
  }
  void SetScriptNumber(int level, int number) {
    if (level >= 0 && level < kLevels) scriptNumber_[level] = number;
  }
  // The project number of the running level, or `fallback` outside the
  // levels.
  int GetRunningScriptNumber(int fallback) const;
  // The script of level k loaded again from its project number; 0 when it
  // has no name or does not load.
  int ReloadScript(int level, int number);
  int GetScriptStartFlag() const { return scriptStartFlag_; }
  void SetScriptStartFlag(int flag) { scriptStartFlag_ = flag; }
  // The control script from its start at level 0 (and level 1 from its
  // start too when `alsoLevel1`).
  void RewindControlScript(bool alsoLevel1);
  // A game start found the system script not loaded: a line on stderr
  // every time, the box once; the run then ends the game on the title.
  void CheckControlScriptLoaded();

  // --- Running ---
  // Each frame asks with -1: the released script's loop. Another start
  // runs the current script once from that word.
  virtual int CallControlScript(int start);
  // One run of the current level's script from `start` (-1: where it
  // stopped); its result.
  int RunCurrentScript(int start);
  // Replays the script without frames up to its place (skipToPosition: to
  // the saved message) until a blocking command. No load starts it: a
  // loaded game goes to its saved place directly.
  void StartFastForward(int skipToPosition);
  int GetFastForward(int i) const { return fastForward_[i]; }
  void SetFastForward(int i, int value) { fastForward_[i] = value; }
  void ClearFastForward();
  int IsFastForwarding() const { return fastForward_[kReplayRunning]; }
  int IsSkippingToPosition() const { return fastForward_[kSkipToPosition]; }
  // Fuzz aid: a smaller number of records per run.
  void SetScriptRecordLimit(int records) { scriptRecordLimit_ = records; }
  // Sub-script call (down = 1) or replacement of the current level's script.
  void CallSubScript(const char* name, int down);
  int CallScriptLabel(int label);

  // --- Scene replay ---
  // The scene's script at level 1 from its first replay item.
  int StartSceneScript();
  int CallNextSceneItem();
  void SetSceneReplay(int flag) { sceneReplay_ = flag; }
  int GetSceneReplay() const { return sceneReplay_; }

  // --- What the picture commands keep per effect channel ---
  // Hold flags (bit 0 keeps the picture, bit 1 the rectangles), the
  // variable whose value picks a picture variant (0 none), the costume
  // variable (-1 none) with its suffixes and the channels it covers, and the
  // channel a picture was loaded into last.
  struct PictureWords {
    int holdFlags[kEffectChannels] = {};
    int variantVars[kEffectChannels] = {};
    int costumeVar = -1;
    std::vector<std::vector<char>> costumeSuffixes;
    int costumeMask = 0;
    int lastLoadedChannel = -1;
  };
  PictureWords& Pictures() { return pictures_; }
  const PictureWords& Pictures() const { return pictures_; }

 private:
  // One result of the running script acted on as the fast-forward table
  // says; 1 to go on running, 0 to stop.
  int ActOnScriptResult(int result, int fastForward);
  // Each frame: the released script runs until its next blocking command,
  // and a replay StartFastForward began runs on; both take a bounded number
  // of results per frame and go on in the next one.
  void RunScriptStep();
  // The end of the game: the system file saved, the title requested.
  void EndOfGame();
  void ReportNoControlScript();
  void ReportScriptStop(int result);
  // The running script ran off the end of its code: the box naming it.
  void ReportRanOffEnd();
  // Counts the frames in a row that used up the whole budget (`busy`) and
  // names the script once such a stretch reaches kBusyFramesReported.
  void CountBusyFrame(bool busy);
  // A replay that cannot go on: its words cleared, skipping stopped.
  void EndFastForward();
  // The built-in script functions, in the order they are applied.
  int RunSaveSystemFile(int count, const int* values);
  int RunLayer(int count, const int* values);
  int RunNotice(int count, const int* values);
  int RunSetResult(int count, const int* values);
  int RunGetResult(int count, const int* values);

  const Links links_;
  Settings settings_;
  std::unique_ptr<CScript> scripts_[kLevels];
  std::unique_ptr<CBackScriptRunner> backScript_;
  int scriptNumber_[kLevels] = {};
  int scriptLevel_ = 0;
  int scriptStartFlag_ = 0;
  int backScriptMode_ = 0;
  int backScriptRunning_ = 0;
  int callParamCount_ = 0;
  int callParams_[kMaxCallParams] = {};
  // System calls (command number, mode) and functions (function number,
  // mode, value) registered by modes.
  int systemCalls_[kTableRows][2] = {};
  int systemCallCount_ = 0;
  int systemFunctions_[kTableRows][3] = {};
  int systemFunctionCount_ = 0;
  FunctionRows functions_;
  int fastForward_[4] = {};
  int sceneReplay_ = 0;
  int sceneScriptNumber_ = 0;
  // The released script stopped on an end of code or an error, reported
  // once, at this level and place; it stays stopped until a game start or
  // load moves it.
  struct Halt {
    int halted = 0, level = -1, pc = -1;
  } halt_;
  // The script a script called, or the system script at a game start, could
  // not be loaded: when the run then stops on it, the game ends on the title.
  int calledScriptFailed_ = 0;
  // The box saying that a game cannot start without the system script has
  // been shown (the line on stderr comes every time).
  int noControlScriptShown_ = 0;
  int scriptRecordLimit_ = kScriptRecordsPerRun;
  // Frames in a row that used up the whole budget of results.
  int busyFrames_ = 0;
  PictureWords pictures_;

 public:
  // --- Its share of the saved game (savedata/gamestatus.h) ---
  static constexpr int kSavedLevels = gamestatus::kScriptLevels;
  static constexpr int kSavedStackWords = gamestatus::kStackWords;
  // The script levels, their numbers, positions and call stacks, and the
  // picture words' hold flags, as kept when a system screen opens and put
  // back when it closes.
  void KeepScripts();
  void RestoreKeptScripts();
  // The kept script state and the picture words. With resume tables the
  // lower stack words saved are the call sites.
  void PutStatus(uint8_t* status) const;
  // The level, the scripts of the levels above 0, the picture words and
  // every level's position and stack; with resume tables the call stacks
  // are rebuilt from their call sites and each level below the saved one
  // goes to its stop entry.
  void GetStatus(const uint8_t* status);
  // The running script's place once the modes are back: a save of an older
  // version finds its message or choice by key; another saved mode but the
  // title resumes at the system-call entry.
  void ResumeStatus(const uint8_t* status, bool older);

 private:
  // One script level as KeepScripts copies it.
  struct KeptScript {
    int pc = 0, depth = 0;
    int32_t returnStack[kSavedStackWords] = {};
    int32_t callSites[kSavedStackWords] = {};
  };
  KeptScript keptScripts_[kSavedLevels];
  int keptScriptLevel_ = 0;
  int keptScriptNumber_[kSavedLevels] = {};
  int keptHoldFlags_[kEffectChannels] = {};
};
