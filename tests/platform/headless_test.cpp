#include <gtest/gtest.h>
#include <png.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/system.h"
#include "support/temp_dir.h"

namespace {

using platform::Message;

std::vector<Message> Drain() {
  std::vector<Message> out;
  Message m;
  while (platform::PeekMessage(&m, true)) out.push_back(m);
  return out;
}

TEST(HeadlessClock, MovesOnlyBySleepOrAdvance) {
  auto& host = platform::InstallHeadless();
  uint32_t t0 = platform::GetTicks();
  EXPECT_EQ(platform::GetTicks(), t0);
  platform::Sleep(15);
  EXPECT_EQ(platform::GetTicks() - t0, 15u);
  host.AdvanceClock(1000);
  EXPECT_EQ(platform::GetTicks() - t0, 1015u);
  host.SetTicks(0xFFFFFFF0u);
  platform::Sleep(0x20);
  EXPECT_EQ(platform::GetTicks(), 0x10u);  // wraps like a 32-bit tick

  host.SetTicks(0);
  host.SetEpochBase(1767225600 + 86400 * 3 + 3600 * 5);  // 2026-01-04 05:00, a Sunday
  host.AdvanceClock(61500);
  auto t = platform::GetLocalTime();
  EXPECT_EQ(t.year, 2026);
  EXPECT_EQ(t.month, 1);
  EXPECT_EQ(t.day, 4);
  EXPECT_EQ(t.weekday, 0);
  EXPECT_EQ(t.hour, 5);
  EXPECT_EQ(t.minute, 1);
  EXPECT_EQ(t.second, 1);
  EXPECT_EQ(t.millisecond, 500);
  EXPECT_EQ(platform::EpochSeconds(), 1767225600 + 86400 * 3 + 3600 * 5 + 61);
}

TEST(HeadlessBoxes, AreLoggedAndAnsweredByPolicy) {
  auto& host = platform::InstallHeadless();
  host.SetBoxEcho(false);
  EXPECT_EQ(platform::MessageBox(nullptr, "path", "file not found", MB_OK), IDOK);
  EXPECT_EQ(platform::MessageBox(nullptr, "q", "warn", MB_ICONWARNING | MB_YESNO), IDNO);
  host.SetBoxAnswer(IDYES);
  EXPECT_EQ(platform::MessageBox(nullptr, "q", "warn", MB_ICONWARNING | MB_YESNO), IDYES);
  EXPECT_EQ(platform::MessageBox(nullptr, nullptr, nullptr, MB_ICONERROR), IDOK);
  auto boxes = host.Boxes();
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[0].caption, "file not found");
  EXPECT_EQ(boxes[0].text, "path");
  EXPECT_EQ(boxes[1].style, MB_ICONWARNING | MB_YESNO);
  EXPECT_EQ(boxes[2].answer, IDYES);
  EXPECT_EQ(boxes[3].text, "");
}

// Trace lines stay quiet unless asked for; error lines are always printed,
// in UTF-8, one line each, and kept for tests.
TEST(HeadlessErrorLines, AreAlwaysPrintedOneLineEach) {
  auto& host = platform::InstallHeadless();
  host.SetDebugEcho(false);
  testing::internal::CaptureStderr();
  platform::DebugOutput("trace\n");
  platform::ErrorOutput("\x83\x65\x83\x58\x83\x67: why");  // テスト
  platform::ErrorOutput("ends with its own line end\n");
  platform::ErrorOutput(nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88: why\nends with its own line end\n");
  EXPECT_EQ(host.ErrorLines(),
            (std::vector<std::string>{"\x83\x65\x83\x58\x83\x67: why", "ends with its own line end\n"}));
  host.ClearErrorLines();
  EXPECT_TRUE(host.ErrorLines().empty());

  // Silenced (fuzzers), the lines are still kept.
  host.SetErrorEcho(false);
  testing::internal::CaptureStderr();
  platform::ErrorOutput("quiet");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(host.ErrorLines(), std::vector<std::string>{"quiet"});
}

// Echoed trace texts are whole lines: each ends with a line end and starts
// with its own words, whatever line ends the caller gave.
TEST(HeadlessTraceEcho, EachTextIsOneLine) {
  auto& host = platform::InstallHeadless();
  host.SetDebugEcho(true);
  testing::internal::CaptureStderr();
  for (const char* text : {"removed sav\\a.tmp.Q1w2E3, left by an interrupted save",
                           "removed sav\\b.tmp.Q1w2E3, left by an interrupted save", "\n\ntimer=5\n\n",
                           "\n", "", "two\nlines\r\n", "\x83\x65\x83\x58\x83\x67"})
    platform::DebugOutput(text);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "removed sav\\a.tmp.Q1w2E3, left by an interrupted save\n"
            "removed sav\\b.tmp.Q1w2E3, left by an interrupted save\n"
            "timer=5\ntwo\nlines\n\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88\n");
  // The kept lines are the texts as given.
  EXPECT_EQ(host.DebugLines()[2], "\n\ntimer=5\n\n");
  host.SetDebugEcho(false);
}

