// SDL events through the translation into window messages, and the
// window/game coordinate mapping.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/sdl/sdl_input.h"

namespace platform::sdl {
namespace {

SDL_Event KeyEvent(bool down, SDL_Keycode sym, SDL_Scancode scancode, uint16_t mod = KMOD_NONE,
                   bool repeat = false) {
  SDL_Event e{};
  e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.key.repeat = repeat ? 1 : 0;
  e.key.keysym.sym = sym;
  e.key.keysym.scancode = scancode;
  e.key.keysym.mod = mod;
  return e;
}

SDL_Event TextEvent(const char* utf8) {
  SDL_Event e{};
  e.type = SDL_TEXTINPUT;
  std::strncpy(e.text.text, utf8, sizeof(e.text.text) - 1);
  return e;
}

SDL_Event MotionEvent(int x, int y, uint32_t state = 0) {
  SDL_Event e{};
  e.type = SDL_MOUSEMOTION;
  e.motion.x = x;
  e.motion.y = y;
  e.motion.state = state;
  return e;
}

SDL_Event ButtonEvent(bool down, uint8_t button, int x, int y) {
  SDL_Event e{};
  e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  e.button.button = button;
  e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.button.x = x;
  e.button.y = y;
  return e;
}

SDL_Event WheelEvent(int notches, int x, int y, uint32_t direction = SDL_MOUSEWHEEL_NORMAL) {
  SDL_Event e{};
  e.type = SDL_MOUSEWHEEL;
  e.wheel.y = notches;
  e.wheel.preciseY = static_cast<float>(notches);
  e.wheel.direction = direction;
  e.wheel.mouseX = x;
  e.wheel.mouseY = y;
  return e;
}

SDL_Event WindowEvent(uint8_t kind, int data1 = 0, int data2 = 0) {
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.event = kind;
  e.window.data1 = data1;
  e.window.data2 = data2;
  return e;
}

std::vector<Message> Feed(InputTranslator& t, const SDL_Event& e) {
  std::vector<Message> out;
  t.Translate(e, &out);
  return out;
}

struct KeyCase {
  SDL_Keycode sym;
  SDL_Scancode scancode;
  int vk;
};

TEST(SdlKeys, TableGivesTheVirtualKeyCodes) {
  const KeyCase cases[] = {
      {SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, 8},
      {SDLK_TAB, SDL_SCANCODE_TAB, 9},
      {SDLK_RETURN, SDL_SCANCODE_RETURN, 13},
      {SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, 13},
      {SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, 16},
      {SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, 16},
      {SDLK_LCTRL, SDL_SCANCODE_LCTRL, 17},
      {SDLK_RCTRL, SDL_SCANCODE_RCTRL, 17},
      {SDLK_LALT, SDL_SCANCODE_LALT, 18},
      {SDLK_RALT, SDL_SCANCODE_RALT, 18},
      {SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, 27},
      {SDLK_SPACE, SDL_SCANCODE_SPACE, 32},
      {SDLK_PAGEUP, SDL_SCANCODE_PAGEUP, 33},
      {SDLK_PAGEDOWN, SDL_SCANCODE_PAGEDOWN, 34},
      {SDLK_END, SDL_SCANCODE_END, 35},
      {SDLK_HOME, SDL_SCANCODE_HOME, 36},
      {SDLK_LEFT, SDL_SCANCODE_LEFT, 37},
      {SDLK_UP, SDL_SCANCODE_UP, 38},
      {SDLK_RIGHT, SDL_SCANCODE_RIGHT, 39},
      {SDLK_DOWN, SDL_SCANCODE_DOWN, 40},
      {SDLK_INSERT, SDL_SCANCODE_INSERT, 45},
      {SDLK_DELETE, SDL_SCANCODE_DELETE, 46},
      {SDLK_0, SDL_SCANCODE_0, 48},
      {SDLK_9, SDL_SCANCODE_9, 57},
      {SDLK_a, SDL_SCANCODE_A, 65},
      {SDLK_z, SDL_SCANCODE_Z, 90},
      {SDLK_KP_0, SDL_SCANCODE_KP_0, 96},
      {SDLK_KP_2, SDL_SCANCODE_KP_2, 98},
      {SDLK_KP_4, SDL_SCANCODE_KP_4, 100},
      {SDLK_KP_5, SDL_SCANCODE_KP_5, 101},
      {SDLK_KP_6, SDL_SCANCODE_KP_6, 102},
      {SDLK_KP_8, SDL_SCANCODE_KP_8, 104},
      {SDLK_KP_9, SDL_SCANCODE_KP_9, 105},
      {SDLK_KP_MULTIPLY, SDL_SCANCODE_KP_MULTIPLY, 106},
      {SDLK_KP_PLUS, SDL_SCANCODE_KP_PLUS, 107},
      {SDLK_KP_COMMA, SDL_SCANCODE_KP_COMMA, 108},
      {SDLK_KP_MINUS, SDL_SCANCODE_KP_MINUS, 109},
      {SDLK_KP_PERIOD, SDL_SCANCODE_KP_PERIOD, 110},
      {SDLK_KP_DIVIDE, SDL_SCANCODE_KP_DIVIDE, 111},
      {SDLK_F1, SDL_SCANCODE_F1, 112},
      {SDLK_F4, SDL_SCANCODE_F4, 115},
      {SDLK_F5, SDL_SCANCODE_F5, 116},
      {SDLK_F9, SDL_SCANCODE_F9, 120},
      {SDLK_F12, SDL_SCANCODE_F12, 123},
      // Layouts: the AZERTY 'a' sits where QWERTY has Q; a Cyrillic letter
      // key is the letter key it sits on; the AZERTY top row gives digits.
      {SDLK_a, SDL_SCANCODE_Q, 'A'},
      {0x0444, SDL_SCANCODE_A, 'A'},
      {SDLK_AMPERSAND, SDL_SCANCODE_1, '1'},
      {0xE9, SDL_SCANCODE_2, '2'},
      // Keys without a code.
      {SDLK_CAPSLOCK, SDL_SCANCODE_CAPSLOCK, 0},
      {SDLK_F13, SDL_SCANCODE_F13, 0},
      {SDLK_COMMA, SDL_SCANCODE_COMMA, 0},
  };
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "sym " << c.sym << " scancode " << c.scancode);
    InputTranslator t;
    std::vector<Message> down = Feed(t, KeyEvent(true, c.sym, c.scancode));
    std::vector<Message> up = Feed(t, KeyEvent(false, c.sym, c.scancode));
    if (c.vk == 0) {
      EXPECT_TRUE(down.empty());
      EXPECT_TRUE(up.empty());
      continue;
    }
    ASSERT_FALSE(down.empty());
    EXPECT_EQ(down[0].message, WM_KEYDOWN);
    EXPECT_EQ(down[0].wParam, static_cast<uintptr_t>(c.vk));
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(up[0].message, WM_KEYUP);
    EXPECT_EQ(up[0].wParam, static_cast<uintptr_t>(c.vk));
  }
}

