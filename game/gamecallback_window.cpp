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
#include "game/debugpart.h"
#include "game/inputpart.h"
#include "game/messagewindowpart.h"
#include "game/modeflowpart.h"
#include "game/screenpart.h"
#include "game/soundpart.h"
#include "game/textpart.h"
#include "game/variablepart.h"
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

// The handlers: each one message or key, over the game's parts.
struct Handlers {
  CGameCallBack& g;
  GameParts& p;

  // `repeat`: the key was already down (an auto-repeat); the keys that
  // switch something on and off act only on the press.
  void KeyDown(platform::Window* window, int vk, bool repeat) {
    CInputPart& input = *p.input;
    input.SetKey(vk, 1);
    if (vk >= kFirstLetterKey && vk <= kLastLetterKey) return;
    for (const ArrowKey& a : kArrowKeys) {
      if (a.vk != vk) continue;
      g.OnWindowProcArg(a.hookArg);
      if (CPrintDebugParam* debug = DebugParam()) DebugArrow(debug, a);
      input.SetKey(a.recordAs, 1);
      if (a.wheel != 0) input.RecordWheel(a.wheel);
      return;
    }
    for (const KeyAlias& a : kKeyAliases)
      if (a.vk == vk) input.SetKey(a.recordAs, 1);
    const CGameCallBack::Settings& s = g.GetSettings();
    switch (vk) {
      case VK_RETURN: input.SetEnter(); break;
      case VK_SPACE: input.SetSpace(); break;
      case VK_SHIFT: Shift(repeat); break;
      case VK_CONTROL:
        input.SetCtrlHeld(1);
        p.messageWindow->SetShiftSkipState(1);
        break;
      case VK_ESCAPE: CloseUnless(window, s.escKeyExitOffFlag); break;
      case VK_F9: CloseUnless(window, s.f9KeyExitOffFlag); break;
      case VK_F4: Skip(0, s.F4OK); break;
      case VK_F5: Skip(1, s.F5Ok); break;
      case VK_F12:
        if (!repeat) p.screen->ToggleScreenMode(1);
        break;
      case VK_SUBTRACT:
        if (!repeat) BossComing();
        break;
      case VK_PRIOR:
      case VK_INSERT: DebugPage(-1); break;
      case VK_NEXT: DebugPage(1); break;
      case VK_MULTIPLY: p.debug->PrintLibraryVersions(); break;
      case VK_ADD:
        if (CPrintDebugParam* debug = p.debug->GetDebugParam()) debug->Fade();
        break;
      default: break;
    }
  }

  // The variable overlay while the debug outputs are on; null otherwise.
  CPrintDebugParam* DebugParam() const {
    return p.debug->GetDebugFlag() ? p.debug->GetDebugParam() : nullptr;
  }

