#include "graphics/presentation.h"


#include "graphics/screenbuffer.h"
#include "platform/backend.h"

CDirectDrawScreen::CDirectDrawScreen(platform::Window* window, int width, int height, int /*bpp*/,
                                     int /*adapter*/)
    : window_(window), fullScreenWidth_(width), fullScreenHeight_(height) {
  // Pixels are always shown as 32-bit words; the game's depth changes nothing.
  created_ = window_ ? 1 : 0;
  CalcuWindowFrame(0, 0);
}

CDirectDrawScreen::~CDirectDrawScreen() { Release(); }

void CDirectDrawScreen::Release() {
  window_ = nullptr;
  created_ = 0;
}

int CDirectDrawScreen::RestoreSurfaces(int flag) {
  if (!flag) return 0;
  int restored = lost_ ? 1 : 0;
  lost_ = false;
  return restored;
}

int CDirectDrawScreen::RestoreLostSurfaces(int flag) { return RestoreSurfaces(flag); }

int CDirectDrawScreen::ChangeDisplayMode() { return created_; }

int CDirectDrawScreen::Show(const platform::Rect* rects, int count, bool waitVBlank) {
  uint32_t* pixels = CScreenBuffer::GetBuffer();
  if (!created_ || !pixels) return 0;
  const int w = CScreenBuffer::GetWidth();
  platform::FrameView view{pixels, w, CScreenBuffer::GetHeight(), w * 4};
  // The screen buffer stays until CScreenBuffer frees it (which tells the
  // host first), and what it shows changes only by drawing the next frame.
  view.lasting = true;
  if (window_->Present(view, rects, count, waitVBlank) == platform::PresentResult::kLost) {
    // What was uploaded may be gone: the next frame shows everything.
    lost_ = true;
    CScreenBuffer::SetFullRedraw(0);
    return 0;
  }
  return 1;
}

int CDirectDrawScreen::Present(int x, int y, int w, int h, int waitVBlank) {
  if (!CScreenBuffer::ClipRect(&x, &y, &w, &h)) return 0;
  platform::Rect rect{x, y, x + w, y + h};
  return Show(&rect, 1, waitVBlank != 0);
}

int CDirectDrawScreen::PresentAll() {
  platform::Rect all{0, 0, CScreenBuffer::GetWidth(), CScreenBuffer::GetHeight()};
  if (all.Empty()) return 0;
  return Show(&all, 1, false);
}

int CDirectDrawScreen::PresentScreenBuffer(int noWaitVSync) {
  const bool wait = noWaitVSync == 0;
  if (CScreenBuffer::CheckFullRedraw()) {
    platform::Rect all{0, 0, CScreenBuffer::GetWidth(), CScreenBuffer::GetHeight()};
    return Show(&all, 1, wait);
  }
  const int count = CScreenBuffer::GetDirtyRectCount();
  platform::Rect rects[CScreenBuffer::kMaxDirtyRects];
  for (int i = 0; i < count; ++i) {
    int x, y, w, h;
    CScreenBuffer::GetDirtyRect(i, &x, &y, &w, &h);
    rects[i] = {x, y, x + w, y + h};
  }
  return Show(rects, count, wait);
}

int CDirectDrawScreen::CalcuWindowFrame(int, int) {
  if (window_) {
    platform::Point origin = window_->GetClientOrigin();
    windowLeft_ = origin.x;
    windowTop_ = origin.y;
  }
  return 1;
}

void CDirectDrawScreen::SetFullScreenSize(int w, int h) {
  fullScreenWidth_ = w;
  fullScreenHeight_ = h;
}
