// CGame: the title's game object over CGameCallBack. It supplies the title's
// own script calls and functions, the frame hook before drawing, its mode
// set and its own debug switch file.
#pragma once

#include "game/gamecallback.h"

class CGame : public CGameCallBack {
 public:
  // The desktop has no instance handle to pass; the rest is as the
  // application object hands it over.
  CGame(platform::Window* window, CCommonSystemFile* systemFile, int width, int height, int bpp);
  ~CGame() override;

  // Keeps the key and the arguments of a script call no mode registered.
  void OnSystemCall(int key, int count, const int* values) override;
  // Keeps the number and the arguments of a function nothing handled and
  // answers the number; "adjustdate" writes the date variable back and
  // answers its value.
  int OnSystemFunction(int number, int count, const int* values) override;
  // The current mode number (the frame ignores it).
  int OnAfterPrint() override;
  // The debug switch, the mode set, the reset word, the start message and
  // the first mode entered.
  void CreateModes() override;
  // 1 when "debug666.txt" beside the program opens.
  int IsDebugMode() override;

  int GetSystemCallKey() const { return systemCallKey_; }
  int GetSystemFunctionNumber() const { return systemFunctionNumber_; }

 protected:
  // The modes in their fixed order of creation.
  void CreateModeSet();

 private:
  // The script-call words: the key of the last call and the number of the
  // last function no mode took.
  int systemCallKey_ = 0, systemCallResult_ = 0;
  int systemFunctionNumber_ = 0;
};
