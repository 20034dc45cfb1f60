// The SDL backend on SDL's dummy video driver: window, message queue,
// presenter, boxes and icons without a display.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "platform/sdl/sdl.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/sdl_overlay.h"
#include "support/temp_dir.h"

namespace platform::sdl {
namespace {

struct Recorded {
  std::vector<uint32_t> messages;
};

intptr_t RecordHandler(Window*, uint32_t message, uintptr_t, intptr_t, void* context) {
  static_cast<Recorded*>(context)->messages.push_back(message);
  return 0;
}

class SdlBackendTest : public testing::Test {
 protected:
  void SetUp() override {
    // No display here: SDL's dummy driver stands in for one.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    std::string error;
    owned_ = CreateSdlBackend(&error);
    ASSERT_NE(owned_, nullptr) << error;
    backend_ = dynamic_cast<SdlBackend*>(owned_.get());
    ASSERT_NE(backend_, nullptr);
  }

  SdlWindow* MakeWindow(int w = 64, int h = 48, const std::string& title = "zor") {
    WindowDesc desc;
    desc.clientWidth = w;
    desc.clientHeight = h;
    desc.title = title;
    auto* window = dynamic_cast<SdlWindow*>(backend_->CreateWindow(desc));
    Drain();  // whatever the creation itself reported
    return window;
  }

  std::vector<Message> Drain() {
    std::vector<Message> out;
    Message m;
    while (backend_->PeekMessage(&m, true)) out.push_back(m);
    return out;
  }

  void PushKey(SDL_Keycode sym, SDL_Scancode scancode, bool down) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.keysym.sym = sym;
    e.key.keysym.scancode = scancode;
    ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
  }

  std::unique_ptr<Backend> owned_;
  SdlBackend* backend_ = nullptr;
};

TEST_F(SdlBackendTest, WindowTitleSizeAndDisplayMode) {
  // "テスト" in CP932; SDL shows it in UTF-8.
  SdlWindow* window = MakeWindow(320, 240, "\x83\x65\x83\x58\x83\x67");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->GetTitle(), "\x83\x65\x83\x58\x83\x67");
  EXPECT_STREQ(SDL_GetWindowTitle(window->Handle()), "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88");
  EXPECT_EQ(window->GetClientSize(), (Point{320, 240}));
  EXPECT_EQ(backend_->CreateWindow(WindowDesc()), nullptr) << "one window per program";

  DesktopInfo desktop = backend_->GetDesktop();
  EXPECT_EQ(desktop.bitsPerPixel, 32);
  EXPECT_GT(desktop.virtualWidth, 0);
  EXPECT_GT(desktop.virtualHeight, 0);

  SDL_DisplayMode mode;
  ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &mode), 0);
  EXPECT_EQ(window->GetDisplayMode(), (Point{mode.w, mode.h}));
  ASSERT_TRUE(window->SetFullScreen(true));
  EXPECT_TRUE(window->IsFullScreen());
  EXPECT_EQ(window->GetDisplayMode(), (Point{320, 240}));
  ASSERT_TRUE(window->SetFullScreen(false));
  EXPECT_FALSE(window->IsFullScreen());
  EXPECT_EQ(window->GetDisplayMode(), (Point{mode.w, mode.h}));
}

TEST_F(SdlBackendTest, PostedAndPumpedMessagesShareOneFifo) {
  SdlWindow* window = MakeWindow();
  ASSERT_NE(window, nullptr);
  backend_->PostMessage(window, WM_USER + 1, 0, 0);
  PushKey(SDLK_a, SDL_SCANCODE_A, true);

  Message m;
  ASSERT_TRUE(backend_->PeekMessage(&m, false));
  EXPECT_EQ(m.message, WM_USER + 1) << "peeking leaves it waiting";
  ASSERT_TRUE(backend_->PeekMessage(&m, true));
  EXPECT_EQ(m.message, WM_USER + 1);

  backend_->PostMessage(window, WM_USER + 2, 0, 0);
  PushKey(SDLK_a, SDL_SCANCODE_A, false);
  std::vector<Message> rest = Drain();
  ASSERT_EQ(rest.size(), 3u);
  EXPECT_EQ(rest[0].message, WM_KEYDOWN);
  EXPECT_EQ(rest[0].wParam, static_cast<uintptr_t>('A'));
  EXPECT_EQ(rest[0].window, window);
  EXPECT_EQ(rest[1].message, WM_USER + 2);
  EXPECT_EQ(rest[2].message, WM_KEYUP);
  EXPECT_EQ(rest[2].window, window);

  backend_->PostMessage(nullptr, WM_QUIT, 0, 0);
  rest = Drain();
  ASSERT_EQ(rest.size(), 1u);
  EXPECT_EQ(rest[0].message, WM_QUIT);
  EXPECT_EQ(rest[0].window, nullptr);
  EXPECT_FALSE(backend_->PeekMessage(&m, true));
}

