// CModeFlowServices: the flow between modes: mode requests and returns, game
// starts and loads, mini-game starts, script calls and the play counter.
#pragma once

#include <cstddef>
#include <cstdint>

class CModeFlowServices {
 public:
  virtual void NotifyMode(int mode, int value) = 0;
  virtual int CallScriptLabel(int label) = 0;
  virtual void SetReturnMode(int mode) = 0;
  virtual void CloseGame() = 0;
  virtual void OnModeEnter(int mode) = 0;
  virtual int StartNewGame(int ignored, int stateFlag, int varNumber, int value) = 0;
  virtual void RestartFromLoad() = 0;
  virtual int StartSceneScript() = 0;
  virtual void OnModeHook(int mode) = 0;
  virtual int GetScriptStartFlag() = 0;
  virtual void SetScriptStartFlag(int flag) = 0;
  virtual int PrepareSystemMode(int result, int returnMode) = 0;
  virtual int CheckMiniGameStart(int value) = 0;
  // The mini-game mode's host mode number (-1 none; the mode enter sequence
  // resets it), and the drawing of its area buttons after the current
  // mode's drawing when that mode checks for mini-games. Nothing without
  // the mini-game mode.
  virtual void SetMiniGameAreaMode(int mode) = 0;
  virtual void PrintMiniGameButtons() = 0;
  virtual int RegistSystemFunction(int mode, const char* name, int value) = 0;
  virtual int SetNextMode(int n) = 0;
  // Marks the kept game state for restoring: the next frame runs
  // RestoreGameState once (screens that hand control back call it).
  virtual void SetReturnFlag() = 0;
  virtual int GetAreaButtonMode() const = 0;
  virtual int GetMiniGameCheckNumber() const = 0;
  // The play counter of the system data; AddPlayCount counts once per run,
  // up to 0x7FFFFFFE.
  virtual void ClearPlayCount() = 0;
  virtual int GetPlayCount() const = 0;
  virtual void AddPlayCount() = 0;
  virtual void SetSystemMenuSceneMode(int flag) = 0;
  // The number of the mini-game CheckMiniGameStart started (0 none yet).
  virtual int GetMiniGameResult() const = 0;

 protected:
  ~CModeFlowServices() = default;
};