  void DebugArrow(CPrintDebugParam* debug, const ArrowKey& a) {
    if (a.select != 0) debug->MoveSelect(a.select, 1);
    if (a.change != 0) {
      int step = p.input->IsShiftHeld() ? kShiftStep : kStep;
      if (p.input->IsCtrlHeld()) step += kCtrlExtra;
      const int n = debug->GetSelected();
      const int64_t value = int64_t{p.vars->GetVar(n)} + int64_t{a.change} * step;
      p.vars->SetVar(n, static_cast<int>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX)));
    }
    CScreenBuffer::SetFullRedraw(0);
  }

  void DebugPage(int n) {
    if (CPrintDebugParam* debug = DebugParam()) {
      debug->MovePage(n);
      CScreenBuffer::SetFullRedraw(0);
    }
  }

  // Shift's press switches the shift skip on and off.
  void Shift(bool repeat) {
    p.input->SetShiftHeld(1);
    if (!repeat) p.messageWindow->ToggleShiftSkip();
  }

  // Esc and F9 close the game, except during name input or when their
  // off flag is set.
  void CloseUnless(platform::Window* window, int offFlag) {
    if (p.modes->GetCurrentMode() == modenumber::kNameInput || offFlag) return;
    platform::PostMessage(window ? window : p.window, WM_CLOSE, 0, 0);
  }

  // F4 (kind 0) and F5 (kind 1) skip the text of the print-message mode.
  void Skip(int kind, int allowed) {
    CMessageWindowPart& story = *p.messageWindow;
    if (!allowed || p.modes->GetCurrentMode() != modenumber::kPrintMessage || story.GetMessageModeFlag()) return;
    story.SkipByKey(kind);
  }

  // Numeric minus hides the game behind the boss-coming screen and shows it
  // again, in every mode; in debug mode a debug word toggles too.
  void BossComing() {
    if (DebugParam()) p.debug->ToggleDebugWord();
    CScreenPart& screen = *p.screen;
    screen.SetBossComingFlag(screen.GetBossComingFlag() ? 0 : 1);
    if (screen.GetBossComingFlag()) g.OnWindowProc();
  }

  void KeyUp(int vk) {
    CInputPart& input = *p.input;
    if (!input.GetKeyStatus()) return;
    if (vk == VK_SHIFT) {
      input.SetShiftHeld(0);
      input.SetKey(VK_SHIFT, 0);
    } else if (vk == VK_CONTROL) {
      input.SetKey(VK_CONTROL, 0);
      p.messageWindow->SetShiftSkipState(0);
      input.SetCtrlHeld(0);
    }
  }

  // The client position is the remembered one (frames and captions belong
  // to the window manager and measure 0), except while the window is full
  // screen, maximised or minimised. The window-message log notes the move.
  void Move(platform::Window* window, uintptr_t wParam, intptr_t lParam) {
    p.debug->LogWindowMessage(WM_MOVE, wParam, lParam);
    const int x = LowWordSigned(lParam), y = HighWordSigned(lParam);
    const bool fullScreen = p.vars->GetSystemSetting(4) != 0 || (window && window->IsFullScreen());
    if (!fullScreen && window && !window->IsMaximized() && !window->IsMinimized()) {
      p.screen->SetWindowPosition(x, y);
      if (p.systemFile) p.systemFile->SetPosition(x, y);
      CScreenBuffer::SetFullRedraw(0);
    }
    if (CDirectDrawScreen* presentation = p.screen->GetPresentation()) {
      presentation->CalcuWindowFrame(x, y);
      CScreenBuffer::SetFullRedraw(0);
    }
  }

  // The host gives no update rectangle: the whole screen is drawn again.
  // (In the movie mode the movie player repaints its video instead.)
  void Paint(platform::Window* window) {
    if (p.modes->GetCurrentMode() == modenumber::kPrintMovie) {
      if (CMoviePlayer* movie = p.sound->GetMoviePlayer()) movie->RepaintVideo(window, nullptr);
      return;
    }
    p.screen->AddUpdateRect(platform::Rect{0, 0, p.width, p.height});
  }

  // A save the player confirmed is written first; then the music fades out
  // before the window goes.
  void Close() {
    p.modes->WriteConfirmedSave();
    platform::Sleep(100);
    p.sound->StopBgm(-1);
    platform::Sleep(200);
    p.vars->SaveNames();
  }

  void ActivateApp(uintptr_t active) {
    if (active)
      p.screen->RecoverSurfaces();
    else if (CDirectDrawScreen* presentation = p.screen->GetPresentation())
      presentation->RestoreSurfaces(0);
  }

  void Char(uintptr_t wParam) {
    if (CTextInputBox* box = p.text->GetTextInputBox()) box->PutChar(static_cast<int>(wParam & 0xFF));
  }

  // The game draws its own cursor, so the system's is hidden over the
  // window; only a movie shows the system's arrow, when the player's option
  // in the system data asks for it.
  void SetCursor(platform::Window* window) {
    if (!window) return;
    const bool movieCursor = p.modes->GetCurrentMode() == modenumber::kPrintMovie && p.systemFile &&
                             p.systemFile->GetSystemData(CCommonSystemFile::kMovieCursorOffset) != 0;
    window->ShowSystemCursor(movieCursor);
  }
};

}  // namespace

intptr_t CGameCallBack::WindowProc(platform::Window* window, uint32_t message, uintptr_t wParam,
                                   intptr_t lParam) {
  Handlers h{*this, *parts_};
  // Key codes outside 0..255 name no key. A held key repeats its key
  // message many times a second: what switches on and off acts only on the
  // press, or it would flicker for as long as the key is held.
  const int vk = wParam < 256 ? static_cast<int>(wParam) : -1;
  const bool repeat = (lParam & KEY_REPEAT_LPARAM) != 0;
  switch (message) {
    case WM_KEYDOWN:
      if (vk >= 0) h.KeyDown(window, vk, repeat);
      break;
    case WM_KEYUP:
      if (vk >= 0) h.KeyUp(vk);
      break;
    case WM_SYSKEYDOWN:
      if (wParam == kAltEnter && !repeat) Screen().ToggleScreenMode(1);
      break;
    case WM_MOUSEMOVE: Input().MouseMove(LowWordSigned(lParam), HighWordSigned(lParam), wParam); break;
    case WM_MOUSELEAVE: Input().MouseLeave(); break;
    case WM_MOUSEWHEEL: Input().WheelMessage(HighWordSigned(static_cast<intptr_t>(wParam))); break;
    case WM_MOVE: h.Move(window, wParam, lParam); break;
    case WM_SIZE:
      if (wParam == SIZE_MAXIMIZED) Screen().ToFullScreenMode(1);
      Debug().LogWindowMessage(WM_SIZE, wParam, lParam);
      break;
    case WM_PAINT: h.Paint(window); break;
    case WM_CLOSE: h.Close(); break;
    case WM_ACTIVATEAPP: h.ActivateApp(wParam); break;
    case WM_SETCURSOR: h.SetCursor(window); break;
    case WM_CHAR: h.Char(wParam); break;
    case WM_DISPLAYCHANGE:
      if (Modes().GetCurrentMode() == modenumber::kPrintMovie && Modes().GetMode(modenumber::kPrintMovie))
        if (CMoviePlayer* movie = Sound().GetMoviePlayer()) movie->DisplayModeChanged();
      break;
    case CMoviePlayer::kNotifyMessage:
      if (CMoviePlayer* movie = Sound().GetMoviePlayer()) movie->CheckEvent();
      break;
    case MM_MCINOTIFY: return 1;
    default:
      for (const ButtonMessage& m : kButtonMessages)
        if (m.message == message) Input().ButtonMessage(m.button, m.down);
      break;
  }
  return platform::DefWindowProc(window, message, wParam, lParam);
}