TEST(HeadlessInput, KeysTextMouseAndWheelArriveAsWindowMessages) {
  auto& host = platform::InstallHeadless();
  platform::Window* w = platform::CreateWindow({});
  host.InjectKey(VK_LEFT, true);
  host.InjectKey(VK_LEFT, true);  // auto-repeat
  host.InjectKey(VK_LEFT, false);
  host.InjectKey(VK_RETURN, true, /*alt=*/true);
  host.InjectKey(VK_BACK, true);  // editing keys type their character too
  host.InjectText("x");  // text input is off: not seen
  w->StartTextInput();
  host.InjectText("あa");
  host.InjectMouseMove(-5, 700);
  host.InjectButton(0, true);
  host.InjectWheel(-120);
  host.InjectButton(0, false);
  auto msgs = Drain();
  struct Want {
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
  } want[] = {
      {WM_KEYDOWN, VK_LEFT, 0},
      {WM_KEYDOWN, VK_LEFT, KEY_REPEAT_LPARAM},
      {WM_KEYUP, VK_LEFT, 0},
      {WM_SYSKEYDOWN, 13, 0},
      {WM_KEYDOWN, VK_BACK, 0},
      {WM_CHAR, 8, 0},
      {WM_CHAR, 0x82, 0},
      {WM_CHAR, 0xA0, 0},
      {WM_CHAR, 'a', 0},
      {WM_MOUSEMOVE, 0, MakeLParam(-5, 700)},
      {WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(-5, 700)},
      {WM_MOUSEWHEEL, static_cast<uintptr_t>(MakeLParam(MK_LBUTTON, -120)), MakeLParam(-5, 700)},
      {WM_LBUTTONUP, 0, MakeLParam(-5, 700)},
  };
  ASSERT_EQ(msgs.size(), std::size(want));
  for (size_t i = 0; i < msgs.size(); ++i) {
    EXPECT_EQ(msgs[i].window, w) << i;
    EXPECT_EQ(msgs[i].message, want[i].message) << i;
    EXPECT_EQ(msgs[i].wParam, want[i].wParam) << i;
    EXPECT_EQ(msgs[i].lParam, want[i].lParam) << i;
  }
  EXPECT_EQ(LowWordSigned(msgs[9].lParam), -5);
  EXPECT_EQ(HighWordSigned(static_cast<intptr_t>(msgs[11].wParam)), -120);
}

