#include "game/gamecallback.h"

#include "platform/backend.h"
#include "platform/system.h"
#include "setup/setuplist.h"

namespace {
// Larger screens are not presented by the placeholder frame.
constexpr int64_t kMaxFramePixels = 16384 * 16384;
}  // namespace

CGameCallBack::CGameCallBack(platform::Window* window, CCommonSystemFile* systemFile, int width,
                             int height, int bpp)
    : window_(window), systemFile_(systemFile), width_(width), height_(height), bpp_(bpp) {}

CGameCallBack::~CGameCallBack() { delete setup_; }

void CGameCallBack::SetMainControl(CMainControl* mainControl) { mainControl_ = mainControl; }

void CGameCallBack::Init() {
  if (!setup_) setup_ = new CSetupList;
  setup_->LoadSetupFile("game", 256);
  int frameTime = 50;
  setup_->GetSetupInt(&frameTime, "frameTime");
  frameTime_ = defaultFrameTime_ = frameTime;
  const int64_t pixels = static_cast<int64_t>(width_) * height_;
  if (width_ > 0 && height_ > 0 && pixels <= kMaxFramePixels)
    frame_.assign(static_cast<size_t>(pixels), 0);
  initialised_ = 1;
}

void CGameCallBack::CreateModes() {}

void CGameCallBack::PrepareModeTables() {}

int CGameCallBack::CheckReady() { return 1; }

void CGameCallBack::SetFullScreenSize(int width, int height) {
  fullScreenWidth_ = width;
  fullScreenHeight_ = height;
}

void CGameCallBack::SetClipLeftTop(int x, int y) {
  clipLeft_ = x;
  clipTop_ = y;
}

void CGameCallBack::SetClipRightBottom(int x, int y) {
  clipRight_ = x;
  clipBottom_ = y;
}

int CGameCallBack::GetFrameTime() { return frameTime_; }

int CGameCallBack::GetDefaultFrameTime() { return defaultFrameTime_; }

int CGameCallBack::Frame(int) {
  if (window_ && !frame_.empty()) {
    const platform::FrameView view{frame_.data(), width_, height_, width_ * 4};
    window_->Present(view, nullptr, 0, false);
  }
  return 0;
}

int CGameCallBack::FrameOnMainThread(int) { return 0; }

intptr_t CGameCallBack::WindowProc(platform::Window* window, uint32_t message, uintptr_t wParam,
                                   intptr_t lParam) {
  return platform::DefWindowProc(window, message, wParam, lParam);
}
