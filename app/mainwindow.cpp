// The main window, its procedure and the paced main loop.
#include <cstdio>
#include <string>
#include <vector>

#include "app/maincontrol.h"
#include "app/wheelmessage.h"
#include "game/gamecallback.h"
#include "platform/backend.h"
#include "platform/codec.h"
#include "platform/system.h"
#include "savedata/systemfile.h"

namespace {

constexpr size_t kTitleBufferSize = 1024;
// Ends a level of the threaded frame driver, which this program never starts.
constexpr uint32_t kEndGameThreadMessage = WM_USER + 556;
// Window decoration belongs to the window manager: the outer size is the
// client size, so a remembered position comes back exactly.
constexpr int kFrameWidth = 0;
constexpr int kFrameHeight = 0;
constexpr int kCaptionHeight = 0;
// The start fill is skipped for sizes no host shows.
constexpr int64_t kMaxFillPixels = 16384 * 16384;

// フルスクリーン処理に失敗しました
const char kFullScreenFailed[] =
    "\x83\x74\x83\x8b\x83\x58\x83\x4e\x83\x8a\x81\x5b\x83\x93\x8f\x88\x97\x9d\x82\xc9\x8e\xb8\x94"
    "\x73\x82\xb5\x82\xdc\x82\xb5\x82\xbd";

// The desktop's standard system colours (0x00RRGGBB) by colour index; -1
// where the index names no colour.
constexpr int32_t kSystemColors[] = {
    0xC8C8C8, 0x000000, 0x99B4D1, 0xBFCDDB, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
    0x000000, 0x000000, 0xB4B4B4, 0xF4F7FC, 0xABABAB, 0x3399FF, 0xFFFFFF, 0xF0F0F0,
    0xA0A0A0, 0x6D6D6D, 0x000000, 0x434E54, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
    0xFFFFE1, -1,       0x0066CC, 0xB9D1EA, 0xD7E4F2, 0x3399FF, 0xF0F0F0,
};

// Cut at `max` bytes without splitting a double-byte character.
std::string CutText(const std::string& text, size_t max) {
  size_t n = 0;
  while (n < text.size()) {
    const size_t width =
        platform::IsCp932LeadByte(static_cast<unsigned char>(text[n])) && n + 1 < text.size() ? 2 : 1;
    if (n + width > max) break;
    n += width;
  }
  return text.substr(0, n);
}

}  // namespace

void CMainControl::LoadWindowTitle() { GetMainSetupString(&windowTitle_, "windowTitle"); }

platform::Window* CMainControl::CreateMainWindow(platform::WindowHandler procedure) {
  if (!procedure) procedure = &MainWindowProc;
  // There is no window class to register on this host; the name is read
  // all the same.
  GetMainSetupString(&className_, "className");
  const char* iconName = nullptr;
  GetMainSetupString(&iconName, "iconName");
  LoadWindowTitle();

  int addVersion = 1;
  GetMainSetupInt(&addVersion, "addVersionToWindowTitleFlag");
  if (addVersion > 0) {
    LoadVersion();
    if (addVersion == 1 && highVersion_ == 0 && middleVersion_ == 0 && lowVersion_ == 0) addVersion = 0;
  }
  std::string name = windowTitle_;
  if (addVersion != 0) {
    const char* message = "";
    int lowNotPrint = 0, middleNotPrint = 0;
    GetMainSetupString(&message, "versionTitleMessage");
    GetMainSetupInt(&lowNotPrint, "lowVersionNotPrintFlag");
    GetMainSetupInt(&middleNotPrint, "middleVersionNotPrintFlag");
    const long long first = static_cast<long long>(highVersion_) + 1;
    char numbers[64];
    if (middleNotPrint)
      std::snprintf(numbers, sizeof numbers, "%lld", first);
    else if (lowNotPrint)
      std::snprintf(numbers, sizeof numbers, "%lld.%d", first, middleVersion_);
    else
      std::snprintf(numbers, sizeof numbers, "%lld.%d%d", first, middleVersion_, lowVersion_);
    name = name + " " + message + numbers;
  }
  name = CutText(name, kTitleBufferSize - 1);

  int position[2] = {0, 0};
  systemFile_->GetPosition(position);
  const int64_t outerWidth = static_cast<int64_t>(windowSizeX_) + 2 * kFrameWidth;
  const int64_t outerHeight = static_cast<int64_t>(windowSizeY_) + 2 * kFrameHeight + kCaptionHeight;
  int64_t x = position[0], y = position[1];
  if (x + windowSizeX_ > virtualWidth_) x = virtualWidth_ - outerWidth;
  if (x < 0) x = 0;
  if (y + windowSizeY_ > virtualHeight_) y = virtualHeight_ - outerHeight;
  if (y < 0) y = 0;
  const bool fullScreen = systemFile_->GetSystemData(CCommonSystemFile::kFullScreenOffset) != 0;
  if (fullScreen) x = y = 0;

  platform::WindowDesc desc;
  desc.x = static_cast<int>(x);
  desc.y = static_cast<int>(y);
  desc.clientWidth = windowSizeX_;
  desc.clientHeight = windowSizeY_;
  desc.title = name;
  desc.caption = !fullScreen;
  desc.visible = true;
  platform::Window* window = platform::CreateWindow(desc);
  if (!window) return nullptr;
  window_ = window;
  window->SetHandler(procedure, this);
  // An icon file the host cannot read leaves the window without one.
  if (iconName && *iconName) fileIcon_ = window->SetIcon(iconName) ? 1 : 0;
  // Nothing to start per thread on this host.
  comInitialized_ = 1;

  int fill = 1;
  GetMainSetupInt(&fill, "fillStartWindowFlag");
  if (fill != 0) {
    // The flag + 5 is a system colour brush, that is colour index flag + 4.
    const int64_t index = static_cast<int64_t>(fill) + 4;
    const int64_t pixels = static_cast<int64_t>(windowSizeX_) * windowSizeY_;
    const int64_t colors = static_cast<int64_t>(sizeof kSystemColors / sizeof kSystemColors[0]);
    if (index >= 0 && index < colors && kSystemColors[index] >= 0 && windowSizeX_ > 0 &&
        windowSizeY_ > 0 && pixels <= kMaxFillPixels) {
      std::vector<uint32_t> frame(static_cast<size_t>(pixels), static_cast<uint32_t>(kSystemColors[index]));
      const platform::FrameView view{frame.data(), windowSizeX_, windowSizeY_, windowSizeX_ * 4};
      const platform::Rect all{0, 0, windowSizeX_, windowSizeY_};
      window->Present(view, &all, 1, false);
    }
  }

  window->Show(true);
  window->Focus();

  if (fullScreen) {
    window->SetBorderless(true);
    window->Move(0, 0, windowSizeX_, windowSizeY_);
    if (!window->SetFullScreen(true))
      platform::MessageBox(window, kFullScreenFailed, "Error", MB_ICONWARNING);
  }
  return window;
}

