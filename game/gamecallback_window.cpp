// CGameCallBack: the game window's message handler. Keyboard and mouse
// messages become the input state the next frame reads; the window's moves,
// paints and activation reach the remembered position and the presentation;
// the engine's own keys close the game, switch the screen mode, skip text
// and hide the game behind the boss-coming screen.
#include <algorithm>
#include <cstdint>

#include "effect/alleffect.h"
#include "game/debugaids.h"
#include "game/gamecallback.h"
#include "input/inputstatus.h"
#include "graphics/presentation.h"
#include "graphics/screenbuffer.h"
#include "modebase/modenumbers.h"
#include "platform/backend.h"
#include "platform/system.h"
#include "platform/types.h"
#include "savedata/systemfile.h"
#include "sound/movieplayer.h"
#include "widget/textinputbox.h"

namespace {

constexpr int kWheelNotch = WHEEL_DELTA;
constexpr uintptr_t kAltEnter = VK_RETURN;
// The letters and the at sign only reach the key state.
constexpr int kFirstLetterKey = 64, kLastLetterKey = 90;
constexpr int kNumpad2 = VK_NUMPAD0 + 2, kNumpad4 = VK_NUMPAD0 + 4;
constexpr int kNumpad6 = VK_NUMPAD0 + 6, kNumpad8 = VK_NUMPAD0 + 8;

// The arrow keys and their numeric-pad twins: the hook's argument, the key
// they are recorded as, and the wheel turn they stand for (Up and Down
// scroll like the wheel, so screens that scroll by wheel scroll by keys).
// In debug mode Up and Down move the variable overlay's selection
// (`select`) and Left and Right change the selected variable's value by
// `change` steps.
struct ArrowKey {
  int vk;
  int hookArg;
  int recordAs;
  int wheel;
  int select;
  int change;
};

constexpr ArrowKey kArrowKeys[] = {
    {VK_UP, 0, VK_UP, kWheelNotch, -1, 0},      {kNumpad8, 0, VK_UP, kWheelNotch, -1, 0},
    {VK_DOWN, 1, VK_DOWN, -kWheelNotch, 1, 0},  {kNumpad2, 1, VK_DOWN, -kWheelNotch, 1, 0},
    {VK_LEFT, 2, VK_LEFT, 0, 0, -1},            {kNumpad4, 2, VK_LEFT, 0, 0, -1},
    {VK_RIGHT, 3, VK_RIGHT, 0, 0, 1},           {kNumpad6, 3, VK_RIGHT, 0, 0, 1},
};

// A value step: 1, 10 with Shift held, and a further 99 with Ctrl held.
constexpr int kStep = 1, kShiftStep = 10, kCtrlExtra = 99;

// Keys also recorded as another key: Insert as Page Up, Delete as Page
// Down.
struct KeyAlias {
  int vk;
  int recordAs;
};

constexpr KeyAlias kKeyAliases[] = {{VK_INSERT, VK_PRIOR}, {VK_DELETE, VK_NEXT}};

// The button of a button message and whether it went down; -1 for other
// messages.
struct ButtonMessage {
  uint32_t message;
  int button;
  int down;
};

constexpr ButtonMessage kButtonMessages[] = {
    {WM_LBUTTONDOWN, 0, 1}, {WM_RBUTTONDOWN, 1, 1}, {WM_MBUTTONDOWN, 2, 1},
    {WM_LBUTTONUP, 0, 0},   {WM_RBUTTONUP, 1, 0},   {WM_MBUTTONUP, 2, 0},
};

constexpr uintptr_t kButtonBits[CMouseStatus::kButtons] = {MK_LBUTTON, MK_RBUTTON, MK_MBUTTON};

}  // namespace

// The handlers reach the game's input words; each is one message or key.
struct GameWindowHandlers {
  using Game = CGameCallBack;

  // `repeat`: the key was already down (an auto-repeat); the keys that
  // switch something on and off act only on the press.
  static void KeyDown(Game& g, platform::Window* window, int vk, bool repeat) {
    CMyKeyStatus* keys = g.keyStatus_;
    if (keys) keys->SetKey(vk, 1);
    if (vk >= kFirstLetterKey && vk <= kLastLetterKey) return;
    for (const ArrowKey& a : kArrowKeys) {
      if (a.vk != vk) continue;
      g.OnWindowProcArg(a.hookArg);
      if (CPrintDebugParam* debug = DebugParam(g)) DebugArrow(g, debug, a);
      if (keys) keys->SetKey(a.recordAs, 1);
      if (a.wheel != 0) {
        g.wheelFlag_ = 1;
        g.wheelDelta_ = a.wheel;
      }
      return;
    }
    for (const KeyAlias& a : kKeyAliases)
      if (a.vk == vk && keys) keys->SetKey(a.recordAs, 1);
    switch (vk) {
      case VK_RETURN: g.enterFlag_ = 1; break;
      case VK_SPACE: g.spaceFlag_ = 1; break;
      case VK_SHIFT: Shift(g, repeat); break;
      case VK_CONTROL:
        g.ctrlHeld_ = 1;
        g.SetShiftSkipState(1);
        break;
      case VK_ESCAPE: CloseUnless(g, window, g.settings_.escKeyExitOffFlag); break;
      case VK_F9: CloseUnless(g, window, g.settings_.f9KeyExitOffFlag); break;
      case VK_F4: Skip(g, 0, g.settings_.F4OK); break;
      case VK_F5: Skip(g, 1, g.settings_.F5Ok); break;
      case VK_F12:
        if (!repeat) g.ToggleScreenMode(1);
        break;
      case VK_SUBTRACT:
        if (!repeat) BossComing(g);
        break;
      case VK_PRIOR:
      case VK_INSERT: DebugPage(g, -1); break;
      case VK_NEXT: DebugPage(g, 1); break;
      case VK_MULTIPLY: g.PrintLibraryVersions(); break;
      case VK_ADD:
        if (g.debugParam_) g.debugParam_->Fade();
        break;
      default: break;
    }
  }