// The loop's wait between frames: it ends with the time, with input, or
// with a message posted from another thread, which SDL alone would not see.
TEST_F(SdlBackendTest, WaitMessageEndsWithTheTimeInputOrAMessageFromAnyThread) {
  SdlWindow* window = MakeWindow();
  ASSERT_NE(window, nullptr);
  uint32_t start = backend_->GetTicks();
  EXPECT_FALSE(backend_->WaitMessage(30));
  EXPECT_GE(backend_->GetTicks() - start, 30u);

  std::thread poster([&] {
    SDL_Delay(20);
    backend_->PostMessage(window, WM_USER + 3, 0, 0);
  });
  start = backend_->GetTicks();
  EXPECT_TRUE(backend_->WaitMessage(60000));
  poster.join();
  EXPECT_LT(backend_->GetTicks() - start, 30000u) << "the posted message did not end the wait";
  std::vector<Message> got = Drain();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].message, WM_USER + 3);

  PushKey(SDLK_a, SDL_SCANCODE_A, true);
  EXPECT_TRUE(backend_->WaitMessage(60000));
  got = Drain();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].message, WM_KEYDOWN);
}

TEST_F(SdlBackendTest, KeyHeldFollowsPumpedKeys) {
  ASSERT_NE(MakeWindow(), nullptr);
  PushKey(SDLK_LEFT, SDL_SCANCODE_LEFT, true);
  Drain();
  EXPECT_TRUE(backend_->IsKeyHeld(VK_LEFT));
  EXPECT_FALSE(backend_->IsKeyHeld(VK_RIGHT));
  PushKey(SDLK_LEFT, SDL_SCANCODE_LEFT, false);
  Drain();
  EXPECT_FALSE(backend_->IsKeyHeld(VK_LEFT));
  EXPECT_FALSE(backend_->IsKeyHeld(VK_LBUTTON));
}

TEST_F(SdlBackendTest, DestroySendsWmDestroyAndDropsTheWindowsMessages) {
  SdlWindow* window = MakeWindow();
  ASSERT_NE(window, nullptr);
  Recorded recorded;
  window->SetHandler(RecordHandler, &recorded);
  backend_->PostMessage(window, WM_USER + 7, 0, 0);
  backend_->PostMessage(nullptr, WM_QUIT, 0, 0);
  // An SDL event still waiting for a window that will be gone.
  PushKey(SDLK_a, SDL_SCANCODE_A, true);

  backend_->DestroyWindow(window);
  EXPECT_EQ(recorded.messages, std::vector<uint32_t>{WM_DESTROY});
  EXPECT_EQ(backend_->GetWindow(), nullptr);
  std::vector<Message> rest = Drain();
  ASSERT_EQ(rest.size(), 1u);
  EXPECT_EQ(rest[0].message, WM_QUIT);
  // A new window can be made afterwards.
  EXPECT_NE(MakeWindow(), nullptr);
}

TEST_F(SdlBackendTest, WarpPointerTellsTheGameTheNewPosition) {
  SdlWindow* window = MakeWindow(64, 48);
  ASSERT_NE(window, nullptr);
  window->WarpPointer(10, 20);
  std::vector<Message> out = Drain();
  bool seen = false;
  for (const Message& m : out) {
    if (m.message == WM_MOUSEMOVE && m.lParam == MakeLParam(10, 20)) seen = true;
  }
  EXPECT_TRUE(seen);
}