TEST(SdlKeys, EveryCodeOfTheTableHasAKeyThatGivesItBack) {
  // Keys, Tab, Return, Shift, Ctrl, Alt, Esc, Space, the cursor block,
  // digits, letters, the keypad and F1..F12.
  std::vector<int> codes = {8, 9, 13, 16, 17, 18, 27, 32, 45, 46};
  for (int vk = 33; vk <= 40; ++vk) codes.push_back(vk);
  for (int vk = 48; vk <= 57; ++vk) codes.push_back(vk);
  for (int vk = 65; vk <= 90; ++vk) codes.push_back(vk);
  for (int vk = 96; vk <= 123; ++vk) codes.push_back(vk);
  for (int vk : codes) {
    const SDL_Keycode sym = SdlKeyFromVirtualKey(vk);
    ASSERT_NE(sym, SDLK_UNKNOWN) << "code " << vk;
    SDL_Keysym key{};
    key.sym = sym;
    key.scancode = SDL_GetScancodeFromKey(sym);
    EXPECT_EQ(VirtualKeyFromSdl(key), vk) << "code " << vk;
  }
  for (int vk : {0, 1, 20, 0x5B, 0x7C, 0xBC, 255}) EXPECT_EQ(SdlKeyFromVirtualKey(vk), SDLK_UNKNOWN) << vk;
}

TEST(SdlKeys, ShiftedLetterIsStillTheLetterAndRepeatSendsKeyDownAgain) {
  InputTranslator t;
  auto first = Feed(t, KeyEvent(true, SDLK_q, SDL_SCANCODE_Q, KMOD_LSHIFT));
  auto again = Feed(t, KeyEvent(true, SDLK_q, SDL_SCANCODE_Q, KMOD_LSHIFT, true));
  ASSERT_EQ(first.size(), 1u);
  ASSERT_EQ(again.size(), 1u);
  EXPECT_EQ(first[0].wParam, static_cast<uintptr_t>('Q'));
  EXPECT_EQ(first[0].lParam, 0);
  EXPECT_EQ(again[0].message, WM_KEYDOWN);
  EXPECT_EQ(again[0].wParam, static_cast<uintptr_t>('Q'));
  // The repeat is marked as on the desktop, so toggling keys act once.
  EXPECT_EQ(again[0].lParam, KEY_REPEAT_LPARAM);
}

