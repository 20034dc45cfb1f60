// Mode 23, the picture viewer: tiles and their size, the scroll over time,
// the drag, stepping through the seen pictures, voices and the backgrounds
// of "ta" pictures.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gallery_fixture.h"
#include "mode/printcg.h"

namespace startup_test {
namespace {

constexpr uint32_t kLeft = 0x402000, kRight = 0x004020, kSmall = 0x303030, kTa = 0x00C0C0;

class PrintCGTest : public GalleryTest {
 protected:
  void SetUp() override {
    GalleryTest::SetUp();
    // A 1200 x 600 picture of two tiles, and a small one.
    testsupport::WriteDwq(*dir_, "wi/wide", 600, 600, kLeft);
    testsupport::WriteDwq(*dir_, "wi/wide_2", 600, 600, kRight);
    testsupport::WriteDwq(*dir_, "sm/small", 400, 300, kSmall);
    // A "ta" picture: its left half transparent.
    dwqtool::Picture ta{200, 100, std::vector<uint32_t>(200 * 100, kTa), std::vector<uint8_t>(200 * 100, 255)};
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 100; ++x) ta.alpha[static_cast<size_t>(y * 200 + x)] = 0;
    testsupport::WriteDwq(*dir_, "ta/tachara", ta);
    testsupport::WriteDwq(*dir_, "bg/bg_one", 800, 600, 0x112233);
    testsupport::WriteDwq(*dir_, "bg/bg_chara1", 800, 600, 0x445566);
  }
  CCommonPrintCG* Enter(const std::vector<std::string>& names, const std::vector<std::pair<int, int>>& seen,
                        int cg = 0) {
    WriteCGList(0, names);
    CCommonPrintCG* viewer = EnterWithLists<CCommonPrintCG>(1, seen, 0, cg);
    return viewer;
  }
  // Wide tiles: "→" (to the right, from the left edge) with two tiles, 20
  // frames of movement after 5 of wait.
  const std::string kWide = "[→2:20_5]wide";
};

TEST(ScrollOffsetTest, FromEitherEndOverTheTime) {
  struct Case {
    int timer, time, direction, offset;
  } const cases[] = {
      {25, 20, 0, 400}, {20, 20, 0, 400}, {10, 20, 0, 200}, {0, 20, 0, 0},
      {25, 20, 1, 0},   {10, 20, 1, 200}, {0, 20, 1, 400},  {5, 0, 0, 400},  // a time of 0 counts as 1
  };
  for (const Case& c : cases)
    EXPECT_EQ(CCommonPrintCG::ScrollOffset(1200, 800, c.timer, c.time, c.direction), c.offset) << c.timer;
  EXPECT_EQ(CCommonPrintCG::ScrollOffset(400, 800, 10, 20, 0), 0) << "a small picture";
}

TEST_F(PrintCGTest, SmallPictureNeverScrollsAndDrawsOnlyOnAFullRedraw) {
  CCommonPrintCG* viewer = Enter({"small"}, {{0, 0}});
  EXPECT_FALSE(viewer->IsScrolling());
  Game().RunFrame();
  EXPECT_EQ(Pixel(100, 100), kSmall);
  CAllGraphics::FillScreen(1, 2, 3);
  Game().RunFrames(3);
  EXPECT_EQ(Pixel(100, 100), 0x010203u);
  EXPECT_EQ(viewer->GetOffsetX(), 0);
}

TEST_F(PrintCGTest, TiledPictureScrollsAfterItsWaitToTheOtherEnd) {
  CCommonPrintCG* viewer = Enter({kWide}, {{0, 0}});
  EXPECT_EQ(viewer->GetTilesX(), 2);
  EXPECT_EQ(viewer->GetPictureWidth(), 1200);
  EXPECT_EQ(viewer->GetPictureHeight(), 600);
  EXPECT_TRUE(viewer->IsScrolling());
  Game().RunFrames(5);
  EXPECT_EQ(viewer->GetOffsetX(), 0) << "still waiting";
  Game().RunFrames(10);
  EXPECT_EQ(viewer->GetOffsetX(), 200);
  EXPECT_EQ(Pixel(300, 10), kLeft);
  EXPECT_EQ(Pixel(500, 10), kRight);
  Game().RunFrames(10);
  EXPECT_EQ(viewer->GetOffsetX(), 400);
  EXPECT_FALSE(viewer->IsScrolling());
  EXPECT_EQ(Pixel(199, 10), kLeft);
  EXPECT_EQ(Pixel(200, 10), kRight);

  // The settings' direction 0 starts at the far end.
  game_.reset();
  WriteList("PrintCG", {{"scrollTimeX", "10"}, {"scrollWaitX", "0"}});
  CCommonPrintCG* again = Enter({"[←2]wide"}, {{0, 0}});
  EXPECT_EQ(again->GetOffsetX(), 400);
  Game().RunFrames(5);
  EXPECT_EQ(again->GetOffsetX(), 200);
}

TEST_F(PrintCGTest, EnterFadeCapturesThePictureAtItsStartingEnd) {
  // From the far end (offset 400): screen x 100 shows picture x 500 (left
  // tile), x 300 picture x 700 (right tile).
  WriteList("PrintCG", {{"enterFadeInType", "-1"}, {"enterFadeInTime", "10"}, {"enterFadeInColorR", "16"},
                         {"enterFadeInColorG", "32"}, {"enterFadeInColorB", "48"}});
  Enter({"[←2]wide"}, {{0, 0}});
  EXPECT_EQ(Pixel(100, 10), kLeft);
  EXPECT_EQ(Pixel(300, 10), kRight);
  // The start picture holds the fade's colour, as in every mode: the frame
  // a load would put first is where the fade starts.
  CPicture* start = Game().GetBufferPicture(0);
  ASSERT_NE(start, nullptr);
  ASSERT_NE(start->GetPixelBuffer(), nullptr);
  EXPECT_EQ(start->GetPixelBuffer()[0] & 0xFFFFFFu, 0x102030u);
}

TEST_F(PrintCGTest, CtrlClickFreezesTheScrollAndTheDragStaysInsideThePicture) {
  CCommonPrintCG* viewer = Enter({kWide}, {{0, 0}});
  Game().RunFrames(15);
  ASSERT_EQ(viewer->GetOffsetX(), 200);
  host_->InjectKey(CCommonPrintCG::kControlKey, true);
  MoveTo(400, 300);
  host_->InjectButton(0, true);
  Game().RunFrame();
  EXPECT_FALSE(viewer->IsScrolling());
  EXPECT_EQ(viewer->GetOffsetX(), 200) << "frozen where it was";
  MoveTo(300, 250);
  Game().RunFrame();
  EXPECT_EQ(viewer->GetOffsetX(), 300);
  EXPECT_EQ(viewer->GetOffsetY(), 0) << "no room to move vertically";
  MoveTo(0, 250);
  Game().RunFrame();
  EXPECT_EQ(viewer->GetOffsetX(), 400) << "held at the right end";
  MoveTo(790, 250);
  Game().RunFrame();
  EXPECT_EQ(viewer->GetOffsetX(), 0) << "held at the left end";
  host_->InjectButton(0, false);
  Game().RunFrame();
  MoveTo(100, 250);
  Game().RunFrames(3);
  EXPECT_EQ(viewer->GetOffsetX(), 0) << "released";
  EXPECT_TRUE(Game().ModeRequests().empty());

  // After its scroll, with another seen picture, Ctrl + click still takes
  // the picture in hand rather than stepping to the other one.
  game_.reset();
  CCommonPrintCG* still = Enter({kWide, "small"}, {{0, 0}, {0, 1}});
  Game().RunFrames(30);
  ASSERT_FALSE(still->IsScrolling());
  ASSERT_EQ(still->GetOffsetX(), 400);
  host_->InjectKey(CCommonPrintCG::kControlKey, true);
  MoveTo(400, 300);
  host_->InjectButton(0, true);
  Game().RunFrame();
  MoveTo(500, 300);
  Game().RunFrame();
  EXPECT_EQ(Game().GetCGList()->GetCurrentCG(), 0);
  EXPECT_EQ(still->GetOffsetX(), 300);
  host_->InjectButton(0, false);
  host_->InjectKey(CCommonPrintCG::kControlKey, false);
}

TEST_F(PrintCGTest, WheelClickAndMiddleButtonStepThroughTheSeenPictures) {
  CCommonPrintCG* viewer = Enter({"small", "wide", kWide}, {{0, 0}, {0, 2}});
  CCGList* list = Game().GetCGList();
  host_->InjectWheel(-120);
  Game().RunFrame();
  EXPECT_EQ(list->GetCurrentCG(), 2);
  EXPECT_EQ(viewer->GetTilesX(), 2);
  EXPECT_TRUE(Called("PlaySystemSe 2 0"));
  host_->InjectWheel(120);
  Game().RunFrame();
  EXPECT_EQ(list->GetCurrentCG(), 0);
  Click(10, 10);
  Game().RunFrame();
  EXPECT_EQ(list->GetCurrentCG(), 2);
  host_->InjectButton(2, true);
  Game().RunFrame();
  EXPECT_EQ(list->GetCurrentCG(), 0);
  host_->InjectButton(2, false);
  Game().RunFrame();

  // One seen picture: nothing moves, nothing sounds.
  game_.reset();
  Enter({"small", "wide"}, {{0, 0}});
  Game().ClearCalls();
  host_->InjectWheel(-120);
  Game().RunFrame();
  Click(10, 10);
  Game().RunFrame();
  EXPECT_EQ(Game().GetCGList()->GetCurrentCG(), 0);
  EXPECT_EQ(CountCalls("PlaySystemSe"), 0);
}

TEST_F(PrintCGTest, VoiceAfterItsWaitAndADashSilences) {
  dir_->Write("spt/cgVoice.xtx", "1,1,v_first,1,2,-,\r\n");
  CCommonPrintCG* viewer = Enter({"small", "wide"}, {{0, 0}, {0, 1}});
  EXPECT_EQ(viewer->GetVoiceName(), "v_first");
  Game().RunFrames(9);
  EXPECT_EQ(CountCalls("PlayVoice"), 0);
  Game().RunFrame();
  EXPECT_TRUE(Called("PlayVoice v_first"));
  Game().RunFrames(5);
  EXPECT_EQ(CountCalls("PlayVoice"), 1) << "once";
  host_->InjectWheel(-120);
  Game().RunFrames(12);
  EXPECT_EQ(viewer->GetVoiceName(), "-");
  EXPECT_EQ(CountCalls("PlayVoice"), 1) << "a dash stops the sound instead";
}

TEST_F(PrintCGTest, RightClickReturnsToTheModeHeldInTheParameter) {
  CCommonPrintCG* viewer = Enter({"small"}, {{0, 0}});
  EXPECT_EQ(viewer->GetParameter(), 17) << "\"backMode\" by default";
  viewer->SetParameter(15);  // opened by mode 15
  host_->InjectButton(1, true);
  host_->InjectButton(1, false);
  Game().RunFrames(2);
  EXPECT_EQ(Game().ModeRequests(), (std::vector<int>{15}));
}

TEST_F(PrintCGTest, TaPicturesOverColourOrBackground) {
  struct Case {
    Pairs list;
    uint32_t behind;
  } const cases[] = {
      {{{"taBGColorR", "255"}, {"taBGColorG", "0"}, {"taBGColorB", "0"}}, 0xFF0000},
      {{{"taBGFlag", "1"}, {"taBGFileName", "bg_one"}}, 0x112233},
      {{{"taBGFlag", "2"}, {"taBGCharaFileName1", "bg_chara1"}}, 0x445566},
  };
  for (const Case& c : cases) {
    game_.reset();
    WriteList("PrintCG", c.list);
    Enter({"tachara"}, {{0, 0}});
    CAllGraphics::FillScreen(1, 2, 3);
    Game().RunFrame();
    EXPECT_EQ(Pixel(50, 50), c.behind);
    EXPECT_EQ(Pixel(150, 50), kTa);
    EXPECT_EQ(Pixel(500, 500), c.behind);
  }
}

TEST_F(PrintCGTest, TileCountsHeldToTheEffectPicturesAndMissingPicturesReadSafely) {
  CCommonPrintCG* viewer = Enter({"[→20↓20]wide", "x", "[↓0]small"}, {{0, 0}, {0, 1}, {0, 2}});
  EXPECT_EQ(viewer->GetTilesX(), 16);
  EXPECT_EQ(viewer->GetTilesY(), 1);
  Game().RunFrames(2);
  host_->InjectWheel(-120);
  Game().RunFrames(2);
  EXPECT_EQ(viewer->GetPictureWidth(), 0) << "a name too short for its folder";
  EXPECT_FALSE(viewer->IsScrolling());
  host_->InjectWheel(-120);
  Game().RunFrames(2);
  EXPECT_EQ(viewer->GetTilesY(), 1) << "a count of 0 counts as 1";
  // A current picture outside the list is the first.
  Game().GetCGList()->SetCurrentCG(40);
  Game().EnterMode(CCommonPrintCG::kModeNumber);
  EXPECT_EQ(Game().GetCGList()->GetCurrentCG(), 0);
}

}  // namespace
}  // namespace startup_test
