// CGameCallBack: the game object. It makes the game's parts (game/
// gameparts.h: one object per concern, each playing its role of services/
// for the modes), fills them in Init's fixed order, drives the frame and the
// window's messages, and is the interpreter's callback (CScriptCallBack) and
// the holder of the title's hooks (CGameHooks). CGame (game/game.h) is the
// title's class over it; only game/ and app/ include this header.
//
// A service whose object the game's settings did not make (or that is
// already destroyed) answers as a missing object answers: 0, -1, NULL or
// nothing done.
#pragma once

#include <cstdint>
#include <memory>

#include "game/gamehooks.h"
#include "game/gameparts.h"
#include "game/threadhandshake.h"
#include "modebase/modenumbers.h"
#include "platform/types.h"
#include "script/scriptcallback.h"
#include "services/gameroles.h"

namespace platform {
class Event;
class Window;
}  // namespace platform

class CCommonSystemFile;
class CMainControl;
class CSetupList;

class CGameCallBack : public CScriptCallBack, public CGameHooks {
 public:
  // The keys of the list "game" the game object itself reads: the window's
  // keys, the close box while a game thread runs, the installation's
  // identifier.
  struct Settings {
    int dontCreateGUID = 0;
    const char* companyName = nullptr;
    const char* gameName = nullptr;
    int modalCannotCloseFlag = 1;
    int f9KeyExitOffFlag = 0;
    int escKeyExitOffFlag = 0;
    int F4OK = 1;
    int F5Ok = 1;
  };
  static constexpr int kModeCount = modenumber::kModeCount;
  static constexpr uint32_t kStartGameThreadMessage = CThreadHandshake::kStartGameThreadMessage;
  static constexpr uint32_t kEndGameThreadMessage = CThreadHandshake::kEndGameThreadMessage;
  using GameThreadRequest = CThreadHandshake::GameThreadRequest;

  // The window, the application's system file (not owned), the window size
  // and the desktop's bits per pixel. Makes the parts, empty: Init fills
  // them.
  CGameCallBack(platform::Window* window, CCommonSystemFile* systemFile, int width, int height, int bpp);
  CGameCallBack(const CGameCallBack&) = delete;
  CGameCallBack& operator=(const CGameCallBack&) = delete;
  // Runs the destroy step: releases what initialisation made, nothing
  // before initialisation has finished.
  ~CGameCallBack() override;

  // --- What the application's main loop drives ---
  virtual void SetMainControl(CMainControl* mainControl) { mainControl_ = mainControl; }
  CMainControl* GetMainControl() const { return mainControl_; }
  // Reads the settings list "game" and fills the parts in their fixed
  // order; a second call does nothing.
  virtual void Init();
  // Run once after the modes exist: the short-cut rows from the system
  // menu's added options.
  virtual void PrepareModeTables();
  // One frame; elapsed is the time since the start of the previous one.
  virtual int Frame(int elapsed);
  virtual intptr_t WindowProc(platform::Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
  virtual int GetFrameTime();
  virtual void SetFullScreenSize(int width, int height);
  virtual void SetClipLeftTop(int left, int top);
  virtual void SetClipRightBottom(int right, int bottom);
  // The white start frame with "Initializing..".
  virtual int PrintStartMessage();

  // --- The interpreter's callback ---
  void SystemCommand(int code, int param, const void* data, int extra) override;
  void CommandNotice(int code, int param, const char* text) override;
  void SystemCall(int code, int count, const int* values) override;
  int SystemFunction(int code, int count, const int* values) override;
  int GetVar(int number) override;
  int GetSystemVar(int number) override;
  void SetVar(int number, int value) override;

  // --- Hooks the game object fills ---
  // The mode factory: one line per mode class (gamecallback_modes.cpp).
  std::unique_ptr<CCommonGeneral> MakeMode(int n) override;
  // The expansion options that choose the game mouse's and the message
  // cursor's design.
  void OnSetVar(int id, int value) override;

  // --- The window-thread handshake (threadhandshake.h) ---
  // Asks the window thread (WM_USER + 555) for a game thread with the three
  // arguments and waits until that thread has ended: 1, or 0 when the
  // window answered no thread within 10 s. Never call it on the window
  // thread, which must keep handling messages meanwhile.
  virtual int StartGameThread(int a, int b, int c);
  // Called on the game thread as its last act: tells the window thread
  // (WM_USER + 556) that it ends; the thread's body returns after it. The
  // close box comes back once no mode level is open.
  virtual void EndGameThread();
  virtual int WaitGameEvent();
  virtual int SetWindowEvent();
  virtual int AnswerWindowRequest(int answer);
  virtual int CheckGameEvent();
  void SignalGameEvent();
  CThreadHandshake& Handshake() { return handshake_; }

  // --- The parts ---
  GameParts& Parts() { return *parts_; }
  const GameParts& Parts() const { return *parts_; }
  // The roles the game hands each mode: its parts.
  GameRoles Roles();
  CScreenPart& Screen() const { return *parts_->screen; }
  CFramePart& Frames() const { return *parts_->frame; }
  CGameLists& Lists() const { return *parts_->lists; }
  CVariablePart& Vars() const { return *parts_->vars; }
  CSoundPart& Sound() const { return *parts_->sound; }
  CTextPart& Text() const { return *parts_->text; }
  CSavePart& Saves() const { return *parts_->saves; }
  CInputPart& Input() const { return *parts_->input; }
  CFloatingPart& Floating() const { return *parts_->floating; }
  CMessageWindowPart& MessageWindow() const { return *parts_->messageWindow; }
  CScriptPart& Scripts() const { return *parts_->scripts; }
  CDebugPart& Debug() const { return *parts_->debug; }
  CModeFlowPart& Modes() const { return *parts_->modes; }

  const Settings& GetSettings() const { return settings_; }
  Settings& GetSettings() { return settings_; }
  int IsInitialised() const { return initialised_; }
  // A stop request: the frame only signals the game event and returns.
  void RequestStop() { stopFlag_ = 1; }
  // Frames run by every game object of the process.
  static int64_t GetProcessFrameCount();

 protected:
  // The settings list "game" of the game object.
  int LoadSetupFile(const char* name, int pairs);
  // The destroy step; nothing while the initialised flag is 0. The music
  // stops first and its fade runs out, the players go, then the parts in
  // the reverse order of their making; empty parts stand in after it.
  void ReleaseAll();

 private:
  // The parts, empty, over what the game was given.
  void MakeParts();
  // Init's steps over the parts, in their order.
  void ReadSettings();
  void MakeObjects();

  platform::Window* window_;
  CCommonSystemFile* systemFile_;  // not owned
  int width_, height_, bpp_;
  CMainControl* mainControl_ = nullptr;
  Settings settings_;
  int initialised_ = 0;
  int stopFlag_ = 0;
  // The window-thread handshake (its events are destroyed last).
  CThreadHandshake handshake_;
  std::unique_ptr<CSetupList> setupList_;
  std::unique_ptr<GameParts> parts_;
};
