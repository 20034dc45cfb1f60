// CGameHooks: the places where a title changes what the game does. Every
// hook is a virtual function with an empty (or neutral) body here; a title's
// class over the game (CGame, game/game.h) overrides the ones it needs. The
// game's parts call them at their fixed places: the frame between its steps,
// the screen switch around the display change, the system file's save around
// the write, and so on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

class CCommonGeneral;

class CGameHooks {
 public:
  // --- The script ---
  // A script call and a script function that no mode registered and no
  // built-in took.
  virtual void OnSystemCall(int key, int count, const int* values);
  virtual int OnSystemFunction(int number, int count, const int* values);
  // The script's "scripthook" command.
  virtual void OnScriptCommand(int value);
  // A replay met a system call on its way.
  virtual void OnRestoreStateHook();

  // --- The frame, in the order the frame calls them ---
  virtual void OnFrameStart(int elapsed);
  virtual void OnBeforeCalcu();
  virtual void OnAfterCalcu();
  virtual void OnAfterCalcuLate();
  virtual void OnBeforeInput();
  virtual void OnBeforePrint();
  // The frame ignores the result; CGame answers its current mode.
  virtual int OnAfterPrint();
  virtual void OnAfterPrintLate();
  virtual void OnBeforeFloatingButtons();
  virtual void OnBeforePrintScreen();
  virtual void OnBeforeFlipScreen();
  virtual void OnAfterFlipScreen();
  virtual void OnBeforeChangeMode();
  virtual void OnAfterChangeMode();
  virtual void OnFrameEnd();

  // --- The window and full screen ---
  // Around the display-mode switch (OnBefore/OnAfter), and, unless the
  // switch is quiet, around the whole of it (CallScreenChangeBegin/End,
  // which call OnScreenChangeBegin/End).
  virtual void OnBeforeScreenChange();
  virtual void OnAfterScreenChange();
  virtual void OnScreenChangeBegin();
  virtual void OnScreenChangeEnd();
  virtual void CallScreenChangeBegin();
  virtual void CallScreenChangeEnd();
  // Numeric minus raised the boss-coming cover; an arrow key (0 up, 1 down,
  // 2 left, 3 right).
  virtual void OnWindowProc();
  virtual void OnWindowProcArg(int arg);

  // --- Modes, games and saves ---
  // A new object of mode class n; null for a number without a class.
  virtual std::unique_ptr<CCommonGeneral> MakeMode(int n);
  // The debug switch, the mode set and the first mode entered.
  virtual void CreateModes();
  // 1 when "debug.txt" beside the program opens; CGame has its own file.
  virtual int IsDebugMode();
  // A mode entered, and the modes' own hook.
  virtual void OnModeEnter(int mode);
  virtual void OnModeHook(int mode);
  // A new game starts (after the variables), a loaded game starts again.
  virtual void OnNewGame(int a, int b);
  virtual void OnResetGame();
  // Around the system file's save.
  virtual void OnBeforeSaveSystemFile();
  virtual void OnAfterSaveSystemFile();
  // An expansion option (300..315) was set.
  virtual void OnSetVar(int id, int value);
  // The status text kept in GAMESTATUS; none here.
  virtual const char* GetStatusExtra();
  // What QuickLoadSave answers for a type it does not serve: -1.
  virtual int GetAutoSaveType(int type);
  // The EXT chunks of the title's own entries (after the automatic and
  // sub-entry rows).
  virtual void PutExtSaveDataDefault(uint8_t* chunk, size_t size, int i);
  virtual void GetExtSaveDataDefault(const uint8_t* chunk, size_t size, int i);
  // The message modes' click and cursor.
  virtual void OnMessageClick();
  virtual void OnMessageCursor(int a);
  // Makes the common back button when "createBackButtonFlag" asks.
  virtual void CreateBackButton();

  // --- The application's loop ---
  // 1 when the game can run its frames.
  virtual int CheckReady();
  virtual int FrameOnMainThread(int elapsed);

  // --- The common button setups a title keeps ---
  virtual int QueryCommonBackSetup();
  virtual void ApplyCommonBackSetup(int a, int b, int c, int d);
  virtual int QueryCommonUpDownSetup();
  virtual void ApplyCommonUpDownSetup(int a, int b, int c, int d);
  virtual void ResetCommonSetups();

  // --- Spare hooks of the title ---
  virtual void SpareHookPair(int a, int b);
  virtual int SpareCheck();
  virtual int SpareCheckTrue();
  virtual void SpareHookA();
  virtual int SpareCheckTrueB();
  virtual void SpareHookB();

 protected:
  ~CGameHooks() = default;
};
