// CScreenBuffer: the one software frame everything draws into, and the list
// of rectangles changed in the current frame. The state is process-wide so
// drawing code reads the size, the pixels and the dirty state through static
// getters without holding the object.
#pragma once

#include <cstdint>

namespace platform {
class Window;
}

class CAllGraphics;
class CAllGeo;
class CAllPicture;

class CScreenBuffer {
 public:
  static constexpr int kMaxDirtyRects = 255;
  // Each row of the span table is this many 32-bit words of filler scratch.
  static constexpr int kSpanWords = 8;

  // useDIB is the game's "notUseDirectDraw" setting. Both presentation paths
  // go through the platform presenter, so the pixels always live in one
  // heap block; the flag is kept for the game object to read back.
  CScreenBuffer(int width, int height, int useDIB);
  ~CScreenBuffer();
  CScreenBuffer(const CScreenBuffer&) = delete;
  CScreenBuffer& operator=(const CScreenBuffer&) = delete;

  void Release();
  int UseDIB() const { return useDIB_; }

  // Size in pixels (the width is also the pitch); 0 x 0 when the block could
  // not be made, so that every drawing routine then draws nothing.
  static int GetWidth() { return width_; }
  static int GetHeight() { return height_; }
  // Top row first; two spare rows follow the visible ones.
  static uint32_t* GetBuffer() { return pixels_; }
  static int32_t* GetSpanTable() { return spans_; }
  static int GetClipLeft() { return 0; }
  static int GetClipTop() { return 0; }
  static int GetClipRight() { return width_; }
  static int GetClipBottom() { return height_; }

  // 1 with the visible part written back, or 0 when nothing is visible.
  static int ClipRect(int* x, int* y, int* w, int* h);

  static void AddDirtyRect(int x, int y, int w, int h);
  // This frame and the next max(n, 1) frames are presented whole.
  static void SetFullRedraw(int n);
  static void SetFullRedrawFlag(int v);
  static int CheckFullRedraw();
  static void SetAlwaysFullRedraw();
  // Whether the game shows full screen (the game's screen switch keeps it).
  static void SetFullScreenFlag() { fullScreenFlag_ = 1; }
  static void ClearFullScreenFlag() { fullScreenFlag_ = 0; }
  static int GetFullScreenFlag() { return fullScreenFlag_; }
  static void StartFrame();
  static void EndFrame();
  static void ClearDirtyRects();
  static int GetDirtyRectCount() { return dirtyCount_; }
  // 1, or 0 with (0, 0, 8, 8) for an index outside the list.
  static int GetDirtyRect(int i, int* x, int* y, int* w, int* h);

  // Shows one rectangle of the buffer at the same place in the window.
  // 1 when shown, 0 without a buffer or window, or when the target was lost.
  static int BltToWindow(platform::Window* window, int x, int y, int w, int h);

 private:
  struct DirtyRect {
    int x, y, w, h;
  };

  void ReleaseBlock();

  int useDIB_ = 0;
  CAllGraphics* allGraphics_ = nullptr;
  CAllGeo* allGeo_ = nullptr;
  CAllPicture* allPicture_ = nullptr;

  static CScreenBuffer* owner_;
  static int width_, height_;
  static unsigned char* block_;
  static uint32_t* pixels_;
  static int32_t* spans_;
  static DirtyRect dirty_[kMaxDirtyRects];
  static int dirtyCount_;
  static int64_t dirtyArea_;
  static int fullRedraw_;
  static int fullRedrawRequest_;
  static int fullRedrawFrames_;
  static int alwaysFullRedraw_;
  static int fullScreenFlag_;
};

// 1 when all four pointers are set; the blit dispatchers test their data.
int CheckAllPointers(const void* a, const void* b, const void* c, const void* d);

// Build stamp of the graphics library, for the game's version line.
const char* GetMoktLibDate();
const char* GetMoktLibTime();
