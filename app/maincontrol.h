// CMainControl: the application object, the first object the program makes
// and the last it deletes. It reads the settings lists "mainControl" and
// "game", prepares the save folder and the system file, runs the start-up
// checks, opens the window, runs the paced main loop and releases what it
// owns at the end.
#pragma once

#include <cstdint>
#include <string>

#include "platform/sync.h"
#include "platform/types.h"
#include "setup/setuplist.h"

class CCommonSystemFile;
class CGameCallBack;
class CNameList;
class CWheelMessage;

class CMainControl {
 public:
  // Null arguments make (and own) a new system file and wheel-message object.
  CMainControl(CCommonSystemFile* systemFile, CWheelMessage* wheelMessage);
  ~CMainControl();
  CMainControl(const CMainControl&) = delete;
  CMainControl& operator=(const CMainControl&) = delete;

  // Releases everything held, in order; safe to call twice.
  void Release();

  int LoadMainSetupFile(const char* name, int pairs);
  int LoadGameSetupFile(const char* name, int pairs);
  // 1 with the value, or 0 with *out unchanged.
  int GetMainSetupInt(int* out, const char* key) const;
  int GetMainSetupString(const char** out, const char* key) const;
  int GetGameSetupInt(int* out, const char* key) const;
  int GetGameSetupString(const char** out, const char* key) const;

  // The four checks in order, then the random seed; 0 stops the program.
  int CheckStartUp();
  int CheckMmx();
  int CheckBpp();
  int CheckWindowSize();
  // Refuses the start while another copy holds the save folder's lock.
  int CheckMutex();
  void LoadMmxMessage();
  void LoadBppMessage();
  void LoadWindowSizeMessage();
  void LoadMutexMessage();
  void InitRandomSeed();

  void GetDesktopMetrics();
  void GetWindowSize(int out[2]) const;
  void GetVirtualScreenSize(int out[2]) const;
  void GetVirtualScreenOrigin(int out[2]) const;
  void GetVirtualScreenEnd(int out[2]) const;
  int GetBpp() const { return desktopBpp_; }
  void LoadVersion();

  // The main window (null procedure: MainWindowProc); null when the host
  // cannot make one.
  platform::Window* CreateMainWindow(platform::WindowHandler procedure);
  void LoadWindowTitle();
  // 1 after WM_QUIT; 0 when the game was not ready.
  int MainLoop(CGameCallBack* game);

  // Run limits of the command line: the loop asks the window to close after
  // `frames` frames (-1: never), and the last frame shown is written to
  // `screenshot` (a host path; empty: none) when the window goes.
  void SetRunLimits(long long frames, const std::string& screenshot);
  bool ScreenshotFailed() const { return screenshotFailed_; }
  // Called by the window procedure when the main window is destroyed.
  void OnWindowDestroyed(platform::Window* window);

  CCommonSystemFile* GetSystemFile() const { return systemFile_; }
  // The game object the window procedure hands messages to, while the main
  // loop runs.
  CGameCallBack* GetWindowGame() const { return windowGame_; }
  platform::Window* GetWindow() const { return window_; }
  int IsStarted() const { return started_; }
  const char* GetWindowTitle() const { return windowTitle_; }
  int GetOldUseGeneralFlag() const { return oldUseGeneralFlag_; }

  // The application object of the process (null when none).
  static CMainControl* Current();

 private:
  // Takes the save folder's lock (unless "checkMutexFlag" is 0), before
  // anything in the folder is read or written; a lock that cannot be made
  // is said on stderr and the start goes on.
  void LockSaveFolder();
  // A failed check's box; 1 when the start-up must stop.
  int ShowCheckBox(const char* message, const char* caption, int mustAbort);

  CCommonSystemFile* systemFile_ = nullptr;
  int ownsSystemFile_ = 0;
  int ownsWheelMessage_ = 0;
  CWheelMessage* wheelMessage_ = nullptr;
  const char* windowTitle_;
  int windowSizeX_ = 800, windowSizeY_ = 600;
  int initRandomSeed_ = -1;
  int needBpp_ = 16;
  int highVersion_ = 0, middleVersion_ = 0, lowVersion_ = 0;

  int mmxMustAbort_ = 0;
  const char* mmxMessage_ = nullptr;
  const char* mmxCaption_ = nullptr;
  int bppMustAbort_ = 1;
  const char* bppMessageText_ = nullptr;
  const char* bppCaption_ = nullptr;
  int windowSizeMustAbort_ = 1;
  const char* windowSizeMessageText_ = nullptr;
  const char* windowSizeCaption_ = nullptr;
  int checkMutexFlag_ = 1;
  const char* mutexMessage_ = nullptr;
  const char* mutexCaption_ = nullptr;

  const char* className_;
  const char* mutexName_;
  platform::InstanceLock mutex_;
  platform::InstanceLock::Result saveFolderLock_ = platform::InstanceLock::Result::kTaken;
  int fileIcon_ = 0;
  int desktopBpp_ = 32;
  int virtualWidth_ = 0, virtualHeight_ = 0, virtualX_ = 0, virtualY_ = 0;
  int virtualRight_ = 0, virtualBottom_ = 0;
  CNameList* mainControlList_ = nullptr;
  CNameList* gameList_ = nullptr;
  CSetupList mainSetup_;
  CSetupList gameSetup_;
  int comInitialized_ = 0;
  platform::Window* window_ = nullptr;
  CGameCallBack* windowGame_ = nullptr;
  std::string windowSizeMessage_;
  std::string bppMessage_;
  int oldUseGeneralFlag_ = 1;
  int started_ = 0;

  long long frameLimit_ = -1;
  std::string screenshot_;
  bool screenshotTaken_ = false;
  bool screenshotFailed_ = false;
};

// The main window's procedure: the wheel mapping, WM_DESTROY (ends the loop
// through WM_QUIT), and everything else to the game object while the loop
// runs.
intptr_t MainWindowProc(platform::Window* window, uint32_t message, uintptr_t wParam,
                        intptr_t lParam, void* context);