// Reads an 8-bit RGB PNG back as 0x00RRGGBB pixels.
bool ReadPng(const std::string& path, int* w, int* h, std::vector<uint32_t>* pixels) {
  png_image image;
  std::memset(&image, 0, sizeof(image));
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_RGB;
  std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return false;
  *w = static_cast<int>(image.width);
  *h = static_cast<int>(image.height);
  pixels->resize(static_cast<size_t>(*w) * *h);
  for (size_t i = 0; i < pixels->size(); ++i) {
    (*pixels)[i] = static_cast<uint32_t>(rgb[i * 3]) << 16 | rgb[i * 3 + 1] << 8 | rgb[i * 3 + 2];
  }
  return true;
}

TEST_F(SdlBackendTest, PresentUploadsOnlyTheRectanglesAndScreenshotShowsThem) {
  testsupport::TempDir dir;
  SdlWindow* window = MakeWindow(32, 24);
  ASSERT_NE(window, nullptr);
  if (!window->HasRenderer()) {
    ADD_FAILURE() << "no renderer on the dummy driver: " << SDL_GetError();
  }
  std::vector<uint32_t> a(32 * 24, 0x00102030), b(32 * 24, 0xFFA0B0C0);
  FrameView frameA{a.data(), 32, 24, 32 * 4};
  FrameView frameB{b.data(), 32, 24, 32 * 4};
  Rect all{0, 0, 32, 24};
  EXPECT_EQ(window->Present(frameA, &all, 1, false), PresentResult::kOk);

  // One rectangle, plus one reaching out of the frame that is clipped.
  Rect rects[] = {{4, 5, 10, 8}, {28, 20, 40, 30}, {-5, -5, 0, 0}};
  EXPECT_EQ(window->Present(frameB, rects, 3, true), PresentResult::kOk);
  const std::vector<uint32_t>& copy = window->FrameCopy();
  ASSERT_EQ(copy.size(), a.size());
  auto at = [&](int x, int y) { return copy[static_cast<size_t>(y) * 32 + x] & 0xFFFFFF; };
  EXPECT_EQ(at(4, 5), 0xA0B0C0u);
  EXPECT_EQ(at(9, 7), 0xA0B0C0u);
  EXPECT_EQ(at(10, 7), 0x102030u);
  EXPECT_EQ(at(9, 8), 0x102030u);
  EXPECT_EQ(at(3, 5), 0x102030u);
  EXPECT_EQ(at(31, 23), 0xA0B0C0u);
  EXPECT_EQ(at(27, 23), 0x102030u);
  EXPECT_EQ(at(0, 0), 0x102030u);

  std::string shot = dir / "shot.png";
  ASSERT_TRUE(window->SaveScreenshot(shot));
  int w = 0, h = 0;
  std::vector<uint32_t> png;
  ASSERT_TRUE(ReadPng(shot, &w, &h, &png));
  EXPECT_EQ(w, 32);
  EXPECT_EQ(h, 24);
  EXPECT_EQ(png[5 * 32 + 4], 0xA0B0C0u);
  EXPECT_EQ(png[0], 0x102030u);
}

TEST_F(SdlBackendTest, ScreenshotBeforeAnyFrameFails) {
  testsupport::TempDir dir;
  SdlWindow* window = MakeWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(window->SaveScreenshot(dir / "none.png"));
  EXPECT_FALSE(dir.Exists("none.png"));
}

TEST_F(SdlBackendTest, LostTargetIsReportedOnceAndTheFrameSurvives) {
  SdlWindow* window = MakeWindow(8, 8);
  ASSERT_NE(window, nullptr);
  std::vector<uint32_t> px(64, 0x123456);
  FrameView frame{px.data(), 8, 8, 32};
  Rect all{0, 0, 8, 8};
  EXPECT_EQ(window->Present(frame, &all, 1, false), PresentResult::kOk);
  for (Uint32 type : {SDL_RENDER_TARGETS_RESET, SDL_RENDER_DEVICE_RESET}) {
    SCOPED_TRACE(type);
    SDL_Event e{};
    e.type = type;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
    Drain();
    EXPECT_EQ(window->Present(frame, nullptr, 0, false), PresentResult::kLost);
    EXPECT_EQ(window->Present(frame, nullptr, 0, false), PresentResult::kOk);
    EXPECT_EQ(window->FrameCopy()[63], 0x123456u);
  }
}