TEST(SdlKeys, HeldTableFollowsDownAndUp) {
  InputTranslator t;
  Feed(t, KeyEvent(true, SDLK_LEFT, SDL_SCANCODE_LEFT));
  Feed(t, KeyEvent(true, SDLK_RCTRL, SDL_SCANCODE_RCTRL));
  EXPECT_TRUE(t.KeyHeld(VK_LEFT));
  EXPECT_TRUE(t.KeyHeld(VK_CONTROL));
  Feed(t, KeyEvent(false, SDLK_LEFT, SDL_SCANCODE_LEFT));
  EXPECT_FALSE(t.KeyHeld(VK_LEFT));
  EXPECT_TRUE(t.KeyHeld(VK_CONTROL));
  EXPECT_FALSE(t.KeyHeld(-1));
  EXPECT_FALSE(t.KeyHeld(256));
}

TEST(SdlKeys, AltEnterIsASystemKeyOnly) {
  InputTranslator t;
  auto down = Feed(t, KeyEvent(true, SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LALT));
  ASSERT_EQ(down.size(), 1u);
  EXPECT_EQ(down[0].message, WM_SYSKEYDOWN);
  EXPECT_EQ(down[0].wParam, 13u);
  auto up = Feed(t, KeyEvent(false, SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LALT));
  ASSERT_EQ(up.size(), 1u);
  EXPECT_EQ(up[0].message, WM_SYSKEYUP);
  // Alt with another key stays an ordinary key.
  auto other = Feed(t, KeyEvent(true, SDLK_x, SDL_SCANCODE_X, KMOD_RALT));
  ASSERT_EQ(other.size(), 1u);
  EXPECT_EQ(other[0].message, WM_KEYDOWN);
}

TEST(SdlKeys, EditingKeysAlsoTypeTheirControlCharacter) {
  // A text box deletes on character 8 and confirms on 13.
  struct Case {
    SDL_Keycode sym;
    SDL_Scancode scancode;
    uint16_t mod;
    int character;  // 0: no WM_CHAR
  };
  const Case cases[] = {
      {SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, KMOD_NONE, 8},
      {SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_NONE, 13},
      {SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, KMOD_NONE, 13},
      {SDLK_TAB, SDL_SCANCODE_TAB, KMOD_NONE, 9},
      {SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, KMOD_NONE, 27},
      {SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LCTRL, 0},
      {SDLK_a, SDL_SCANCODE_A, KMOD_NONE, 0},  // letters come as text
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sym);
    InputTranslator t;
    auto out = Feed(t, KeyEvent(true, c.sym, c.scancode, c.mod));
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out[0].message, WM_KEYDOWN);
    if (c.character) {
      ASSERT_EQ(out.size(), 2u);
      EXPECT_EQ(out[1].message, WM_CHAR);
      EXPECT_EQ(out[1].wParam, static_cast<uintptr_t>(c.character));
    } else {
      EXPECT_EQ(out.size(), 1u);
    }
    EXPECT_EQ(Feed(t, KeyEvent(false, c.sym, c.scancode, c.mod)).size(), 1u);
  }
}

TEST(SdlText, TypedTextBecomesCp932BytesLeadFirst) {
  InputTranslator t;
  auto out = Feed(t, TextEvent("\xE3\x81\x82"));  // あ
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].message, WM_CHAR);
  EXPECT_EQ(out[0].wParam, 0x82u);
  EXPECT_EQ(out[1].wParam, 0xA0u);

  // ASCII stays one byte; a character CP932 lacks is dropped.
  out = Feed(t, TextEvent("a\xF0\x9F\x98\x80" "b"));  // a😀b
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].wParam, static_cast<uintptr_t>('a'));
  EXPECT_EQ(out[1].wParam, static_cast<uintptr_t>('b'));
}

TEST(SdlMapping, FitFrameLetterboxesAndPillarboxes) {
  EXPECT_EQ(FitFrame(800, 600, 800, 600), (Viewport{0, 0, 800, 600}));
  EXPECT_EQ(FitFrame(1920, 1080, 800, 600), (Viewport{240, 0, 1440, 1080}));
  EXPECT_EQ(FitFrame(1000, 1000, 800, 600), (Viewport{0, 125, 1000, 750}));
  EXPECT_EQ(FitFrame(400, 300, 800, 600), (Viewport{0, 0, 400, 300}));
  EXPECT_EQ(FitFrame(0, 0, 800, 600), (Viewport{0, 0, 0, 0}));
}

