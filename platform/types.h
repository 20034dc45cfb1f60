// The vocabulary the engine speaks with its host: rectangles, window
// message numbers, virtual-key codes, message-box styles and answers.
// The numbers are the classic desktop ones because the engine's data (key
// codes in settings files, message numbers it posts to itself) use them.
#pragma once

#include <cstdint>
#include <cstdlib>

namespace platform {

// Frees a block that came from malloc or calloc (for std::unique_ptr).
struct FreeBlock {
  void operator()(void* p) const { std::free(p); }
};

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

struct Point {
  int x = 0, y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

class Window;

// One window message, as the event pump hands it to the game's handler.
struct Message {
  Window* window = nullptr;
  uint32_t message = 0;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
};

using WindowHandler = intptr_t (*)(Window* window, uint32_t message, uintptr_t wParam,
                                   intptr_t lParam, void* context);

constexpr uint32_t kInfinite = 0xFFFFFFFFu;

}  // namespace platform

// Window messages.
constexpr uint32_t WM_NULL = 0x0000;
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_MOVE = 0x0003;
constexpr uint32_t WM_SIZE = 0x0005;
constexpr uint32_t WM_ACTIVATE = 0x0006;
constexpr uint32_t WM_PAINT = 0x000F;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_ACTIVATEAPP = 0x001C;
constexpr uint32_t WM_SETCURSOR = 0x0020;
constexpr uint32_t WM_DISPLAYCHANGE = 0x007E;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_CHAR = 0x0102;
constexpr uint32_t WM_SYSKEYDOWN = 0x0104;
constexpr uint32_t WM_SYSKEYUP = 0x0105;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_LBUTTONUP = 0x0202;
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr uint32_t WM_RBUTTONUP = 0x0205;
constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
constexpr uint32_t WM_MBUTTONUP = 0x0208;
constexpr uint32_t WM_MOUSEWHEEL = 0x020A;
// The pointer left the client area; no parameters.
constexpr uint32_t WM_MOUSELEAVE = 0x02A3;
constexpr uint32_t WM_USER = 0x0400;
constexpr uint32_t WM_APP = 0x8000;
constexpr uint32_t MM_MCINOTIFY = 0x03B9;

// WM_SETCURSOR: the host sends it whenever the pointer moves over the
// client area and when it enters the window, before the WM_MOUSEMOVE; the
// window's handler sets the cursor (Window::ShowSystemCursor). wParam is
// the window; lParam holds the hit-test code (HTCLIENT) in its low word and
// the mouse message that moved the pointer in its high word.
constexpr int HTCLIENT = 1;

// WM_SIZE kinds.
constexpr uintptr_t SIZE_RESTORED = 0;
constexpr uintptr_t SIZE_MINIMIZED = 1;
constexpr uintptr_t SIZE_MAXIMIZED = 2;

// Button bits of WM_MOUSEMOVE and the button messages' wParam.
constexpr uintptr_t MK_LBUTTON = 0x0001;
constexpr uintptr_t MK_RBUTTON = 0x0002;
constexpr uintptr_t MK_SHIFT = 0x0004;
constexpr uintptr_t MK_CONTROL = 0x0008;
constexpr uintptr_t MK_MBUTTON = 0x0010;

// WM_KEYDOWN and WM_SYSKEYDOWN: lParam has this bit set when the key was
// already down (an auto-repeat), as on the desktop.
constexpr intptr_t KEY_REPEAT_LPARAM = intptr_t{1} << 30;

// Wheel unit: one notch.
constexpr int WHEEL_DELTA = 120;

// Virtual-key codes the platform produces (letters and digits are their
// ASCII upper-case codes, 'A'..'Z' and '0'..'9').
constexpr int VK_LBUTTON = 0x01;
constexpr int VK_RBUTTON = 0x02;
constexpr int VK_MBUTTON = 0x04;
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_PRIOR = 0x21;
constexpr int VK_NEXT = 0x22;
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_INSERT = 0x2D;
constexpr int VK_DELETE = 0x2E;
constexpr int VK_NUMPAD0 = 0x60;
constexpr int VK_MULTIPLY = 0x6A;
constexpr int VK_ADD = 0x6B;
constexpr int VK_SEPARATOR = 0x6C;
constexpr int VK_SUBTRACT = 0x6D;
constexpr int VK_DECIMAL = 0x6E;
constexpr int VK_DIVIDE = 0x6F;
constexpr int VK_F1 = 0x70;
constexpr int VK_F4 = 0x73;
constexpr int VK_F5 = 0x74;
constexpr int VK_F9 = 0x78;
constexpr int VK_F12 = 0x7B;

// Message-box styles and answers.
constexpr int MB_OK = 0x00;
constexpr int MB_YESNO = 0x04;
constexpr int MB_ICONERROR = 0x10;
constexpr int MB_ICONWARNING = 0x30;
constexpr int MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Packing helpers for lParam / wParam.
constexpr intptr_t MakeLParam(int low, int high) {
  return static_cast<intptr_t>(static_cast<uint32_t>((low & 0xFFFF) | ((high & 0xFFFF) << 16)));
}
constexpr int LowWordSigned(intptr_t v) { return static_cast<int16_t>(v & 0xFFFF); }
constexpr int HighWordSigned(intptr_t v) { return static_cast<int16_t>((v >> 16) & 0xFFFF); }