TEST(HeadlessInput, AMoveOverTheClientAreaSetsTheCursorFirst) {
  auto& host = platform::InstallHeadless();
  platform::Window* w = platform::CreateWindow({});
  w->Move(0, 0, 320, 240);
  struct Case {
    int x, y;
    bool over;
  } cases[] = {
      {0, 0, true},     {319, 239, true}, {160, 120, true}, {-1, 10, false},
      {10, -1, false},  {320, 10, false}, {10, 240, false}, {400, 300, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    host.InjectMouseMove(c.x, c.y);
    auto msgs = Drain();
    ASSERT_EQ(msgs.size(), c.over ? 2u : 1u);
    if (c.over) {
      EXPECT_EQ(msgs[0].window, w);
      EXPECT_EQ(msgs[0].message, WM_SETCURSOR);
      EXPECT_EQ(msgs[0].wParam, reinterpret_cast<uintptr_t>(w));
      EXPECT_EQ(msgs[0].lParam, MakeLParam(HTCLIENT, WM_MOUSEMOVE));
    }
    EXPECT_EQ(msgs.back().message, WM_MOUSEMOVE);
    EXPECT_EQ(msgs.back().lParam, MakeLParam(c.x, c.y));
  }
}

TEST(HeadlessInput, HeldStateFollowsInjectionIncludingSilentRelease) {
  auto& host = platform::InstallHeadless();
  host.InjectButton(1, true);
  EXPECT_TRUE(platform::IsKeyHeld(VK_RBUTTON));
  host.ReleaseButtonSilently(1);
  EXPECT_FALSE(platform::IsKeyHeld(VK_RBUTTON));
  host.InjectKey(VK_SHIFT, true);
  EXPECT_TRUE(platform::IsKeyHeld(VK_SHIFT));
  EXPECT_FALSE(platform::IsKeyHeld(300));
  EXPECT_FALSE(platform::IsKeyHeld(-1));
}

struct Recorder {
  std::vector<uint32_t> seen;
  static intptr_t Proc(platform::Window* w, uint32_t msg, uintptr_t wp, intptr_t lp, void* ctx) {
    static_cast<Recorder*>(ctx)->seen.push_back(msg);
    if (msg == WM_DESTROY) platform::PostQuitMessage(0);
    return platform::DefWindowProc(w, msg, wp, lp);
  }
};

TEST(HeadlessMessages, CloseDestroysAndQuitEndsGetMessage) {
  auto& host = platform::InstallHeadless();
  Recorder rec;
  platform::Window* w = platform::CreateWindow({});
  w->SetHandler(&Recorder::Proc, &rec);
  platform::PostMessage(w, WM_USER + 555, 1, 2);
  host.InjectClose();
  Message m;
  ASSERT_TRUE(platform::PeekMessage(&m, false));
  EXPECT_EQ(m.message, WM_USER + 555);
  int taken = 0;
  while (platform::GetMessage(&m)) {
    platform::DispatchMessage(m);
    ++taken;
  }
  EXPECT_EQ(taken, 2);
  EXPECT_EQ(m.message, WM_QUIT);
  EXPECT_EQ(rec.seen, (std::vector<uint32_t>{WM_USER + 555, WM_CLOSE, WM_DESTROY}));
  EXPECT_FALSE(w->IsVisible());
}

TEST(HeadlessMessages, ADisabledCloseItemDropsTheCloseBoxButNotAPostedClose) {
  auto& host = platform::InstallHeadless();
  platform::Window* w = platform::CreateWindow({});
  Message m;
  w->EnableCloseItem(false);
  host.InjectClose();
  EXPECT_FALSE(platform::PeekMessage(&m, true));
  platform::PostMessage(w, WM_CLOSE, 0, 0);
  ASSERT_TRUE(platform::PeekMessage(&m, true));
  EXPECT_EQ(m.message, WM_CLOSE);
  w->EnableCloseItem(true);
  host.InjectClose();
  ASSERT_TRUE(platform::PeekMessage(&m, true));
  EXPECT_EQ(m.message, WM_CLOSE);
}

std::vector<uint32_t> ReadPng(const std::string& path, int* w, int* h) {
  std::vector<uint32_t> pixels;
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return pixels;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, f);
  png_read_info(png, info);
  *w = png_get_image_width(png, info);
  *h = png_get_image_height(png, info);
  std::vector<unsigned char> row(png_get_rowbytes(png, info));
  for (int y = 0; y < *h; ++y) {
    png_read_row(png, row.data(), nullptr);
    for (int x = 0; x < *w; ++x)
      pixels.push_back(row[x * 3] << 16 | row[x * 3 + 1] << 8 | row[x * 3 + 2]);
  }
  png_destroy_read_struct(&png, &info, nullptr);
  fclose(f);
  return pixels;
}