TEST(SdlMapping, WindowToGameUndoesScaleAndBars) {
  struct Case {
    int wx, wy, gx, gy;
  };
  // 800x600 game on a 1920x1080 screen: 1.8x, bars of 240 left and right.
  const Case cases[] = {
      {240, 0, 0, 0},        {1679, 1079, 799, 599}, {960, 540, 400, 300},
      {239, 0, -1, 0},       {0, 0, -134, 0},        {1680, 540, 800, 300},
      {1919, 1080, 932, 600}, {-100, -100, -189, -56},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.wx << "," << c.wy);
    EXPECT_EQ(WindowToGame(c.wx, c.wy, 1920, 1080, 800, 600), (Point{c.gx, c.gy}));
  }
  // Windowed at game size: the identity, outside included.
  EXPECT_EQ(WindowToGame(-5, 700, 800, 600, 800, 600), (Point{-5, 700}));
}

TEST(SdlMapping, GameToWindowMapsBackToTheSamePixel) {
  for (int g = -3; g < 803; ++g) {
    Point w = GameToWindow(g, g % 600, 1920, 1080, 800, 600);
    EXPECT_EQ(WindowToGame(w.x, w.y, 1920, 1080, 800, 600), (Point{g, g % 600})) << g;
  }
}

TEST(SdlMouse, PositionsAreGamePixelsPackedSigned) {
  InputTranslator t;
  t.SetView(1920, 1080, 800, 600);
  auto out = Feed(t, MotionEvent(960, 540));
  ASSERT_FALSE(out.empty());
  EXPECT_EQ(out.back().message, WM_MOUSEMOVE);
  EXPECT_EQ(LowWordSigned(out.back().lParam), 400);
  EXPECT_EQ(HighWordSigned(out.back().lParam), 300);
  out = Feed(t, MotionEvent(0, -100));
  ASSERT_FALSE(out.empty());
  EXPECT_EQ(LowWordSigned(out.back().lParam), -134);
  EXPECT_EQ(HighWordSigned(out.back().lParam), -56);
  // Far outside pins to the 16-bit range instead of wrapping.
  out = Feed(t, MotionEvent(200000, 0));
  ASSERT_FALSE(out.empty());
  EXPECT_EQ(LowWordSigned(out.back().lParam), 32767);
}

TEST(SdlMouse, AMoveOverTheClientAreaSetsTheCursorFirst) {
  InputTranslator t;
  // 800x600 game on a 1920x1080 window: the bars are client area too.
  t.SetView(1920, 1080, 800, 600);
  struct Case {
    int x, y;
    bool over;
  } cases[] = {
      {960, 540, true}, {0, 0, true},     {100, 540, true},  {1919, 1079, true},
      {-1, 0, false},   {0, -1, false},   {1920, 0, false},  {0, 1080, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    auto out = Feed(t, MotionEvent(c.x, c.y, SDL_BUTTON_LMASK));
    ASSERT_EQ(out.size(), c.over ? 2u : 1u);
    if (c.over) {
      EXPECT_EQ(out[0].message, WM_SETCURSOR);
      EXPECT_EQ(out[0].lParam, MakeLParam(HTCLIENT, WM_MOUSEMOVE));
    }
    EXPECT_EQ(out.back().message, WM_MOUSEMOVE);
    EXPECT_EQ(out.back().wParam, MK_LBUTTON);
  }
}

TEST(SdlMouse, ButtonsCarryTheHeldMask) {
  InputTranslator t;
  t.SetView(800, 600, 800, 600);
  auto out = Feed(t, ButtonEvent(true, SDL_BUTTON_LEFT, 10, 20));
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].message, WM_LBUTTONDOWN);
  EXPECT_EQ(out[0].wParam, MK_LBUTTON);
  EXPECT_EQ(out[0].lParam, MakeLParam(10, 20));

  out = Feed(t, ButtonEvent(true, SDL_BUTTON_RIGHT, 10, 20));
  EXPECT_EQ(out[0].message, WM_RBUTTONDOWN);
  EXPECT_EQ(out[0].wParam, MK_LBUTTON | MK_RBUTTON);

  out = Feed(t, ButtonEvent(false, SDL_BUTTON_LEFT, 11, 21));
  EXPECT_EQ(out[0].message, WM_LBUTTONUP);
  EXPECT_EQ(out[0].wParam, MK_RBUTTON);

  out = Feed(t, ButtonEvent(true, SDL_BUTTON_MIDDLE, 0, 0));
  EXPECT_EQ(out[0].message, WM_MBUTTONDOWN);
  out = Feed(t, ButtonEvent(false, SDL_BUTTON_MIDDLE, 0, 0));
  EXPECT_EQ(out[0].message, WM_MBUTTONUP);
  EXPECT_TRUE(Feed(t, ButtonEvent(true, SDL_BUTTON_X1, 0, 0)).empty());

  out = Feed(t, MotionEvent(5, 5, SDL_BUTTON_LMASK | SDL_BUTTON_MMASK));
  ASSERT_FALSE(out.empty());
  EXPECT_EQ(out.back().wParam, MK_LBUTTON | MK_MBUTTON);
}

