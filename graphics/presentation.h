// CDirectDrawScreen: puts the screen buffer on the window through the
// platform presenter. The presenter takes 32-bit pixels, uploads exactly the
// rectangles it is given and shows the frame (scaled and letterboxed when
// full screen), so there is no back surface to lock and no pixel format to
// convert to. A lost render target is remembered and makes the next frame
// a full redraw.
#pragma once

#include "platform/types.h"

class CDirectDrawScreen {
 public:
  // width, height and bpp are the game screen's; adapter 0 is the display
  // the window is on (there is no other choice here).
  CDirectDrawScreen(platform::Window* window, int width, int height, int bpp, int adapter);
  ~CDirectDrawScreen();
  CDirectDrawScreen(const CDirectDrawScreen&) = delete;
  CDirectDrawScreen& operator=(const CDirectDrawScreen&) = delete;

  void Release();
  // 1 when there is a window to present to.
  int GetCreatedFlag() const { return created_; }

  // With flag set: 1 when a lost target was recovered since the last call
  // (the caller then asks for a full redraw), else 0. 0 when flag is 0.
  int RestoreSurfaces(int flag);
  int RestoreLostSurfaces(int flag);
  // Around movie playback; 1 while there is a window to present to.
  int ChangeDisplayMode();

  // Shows one rectangle of the screen buffer; 1 when shown, 0 when nothing of
  // it lies on the screen or the target was lost.
  int Present(int x, int y, int w, int h, int waitVBlank);
  // Shows the whole screen buffer.
  int PresentAll();
  // The end of a frame: the whole buffer when the screen buffer asks for a
  // full redraw, otherwise its dirty rectangles in list order, uploaded and
  // shown together (a frame without changes shows the frame as it was). The
  // vertical blank is waited for once, unless noWaitVSync.
  int PresentScreenBuffer(int noWaitVSync);

  // Re-reads the window geometry. Frames and captions are the window
  // manager's here, so their sizes are 0 and the window's position is its
  // client origin.
  int CalcuWindowFrame(int x, int y);
  void SetFullScreenSize(int w, int h);
  // The desktop limits of a presented rectangle: the presenter keeps the
  // frame inside the window by itself, so these are accepted and not needed.
  void SetClipLeftTop(int, int) {}
  void SetClipRightBottom(int, int) {}
  void SetFullScreenFlag(int flag) { fullScreen_ = flag; }

  int GetFullScreenFlag() const { return fullScreen_; }
  int GetFullScreenWidth() const { return fullScreenWidth_; }
  int GetFullScreenHeight() const { return fullScreenHeight_; }
  int GetWindowLeft() const { return windowLeft_; }
  int GetWindowTop() const { return windowTop_; }
  int GetFrameWidth() const { return 0; }
  int GetFrameHeight() const { return 0; }
  int GetCaptionHeight() const { return 0; }
  platform::Window* GetWindow() const { return window_; }

 private:
  // Presents rects[0..count) of the screen buffer; 1 shown, 0 not.
  int Show(const platform::Rect* rects, int count, bool waitVBlank);

  platform::Window* window_ = nullptr;
  int windowLeft_ = 0, windowTop_ = 0;
  int created_ = 0;
  int fullScreen_ = 0;
  int fullScreenWidth_ = 0, fullScreenHeight_ = 0;
  bool lost_ = false;
};
