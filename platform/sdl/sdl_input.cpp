#include "platform/sdl/sdl_input.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/backend.h"
#include "platform/codec.h"

namespace platform::sdl {

namespace {

// Floor and ceiling division for a positive divisor (C++ truncates).
int64_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}
int64_t CeilDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  return (a % b != 0 && a > 0) ? q + 1 : q;
}

// Coordinates travel as signed 16-bit halves of lParam; far-off positions
// are pinned rather than wrapped round to the other side.
int Clamp16(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, -32768, 32767)); }

// Keys with a code of their own besides the letter, digit, function and
// keypad digit ranges. Where several keys give one code, the first one is
// the key that stands for the code (an input script's key).
struct KeyCode {
  SDL_Keycode key;
  int vk;
};
constexpr KeyCode kKeyCodes[] = {
    {SDLK_BACKSPACE, VK_BACK},     {SDLK_TAB, VK_TAB},
    {SDLK_RETURN, VK_RETURN},      {SDLK_RETURN2, VK_RETURN},
    {SDLK_KP_ENTER, VK_RETURN},    {SDLK_LSHIFT, VK_SHIFT},
    {SDLK_RSHIFT, VK_SHIFT},       {SDLK_LCTRL, VK_CONTROL},
    {SDLK_RCTRL, VK_CONTROL},      {SDLK_LALT, VK_MENU},
    {SDLK_RALT, VK_MENU},          {SDLK_ESCAPE, VK_ESCAPE},
    {SDLK_SPACE, VK_SPACE},        {SDLK_PAGEUP, VK_PRIOR},
    {SDLK_PAGEDOWN, VK_NEXT},      {SDLK_END, VK_END},
    {SDLK_HOME, VK_HOME},          {SDLK_LEFT, VK_LEFT},
    {SDLK_UP, VK_UP},              {SDLK_RIGHT, VK_RIGHT},
    {SDLK_DOWN, VK_DOWN},          {SDLK_INSERT, VK_INSERT},
    {SDLK_DELETE, VK_DELETE},      {SDLK_KP_0, VK_NUMPAD0},
    {SDLK_KP_MULTIPLY, VK_MULTIPLY}, {SDLK_KP_PLUS, VK_ADD},
    {SDLK_KP_COMMA, VK_SEPARATOR}, {SDLK_SEPARATOR, VK_SEPARATOR},
    {SDLK_KP_MINUS, VK_SUBTRACT},  {SDLK_KP_PERIOD, VK_DECIMAL},
    {SDLK_KP_DECIMAL, VK_DECIMAL}, {SDLK_KP_DIVIDE, VK_DIVIDE},
};

int KeyFromKeycode(SDL_Keycode k) {
  if (k >= SDLK_a && k <= SDLK_z) return 'A' + static_cast<int>(k - SDLK_a);
  if (k >= SDLK_0 && k <= SDLK_9) return '0' + static_cast<int>(k - SDLK_0);
  if (k >= SDLK_F1 && k <= SDLK_F12) return VK_F1 + static_cast<int>(k - SDLK_F1);
  if (k >= SDLK_KP_1 && k <= SDLK_KP_9) return VK_NUMPAD0 + 1 + static_cast<int>(k - SDLK_KP_1);
  for (const KeyCode& c : kKeyCodes) {
    if (c.key == k) return c.vk;
  }
  return 0;
}

bool IsAsciiAlnum(SDL_Keycode k) {
  return (k >= SDLK_a && k <= SDLK_z) || (k >= SDLK_0 && k <= SDLK_9);
}

void Put(std::vector<Message>* out, Window* window, uint32_t message, uintptr_t wParam,
         intptr_t lParam) {
  out->push_back(Message{window, message, wParam, lParam});
}

}  // namespace

Viewport FitFrame(int outW, int outH, int gameW, int gameH) {
  if (outW <= 0 || outH <= 0 || gameW <= 0 || gameH <= 0) {
    return {0, 0, std::max(outW, 0), std::max(outH, 0)};
  }
  Viewport v;
  // Whichever side fills the output first decides the scale.
  if (static_cast<int64_t>(outW) * gameH <= static_cast<int64_t>(outH) * gameW) {
    v.w = outW;
    v.h = static_cast<int>(static_cast<int64_t>(gameH) * outW / gameW);
  } else {
    v.h = outH;
    v.w = static_cast<int>(static_cast<int64_t>(gameW) * outH / gameH);
  }
  v.w = std::max(v.w, 1);
  v.h = std::max(v.h, 1);
  v.x = (outW - v.w) / 2;
  v.y = (outH - v.h) / 2;
  return v;
}

Point WindowToGame(int wx, int wy, int outW, int outH, int gameW, int gameH) {
  if (gameW <= 0 || gameH <= 0 || outW <= 0 || outH <= 0) return {wx, wy};
  Viewport v = FitFrame(outW, outH, gameW, gameH);
  int64_t gx = FloorDiv((static_cast<int64_t>(wx) - v.x) * gameW, v.w);
  int64_t gy = FloorDiv((static_cast<int64_t>(wy) - v.y) * gameH, v.h);
  return {Clamp16(gx), Clamp16(gy)};
}

