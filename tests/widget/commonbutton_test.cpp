// One picture button: its step, triggers, hit test, animation and drawing.
#include "widget/commonbutton.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/types.h"
#include "widget/buttoncode.h"
#include "widget_fixture.h"

namespace widget_test {
namespace {

using Action = std::function<void()>;

class ButtonTest : public WidgetTest {
 protected:
  // A button at (10, 8), 8 x 6, hit by its rectangle (print mode 0).
  std::unique_ptr<CCommonButton> Make(std::initializer_list<std::pair<const char*, const char*>> extra = {}) {
    // The first pair of a key wins: the extra keys go first.
    list_ = std::make_unique<CNameList>(0);
    for (const auto& [key, value] : extra) {
      list_->Add(key, true);
      list_->Add(value, true);
    }
    for (const char* token : {"bPrintX", "10", "bPrintY", "8", "bSizeX", "8", "bSizeY", "6", "bPrintMode", "0"})
      list_->Add(token, true);
    return std::make_unique<CCommonButton>(list_.get(), "b", nullptr);
  }
  // Runs one frame: the action, the step, the frame's end.
  int32_t Step(CCommonButton& button, const Action& action = {}) {
    if (action) action();
    const int32_t code = button.Calcu(&input_);
    NextFrame();
    return code;
  }
  Action Inside() {
    return [this] { MoveTo(12, 10); };
  }
  Action Outside() {
    return [this] { MoveTo(40, 40); };
  }
  Action ClickInside() {
    return [this] {
      MoveTo(12, 10);
      Click();
    };
  }