TEST(HeadlessPresenter, UploadsOnlyTheGivenRectanglesAndWritesScreenshots) {
  testsupport::TempDir dir;
  auto& host = platform::InstallHeadless();
  auto* w = static_cast<platform::HeadlessWindow*>(platform::CreateWindow({}));
  std::vector<uint32_t> frame(800 * 600, 0xFF112233u);  // top byte must be ignored
  platform::FrameView view{frame.data(), 800, 600, 800 * 4};
  platform::Rect all{0, 0, 800, 600};
  ASSERT_EQ(w->Present(view, &all, 1, false), platform::PresentResult::kOk);
  EXPECT_EQ(w->PixelAt(0, 0), 0x112233u);

  std::fill(frame.begin(), frame.end(), 0x00FF0000u);
  platform::Rect one{10, 20, 30, 25};
  platform::Rect clipped{790, 590, 900, 700};
  platform::Rect rects[] = {one, clipped};
  ASSERT_EQ(w->Present(view, rects, 2, true), platform::PresentResult::kOk);
  EXPECT_EQ(w->PresentCount(), 2);
  ASSERT_EQ(w->LastRects().size(), 2u);
  EXPECT_EQ(w->LastRects()[0], one);
  EXPECT_EQ(w->LastRects()[1], (platform::Rect{790, 590, 800, 600}));
  EXPECT_EQ(w->PixelAt(10, 20), 0xFF0000u);
  EXPECT_EQ(w->PixelAt(29, 24), 0xFF0000u);
  EXPECT_EQ(w->PixelAt(30, 24), 0x112233u);
  EXPECT_EQ(w->PixelAt(9, 20), 0x112233u);

  w->LoseTarget();
  EXPECT_EQ(w->Present(view, rects, 2, false), platform::PresentResult::kLost);

  ASSERT_TRUE(w->SaveScreenshot(dir / "shot.png"));
  int pw = 0, ph = 0;
  auto pixels = ReadPng(dir / "shot.png", &pw, &ph);
  ASSERT_EQ(pw, 800);
  ASSERT_EQ(ph, 600);
  EXPECT_EQ(pixels[20 * 800 + 10], 0xFF0000u);
  EXPECT_EQ(pixels[0], 0x112233u);
  (void)host;
}

TEST(HeadlessPresenter, FrameHashTakesTwoPixelsAStepAndIgnoresTopBytes) {
  platform::InstallHeadless();
  auto* w = static_cast<platform::HeadlessWindow*>(platform::CreateWindow({}));
  // An odd pixel count: one step of two pixels, then the last on its own.
  std::vector<uint32_t> frame = {0xFF112233u, 0x00445566u, 0x7F778899u};
  platform::FrameView view{frame.data(), 3, 1, 3 * 4};
  platform::Rect all{0, 0, 3, 1};
  ASSERT_EQ(w->Present(view, &all, 1, false), platform::PresentResult::kOk);
  EXPECT_EQ(w->FrameHash(), 0x0a8534e68a542acbull);
  std::swap(frame[0], frame[1]);
  ASSERT_EQ(w->Present(view, &all, 1, false), platform::PresentResult::kOk);
  EXPECT_NE(w->FrameHash(), 0x0a8534e68a542acbull);
}

// A lasting frame is copied when something reads it, from pixels that
// still show it: before other pixels are presented and before its owner
// lets them go. Between presents the owner draws only what it presents next.
TEST(HeadlessPresenter, ALastingFrameIsCopiedWhenReadOrBeforeItsPixelsGo) {
  platform::InstallHeadless();
  auto* w = static_cast<platform::HeadlessWindow*>(platform::CreateWindow({}));
  std::vector<uint32_t> screen(80 * 60, 0xFF112233u), other(80 * 60, 0x0000FFu);
  auto draw = [&screen](const platform::Rect& r, uint32_t color) {
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) screen[y * 80 + x] = color;
  };
  const platform::FrameView lasting{screen.data(), 80, 60, 80 * 4, true};
  const platform::FrameView passing{other.data(), 80, 60, 80 * 4};
  const platform::Rect all{0, 0, 80, 60}, corner{0, 0, 5, 5}, middle{40, 30, 50, 40}, edge{70, 50, 80, 60};
  ASSERT_EQ(w->Present(lasting, &all, 1, false), platform::PresentResult::kOk);
  EXPECT_EQ(w->PixelAt(79, 59), 0x112233u);

  // Rectangles of several presents wait together and come out as shown.
  draw(corner, 0xFF0000u);
  w->Present(lasting, &corner, 1, false);
  w->Present(lasting, &corner, 1, false);
  draw(middle, 0x00FF00u);
  w->Present(lasting, &middle, 1, false);
  EXPECT_EQ(w->PixelAt(0, 0), 0xFF0000u);
  EXPECT_EQ(w->PixelAt(45, 35), 0x00FF00u);
  EXPECT_EQ(w->PixelAt(20, 20), 0x112233u);

  // Other pixels presented: the waiting rectangle is taken first.
  draw(corner, 0x0000AAu);
  w->Present(lasting, &corner, 1, false);
  w->Present(passing, &middle, 1, false);
  draw(all, 0xABCDEFu);
  EXPECT_EQ(w->PixelAt(0, 0), 0x0000AAu);
  EXPECT_EQ(w->PixelAt(45, 35), 0x0000FFu);

  // The owner frees its pixels: they are taken before.
  draw(edge, 0x445566u);
  w->Present(lasting, &edge, 1, false);
  platform::ForgetFrame(screen.data());
  draw(all, 0);
  EXPECT_EQ(w->PixelAt(75, 55), 0x445566u);
  EXPECT_EQ(w->PixelAt(0, 0), 0x0000AAu);
  EXPECT_EQ(w->PresentCount(), 7);
}