// context is the application object the window was made by.
intptr_t MainWindowProc(platform::Window* window, uint32_t message, uintptr_t wParam,
                        intptr_t lParam, void* context) {
  CMainControl* app = static_cast<CMainControl*>(context);
  if (CWheelMessage* wheel = GetWheelMessage()) message = wheel->MapMessage(message);
  if (message == WM_DESTROY) {
    if (app) app->OnWindowDestroyed(window);
    if (window) window->Show(false);
    platform::PostQuitMessage(0);
    return 0;
  }
  if (message == kEndGameThreadMessage) return 0;
  if (CGameCallBack* game = app ? app->GetWindowGame() : nullptr)
    return game->WindowProc(window, message, wParam, lParam);
  return platform::DefWindowProc(window, message, wParam, lParam);
}

int CMainControl::MainLoop(CGameCallBack* game) {
  windowGame_ = game;
  game->SetMainControl(this);
  game->Init();
  game->CreateModes();
  game->PrepareModeTables();
  if (!game->CheckReady()) {
    windowGame_ = nullptr;
    return 0;
  }
  game->SetFullScreenSize(virtualWidth_, virtualHeight_);
  game->SetClipLeftTop(virtualX_, virtualY_);
  game->SetClipRightBottom(virtualRight_, virtualBottom_);
  int period = game->GetFrameTime();
  if (window_) {
    window_->Show(true);
    window_->Focus();
  }
  const int minimum = platform::TimeBeginPeriod();
  // \n\ntimer精度=%d\n\n
  platform::DebugPrintf("\n\ntimer\x90\xb8\x93\x78=%d\n\n", minimum);

  // The command line's frame count ends the run the way the player would:
  // by closing the window.
  long long frames = 0;
  bool closeAsked = false;
  auto checkFrameLimit = [&]() {
    if (closeAsked || frameLimit_ < 0 || frames < frameLimit_) return;
    closeAsked = true;
    if (window_)
      platform::PostMessage(window_, WM_CLOSE, 0, 0);
    else
      platform::PostQuitMessage(0);
  };
  checkFrameLimit();

  uint32_t base = platform::GetTicks();
  uint32_t last = base;
  bool slept = false;
  for (;;) {
    platform::Message message;
    if (platform::PeekMessage(&message, false)) {
      if (!platform::GetMessage(&message)) break;
      platform::DispatchMessage(message);
      continue;
    }
    const uint32_t now = platform::GetTicks();
    const int64_t early =
        static_cast<int64_t>(period) - 5 - static_cast<int64_t>(static_cast<int32_t>(now - base));
    if (early > 0) {
      // One wait until the frame is due or a message comes.
      platform::WaitMessage(static_cast<uint32_t>(early));
      slept = true;
      continue;
    }
    const int elapsed = static_cast<int32_t>(now - last);
    if (oldUseGeneralFlag_)
      game->Frame(elapsed);
    else
      game->FrameOnMainThread(elapsed);
    int32_t lag = static_cast<int32_t>(now - base);
    if (lag < 0) lag = 0;
    last = now;
    // Late by a whole period or more: the grid moves to this frame, so a
    // stall is never made up by a burst of frames.
    if (lag < period)
      base = now + static_cast<uint32_t>(period - lag);
    else
      base = now;
    period = game->GetFrameTime();
    if (!slept) platform::Sleep(1);
    slept = false;
    ++frames;
    checkFrameLimit();
  }

  platform::TimeEndPeriod(minimum);
  systemFile_->Save(1);
  windowGame_ = nullptr;
  return 1;
}