TEST(SdlMouse, WheelGoesIn120StepsPositiveAway) {
  InputTranslator t;
  t.SetView(800, 600, 800, 600);
  Feed(t, ButtonEvent(true, SDL_BUTTON_LEFT, 0, 0));
  struct Case {
    int notches;
    uint32_t direction;
    int delta;
  };
  const Case cases[] = {
      {1, SDL_MOUSEWHEEL_NORMAL, 120},
      {-2, SDL_MOUSEWHEEL_NORMAL, -240},
      {1, SDL_MOUSEWHEEL_FLIPPED, -120},
      {1000, SDL_MOUSEWHEEL_NORMAL, 273 * 120},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.notches);
    auto out = Feed(t, WheelEvent(c.notches, 30, 40, c.direction));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].message, WM_MOUSEWHEEL);
    EXPECT_EQ(HighWordSigned(static_cast<intptr_t>(out[0].wParam)), c.delta);
    EXPECT_EQ(out[0].wParam & 0xFFFF, MK_LBUTTON);
    EXPECT_EQ(out[0].lParam, MakeLParam(30, 40));
  }
  EXPECT_TRUE(Feed(t, WheelEvent(0, 0, 0)).empty());
}

TEST(SdlWindowEvents, BecomeWindowMessages) {
  struct Case {
    SDL_Event event;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
  };
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  const Case cases[] = {
      {WindowEvent(SDL_WINDOWEVENT_MOVED, 120, -30), WM_MOVE, 0, MakeLParam(120, -30)},
      {WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED), WM_ACTIVATEAPP, 1, 0},
      {WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST), WM_ACTIVATEAPP, 0, 0},
      {WindowEvent(SDL_WINDOWEVENT_EXPOSED), WM_PAINT, 0, 0},
      {WindowEvent(SDL_WINDOWEVENT_MAXIMIZED), WM_SIZE, SIZE_MAXIMIZED, MakeLParam(800, 600)},
      {WindowEvent(SDL_WINDOWEVENT_CLOSE), WM_CLOSE, 0, 0},
      {WindowEvent(SDL_WINDOWEVENT_ENTER), WM_SETCURSOR, 0, MakeLParam(HTCLIENT, WM_MOUSEMOVE)},
      {WindowEvent(SDL_WINDOWEVENT_LEAVE), WM_MOUSELEAVE, 0, 0},
      {quit, WM_CLOSE, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    InputTranslator t;
    t.SetView(800, 600, 800, 600);
    auto out = Feed(t, c.event);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].message, c.message);
    EXPECT_EQ(out[0].wParam, c.wParam);
    EXPECT_EQ(out[0].lParam, c.lParam);
  }
}

TEST(SdlWindowEvents, SizeChangeMovesTheMapping) {
  InputTranslator t;
  t.SetView(800, 600, 800, 600);
  EXPECT_TRUE(Feed(t, WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 1600, 1200)).empty());
  auto out = Feed(t, MotionEvent(1598, 1198));
  ASSERT_FALSE(out.empty());
  EXPECT_EQ(out.back().lParam, MakeLParam(799, 599));
}

TEST(SdlWindowEvents, RendererLossIsReportedOnce) {
  InputTranslator t;
  SDL_Event e{};
  e.type = SDL_RENDER_TARGETS_RESET;
  EXPECT_TRUE(Feed(t, e).empty());
  EXPECT_TRUE(t.TakeTargetLost());
  EXPECT_FALSE(t.TakeTargetLost());
  EXPECT_FALSE(t.TakeDeviceReset());
  e.type = SDL_RENDER_DEVICE_RESET;
  Feed(t, e);
  EXPECT_TRUE(t.TakeTargetLost());
  EXPECT_TRUE(t.TakeDeviceReset());
  EXPECT_FALSE(t.TakeDeviceReset());
}

}  // namespace
}  // namespace platform::sdl
