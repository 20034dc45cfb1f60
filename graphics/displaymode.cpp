#include "graphics/displaymode.h"

#include "platform/backend.h"
#include "platform/system.h"
#include "platform/types.h"

namespace displaymode {

namespace {

// "フルスクリーン処理に失敗しました"
constexpr char kFullScreenFailed[] =
    "\x83\x74\x83\x8b\x83\x58\x83\x4e\x83\x8a\x81\x5b\x83\x93\x8f\x88\x97\x9d\x82\xc9\x8e\xb8"
    "\x94\x73\x82\xb5\x82\xdc\x82\xb5\x82\xbd";
// "ウィン化処理に失敗しました"
constexpr char kWindowFailed[] =
    "\x83\x45\x83\x42\x83\x93\x89\xbb\x8f\x88\x97\x9d\x82\xc9\x8e\xb8\x94\x73\x82\xb5\x82\xdc"
    "\x82\xb5\x82\xbd";
constexpr int kWindowAttempts = 5;

void Recreate(State* s, int fullScreen) {
  s->screen = std::make_unique<CDirectDrawScreen>(s->window, s->width, s->height, s->bpp, 0);
  s->screen->SetFullScreenFlag(fullScreen);
  s->screen->SetFullScreenSize(s->fullScreenWidth, s->fullScreenHeight);
  s->screen->SetClipLeftTop(s->clipLeft, s->clipTop);
  s->screen->SetClipRightBottom(s->clipRight, s->clipBottom);
}

}  // namespace

int ToFullScreen(State* s) {
  s->screen.reset();
  bool ok = s->window && s->window->SetFullScreen(true);
  if (!ok) platform::MessageBox(s->window, kFullScreenFailed, "Error", MB_ICONWARNING);
  // The flag follows what the window really is, so a refused switch leaves a
  // presentation for the window the game still has.
  Recreate(s, s->window && s->window->IsFullScreen() ? 1 : 0);
  if (s->window && s->window->IsFullScreen()) s->screen->SetFullScreenSize(s->width, s->height);
  s->screen->CalcuWindowFrame(0, 0);
  return ok ? 1 : 0;
}

int ToWindowScreen(State* s) {
  auto trace = [s](const char* text) {
    if (s->trace) s->trace(text);
  };
  trace("ToWindowScreen Start");
  s->screen.reset();
  bool ok = false;
  for (int i = 0; s->window && i < kWindowAttempts && !ok; ++i) ok = s->window->SetFullScreen(false);
  if (!ok) platform::MessageBox(s->window, kWindowFailed, "Error", MB_ICONWARNING);
  Recreate(s, s->window && s->window->IsFullScreen() ? 1 : 0);
  trace("ToWindowScreen Mid 1");
  // Back to a captioned window of the game's size where it was before. The
  // log keeps its six marks, though here the frame, the move and the
  // top-most state are the window's own two steps.
  const bool windowed = s->window && !s->window->IsFullScreen();
  if (windowed) s->window->SetBorderless(false);
  trace("ToWindowScreen Mid 2");
  trace("ToWindowScreen Mid 3");
  if (windowed) s->window->Move(s->windowLeft, s->windowTop, s->width, s->height);
  trace("ToWindowScreen Mid 4");
  trace("ToWindowScreen Mid 5");
  trace("ToWindowScreen Mid 6");
  s->screen->CalcuWindowFrame(s->windowLeft, s->windowTop);
  trace("ToWindowScreen End");
  return ok ? 1 : 0;
}

}  // namespace displaymode
