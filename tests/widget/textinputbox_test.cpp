// The text input box: typed bytes, styles, positions, drawing and the
// window's text input.
#include "widget/textinputbox.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/system.h"
#include "widget/textlineprinter.h"
#include "widget_fixture.h"

namespace widget_test {
namespace {

constexpr uint32_t kBack = 0x00000000;

struct PrintCall {
  int x, y;
  std::string text;
  int size, r, g, b, spacing, pitch, outline, last;
};

class RecordingPrinter : public ITextLinePrinter {
 public:
  int PrintLine(int x, int y, const char* text, int size, int r, int g, int b, int spacing,
                int pitch, int outline, int last) override {
    calls.push_back({x, y, text, size, r, g, b, spacing, pitch, outline, last});
    return 0;
  }
  std::vector<PrintCall> calls;
};

// CP932 of the characters used here.
const std::string kA = "\x82\x81", kB = "\x82\x82", kC = "\x82\x83", kD = "\x82\x84";
const std::string kHiraA = "\x82\xA0", kKanaA = "\x83\x41";

class TextInputBoxTest : public WidgetTest {
 protected:
  void SetUp() override {
    WidgetTest::SetUp();
    window_ = platform::CreateWindow({});
    Clear(kBack);
  }
  void Type(CTextInputBox& box, const std::string& bytes) {
    for (unsigned char b : bytes) box.PutChar(b);
  }
  // Hands every waiting WM_CHAR to the box, as the game's window handler does.
  void Pump(CTextInputBox& box) {
    platform::Message m;
    while (platform::PeekMessage(&m, true))
      if (m.message == WM_CHAR) box.PutChar(static_cast<int>(m.wParam));
  }
  platform::Window* window_ = nullptr;
  RecordingPrinter printer_;
};

TEST_F(TextInputBoxTest, TypedBytes) {
  struct Case {
    const char* name;
    std::string typed;
    std::string text;
    int entered;
  } cases[] = {
      {"letters become full-width, cut at 8 bytes", "abcde", kA + kB + kC + kD, 0},
      {"backspace on empty", "\x08", "", 0},
      {"backspace removes a character", "ab\x08", kA, 0},
      {"delete byte too", "ab\x7F", kA, 0},
      {"lead and trail byte", "\x82\xA0", kHiraA, 0},
      {"half-width kana", "\xB1\xA0", kKanaA + kKanaA, 0},
      {"return", "a\r", kA, 1},
      {"control bytes ignored", "\x01\x1B\ta", kA, 0},
      {"not a lead byte", "\x80\xFD\xFF" "a", kA, 0},
      {"lead byte without a trail byte", std::string("\x82") + "\x20", "\x81\x40", 0},
      {"lead byte waits over control bytes", "\x82\x01\xA0", kHiraA, 0},
      {"space and tilde", " ~", "\x81\x40\x81\x60", 0},
      {"backslash is the yen sign", "\\", "\x81\x8F", 0},
  };
  for (const Case& c : cases) {
    CTextInputBox box(window_, &printer_);
    box.Start();
    Type(box, c.typed);
    EXPECT_EQ(std::string(box.GetText()), c.text) << c.name;
    EXPECT_EQ(box.GetEnteredFlag(), c.entered) << c.name;
    EXPECT_EQ(box.GetChangedFlag(), 1) << c.name;
  }
}

TEST_F(TextInputBoxTest, OnlyWhileActive) {
  CTextInputBox box(window_, &printer_);
  box.PutChar('a');
  EXPECT_STREQ(box.GetText(), "");
  EXPECT_EQ(box.GetChangedFlag(), 0);
  box.Start();
  box.PutChar('a');
  box.Stop();
  box.PutChar('b');
  EXPECT_EQ(std::string(box.GetText()), kA);
  box.Clear();
  EXPECT_STREQ(box.GetText(), "");
  EXPECT_EQ(box.GetChangedFlag(), 0);
}

TEST_F(TextInputBoxTest, SetTextKeepsWholeCharacters) {
  CTextInputBox box(window_, &printer_);
  box.SetText(("abc" + kA + kB).c_str());  // 7 bytes of 8
  EXPECT_EQ(std::string(box.GetText()), "abc" + kA + kB);
  box.SetText(("abcde" + kA + kB).c_str());  // the second kanji would be cut
  EXPECT_EQ(std::string(box.GetText()), "abcde" + kA);
  box.SetText(nullptr);
  EXPECT_STREQ(box.GetText(), "");
  // Backspace steps back over a single-byte character by one byte.
  box.SetText(("ab" + kA + "c").c_str());
  box.Start();
  box.PutChar(8);
  EXPECT_EQ(std::string(box.GetText()), "ab" + kA);
  box.PutChar(8);
  EXPECT_EQ(std::string(box.GetText()), "ab");
  box.PutChar(8);
  EXPECT_EQ(std::string(box.GetText()), "a");
}

TEST_F(TextInputBoxTest, MaximumSetter) {
  CTextInputBox box(window_, &printer_);
  auto list = List({{"nMax", "10"}, {"sMax", "200"}});
  box.SetSetupList(list.get());
  box.SetText("x");
  box.LoadStyle("n", 1);
  EXPECT_EQ(box.GetCapacity(), 256);  // kept
  EXPECT_EQ(box.GetMaxBytes(1), 20);
  EXPECT_STREQ(box.GetText(), "x");
  box.LoadStyle("s", 2);
  EXPECT_EQ(box.GetCapacity(), 400);  // a new buffer of 401 bytes, empty
  EXPECT_EQ(box.GetMaxBytes(2), 400);
  EXPECT_STREQ(box.GetText(), "");
  EXPECT_EQ(box.GetStyle(), 2);

  EXPECT_EQ(box.SetMaxBytes(-5, 0), 1);
  EXPECT_EQ(box.GetMaxBytes(0), 0);
  box.SetStyle(0);
  box.Start();
  box.PutChar('a');
  EXPECT_STREQ(box.GetText(), "");
  // A maximum whose buffer cannot be made changes nothing.
  EXPECT_EQ(box.SetMaxBytes(0x7FFFFFFF, -1), 0);
  EXPECT_EQ(box.GetCapacity(), 400);
  EXPECT_EQ(box.GetMaxBytes(2), 400);
}

TEST_F(TextInputBoxTest, AlignmentsAndCursor) {
  CTextInputBox box(window_, &printer_);
  box.SetFontSize(20, -1);
  box.SetSpacing(5, -1);
  box.SetMaxBytes(16, -1);
  box.SetPrintXY(10, 20, -1);
  box.SetCursorOffset(1, 2, -1);
  box.SetText((kA + kB).c_str());
  struct Case {
    int align, textX;
  } cases[] = {{0, 10}, {1, 10 + 100 - 25}, {2, 10 + 25 * 6}, {7, 10}};
  for (const Case& c : cases) {
    box.SetAlignMode(c.align, -1);
    printer_.calls.clear();
    box.Print();
    ASSERT_EQ(printer_.calls.size(), 1u);
    EXPECT_EQ(printer_.calls[0].x, c.textX) << c.align;
    EXPECT_EQ(box.GetCursorXY(), (platform::Point{c.textX + 2 * 25 + 1, 22})) << c.align;
  }
  EXPECT_EQ(box.GetAlignedPrintXY(0, 3, "abcd", 8, 1), (platform::Point{75, 3}));
}

TEST_F(TextInputBoxTest, PrinterArgumentsAndBlink) {
  CTextInputBox box(window_, &printer_);
  box.SetPrintXY(4, 6, 1);
  box.SetStyle(1);
  box.SetTextColor(10, 20, -1, 1);
  box.SetFontSize(16, 1);
  box.SetSpacing(2, 1);
  box.SetBlink(2, 3, 1);
  box.SetCursorSize(2, 5, 1);
  box.SetCursorColor(200, -1, -1, 9, 1);
  box.Print();  // empty: no text, only the cursor
  EXPECT_TRUE(printer_.calls.empty());
  box.SetText(kA.c_str());
  std::vector<int> shown;
  for (int frame = 0; frame < 6; ++frame) {
    Clear(kBack);
    box.Print();
    shown.push_back(At(4 + 18, 6) == 0x00C8C8C8 ? 1 : 0);
  }
  // The empty box's frame counted 1; then 2, 3, 4, 0, 1, 2: on below 2.
  EXPECT_EQ(shown, (std::vector<int>{0, 0, 0, 1, 1, 0}));
  const PrintCall& call = printer_.calls.back();
  EXPECT_EQ(std::make_tuple(call.x, call.y, call.text, call.size, call.r, call.g, call.b),
            std::make_tuple(4, 6, kA, 16, 10, 20, 20));
  EXPECT_EQ(std::make_tuple(call.spacing, call.pitch, call.outline, call.last),
            std::make_tuple(2, -1, -1, 1));

  box.SetCursorMode(0, 1);
  Clear(kBack);
  for (int frame = 0; frame < 5; ++frame) box.Print();
  EXPECT_EQ(CountChanged(kBack), 0);
}

TEST_F(TextInputBoxTest, TypedTextThroughTheWindow) {
  auto& host = *host_;
  CTextInputBox box(window_, &printer_);
  box.SetMaxBytes(40, -1);
  box.SetImeFlags(1, 1);
  host.InjectText("before");  // text input is off: nobody sees it
  Pump(box);
  EXPECT_FALSE(window_->IsTextInputOn());
  box.Start();
  EXPECT_TRUE(window_->IsTextInputOn());
  std::vector<platform::Point> points;
  for (const char* utf8 : {"かな", "漢字", "Ab", "\xF0\x9F\x98\x80", "ｶ"}) {
    host.InjectText(utf8);
    Pump(box);
    points.push_back(window_->GetCompositionPoint());
  }
  EXPECT_EQ(std::string(box.GetText()),
            "\x82\xA9\x82\xC8\x8A\xBF\x8E\x9A\x82\x60\x82\x82\x83\x4A");
  // The point follows the cursor (pitch 25) after each change.
  EXPECT_EQ(points, (std::vector<platform::Point>{{50, 0}, {100, 0}, {150, 0}, {150, 0}, {175, 0}}));
  EXPECT_EQ(window_->GetCompositionHeight(), 24);
  box.Stop();
  EXPECT_FALSE(window_->IsTextInputOn());
}

// The close flag governs CloseIme alone: the end of the entry (Stop) ends
// text input whatever the flags say.
TEST_F(TextInputBoxTest, ImeFlags) {
  struct Case {
    int open, close;
    bool onAfterCloseIme;
  } cases[] = {{1, 1, false}, {0, 1, false}, {1, 0, true}, {0, 0, true}};
  for (const Case& c : cases) {
    window_->StopTextInput();
    CTextInputBox box(window_, &printer_);
    box.SetImeFlags(c.open, c.close);
    box.Start();  // on even without the open flag: nothing is typed otherwise
    EXPECT_TRUE(window_->IsTextInputOn()) << c.open << c.close;
    box.CloseIme();
    EXPECT_EQ(window_->IsTextInputOn(), c.onAfterCloseIme) << c.open << c.close;
    box.Start();
    box.Stop();
    EXPECT_FALSE(window_->IsTextInputOn()) << c.open << c.close;
  }
}

}  // namespace
}  // namespace widget_test