TEST_F(SdlBackendTest, ADisabledCloseItemDropsTheCloseBoxButNotAPostedClose) {
  SdlWindow* window = MakeWindow(8, 8);
  ASSERT_NE(window, nullptr);
  auto closes = [&] {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_CLOSE;
    e.window.windowID = SDL_GetWindowID(window->Handle());
    EXPECT_EQ(SDL_PushEvent(&e), 1);
    int n = 0;
    for (const Message& m : Drain()) n += m.message == WM_CLOSE;
    return n;
  };
  window->EnableCloseItem(false);
  EXPECT_EQ(closes(), 0);
  backend_->PostMessage(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(Drain().size(), 1u);
  window->EnableCloseItem(true);
  EXPECT_EQ(closes(), 1);
}

TEST_F(SdlBackendTest, FrameOfAnotherSizeResizesTheCopyAndTheMapping) {
  SdlWindow* window = MakeWindow(8, 8);
  ASSERT_NE(window, nullptr);
  std::vector<uint32_t> px(16 * 4, 0x00FF00);
  FrameView frame{px.data(), 16, 4, 16 * 4};
  Rect all{0, 0, 16, 4};
  EXPECT_EQ(window->Present(frame, &all, 1, false), PresentResult::kOk);
  EXPECT_EQ(window->GameWidth(), 16);
  EXPECT_EQ(window->GameHeight(), 4);
  EXPECT_EQ(window->FrameCopy().size(), 64u);
  // A frame that is no frame is ignored.
  FrameView broken{px.data(), 16, 4, 8};
  EXPECT_EQ(window->Present(broken, &all, 1, false), PresentResult::kOk);
  EXPECT_EQ(window->FrameCopy().size(), 64u);
}

// Nearest sampling where every window pixel is one game pixel (1:1 and
// whole scales, with or without bars), filtering at any other scale.
TEST_F(SdlBackendTest, TextureIsFilteredOnlyWhenTheScaleIsNotWhole) {
  SdlWindow* window = MakeWindow(32, 24);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(window->HasRenderer()) << SDL_GetError();
  std::vector<uint32_t> px(32 * 24, 0x808080);
  FrameView frame{px.data(), 32, 24, 32 * 4};
  Rect all{0, 0, 32, 24};
  const struct {
    int w, h;
    SDL_ScaleMode mode;
  } cases[] = {
      {32, 24, SDL_ScaleModeNearest},  // 1:1
      {64, 48, SDL_ScaleModeNearest},  // 2:1
      {64, 60, SDL_ScaleModeNearest},  // 2:1 with bars above and below
      {40, 24, SDL_ScaleModeNearest},  // 1:1 with bars at the sides
      {48, 36, SDL_ScaleModeLinear},   // 1.5:1
      {70, 50, SDL_ScaleModeLinear},   // 66 x 50
      {16, 12, SDL_ScaleModeLinear},   // 1:2
      {32, 24, SDL_ScaleModeNearest},  // back to 1:1
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
    window->Move(0, 0, c.w, c.h);
    Drain();
    EXPECT_EQ(window->Present(frame, &all, 1, false), PresentResult::kOk);
    EXPECT_EQ(window->TextureScaleMode(), c.mode);
  }
}

// Synthetic input-method events: the composition is only shown, the commit
// arrives whole and in order as CP932 bytes, and nothing is typed while text
// input is off.
TEST_F(SdlBackendTest, TextInputFollowsTheBoxAndOnlyCommitsAreTyped) {
  SdlWindow* window = MakeWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(SDL_IsTextInputActive()) << "off until a text box starts it";
  EXPECT_FALSE(window->IsTextInputOn());
  auto push = [](Uint32 type, const char* utf8) {
    SDL_Event e{};
    e.type = type;
    char* text = type == SDL_TEXTINPUT ? e.text.text : e.edit.text;
    std::snprintf(text, SDL_TEXTINPUTEVENT_TEXT_SIZE, "%s", utf8);
    return SDL_PushEvent(&e);
  };
  auto typed = [&] {
    std::string bytes;
    for (const Message& m : Drain())
      if (m.message == WM_CHAR) bytes += static_cast<char>(m.wParam);
    return bytes;
  };
  push(SDL_TEXTINPUT, "x");
  EXPECT_EQ(typed(), "");

  window->StartTextInput();
  window->SetCompositionPoint(10, 20, 24);
  EXPECT_TRUE(SDL_IsTextInputActive());
  ASSERT_EQ(push(SDL_TEXTEDITING, "\xE3\x81\x8B\xE3\x82\x93"), 1);  // かん
  EXPECT_EQ(typed(), "");
  EXPECT_EQ(window->GetCompositionText(), "\x82\xA9\x82\xF1");
  // One commit over two events: 漢字を, then 入力.
  ASSERT_EQ(push(SDL_TEXTINPUT, "\xE6\xBC\xA2\xE5\xAD\x97\xE3\x82\x92"), 1);
  ASSERT_EQ(push(SDL_TEXTINPUT, "\xE5\x85\xA5\xE5\x8A\x9B"), 1);
  EXPECT_EQ(typed(), "\x8A\xBF\x8E\x9A\x82\xF0\x93\xFC\x97\xCD");
  EXPECT_EQ(window->GetCompositionText(), "") << "cleared by the commit";

  push(SDL_TEXTEDITING, "\xE3\x81\x82");
  typed();
  window->StopTextInput();
  EXPECT_FALSE(SDL_IsTextInputActive());
  EXPECT_EQ(window->GetCompositionText(), "") << "cleared by the stop";
  push(SDL_TEXTINPUT, "y");
  EXPECT_EQ(typed(), "");
}

TEST_F(SdlBackendTest, OverlayIsDrawnOverTheWindowNotIntoTheFrame) {
  SdlWindow* window = MakeWindow(64, 32);
  ASSERT_NE(window, nullptr);
  window->SetOverlay({OverlayText{2, 2, "Debug \x83\x65\x83\x58\x83\x67", 0xFFFFFF, 16}});
  std::vector<uint32_t> px(64 * 32, 0);
  FrameView frame{px.data(), 64, 32, 64 * 4};
  Rect all{0, 0, 64, 32};
  EXPECT_EQ(window->Present(frame, &all, 1, false), PresentResult::kOk);
  for (uint32_t p : window->FrameCopy()) ASSERT_EQ(p, 0u);
  // A line on an opaque box stays out of the frame too.
  OverlayText boxed{2, 2, "Debug", 0xFFFFFF, 16};
  boxed.background = 0x008000;
  window->SetOverlay({boxed});
  EXPECT_EQ(window->Present(frame, &all, 1, false), PresentResult::kOk);
  for (uint32_t p : window->FrameCopy()) ASSERT_EQ(p, 0u);
  window->SetOverlay({});
  EXPECT_EQ(window->Present(frame, nullptr, 0, false), PresentResult::kOk);
}

TEST(SdlOverlayFont, RendersInkInTheColour) {
  OverlayFont font;
  if (!font.Ready()) GTEST_SKIP() << "no font face found by fontconfig";
  OverlayBitmap bitmap;
  ASSERT_TRUE(font.RenderLine("AB\x82\xA0", 16, 0x00FF8000, &bitmap));  // ABあ
  EXPECT_GT(bitmap.width, 16);
  EXPECT_GE(bitmap.height, 16);
  int inked = 0;
  for (uint32_t p : bitmap.argb) {
    EXPECT_EQ(p & 0xFFFFFF, 0xFF8000u);
    if (p >> 24) ++inked;
  }
  EXPECT_GT(inked, 20);
  EXPECT_FALSE(font.RenderLine("", 16, 0, &bitmap));
}

TEST_F(SdlBackendTest, IconFromIcoAndBmpFilesOthersRefused) {
  testsupport::TempDir dir;
  SdlWindow* window = MakeWindow();
  ASSERT_NE(window, nullptr);
  // A 1x1 32-bit icon.
  std::string ico("\0\0\1\0\1\0" "\1\1\0\0\1\0\x20\0" "\x30\0\0\0" "\x16\0\0\0", 22);
  std::string header("\x28\0\0\0" "\1\0\0\0" "\2\0\0\0" "\1\0" "\x20\0", 16);
  ico += header + std::string(24, '\0') + std::string("\x10\x20\x30\xFF", 4) + std::string(4, '\0');
  dir.Write("Game.ico", ico);
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 4, 4, 32, SDL_PIXELFORMAT_ARGB8888);
  ASSERT_NE(s, nullptr);
  ASSERT_EQ(SDL_SaveBMP(s, (dir / "icon.bmp").c_str()), 0);
  SDL_FreeSurface(s);
  dir.Write("readme.txt", "not an icon");

  EXPECT_TRUE(window->SetIcon("game.ico"));  // names match without regard to case
  EXPECT_TRUE(window->SetIcon("icon.bmp"));
  EXPECT_FALSE(window->SetIcon("readme.txt"));
  EXPECT_FALSE(window->SetIcon("missing.ico"));
  EXPECT_FALSE(window->SetIcon(""));
}

