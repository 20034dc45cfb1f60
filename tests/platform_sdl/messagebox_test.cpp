// The SDL backend's own message box: its picture (drawn without a display)
// and, under xvfb-run, a real box answered from outside.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/codec.h"
#include "platform/sdl/sdl.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/sdl_messagebox.h"
#include "platform/sdl/sdl_overlay.h"
#ifdef ZOR_X_CURSOR
#include "support/x_cursor.h"
#endif

namespace platform::sdl {
namespace {

// "エラー" and a two-line text with a path: "システムファイル sav\sysfile.sav
// が見つかりません。" / "初期設定で始めますか？", all CP932.
const std::string kCaption = "\x83\x47\x83\x89\x81\x5B";
const std::string kLine1 =
    "\x83\x56\x83\x58\x83\x65\x83\x80\x83\x74\x83\x40\x83\x43\x83\x8B sav\\sysfile.sav "
    "\x82\xAA\x8C\xA9\x82\xC2\x82\xA9\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81\x42";
const std::string kLine2 = "\x8F\x89\x8A\xFA\x90\xDD\x92\xE8\x82\xC5\x8E\x6E\x82\xDF\x82\xDC\x82\xB7\x82\xA9\x81\x48";

// The ink of a rendered line: true where the glyphs cover the pixel.
std::vector<bool> Ink(const OverlayBitmap& b) {
  std::vector<bool> ink(b.argb.size());
  for (size_t i = 0; i < ink.size(); ++i) ink[i] = (b.argb[i] >> 24) != 0;
  return ink;
}

TEST(SdlBox, PictureShowsTheCp932TextWithTheGameFace) {
  OverlayFont font;
  ASSERT_TRUE(font.Ready()) << "no Japanese face (fonts-ipafont-gothic)";
  BoxPicture box;
  ASSERT_TRUE(DrawBox(font, kLine1 + "\r\n" + kLine2, kCaption, MB_YESNO | MB_ICONWARNING, &box));
  EXPECT_EQ(box.titleUtf8, "\xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC");
  ASSERT_EQ(box.lines, (std::vector<std::string>{kLine1, kLine2}));
  ASSERT_EQ(box.lineAreas.size(), 2u);
  const uint32_t background = box.pixels[static_cast<size_t>(box.height - 1) * box.width];
  // Each line's area holds exactly the ink of that line drawn alone: the
  // text reached the picture as the same characters.
  for (size_t i = 0; i < box.lines.size(); ++i) {
    SCOPED_TRACE(i);
    OverlayBitmap alone;
    ASSERT_TRUE(font.RenderLine(box.lines[i], 16, 0, &alone));
    const Rect& r = box.lineAreas[i];
    ASSERT_EQ(r.right - r.left, alone.width);
    ASSERT_EQ(r.bottom - r.top, alone.height);
    const std::vector<bool> ink = Ink(alone);
    int mismatches = 0, inked = 0;
    for (int y = 0; y < alone.height; ++y) {
      for (int x = 0; x < alone.width; ++x) {
        const bool expected = ink[static_cast<size_t>(y) * alone.width + x];
        const bool drawn =
            box.pixels[static_cast<size_t>(r.top + y) * box.width + r.left + x] != background;
        mismatches += expected != drawn;
        inked += drawn;
      }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(inked, 100);
  }
  // はい (Return) and いいえ (Escape, closing), left to right, each inked.
  ASSERT_EQ(box.buttons.size(), 2u);
  EXPECT_EQ(box.buttons[0].answer, IDYES);
  EXPECT_EQ(box.buttons[0].label, "\x82\xCD\x82\xA2");
  EXPECT_TRUE(box.buttons[0].returnKey);
  EXPECT_EQ(box.buttons[1].answer, IDNO);
  EXPECT_EQ(box.buttons[1].label, "\x82\xA2\x82\xA2\x82\xA6");
  EXPECT_TRUE(box.buttons[1].escapeKey);
  EXPECT_LT(box.buttons[0].area.right, box.buttons[1].area.left);
  for (const BoxButton& b : box.buttons) {
    int dark = 0;
    for (int y = b.area.top + 2; y < b.area.bottom - 2; ++y) {
      for (int x = b.area.left + 2; x < b.area.right - 2; ++x)
        dark += (box.pixels[static_cast<size_t>(y) * box.width + x] & 0xFF) < 0x80;
    }
    EXPECT_GT(dark, 10) << b.answer;
  }

  BoxPicture ok;
  ASSERT_TRUE(DrawBox(font, "OK?", "", MB_OK, &ok));
  ASSERT_EQ(ok.buttons.size(), 1u);
  EXPECT_EQ(ok.buttons[0].answer, IDOK);
  EXPECT_TRUE(ok.buttons[0].returnKey && ok.buttons[0].escapeKey);
}

TEST(SdlBox, LinesSplitAtLineEndsAndWrapBetweenCharacters) {
  OverlayFont font;
  ASSERT_TRUE(font.Ready());
  struct Case {
    std::string text;
    std::vector<std::string> lines;
  } cases[] = {
      {"", {""}},
      {"a\r\nb", {"a", "b"}},
      {"a\nb\rc", {"a", "b", "c"}},
      {"a\n\nb", {"a", "", "b"}},
  };
  for (const Case& c : cases) EXPECT_EQ(BoxLines(font, c.text, 560), c.lines) << c.text;

  // A long line of double-byte characters wraps between them, each piece
  // within the width, nothing lost.
  std::string longLine;
  for (int i = 0; i < 12; ++i) longLine += kLine2;
  const std::vector<std::string> lines = BoxLines(font, longLine, 200);
  ASSERT_GT(lines.size(), 1u);
  std::string joined;
  for (const std::string& line : lines) {
    OverlayBitmap b;
    ASSERT_TRUE(font.RenderLine(line, 16, 0, &b));
    EXPECT_LE(b.width, 200);
    EXPECT_EQ(line.size() % 2, 0u) << "a character was cut";
    joined += line;
  }
  EXPECT_EQ(joined, longLine);
}

// A real box under xvfb-run (which sets ZOR_XVFB), answered by xdotool
// as a player would.
TEST(SdlBoxXvfb, RealBoxShowsTheJapaneseCaptionAndTakesTheAnswer) {
  if (!std::getenv("ZOR_XVFB")) GTEST_SKIP() << "needs the display of xvfb-run";
  unsetenv("SDL_VIDEODRIVER");
  std::string error;
  std::unique_ptr<Backend> backend = CreateSdlBackend(&error, SdlDisplay::kVisible);
  ASSERT_NE(backend, nullptr) << error;
  const std::string text = kLine1 + "\r\n" + kLine2;

  OverlayFont font;
  BoxPicture picture;
  ASSERT_TRUE(DrawBox(font, text, kCaption, MB_YESNO | MB_ICONWARNING, &picture));
  const Rect& no = picture.buttons[1].area;
  // The box is the test program's only window (a window seen while it is
  // still being made may be gone a moment later: the player looks again
  // until one answers with its title); its title tells that the
  // caption reached the X server as UTF-8 "エラー". A click on いいえ
  // answers: the answer comes from where the button was drawn. The player
  // clicks again until the box is gone, each time coming into the button
  // from the window's corner so the pointer is seen to move.
  // The game has hidden the cursor over its window; over the box the
  // player sees one (read from the X server once the pointer is on the box)
  // and the game's hidden cursor comes back with the answer.
  const std::string x = std::to_string((no.left + no.right) / 2);
  const std::string y = std::to_string((no.top + no.bottom) / 2);
  SDL_ShowCursor(SDL_DISABLE);
  const std::string player =
      "timeout 30 sh -c 'w=; for i in $(seq 25); do "
      "for c in $(xdotool search --sync --onlyvisible --classname test_platform_sdl); do "
      "t=$(xdotool getwindowname $c 2>/dev/null) && { w=$c; break 2; }; done; sleep 0.2; done; "
      "[ -n \"$w\" ] || exit 3; echo \"$t\"; "
      "xdotool mousemove --window $w 1 1; sleep 0.3; echo on-the-box; sleep 0.5; n=0; "
      "while xdotool getwindowname $w >/dev/null 2>&1; do n=$((n+1)); "
      "xdotool mousemove --window $w 1 1 mousemove --window $w " + x + " " + y +
      " click 1 >&2; sleep 0.5; done; echo \"clicks: $n\" >&2' 2>&1";
  std::string said;
  int status = -1;
#ifdef ZOR_X_CURSOR
  testsupport::XCursorShot onTheBox;
#endif
  std::atomic<bool> answered{false}, ended{false};
  std::thread playing([&] {
    FILE* out = popen(player.c_str(), "r");
    if (out) {
      char line[256];
      while (std::fgets(line, sizeof line, out)) {
#ifdef ZOR_X_CURSOR
        if (std::string(line) == "on-the-box\n") onTheBox = testsupport::ReadXCursor();
#endif
        said += line;
      }
      status = pclose(out);
    }
    // The box should have answered by now. One still waiting a moment later
    // is ended as a request to end the program would end it (it takes its
    // cancel), and the test fails below instead of waiting for ever.
    for (int i = 0; i < 50 && !answered; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (!answered) {
      ended = true;
      SDL_Event quit{};
      quit.type = SDL_QUIT;
      SDL_PushEvent(&quit);
    }
  });
  testing::internal::CaptureStderr();
  const int answer = backend->MessageBox(nullptr, text, kCaption, MB_YESNO | MB_ICONWARNING);
  answered = true;
  const std::string err = testing::internal::GetCapturedStderr();
  playing.join();
  EXPECT_FALSE(ended) << "the box did not take the click: " << said;
  EXPECT_EQ(status, 0) << said;
  const std::string title = said.substr(0, said.find('\n') + 1);
  EXPECT_EQ(title, "\xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC\n") << said;
  EXPECT_EQ(answer, IDNO);
#ifdef ZOR_X_CURSOR
  ASSERT_TRUE(onTheBox.ok) << onTheBox.error << "; " << said;
  EXPECT_GT(onTheBox.opaque, 0) << "no cursor over the box";
#endif
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
  EXPECT_NE(err.find("[box] \xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC: " + Cp932ToUtf8(kLine1)),
            std::string::npos)
      << err;
  EXPECT_EQ(err.find("could not be shown"), std::string::npos) << err;
}

}  // namespace
}  // namespace platform::sdl
