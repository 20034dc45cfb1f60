// CGameCallBack: the game object's service interface. For now it holds the
// entries the application's main loop and window procedure call, as
// placeholders that draw nothing and request nothing; the rest of the
// services (about 270 operations) and the real bodies of these come with the
// game services.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/types.h"

class CCommonSystemFile;
class CMainControl;
class CSetupList;

class CGameCallBack {
 public:
  // The window, the application's system file (not owned), the screen size
  // and the desktop's bits per pixel. Allocates nothing; Init does.
  CGameCallBack(platform::Window* window, CCommonSystemFile* systemFile, int width, int height,
                int bpp);
  virtual ~CGameCallBack();
  CGameCallBack(const CGameCallBack&) = delete;
  CGameCallBack& operator=(const CGameCallBack&) = delete;

  virtual void SetMainControl(CMainControl* mainControl);
  // Reads the settings list "game" ("frameTime", default 50).
  virtual void Init();
  virtual void CreateModes();
  // Run once after the modes exist: the short-cut rows and the extension
  // save-data sizes.
  virtual void PrepareModeTables();
  // 1 when the game can run.
  virtual int CheckReady();
  virtual void SetFullScreenSize(int width, int height);
  virtual void SetClipLeftTop(int x, int y);
  virtual void SetClipRightBottom(int x, int y);
  // The frame period in ms.
  virtual int GetFrameTime();
  virtual int GetDefaultFrameTime();
  // One frame; elapsed is the time since the start of the previous one.
  virtual int Frame(int elapsed);
  virtual int FrameOnMainThread(int elapsed);
  virtual intptr_t WindowProc(platform::Window* window, uint32_t message, uintptr_t wParam,
                              intptr_t lParam);

  platform::Window* GetWindowHandle() const { return window_; }
  CCommonSystemFile* GetSystemFile() const { return systemFile_; }
  CMainControl* GetMainControl() const { return mainControl_; }
  int GetScreenWidth() const { return width_; }
  int GetScreenHeight() const { return height_; }
  int GetBpp() const { return bpp_; }

 protected:
  platform::Window* window_;
  CCommonSystemFile* systemFile_;
  CMainControl* mainControl_ = nullptr;
  int width_, height_, bpp_;
  int fullScreenWidth_ = 0, fullScreenHeight_ = 0;
  int clipLeft_ = 0, clipTop_ = 0, clipRight_ = 0, clipBottom_ = 0;
  int frameTime_ = 50;
  int defaultFrameTime_ = 50;
  CSetupList* setup_ = nullptr;
  int initialised_ = 0;

 private:
  // Shown again unchanged each frame, so the host counts the frames.
  std::vector<uint32_t> frame_;
};