TEST_F(SdlBackendTest, InputScriptGoesThroughSdlsQueueAtItsFrames) {
  testsupport::TempDir dir;
  // The window is twice the game's size: positions are scaled both ways.
  SdlWindow* window = MakeWindow(200, 100);
  ASSERT_NE(window, nullptr);
  std::vector<uint32_t> px(100 * 50, 0x336699);
  FrameView frame{px.data(), 100, 50, 100 * 4};
  Rect all{0, 0, 100, 50};
  window->Present(frame, &all, 1, false);
  Drain();
  window->StartTextInput();
  const std::string shot = dir / "at2.png";
  std::string error;
  ASSERT_TRUE(backend_->ParseInputScript("2 move 10 20\n2 button 0 down\n"
                                         "2 key 65 down\n2 text \xE3\x81\x82\n"
                                         "3 wheel -120\n3 button 0 up\n3 key 13 altdown\n"
                                         "3 screenshot " + shot + "\n4 key 300 down\n4 close\n",
                                         &error))
      << error;
  EXPECT_TRUE(backend_->InputScriptCloses());
  EXPECT_TRUE(Drain().empty()) << "frame 2 is not there yet";

  window->Present(frame, &all, 1, false);
  std::vector<Message> m = Drain();
  ASSERT_EQ(m.size(), 6u);
  // The move lands on the window: it sets its cursor first.
  EXPECT_EQ(m[0].message, WM_SETCURSOR);
  EXPECT_EQ(m[1].message, WM_MOUSEMOVE);
  EXPECT_EQ(m[1].lParam, MakeLParam(10, 20));
  EXPECT_EQ(m[2].message, WM_LBUTTONDOWN);
  EXPECT_EQ(m[2].wParam, static_cast<uintptr_t>(MK_LBUTTON));
  EXPECT_EQ(m[2].lParam, MakeLParam(10, 20));
  EXPECT_EQ(m[3].message, WM_KEYDOWN);
  EXPECT_EQ(m[3].wParam, static_cast<uintptr_t>('A'));
  // "あ" typed: its two CP932 bytes.
  EXPECT_EQ(m[4].message, WM_CHAR);
  EXPECT_EQ(m[4].wParam, 0x82u);
  EXPECT_EQ(m[5].wParam, 0xA0u);
  EXPECT_TRUE(backend_->IsKeyHeld(VK_LBUTTON));
  EXPECT_TRUE(backend_->IsKeyHeld('A'));

  window->Present(frame, &all, 1, false);
  m = Drain();
  ASSERT_EQ(m.size(), 3u);
  EXPECT_EQ(m[0].message, WM_MOUSEWHEEL);
  EXPECT_EQ(m[0].wParam >> 16, static_cast<uintptr_t>(static_cast<uint16_t>(-120)));
  EXPECT_EQ(m[0].lParam, MakeLParam(10, 20));
  EXPECT_EQ(m[1].message, WM_LBUTTONUP);
  EXPECT_EQ(m[2].message, WM_SYSKEYDOWN);
  EXPECT_FALSE(backend_->IsKeyHeld(VK_LBUTTON));
  EXPECT_TRUE(dir.Exists("at2.png"));

  // A code no key gives is left out with a line on stderr.
  testing::internal::CaptureStderr();
  window->Present(frame, &all, 1, false);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("300"), std::string::npos) << err;
  m = Drain();
  ASSERT_EQ(m.size(), 1u);
  EXPECT_EQ(m[0].message, WM_CLOSE);
}

