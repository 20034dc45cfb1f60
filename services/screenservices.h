// CScreenServices: the screen: its pictures, the effect channels and wipes,
// the update rectangles, the window and full screen, and the frame timing.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {
struct Rect;
class Window;
}  // namespace platform

class CPicture;

class CScreenServices {
 public:
  virtual CPicture* GetScreenPicture() = 0;
  virtual CPicture* GetWorkPicture() = 0;
  virtual void ToWindowMode(int quiet) = 0;
  virtual void ToFullScreenMode(int quiet) = 0;
  virtual void CalcuEffect() = 0;
  virtual void AddEffectFrame(int frames) = 0;
  virtual void RefreshEffect(int pass) = 0;
  // Buffer picture 0 or 1; NULL for any other number.
  virtual CPicture* GetBufferPicture(int n) = 0;
  virtual void PrintWipe(int progress) = 0;
  virtual CPicture* LoadSystemPicture(const char* name, int flag) = 0;
  virtual void AddUpdateRect(const platform::Rect& rect) = 0;
  virtual platform::Window* GetWindowHandle() = 0;
  virtual void PrintWipeType(int progress, int length, int kind) = 0;
  virtual void ResetFrameTime() = 0;
  virtual int GetScreenWidth() const = 0;
  virtual int GetScreenHeight() const = 0;
  // The frames that waits and effects advance this frame: the frame-skip
  // controller's skip count, or n when n is below it; 0 gives the skip
  // count; a negative n resets the controller and gives -1. What it gives
  // is consumed from the controller's lag.
  virtual int CalcuWaitCount(int n) = 0;
  // Hides effect layer i (0..15) for each set bit and shows the others;
  // the mask is kept as the layer-off mask.
  virtual void SetLayerDisableMask(int mask) = 0;
  // PrintScreen and FlipScreen at once, unless screen updates are blocked.
  virtual void UpdateScreenNow() = 0;
  // Keeps the flag; with it set a lost presentation target is recovered
  // and the next frame drawn whole.
  virtual void RestoreSurfaces(int flag) = 0;
  virtual void HideCursor() = 0;
  virtual CPicture* GetEffectBackPicture() const = 0;
  virtual CPicture* GetEffectScreenPicture() const = 0;
  // The elapsed ms of the current frame (the choice and message modes).
  virtual int GetMessageWaitTime() const = 0;
  // The picture of effect channel n (NULL without one).
  virtual CPicture* GetEffectPicture(int n) = 0;

 protected:
  ~CScreenServices() = default;
};