Point GameToWindow(int gx, int gy, int outW, int outH, int gameW, int gameH) {
  if (gameW <= 0 || gameH <= 0 || outW <= 0 || outH <= 0) return {gx, gy};
  Viewport v = FitFrame(outW, outH, gameW, gameH);
  // The first window unit whose floor maps back onto the game pixel.
  int64_t wx = v.x + CeilDiv(static_cast<int64_t>(gx) * v.w, gameW);
  int64_t wy = v.y + CeilDiv(static_cast<int64_t>(gy) * v.h, gameH);
  return {static_cast<int>(std::clamp<int64_t>(wx, INT32_MIN, INT32_MAX)),
          static_cast<int>(std::clamp<int64_t>(wy, INT32_MIN, INT32_MAX))};
}

int VirtualKeyFromSdl(const SDL_Keysym& key) {
  if (int vk = KeyFromKeycode(key.sym)) return vk;
  // Keys whose layout gives them no Latin letter or digit still have their
  // place on the board: a Cyrillic letter key is the letter key it sits on,
  // the top row of a French board gives its digits.
  SDL_Scancode sc = key.scancode;
  bool character = key.sym != SDLK_UNKNOWN && (key.sym & SDLK_SCANCODE_MASK) == 0;
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z && character && key.sym >= 0x80) {
    return 'A' + static_cast<int>(sc - SDL_SCANCODE_A);
  }
  if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_0 && !IsAsciiAlnum(key.sym)) {
    return sc == SDL_SCANCODE_0 ? '0' : '1' + static_cast<int>(sc - SDL_SCANCODE_1);
  }
  if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9) {
    return VK_NUMPAD0 + 1 + static_cast<int>(sc - SDL_SCANCODE_KP_1);
  }
  if (sc == SDL_SCANCODE_KP_0) return VK_NUMPAD0;
  return 0;
}

SDL_Keycode SdlKeyFromVirtualKey(int vk) {
  if (vk >= 'A' && vk <= 'Z') return SDLK_a + (vk - 'A');
  if (vk >= '0' && vk <= '9') return SDLK_0 + (vk - '0');
  if (vk >= VK_F1 && vk <= VK_F12) return SDLK_F1 + (vk - VK_F1);
  if (vk >= VK_NUMPAD0 + 1 && vk <= VK_NUMPAD0 + 9) return SDLK_KP_1 + (vk - VK_NUMPAD0 - 1);
  for (const KeyCode& c : kKeyCodes) {
    if (c.vk == vk) return c.key;
  }
  return SDLK_UNKNOWN;
}

InputTranslator::InputTranslator() { std::memset(held_, 0, sizeof(held_)); }

void InputTranslator::SetView(int windowW, int windowH, int gameW, int gameH) {
  windowW_ = windowW;
  windowH_ = windowH;
  gameW_ = gameW;
  gameH_ = gameH;
}

bool InputTranslator::KeyHeld(int vk) const { return vk >= 0 && vk < 256 && held_[vk]; }

bool InputTranslator::TakeTargetLost() {
  bool lost = targetLost_;
  targetLost_ = false;
  return lost;
}

bool InputTranslator::TakeDeviceReset() {
  bool reset = deviceReset_;
  deviceReset_ = false;
  return reset;
}

void InputTranslator::Emit(std::vector<Message>* out, uint32_t message, uintptr_t wParam,
                           intptr_t lParam) const {
  Put(out, window_, message, wParam, lParam);
}

void InputTranslator::EmitSetCursor(std::vector<Message>* out) const {
  Emit(out, WM_SETCURSOR, reinterpret_cast<uintptr_t>(window_),
       MakeLParam(HTCLIENT, static_cast<int>(WM_MOUSEMOVE)));
}

bool InputTranslator::InClientArea(int wx, int wy) const {
  return wx >= 0 && wy >= 0 && wx < windowW_ && wy < windowH_;
}

intptr_t InputTranslator::PackPosition(int wx, int wy) const {
  Point p = WindowToGame(wx, wy, windowW_, windowH_, gameW_, gameH_);
  return MakeLParam(Clamp16(p.x), Clamp16(p.y));
}