TEST_F(SdlBackendTest, InputScriptFileErrorsNameTheFile) {
  testsupport::TempDir dir;
  dir.Write("bad.txt", "0 key 65 down\n5 jump\n");
  std::string error;
  EXPECT_FALSE(backend_->LoadInputScript(dir / "bad.txt", &error));
  EXPECT_NE(error.find("bad.txt"), std::string::npos) << error;
  EXPECT_NE(error.find("line 2"), std::string::npos) << error;
  EXPECT_FALSE(backend_->LoadInputScript(dir / "missing.txt", &error));
  EXPECT_NE(error.find("missing.txt"), std::string::npos) << error;
}

TEST_F(SdlBackendTest, BoxWithoutADisplayGoesToStderrWithTheCautiousAnswer) {
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  // "エラー" as caption, "ファイル" as text, CP932.
  const std::string caption = "\x83\x47\x83\x89\x81\x5B";
  const std::string text = "\x83\x74\x83\x40\x83\x43\x83\x8B";
  testing::internal::CaptureStderr();
  int yesNo = backend_->MessageBox(nullptr, text, caption, MB_YESNO | MB_ICONWARNING);
  int ok = backend_->MessageBox(nullptr, text, caption, MB_OK | MB_ICONERROR);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(yesNo, IDNO);
  EXPECT_EQ(ok, IDOK);
  EXPECT_NE(err.find("[box] \xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC: "
                     "\xE3\x83\x95\xE3\x82\xA1\xE3\x82\xA4\xE3\x83\xAB\n"),
            std::string::npos)
      << err;
}