  // The variable overlay while the debug outputs are on; null otherwise.
  static CPrintDebugParam* DebugParam(Game& g) {
    return g.GetDebugFlag() ? g.debugParam_ : nullptr;
  }

  static void DebugArrow(Game& g, CPrintDebugParam* debug, const ArrowKey& a) {
    if (a.select != 0) debug->MoveSelect(a.select, 1);
    if (a.change != 0) {
      int step = g.shiftHeld_ ? kShiftStep : kStep;
      if (g.ctrlHeld_) step += kCtrlExtra;
      const int n = debug->GetSelected();
      const int64_t value = int64_t{g.GetVar(n)} + int64_t{a.change} * step;
      g.SetVar(n, static_cast<int>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX)));
    }
    CScreenBuffer::SetFullRedraw(0);
  }

  static void DebugPage(Game& g, int n) {
    if (CPrintDebugParam* debug = DebugParam(g)) {
      debug->MovePage(n);
      CScreenBuffer::SetFullRedraw(0);
    }
  }

  // Shift's press switches the shift skip on and off.
  static void Shift(Game& g, bool repeat) {
    g.shiftHeld_ = 1;
    if (!repeat) g.ToggleShiftSkip();
  }

  // Esc and F9 close the game, except during name input or when their
  // off flag is set.
  static void CloseUnless(Game& g, platform::Window* window, int offFlag) {
    if (g.GetCurrentMode() == modenumber::kNameInput || offFlag) return;
    platform::PostMessage(window ? window : g.window_, WM_CLOSE, 0, 0);
  }

  // F4 (kind 0) and F5 (kind 1) skip the text of the print-message mode.
  // (The print-message mode's own skip words are set here once it exists.)
  static void Skip(Game& g, int kind, int allowed) {
    if (!allowed || g.GetCurrentMode() != modenumber::kPrintMessage || g.GetMessageModeFlag()) return;
    g.SetMessageReadFlag(g.messageKey_, -1);
    g.skipKind_[0] = kind == 0 ? 1 : 0;
    g.skipKind_[1] = kind == 1 ? 1 : 0;
    if (kind == 1 && g.effect_) g.effect_->ResetAll();
    g.SetSkipFilmFlag(1);
  }

  // Numeric minus hides the game behind the boss-coming screen and shows it
  // again, in every mode; in debug mode a debug word toggles too.
  static void BossComing(Game& g) {
    if (DebugParam(g)) g.debugWord_ ^= 1;
    g.SetBossComingFlag(g.GetBossComingFlag() ? 0 : 1);
    if (g.GetBossComingFlag()) g.OnWindowProc();
  }

  static void KeyUp(Game& g, int vk) {
    if (!g.keyStatus_) return;
    if (vk == VK_SHIFT) {
      g.shiftHeld_ = 0;
      g.keyStatus_->SetKey(VK_SHIFT, 0);
    } else if (vk == VK_CONTROL) {
      g.keyStatus_->SetKey(VK_CONTROL, 0);
      g.SetShiftSkipState(0);
      g.ctrlHeld_ = 0;
    }
  }

  static void MouseMove(Game& g, uintptr_t wParam, intptr_t lParam) {
    CMouseStatus* mouse = g.mouseStatus_;
    if (!mouse) return;
    mouse->SetPos(LowWordSigned(lParam), HighWordSigned(lParam));
    for (int b = 0; b < CMouseStatus::kButtons; ++b) {
      const bool held = (wParam & kButtonBits[b]) != 0;
      // A button already down when the pointer came in is held, not
      // clicked; a release that happened elsewhere lets it go.
      if (held && !mouse->GetTrig(b)) mouse->SetTrig(b, 1);
      if (!held && mouse->GetTrig(b)) mouse->SetButton(b, 0);
    }
  }

  static void Button(Game& g, const ButtonMessage& m) {
    if (g.mouseStatus_) g.mouseStatus_->SetButton(m.button, m.down);
    if (m.down) g.pressed_[m.button] = 1;
  }

  // Wheel turns count only outside the two frames after a screen switch
  // and outside the stall guard's block.
  static void Wheel(Game& g, uintptr_t wParam) {
    if (g.wheelCountdown_ > 0 || g.backLogDisableCountdown_ != 0) return;
    g.wheelDelta_ = HighWordSigned(static_cast<intptr_t>(wParam));
    g.wheelFlag_ = 1;
  }

  // The client position is the remembered one (frames and captions belong
  // to the window manager and measure 0), except while the window is full
  // screen, maximised or minimised. The window-message log notes the move.
  static void Move(Game& g, platform::Window* window, uintptr_t wParam, intptr_t lParam) {
    g.LogWindowMessage(WM_MOVE, wParam, lParam);
    const int x = LowWordSigned(lParam), y = HighWordSigned(lParam);
    const bool fullScreen = g.GetSystemSetting(4) != 0 || (window && window->IsFullScreen());
    if (!fullScreen && window && !window->IsMaximized() && !window->IsMinimized()) {
      g.windowX_ = x;
      g.windowY_ = y;
      if (g.systemFile_) g.systemFile_->SetPosition(x, y);
      CScreenBuffer::SetFullRedraw(0);
    }
    if (g.presentation_) {
      g.presentation_->CalcuWindowFrame(x, y);
      CScreenBuffer::SetFullRedraw(0);
    }
  }

  // The host gives no update rectangle: the whole screen is drawn again.
  // (In the movie mode the movie player repaints its video instead.)
  static void Paint(Game& g, platform::Window* window) {
    if (g.GetCurrentMode() == modenumber::kPrintMovie) {
      if (g.moviePlayer_) g.moviePlayer_->RepaintVideo(window, nullptr);
      return;
    }
    g.AddUpdateRect(platform::Rect{0, 0, g.width_, g.height_});
  }

  // The music fades out before the window goes.
  static void Close(Game& g) {
    platform::Sleep(100);
    g.StopBgm(-1);
    platform::Sleep(200);
    g.SaveNames();
  }

  static void ActivateApp(Game& g, uintptr_t active) {
    if (active)
      g.RecoverSurfaces();
    else if (g.presentation_)
      g.presentation_->RestoreSurfaces(0);
  }

  static void Char(Game& g, uintptr_t wParam) {
    if (g.textInputBox_) g.textInputBox_->PutChar(static_cast<int>(wParam & 0xFF));
  }

  // The game draws its own cursor; the system's is hidden over the window.
  // (In the movie mode the movie player shows it by its option.)
  static void SetCursor(Game& g, platform::Window* window) {
    if (g.GetCurrentMode() == modenumber::kPrintMovie && g.moviePlayer_) return;
    if (window) window->ShowSystemCursor(false);
  }
};