  std::unique_ptr<CNameList> list_;
};

int32_t Code(int32_t kind, int sound = 0, int number = -1, int volumeType = -1) {
  return MakeButtonCode(kind, sound, -1, number, volumeType);
}

TEST_F(ButtonTest, DefaultClickTimeDecidesOnTheEighthFrameUntilInit) {
  auto b = Make({{"bClickSound", "4"}, {"bVolumeType", "2"}});
  EXPECT_EQ(Step(*b, Inside()), Code(buttoncode::kEntered, 0, -1, 2));
  EXPECT_EQ(Step(*b, ClickInside()), Code(buttoncode::kPressed, 4, -1, 2));
  for (int i = 1; i < 8; ++i) EXPECT_EQ(Step(*b, Outside()), Code(buttoncode::kBusy)) << i;
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Step(*b), Code(buttoncode::kDecided, 0, 0)) << i;
  EXPECT_EQ(b->GetState(), CCommonButton::kClicked);
  b->Init();
  EXPECT_EQ(Step(*b, Inside()), Code(buttoncode::kEntered, 0, -1, 2));
}

TEST_F(ButtonTest, ClickTimeZeroOrLessDecidesAtOnce) {
  for (const char* time : {"0", "-3"}) {
    auto b = Make({{"bClickTime", time}, {"bClickSound", "4"}});
    b->SetButtonNumber(5);
    EXPECT_EQ(Step(*b, ClickInside()), Code(buttoncode::kDecided, 4, 5, 0)) << time;
    EXPECT_EQ(Step(*b), Code(buttoncode::kDecided, 0, 5)) << time;
  }
}

TEST_F(ButtonTest, EnterAndLeaveSoundsWithAndWithoutWaits) {
  struct Case {
    const char* what;
    const char* enterWait;
    const char* exitWait;
    std::vector<std::string> path;  // "in" or "out" per frame
    std::vector<int32_t> codes;
  };
  const int32_t none = buttoncode::kNothing;
  const Case cases[] = {
      {"no waits", "0", "0", {"in", "in", "out", "out"},
       {Code(buttoncode::kEntered, 5, -1, 0), none, Code(buttoncode::kLeft, 6, -1, 0), none}},
      {"enter wait 3", "3", "0", {"in", "in", "in", "in", "in"},
       {Code(buttoncode::kEntered, 0, -1, 0), none, none, Code(buttoncode::kSoundOnly, 5, -1, 0), none}},
      {"leaving before the enter sound", "3", "0", {"in", "in", "out", "in", "in"},
       {Code(buttoncode::kEntered, 0, -1, 0), none, Code(buttoncode::kLeft, 6, -1, 0),
        Code(buttoncode::kEntered, 0, -1, 0), none}},
      {"exit wait 2", "0", "2", {"in", "out", "out", "out", "out"},
       {Code(buttoncode::kEntered, 5, -1, 0), Code(buttoncode::kLeft, 0, -1, 0), none,
        Code(buttoncode::kSoundOnly, 6, -1, 0), none}},
  };
  for (const Case& c : cases) {
    auto b = Make({{"bEnterSound", "5"}, {"bExitSound", "6"}, {"bEnterWait", c.enterWait},
                   {"bExitWait", c.exitWait}});
    for (size_t i = 0; i < c.path.size(); ++i)
      EXPECT_EQ(Step(*b, c.path[i] == "in" ? Inside() : Outside()), c.codes[i]) << c.what << " frame " << i;
  }
}

TEST_F(ButtonTest, DisabledButtonAnswersClicks) {
  struct Case {
    const char* what;
    int block;
    const char* badSound;
    int32_t code;
  };
  const Case cases[] = {
      {"bad sound", 0, "7", Code(buttoncode::kSoundOnly, 7, -1, 0)},
      {"no bad sound", 0, "0", buttoncode::kNothing},
      {"blocked", 1, "7", Code(buttoncode::kBusy)},
  };
  for (const Case& c : cases) {
    auto b = Make({{"bBadSound", c.badSound}});
    b->SetBlockWhenDisabled(c.block);
    b->SetEnable(0);
    EXPECT_EQ(b->GetState(), CCommonButton::kDisabled);
    EXPECT_EQ(Step(*b, Inside()), buttoncode::kNothing) << c.what;
    EXPECT_EQ(Step(*b, ClickInside()), c.code) << c.what;
    EXPECT_EQ(b->GetState(), CCommonButton::kDisabled) << c.what;
  }
}

TEST_F(ButtonTest, EnabledAgainStaysInertUntilInitOrAnIdleStep) {
  for (bool viaInit : {true, false}) {
    auto b = Make({{"bEnterSound", "5"}});
    b->SetEnable(0);
    b->SetEnable(1);
    EXPECT_EQ(Step(*b, Inside()), buttoncode::kNothing);
    EXPECT_EQ(Step(*b, Inside()), buttoncode::kNothing);
    // A click does not start it either.
    EXPECT_EQ(Step(*b, ClickInside()), buttoncode::kNothing);
    EXPECT_EQ(b->GetState(), CCommonButton::kDisabled);
    if (viaInit)
      b->Init();
    else
      EXPECT_EQ(b->Calcu(nullptr), buttoncode::kNothing);
    EXPECT_EQ(b->GetState(), CCommonButton::kNormal);
    EXPECT_EQ(Step(*b, Inside()), Code(buttoncode::kEntered, 5, -1, 0));
  }
}

TEST_F(ButtonTest, TriggersInOrder) {
  struct Case {
    const char* what;
    int cancel, up, down, reverse, key;
    Action action;
    int fires;
  };
  const Case cases[] = {
      {"right click, cancel button", 1, 0, 0, 0, -1, [this] { MoveTo(40, 40); Click(1); }, 1},
      {"right click, plain button", 0, 0, 0, 0, -1, [this] { MoveTo(12, 10); Click(1); }, 0},
      {"wheel up, up button", 0, 1, 0, 0, -1, [this] { mouse_.SetWheel(1); }, 1},
      {"wheel down, up button", 0, 1, 0, 0, -1, [this] { mouse_.SetWheel(-1); }, 0},
      {"wheel down, down button", 0, 0, 1, 0, -1, [this] { mouse_.SetWheel(-1); }, 1},
      {"wheel down reversed, up button", 0, 1, 0, 1, -1, [this] { mouse_.SetWheel(-1); }, 1},
      {"wheel up reversed, up button", 0, 1, 0, 1, -1, [this] { mouse_.SetWheel(1); }, 0},
      {"left click inside", 0, 0, 0, 0, -1, [this] { MoveTo(17, 13); Click(); }, 1},
      {"left click just outside", 0, 0, 0, 0, -1, [this] { MoveTo(18, 13); Click(); }, 0},
      {"held without a click", 0, 0, 0, 0, -1, [this] { MoveTo(12, 10); mouse_.SetTrig(0, 1); }, 0},
      {"accelerator held", 0, 0, 0, 0, 'A', [this] { keys_.SetKey('A', 1); }, 1},
      {"accelerator released", 0, 0, 0, 0, 'A', [this] { keys_.SetKey('A', 1); keys_.SetKey('A', 0); }, 0},
      {"key 0 never", 0, 0, 0, 0, 0, [this] { keys_.SetKey(0, 1); }, 0},
      {"key -1 never", 0, 0, 0, 0, -1, [this] { keys_.SetKey(255, 1); }, 0},
  };
  for (const Case& c : cases) {
    auto b = Make();
    b->SetCancelButton(c.cancel);
    b->SetUpButton(c.up);
    b->SetDownButton(c.down);
    b->SetUpDownReverse(c.reverse);
    b->SetAccelKey(c.key, 1);
    c.action();
    EXPECT_EQ(b->CheckTrigger(&input_), c.fires) << c.what;
    NextFrame();
  }
  auto b = Make();
  b->SetCancelButton(1);
  CInputStatus noMouse;
  EXPECT_EQ(b->CheckTrigger(&noMouse), 0);
  EXPECT_EQ(b->CheckTrigger(nullptr), 0);
}

TEST_F(ButtonTest, HitTestByRectangleMaskAndColourKey) {
  // 8 x 6 frames; the mask is clear in column 0, the keyed picture shows
  // its (0, 0) colour in row 0.
  CPicture* masked = Load("sys\\m", Pixels(32, 6, [](int x, int y) { return 0x100000u + x * 256 + y; },
                                         [](int x, int) { return uint8_t(x == 0 ? 0 : 255); }),
                          true);
  CPicture* keyed = Load("sys\\k", Pixels(32, 6, [](int x, int y) { return y == 0 ? 0x00FF00u : 0x100000u + x; }),
                         false);
  struct Case {
    const char* what;
    int printMode;
    CPicture* picture;
    int x, y, hit;
  };
  const Case cases[] = {
      {"top-left corner", 0, nullptr, 10, 8, 1},   {"bottom-right corner", 0, nullptr, 17, 13, 1},
      {"right edge", 0, nullptr, 18, 10, 0},        {"bottom edge", 0, nullptr, 12, 14, 0},
      {"left of it", 0, nullptr, 9, 10, 0},         {"above it", 0, nullptr, 12, 7, 0},
      {"no picture", 2, nullptr, 12, 10, 0},        {"mask set", 2, masked, 12, 10, 1},
      {"mask clear", 1, masked, 10, 10, 0},         {"key colour", 2, keyed, 12, 8, 0},
      {"other colour", 2, keyed, 12, 9, 1},
  };
  for (const Case& c : cases) {
    auto b = Make();
    b->SetPrintMode(c.printMode);
    b->SetPicture(c.picture);
    EXPECT_EQ(b->CheckHitPoint(c.x, c.y), c.hit) << c.what;
  }
  // The hit rectangle moves with its offset and size; the pixel test looks
  // at the check origin.
  auto b = Make();
  b->SetPrintMode(2);
  b->SetPicture(masked);
  b->SetCheckDelta(4, 2);
  b->SetCheckSize(2, 2);
  b->SetCheckPic(1, 0);
  EXPECT_EQ(b->CheckHitPoint(14, 10), 1);
  EXPECT_EQ(b->CheckHitPoint(13, 10), 0);
  EXPECT_EQ(b->CheckHitPoint(16, 10), 0);
  b->SetCheckPic(-1, 0);
  EXPECT_EQ(b->CheckHitPoint(15, 10), 0) << "check origin on the clear column";
  MoveTo(14, 11);
  b->SetCheckPic(1, 0);
  EXPECT_EQ(b->CheckHitMouse(&input_), 1);
}

TEST_F(ButtonTest, FramesPastTheEdgeContinueInTheNextColumnOrRow) {
  // A picture of two frame rows (12 pixels high; 8 x 6 frames).
  CPicture* picture = Load("sys\\f", Pixels(32, 12, [](int x, int y) { return 0x100000u + x * 256 + y; }), false);
  auto b = Make();
  b->SetPicture(picture);
  struct Case {
    int tateYoko, frame;
    platform::Point at;
  };
  const Case cases[] = {
      {0, 0, {0, 0}}, {0, 1, {0, 6}}, {0, 2, {8, 0}}, {0, 3, {8, 6}}, {0, 4, {16, 0}},
      {1, 0, {0, 0}}, {1, 3, {24, 0}}, {1, 4, {0, 6}}, {1, 5, {8, 6}},
  };
  for (const Case& c : cases) {
    b->SetTateYoko(c.tateYoko);
    b->SetPicSrc(0, 0, 0);
    EXPECT_EQ(b->GetFrameSource(0, c.frame), c.at) << c.tateYoko << " frame " << c.frame;
  }
  // A frame only partly past the bottom goes to the next column's top
  // rather than above the picture.
  CPicture* tall = Load("sys\\t", Pixels(32, 15, [](int, int) { return 0x202020u; }), false);
  b->SetPicture(tall);
  b->SetTateYoko(0);
  EXPECT_EQ(b->GetFrameSource(0, 2), (platform::Point{8, 0}));
  EXPECT_EQ(b->GetFrameSource(4, 0), (platform::Point{0, 0}));
}

class ButtonDrawTest : public ButtonTest {
 protected:
  static uint32_t Colour(int x, int y) { return 0x400000u + static_cast<uint32_t>(x) * 256 + y; }
  void SetUp() override {
    ButtonTest::SetUp();
    // Four looks side by side, two frames each downwards; (0, 0) is the key.
    keyed_ = Load("sys\\d", Pixels(32, 12, Colour), false);
    masked_ = Load("sys\\dm", Pixels(32, 12, Colour), true);
    Clear(kBack);
  }
  static constexpr uint32_t kBack = 0x00000010u;
  CPicture* keyed_ = nullptr;
  CPicture* masked_ = nullptr;
};

TEST_F(ButtonDrawTest, DrawChosenByPercentAndPrintMode) {
  auto b = Make({{"bAnimePattern1", "2"}, {"bAnimeSpeed1", "2"}});
  b->SetPicture(keyed_);
  // Print mode 0 copies the key pixel too; mode 1 leaves it out.
  b->SetPrintMode(0);
  b->Print();
  EXPECT_EQ(At(10, 8), Colour(0, 0));
  EXPECT_EQ(At(17, 13), Colour(7, 5));
  EXPECT_EQ(DrawnRect(kBack), (std::vector<int>{10, 8, 18, 14}));
  Clear(kBack);
  b->SetPrintMode(1);
  b->Print();  // second tick of frame 0
  EXPECT_EQ(At(10, 8), kBack);
  EXPECT_EQ(At(11, 8), Colour(1, 0));
  b->Print();  // frame 1 lies below frame 0
  EXPECT_EQ(At(11, 8), Colour(1, 6));
  EXPECT_EQ(b->GetAnimeCounter(0), 3);

  // Cross-fading type at half way: mode 2 blends the two frames, mode 1
  // shows the current one.
  b->SetPicture(masked_);
  b->SetAnimeType(0, 5);
  b->ResetAnime();
  b->AddAnime(1);
  b->SetPrintMode(1);
  b->Print();
  EXPECT_EQ(At(12, 9), Colour(2, 1));
  b->ResetAnime();
  b->AddAnime(1);
  b->SetPrintMode(2);
  Clear(kBack);
  b->Print();
  EXPECT_EQ(b->GetAnimeFrame().percent, 50);
  const uint32_t blended = At(12, 9);
  EXPECT_NE(blended, Colour(2, 1));
  EXPECT_NE(blended, Colour(2, 7));
  EXPECT_EQ(blended & 0xFF0000u, 0x400000u);
  EXPECT_GT(blended & 0xFFu, 1u);
  EXPECT_LT(blended & 0xFFu, 7u);
  // A keyed picture cannot cross-fade: it shows the current frame.
  b->SetPicture(keyed_);
  b->ResetAnime();
  b->AddAnime(1);
  b->Print();
  EXPECT_EQ(At(12, 9), Colour(2, 1));
}

TEST_F(ButtonDrawTest, BackPictureDirtyRectangleAndNoPicture) {
  CPicture* back = Load("sys\\back", Pixels(64, 48, [](int x, int y) { return 0x00800000u + x * 256 + y; }), false);
  auto b = Make();
  b->SetPrintMode(1);
  b->SetBackPicture(back);
  CScreenBuffer::ClearDirtyRects();
  b->Print();
  EXPECT_EQ(CScreenBuffer::GetDirtyRectCount(), 0) << "no picture, no draw";
  EXPECT_EQ(DrawnRect(kBack), (std::vector<int>{0, 0, 0, 0}));
  b->SetPicture(keyed_);
  b->Print();
  EXPECT_EQ(At(10, 8), 0x00800000u + 10 * 256 + 8) << "the back picture under the key pixel";
  EXPECT_EQ(At(11, 8), Colour(1, 0));
  EXPECT_EQ(DrawnRect(kBack), (std::vector<int>{10, 8, 18, 14}));
  ASSERT_EQ(CScreenBuffer::GetDirtyRectCount(), 1);
  int x, y, w, h;
  CScreenBuffer::GetDirtyRect(0, &x, &y, &w, &h);
  EXPECT_EQ((std::vector<int>{x, y, w, h}), (std::vector<int>{10, 8, 8, 6}));
}

TEST_F(ButtonDrawTest, AppearingDrawsAtZeroAndHundred) {
  struct Case {
    const char* what;
    std::function<void(CCommonButton&, int)> draw;
    std::vector<int> at0, at100, at50;
  };
  const std::vector<int> none{0, 0, 0, 0}, whole{10, 8, 18, 14};
  const Case cases[] = {
      {"zoom", [](CCommonButton& b, int p) { b.PrintZoom(p, p, 0, 0, 100); }, none, whole, {12, 10, 16, 12}},
      {"shift", [](CCommonButton& b, int p) { b.PrintShift(p / 10, 0, 100); }, whole, {20, 8, 28, 14}, {15, 8, 23, 14}},
      {"from right", [](CCommonButton& b, int p) { b.PrintSlideFromRight(p); }, none, whole, {14, 8, 18, 14}},
      {"from left", [](CCommonButton& b, int p) { b.PrintSlideFromLeft(p); }, none, whole, {10, 8, 14, 14}},
      {"from top", [](CCommonButton& b, int p) { b.PrintSlideFromTop(p); }, none, whole, {10, 8, 18, 11}},
      {"from bottom", [](CCommonButton& b, int p) { b.PrintSlideFromBottom(p); }, none, whole, {10, 11, 18, 14}},
      {"open y", [](CCommonButton& b, int p) { b.PrintOpenFromCentreY(p); }, none, whole, {10, 9, 18, 13}},
      {"open x", [](CCommonButton& b, int p) { b.PrintOpenFromCentreX(p); }, none, whole, {12, 8, 16, 14}},
  };
  for (const Case& c : cases) {
    auto b = Make({{"bAnimePattern1", "2"}});
    b->SetPicture(keyed_);
    b->SetPrintMode(0);
    const std::pair<int, const std::vector<int>*> steps[] = {{0, &c.at0}, {100, &c.at100}, {50, &c.at50}};
    for (const auto& [percent, expected] : steps) {
      Clear(0x00FF00FFu);
      b->AddAnime(1);
      c.draw(*b, percent);
      // The key pixel is transparent in these draws, so look from pixel 1.
      std::vector<int> drawn = DrawnRect(0x00FF00FFu);
      EXPECT_EQ(drawn, *expected) << c.what << " at " << percent;
      EXPECT_EQ(b->GetAnimeCounter(0), 0) << c.what;
    }
  }
  // The slide from the left shows the frame's right part; from the top its
  // lower part.
  auto b = Make();
  b->SetPicture(keyed_);
  Clear(kBack);
  b->PrintSlideFromLeft(50);
  EXPECT_EQ(At(10, 9), Colour(4, 1));
  Clear(kBack);
  b->PrintSlideFromTop(50);
  EXPECT_EQ(At(11, 8), Colour(1, 3));
  Clear(kBack);
  b->SetPicture(masked_);
  b->PrintShift(0, 0, 0);
  EXPECT_EQ(DrawnRect(kBack), none) << "a shift at 0 percent blends nothing in";
}

TEST_F(ButtonTest, AcceleratorIndexOutsideTheButton) {
  auto b = Make();
  b->SetAccelKey(65, 3);
  b->SetAccelKey(65, -1);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(b->GetAccelKey(i), 0) << "absent keys read as 0";
  EXPECT_EQ(b->GetAccelKey(3), -1);
  EXPECT_EQ(b->GetAccelKey(-1), -1);
  b->SetAnimePattern(7, 3);
  EXPECT_EQ(b->GetAnimeCounter(9), 0);
}

}  // namespace
}  // namespace widget_test
