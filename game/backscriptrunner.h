// CBackScriptRunner: a second script object of the game that drives
// animated backgrounds and transitions frame by frame (title, galleries,
// scene screens). Its script's waits count down here and its screen
// transitions run here as timed wipes, instead of in the print-message
// mode; between them it runs until the script yields.
#pragma once

#include <memory>

class CFramePart;
class CGameLists;
class CScreenPart;
class CScript;
class CScriptCallBack;
class CScriptPart;

class CBackScriptRunner {
 public:
  static constexpr int kCapacity = 0x80000;
  // A script that never yields is cut after this many records per run,
  // so the frame always comes back.
  static constexpr int kRecordsPerRun = 100000;
  enum Mode { kCountDown = 0, kTransition = 1 };

  // What the runner uses: the script part that owns it, the frame's wait
  // count, the screen's effects and the project list, and the interpreter's
  // callback for its script.
  struct Links {
    CScriptPart& scripts;
    CFramePart& frame;
    CScreenPart& screen;
    const CGameLists& lists;
    CScriptCallBack* callback;
  };

  explicit CBackScriptRunner(const Links& links);
  ~CBackScriptRunner();
  CBackScriptRunner(const CBackScriptRunner&) = delete;
  CBackScriptRunner& operator=(const CBackScriptRunner&) = delete;

  // Loads the project-list entry `name` ("spt\<name>.spt"; the file is read
  // again only for another entry), rewinds, runs once and advances once.
  // 0 with a box "LOAD BACK SCRIPT ERROR" when the list has no such name.
  int Load(const char* name);
  // Starts the loaded script again from its beginning at the next run (the
  // count-down mode, nothing to wait for); without a script nothing.
  void Restart();
  // Runs the script when forced, when the count-down reached 0 or the
  // transition its length. 1 when it stopped on 0x55560006 without loop;
  // with loop it starts again from its beginning instead (0).
  int Run(int force, int loop);
  // The frames this frame advances the count-down or the transition by.
  void Advance();
  // Run, then Advance: once per frame.
  int Calcu(int loop);
  // Draws the effect channels (count-down) or the wipe at its step.
  void Print();
  void PrintRange(int first, int last);

  // The script's wait and screen transition.
  void StartCountDown(int frames);
  void StartTransition(int kind, int length);

  int GetMode() const { return mode_; }
  int GetCountDown() const { return countDown_; }
  int GetStep() const { return step_; }
  int GetLength() const { return length_; }
  int GetKind() const { return kind_; }
  int GetAdvanced() const { return advanced_; }
  int GetProject() const { return project_; }
  CScript* GetScript() const { return script_.get(); }

 private:
  void Rewind();

  const Links links_;
  int mode_ = kCountDown;
  std::unique_ptr<CScript> script_;
  int project_ = -1;
  int countDown_ = 0;
  int step_ = 0, kind_ = 0, length_ = 0;
  int advanced_ = 0;
};