void CGameCallBack::RecoverSurfaces() {
  if (presentation_ && presentation_->RestoreSurfaces(1)) CScreenBuffer::SetFullRedraw(0);
}

intptr_t CGameCallBack::WindowProc(platform::Window* window, uint32_t message, uintptr_t wParam,
                                   intptr_t lParam) {
  using H = GameWindowHandlers;
  // Key codes outside 0..255 name no key. A held key repeats its key
  // message many times a second: what switches on and off acts only on the
  // press, or it would flicker for as long as the key is held.
  const int vk = wParam < 256 ? static_cast<int>(wParam) : -1;
  const bool repeat = (lParam & KEY_REPEAT_LPARAM) != 0;
  switch (message) {
    case WM_KEYDOWN:
      if (vk >= 0) H::KeyDown(*this, window, vk, repeat);
      break;
    case WM_KEYUP:
      if (vk >= 0) H::KeyUp(*this, vk);
      break;
    case WM_SYSKEYDOWN:
      if (wParam == kAltEnter && !repeat) ToggleScreenMode(1);
      break;
    case WM_MOUSEMOVE: H::MouseMove(*this, wParam, lParam); break;
    case WM_MOUSEWHEEL: H::Wheel(*this, wParam); break;
    case WM_MOVE: H::Move(*this, window, wParam, lParam); break;
    case WM_SIZE:
      if (wParam == SIZE_MAXIMIZED) ToFullScreenMode(1);
      LogWindowMessage(WM_SIZE, wParam, lParam);
      break;
    case WM_PAINT: H::Paint(*this, window); break;
    case WM_CLOSE: H::Close(*this); break;
    case WM_ACTIVATEAPP: H::ActivateApp(*this, wParam); break;
    case WM_SETCURSOR: H::SetCursor(*this, window); break;
    case WM_CHAR: H::Char(*this, wParam); break;
    case WM_DISPLAYCHANGE:
      if (GetCurrentMode() == modenumber::kPrintMovie && GetMode(modenumber::kPrintMovie) && moviePlayer_)
        moviePlayer_->DisplayModeChanged();
      break;
    case CMoviePlayer::kNotifyMessage:
      if (moviePlayer_) moviePlayer_->CheckEvent();
      break;
    case MM_MCINOTIFY: return 1;
    default:
      for (const ButtonMessage& m : kButtonMessages)
        if (m.message == message) H::Button(*this, m);
      break;
  }
  return platform::DefWindowProc(window, message, wParam, lParam);
}