void InputTranslator::Translate(const SDL_Event& event, std::vector<Message>* out) {
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      int vk = VirtualKeyFromSdl(event.key.keysym);
      if (vk <= 0 || vk > 255) return;
      bool down = event.type == SDL_KEYDOWN;
      // A key down while the key is held is an auto-repeat.
      const intptr_t repeat = down && (held_[vk] || event.key.repeat) ? KEY_REPEAT_LPARAM : 0;
      held_[vk] = down;
      uint16_t mod = event.key.keysym.mod;
      if (vk == VK_RETURN && (mod & KMOD_ALT)) {
        // Alt+Enter is the system's screen-mode key, not a typed Return.
        Emit(out, down ? WM_SYSKEYDOWN : WM_SYSKEYUP, VK_RETURN, repeat);
        return;
      }
      Emit(out, down ? WM_KEYDOWN : WM_KEYUP, static_cast<uintptr_t>(vk), repeat);
      // Backspace, Tab, Return and Esc type a control character as well (SDL
      // gives no text for them), so a text box can delete and confirm.
      if (down && !(mod & (KMOD_CTRL | KMOD_ALT)) &&
          (vk == VK_BACK || vk == VK_TAB || vk == VK_RETURN || vk == VK_ESCAPE)) {
        Emit(out, WM_CHAR, static_cast<uintptr_t>(vk), 0);
      }
      return;
    }
    case SDL_TEXTINPUT: {
      size_t len = strnlen(event.text.text, sizeof(event.text.text));
      std::string cp932 = Utf8ToCp932(std::string_view(event.text.text, len), true);
      for (unsigned char b : cp932) Emit(out, WM_CHAR, b, 0);
      return;
    }
    case SDL_MOUSEMOTION: {
      uint32_t s = event.motion.state;
      buttons_ = ((s & SDL_BUTTON_LMASK) ? MK_LBUTTON : 0) |
                 ((s & SDL_BUTTON_RMASK) ? MK_RBUTTON : 0) |
                 ((s & SDL_BUTTON_MMASK) ? MK_MBUTTON : 0);
      // Over the client area the window sets its cursor first, as on a
      // desktop; a move outside it (the pointer captured while a button is
      // held) leaves the cursor to whatever lies under the pointer.
      if (InClientArea(event.motion.x, event.motion.y)) EmitSetCursor(out);
      Emit(out, WM_MOUSEMOVE, buttons_, PackPosition(event.motion.x, event.motion.y));
      return;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      bool down = event.type == SDL_MOUSEBUTTONDOWN;
      uintptr_t bit;
      uint32_t message;
      switch (event.button.button) {
        case SDL_BUTTON_LEFT:
          bit = MK_LBUTTON;
          message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
          break;
        case SDL_BUTTON_RIGHT:
          bit = MK_RBUTTON;
          message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
          break;
        case SDL_BUTTON_MIDDLE:
          bit = MK_MBUTTON;
          message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
          break;
        default:
          return;
      }
      buttons_ = down ? (buttons_ | bit) : (buttons_ & ~bit);
      Emit(out, message, buttons_, PackPosition(event.button.x, event.button.y));
      return;
    }
    case SDL_MOUSEWHEEL: {
      int64_t notches = event.wheel.y;
      if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
      if (notches == 0) return;
      // The delta is a signed 16-bit word: keep it in range.
      int delta = static_cast<int>(std::clamp<int64_t>(notches, -273, 273)) * WHEEL_DELTA;
      uintptr_t wParam = (static_cast<uintptr_t>(static_cast<uint16_t>(delta)) << 16) | buttons_;
      Emit(out, WM_MOUSEWHEEL, wParam, PackPosition(event.wheel.mouseX, event.wheel.mouseY));
      return;
    }
    case SDL_WINDOWEVENT:
      switch (event.window.event) {
        case SDL_WINDOWEVENT_MOVED:
          Emit(out, WM_MOVE, 0, MakeLParam(event.window.data1, event.window.data2));
          return;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          windowW_ = event.window.data1;
          windowH_ = event.window.data2;
          return;
        case SDL_WINDOWEVENT_ENTER:
          EmitSetCursor(out);
          return;
        case SDL_WINDOWEVENT_LEAVE:
          Emit(out, WM_MOUSELEAVE, 0, 0);
          return;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          Emit(out, WM_ACTIVATEAPP, 1, 0);
          return;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          Emit(out, WM_ACTIVATEAPP, 0, 0);
          return;
        case SDL_WINDOWEVENT_EXPOSED:
          Emit(out, WM_PAINT, 0, 0);
          return;
        case SDL_WINDOWEVENT_MAXIMIZED:
          Emit(out, WM_SIZE, SIZE_MAXIMIZED, MakeLParam(windowW_, windowH_));
          return;
        case SDL_WINDOWEVENT_CLOSE:
          if (window_ && !window_->IsCloseItemEnabled()) return;
          Emit(out, WM_CLOSE, 0, 0);
          return;
        default:
          return;
      }
    case SDL_QUIT:
      // A signal or the session asking us to end: the engine decides, as for
      // a click on the close box.
      Emit(out, WM_CLOSE, 0, 0);
      return;
    case SDL_RENDER_TARGETS_RESET:
      targetLost_ = true;
      return;
    case SDL_RENDER_DEVICE_RESET:
      targetLost_ = true;
      deviceReset_ = true;
      return;
    default:
      return;
  }
}

}  // namespace platform::sdl