TEST(HeadlessPresenter, FullScreenReportsTheGameSizeOrIsRefused) {
  auto& host = platform::InstallHeadless();
  host.SetDesktop({32, 0, 0, 1280, 1024});
  auto* w = static_cast<platform::HeadlessWindow*>(platform::CreateWindow({}));
  EXPECT_EQ(w->GetDisplayMode(), (platform::Point{1280, 1024}));
  EXPECT_TRUE(w->SetFullScreen(true));
  EXPECT_EQ(w->GetDisplayMode(), (platform::Point{800, 600}));
  EXPECT_TRUE(w->SetFullScreen(false));
  w->RefuseFullScreen(true);
  EXPECT_FALSE(w->SetFullScreen(true));
  EXPECT_FALSE(w->IsFullScreen());
}

TEST(HeadlessInputScript, DeliversEventsAtTheirFrames) {
  auto& host = platform::InstallHeadless();
  auto* w = static_cast<platform::HeadlessWindow*>(platform::CreateWindow({}));
  w->StartTextInput();  // a text box is typing
  std::string error;
  ASSERT_TRUE(host.ParseInputScript(
      "# test\n0 key 13 down\n2 text あ\n1 move 5 6\n\n1 button 0 down\n3 close\n", &error))
      << error;
  auto msgs = Drain();
  ASSERT_EQ(msgs.size(), 2u);
  EXPECT_EQ(msgs[0].message, WM_KEYDOWN);
  EXPECT_EQ(msgs[1].message, WM_CHAR);
  std::vector<uint32_t> frame(4, 0);
  platform::FrameView view{frame.data(), 2, 2, 8};
  w->Present(view, nullptr, 0, false);
  msgs = Drain();
  ASSERT_EQ(msgs.size(), 3u);
  EXPECT_EQ(msgs[0].message, WM_SETCURSOR);
  EXPECT_EQ(msgs[1].message, WM_MOUSEMOVE);
  EXPECT_EQ(msgs[2].message, WM_LBUTTONDOWN);
  w->Present(view, nullptr, 0, false);
  msgs = Drain();
  ASSERT_EQ(msgs.size(), 2u);
  EXPECT_EQ(msgs[0].wParam, 0x82u);
  w->Present(view, nullptr, 0, false);
  msgs = Drain();
  ASSERT_EQ(msgs.size(), 1u);
  EXPECT_EQ(msgs[0].message, WM_CLOSE);

  for (const char* bad : {"x key 1 down", "1 key 1 sideways", "1 button 3 down", "1 jump", "-1 close",
                          "1 screenshot"}) {
    EXPECT_FALSE(host.ParseInputScript(bad, &error)) << bad;
    EXPECT_NE(error.find("line 1"), std::string::npos);
  }
}

TEST(HeadlessInputScript, SkipsAByteOrderMarkAndTellsWhetherItCloses) {
  auto& host = platform::InstallHeadless();
  platform::CreateWindow({});
  std::string error;
  ASSERT_TRUE(host.ParseInputScript("\xEF\xBB\xBF" "0 key 13 down\n", &error)) << error;
  auto msgs = Drain();
  ASSERT_EQ(msgs.size(), 2u);  // the key and its character
  EXPECT_EQ(msgs[0].message, WM_KEYDOWN);
  EXPECT_FALSE(host.InputScriptCloses());
  ASSERT_TRUE(host.ParseInputScript("\xEF\xBB\xBF# first line\n5 close\n", &error)) << error;
  EXPECT_TRUE(host.InputScriptCloses());
  // Only at the start: elsewhere the mark is part of a line.
  EXPECT_FALSE(host.ParseInputScript("0 close\n\xEF\xBB\xBF" "1 close\n", &error));
}

}  // namespace