TEST_F(SdlBackendTest, DebugOutputOnlyWhenSwitchedOn) {
  testing::internal::CaptureStderr();
  backend_->DebugOutput("quiet\n");
  SetSdlDebugOutput(true);
  backend_->DebugOutput("\x83\x65\x83\x58\x83\x67\n");
  SetSdlDebugOutput(false);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88\n");
}

TEST_F(SdlBackendTest, ClockReadings) {
  uint32_t t0 = backend_->GetTicks();
  backend_->Sleep(5);
  EXPECT_GE(backend_->GetTicks() - t0, 4u);

  int64_t before = backend_->EpochSeconds();
  LocalTime utc = backend_->GetUtcTime();
  int64_t after = backend_->EpochSeconds();
  std::tm t{};
  t.tm_year = utc.year - 1900;
  t.tm_mon = utc.month - 1;
  t.tm_mday = utc.day;
  t.tm_hour = utc.hour;
  t.tm_min = utc.minute;
  t.tm_sec = utc.second;
  int64_t seconds = static_cast<int64_t>(timegm(&t));
  EXPECT_GE(seconds, before);
  EXPECT_LE(seconds, after);
  EXPECT_EQ(utc.weekday, t.tm_wday);
  EXPECT_GE(utc.millisecond, 0);
  EXPECT_LT(utc.millisecond, 1000);

  LocalTime local = backend_->GetLocalTime();
  EXPECT_GE(local.month, 1);
  EXPECT_LE(local.month, 12);
  EXPECT_GE(local.weekday, 0);
  EXPECT_LE(local.weekday, 6);
}

// The program asks for a display the player can see: SDL's offscreen and
// dummy drivers open but show nothing, so they are refused with the reason
// (the program then runs headless).
TEST(SdlDisplayChoice, DriversThatShowNothingAreRefusedWhenAWindowMustShow) {
  for (const char* driver : {"offscreen", "dummy"}) {
    SCOPED_TRACE(driver);
    setenv("SDL_VIDEODRIVER", driver, 1);
    std::string error;
    EXPECT_EQ(CreateSdlBackend(&error, SdlDisplay::kVisible), nullptr);
    EXPECT_NE(error.find(driver), std::string::npos) << error;
    // The same driver will do where nothing has to be seen.
    auto any = CreateSdlBackend(&error, SdlDisplay::kAny);
    EXPECT_NE(any, nullptr) << error;
  }
  setenv("SDL_VIDEODRIVER", "dummy", 1);
}

}  // namespace
}  // namespace platform::sdl
