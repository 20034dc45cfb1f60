// The place selection on the test double: the character animation, which
// places are shown and enabled, the choice and leaving without one, keys
// with the pointer, auto pictures, button holders and the characters drawn.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/inputstatus.h"
#include "graphics/picture.h"
#include "graphics/systempicture.h"
#include "mode/selectplace.h"
#include "platform/types.h"
#include "selectscreens_fixture.h"
#include "widget/buttoncode.h"
#include "widget/buttongroup.h"
#include "widget/commonbutton.h"

namespace selectscreens_test {
namespace {

using selectplace::AnimeFrameAt;
using selectplace::StepAnimeCounter;

constexpr int kVK_RETURN = 0x0D, kVK_DOWN = 0x28, kVK_UP = 0x26;
constexpr int kResultVar = 10, kOnButtonVar = 11;
constexpr int kAppear1 = 20, kAppear2 = 21, kAppear3 = 22;
constexpr int kChara1 = 30, kChara2 = 31, kChara3 = 32;
constexpr int kSelect2 = 40;

// Counters a run of frames reaches from 0.
int CounterAfter(int frames, int p, int s, int t) {
  int c = 0;
  for (int i = 0; i < frames; ++i) c = StepAnimeCounter(c, p, s, t);
  return c;
}

TEST(SelectPlaceAnime, CountersPatternsAndBlends) {
  // Type 2 with 4 patterns at speed 5 rests on the last pattern at 15.
  EXPECT_EQ(CounterAfter(40, 4, 5, 2), 15);
  EXPECT_EQ(AnimeFrameAt(15, 4, 5, 2).pattern, 3);
  // Type 4 (back and forth, stopping) rests at L = 6 * 5.
  EXPECT_EQ(CounterAfter(100, 4, 5, 4), 30);
  // Type 1 wraps.
  EXPECT_EQ(CounterAfter(21, 4, 5, 1), 1);
  struct Case {
    int counter, p, s, t;
    int pattern, next, percent;
  };
  const std::vector<Case> cases = {
      {0, 4, 5, 1, 0, 1, 100},   {19, 4, 5, 1, 3, 0, 100},  // wraps to 0 for next
      {4, 4, 1, 3, 2, 1, 100},   {20, 4, 5, 3, 2, 1, 100},  // v >= P folds back
      {25, 4, 5, 3, 1, 0, 100},  {7, 4, 5, 5, 1, 2, 60},    // blend (5 - 2) * 100 / 5
      // Stopping types hold: back and forth once on pattern 0, once on the last.
      {30, 4, 5, 4, 0, 0, 100},  {30, 4, 1, 8, 0, 0, 100},  {15, 4, 5, 6, 3, 3, 100},
      // Patterns below 1 count as 1, speed below 1 as 1, types outside 1..8 as 1.
      {5, 0, 1, 1, 0, 0, 100},   {5, -3, 0, 7, 0, 0, 100},  {2, 3, 1, 99, 2, 0, 100},
  };
  for (const Case& c : cases) {
    const selectplace::AnimeFrame f = AnimeFrameAt(c.counter, c.p, c.s, c.t);
    EXPECT_EQ(f.pattern, c.pattern) << c.counter << " " << c.p << " " << c.s << " " << c.t;
    EXPECT_EQ(f.next, c.next) << c.counter << " " << c.p << " " << c.s << " " << c.t;
    EXPECT_EQ(f.percent, c.percent) << c.counter << " " << c.p << " " << c.s << " " << c.t;
  }
  // No pattern count divides by zero.
  EXPECT_EQ(StepAnimeCounter(3, 0, 0, 1), 0);
}

class SelectPlaceTest : public ScreensTest {
 protected:
  void SetUp() override {
    ScreensTest::SetUp();
    for (int i = 1; i <= 3; ++i) WritePicture("sys/pl" + std::to_string(i), 40, 20, 10u + i);
    WritePicture("sys/idou_bg", 800, 600, 3);
  }
  // Three places in a column at x 100, y 100 + 50 i, 40 x 20 each.
  static Pairs Places(int n = 3) {
    Pairs keys = {{"placeNumber", std::to_string(n)}, {"selectedPlaceVarName", "result"}};
    for (int i = 1; i <= n; ++i) {
      const std::string b = "place" + std::to_string(i);
      keys.push_back({b + "PrintX", "100"});
      keys.push_back({b + "PrintY", std::to_string(100 + 50 * (i - 1))});
      keys.push_back({b + "SizeX", "40"});
      keys.push_back({b + "SizeY", "20"});
      keys.push_back({b + "Filename", "pl" + std::to_string(i > 3 ? 1 : i)});
    }
    return keys;
  }
  CCommonSelectPlace* Make(const Pairs& keys, int variant = 0) {
    WriteList(variant == 0 ? "SelectPlace" : "SelectPlace2", keys);
    ScreensGame& game = Game();
    game.SetVarNumber("result", kResultVar);
    game.SetVarNumber("hover", kOnButtonVar);
    const int vars[] = {kAppear1, kAppear2, kAppear3, kChara1, kChara2, kChara3, kSelect2};
    const char* names[] = {"ap1", "ap2", "ap3", "ch1", "ch2", "ch3", "ok2"};
    for (int i = 0; i < 7; ++i) game.SetVarNumber(names[i], vars[i]);
    const int number = variant == 0 ? 22 : 35;
    mode_ = game.Remake<CCommonSelectPlace>(
        number, [variant](const GameRoles& g) { return new CCommonSelectPlace(g, variant); });
    return mode_;
  }
  void Enter() {
    mode_->Enter();
    Game().ClearCalls();
  }
  int Frame() { return ScreensTest::Frame(mode_); }
  // The centre of place i's button.
  platform::Point Centre(int i) const {
    const CCommonButton* b = mode_->GetButtons()->GetButton(i);
    return {b->GetPrintX() + b->GetSizeX() / 2, b->GetPrintY() + b->GetSizeY() / 2};
  }
  platform::Point Mouse() {
    platform::Point p{};
    Game().GetMouseStatus()->GetPos(&p);
    return p;
  }

  CCommonSelectPlace* mode_ = nullptr;
};

TEST_F(SelectPlaceTest, ShownAndEnabledPlaces) {
  struct Case {
    const char* name;
    Pairs extra;
    std::vector<int> vars;  // ap1..3, ch1..3, ok2
    std::vector<int> exists, enabled, charas;
  };
  const std::vector<Case> cases = {
      {"no flags: everything", {}, {0, 0, 0, 0, 0, 0, 0}, {1, 1, 1}, {1, 1, 1}, {-1, -1, -1}},
      {"appear 0 hides the button",
       {{"placeAppearFlag", "1"}, {"placeAppearVarName1", "ap1"}, {"placeAppearVarName2", "ap2"},
        {"placeAppearVarName3", "ap3"}},
       {1, 0, 1, 0, 0, 0, 0},
       {1, 0, 1},
       {1, 0, 1},
       {-1, -1, -1}},
      {"select-ok 0 disables", {{"selectFlag", "1"}, {"placeSelectOkVarName2", "ok2"}},
       {0, 0, 0, 0, 0, 0, 0}, {1, 1, 1}, {1, 0, 1}, {-1, -1, -1}},
      // Places 1 and 3 name no variable: they have no character and stay
      // allowed; place 2's character 0 leaves its button disabled.
      {"character-only places",
       {{"charaFlag", "1"}, {"placeCharaVarName2", "ch2"}, {"fileNameCharaBase", "pl"}},
       {0, 0, 0, 0, 0, 0, 0},
       {1, 1, 1},
       {1, 0, 1},
       {0, 0, 0}},
      {"characters everywhere are optional",
       {{"charaFlag", "1"}, {"charaOnlyFlag", "0"}, {"placeCharaVarName2", "ch2"}},
       {0, 0, 0, 3, 2, 0, 0},
       {1, 1, 1},
       {1, 1, 1},
       {0, 2, 0}},
  };
  const int vars[] = {kAppear1, kAppear2, kAppear3, kChara1, kChara2, kChara3, kSelect2};
  for (const Case& c : cases) {
    Pairs keys = Places();
    keys.insert(keys.end(), c.extra.begin(), c.extra.end());
    game_.reset();
    Make(keys);
    for (int i = 0; i < 7; ++i) Game().SetVar(vars[i], c.vars[i]);
    Enter();
    for (int i = 0; i < 3; ++i) {
      const CCommonButton* b = mode_->GetButtons()->GetButton(i);
      EXPECT_EQ(b->GetExist(), c.exists[i]) << c.name << " " << i;
      EXPECT_EQ(mode_->IsPlaceEnabled(i), c.enabled[i]) << c.name << " " << i;
      if (c.exists[i]) {
        EXPECT_EQ(b->GetEnable(), c.enabled[i]) << c.name << " " << i;
      }
      EXPECT_EQ(mode_->GetCharaNumber(i), c.charas[i]) << c.name << " " << i;
    }
  }
}

TEST_F(SelectPlaceTest, AChosenPlaceIsWrittenAfterTheExit) {
  Make(Places());
  Game().SetVar(kResultVar, 77);
  Enter();
  const platform::Point p = Centre(0);
  host_->InjectMouseMove(p.x, p.y);
  for (int i = 0; i < 4; ++i) Frame();
  Click(p.x, p.y);
  EXPECT_EQ(FramesUntilExit(mode_, 30), -1);
  EXPECT_TRUE(exited_);
  EXPECT_EQ(Game().GetVar(kResultVar), 1);
  EXPECT_EQ(Game().Lines("SetSkipFilmFlag"), (std::vector<std::string>{"SetSkipFilmFlag 1"}));
}

TEST_F(SelectPlaceTest, LeavingByTheFloatingButtonsWritesNothing) {
  const struct {
    int button, mode;
  } cases[] = {{0, 13}, {1, 12}, {2, 7}};
  for (const auto& c : cases) {
    game_.reset();
    Make(Places());
    Game().SetVar(kResultVar, 77);
    Enter();
    Game().floating_ = MakeButtonCode(buttoncode::kDecided, 0, 0, c.button, 0);
    EXPECT_EQ(Frame(), c.mode) << c.button;
    EXPECT_EQ(Game().Lines("PrepareSystemMode"),
              (std::vector<std::string>{"PrepareSystemMode " + std::to_string(c.mode) + " 22"}));
    mode_->AtExit();
    EXPECT_EQ(Game().GetVar(kResultVar), 77);
    EXPECT_TRUE(Game().Lines("SetSkipFilmFlag").empty());
  }
  // A pressed floating button keeps the mode for the frame; a short cut
  // leaves for its mode.
  game_.reset();
  Make(Places());
  Enter();
  Game().floating_ = MakeButtonCode(buttoncode::kPressed, 0, 0, -1, 0);
  EXPECT_EQ(Frame(), -1);
  Game().floating_ = -1;
  Game().shortCut_ = 5;
  EXPECT_EQ(Frame(), 5);
}

TEST_F(SelectPlaceTest, KeysSkipHiddenPlacesAndMoveThePointer) {
  Pairs keys = Places();
  keys.insert(keys.end(), {{"placeAppearFlag", "1"}, {"placeAppearVarName2", "ap2"}});
  Make(keys);
  Game().SetVar(kAppear2, 0);
  Enter();
  host_->InjectMouseMove(700, 500);
  Frame();
  // The first down key lands on the first enabled place.
  Key(kVK_DOWN);
  Frame();
  EXPECT_EQ(mode_->GetKeyCursor(), 0);
  Frame();
  EXPECT_EQ(Mouse().x, Centre(0).x);
  EXPECT_EQ(Mouse().y, Centre(0).y);
  // The hidden second place is passed over.
  Key(kVK_DOWN);
  Frame();
  EXPECT_EQ(mode_->GetKeyCursor(), 2);
  Frame();
  EXPECT_EQ(Mouse().y, Centre(2).y);
  Key(kVK_UP);
  Frame();
  EXPECT_EQ(mode_->GetKeyCursor(), 0);
  // Return on the place under the pointer presses it.
  Frame();
  Key(kVK_RETURN);
  FramesUntilExit(mode_, 30);
  EXPECT_EQ(Game().GetVar(kResultVar), 1);
}

TEST_F(SelectPlaceTest, NoPlaceOrTooManyPlaces) {
  Make({{"placeNumber", "0"}});
  Enter();
  Key(kVK_DOWN);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Frame(), -1);
  EXPECT_EQ(mode_->GetKeyCursor(), 0);
  mode_->AtExit();
  EXPECT_TRUE(Game().Lines("SetSkipFilmFlag").empty());
  game_.reset();
  Make({{"placeNumber", "100000"}});
  EXPECT_EQ(mode_->GetPlaceNumber(), 128);
  EXPECT_EQ(mode_->GetButtons()->GetCount(), 128);
  Enter();
  Frame();
}

TEST_F(SelectPlaceTest, HoverVariableAndAutoPictures) {
  WritePicture("ta/ta_map0", 8, 8, 50);
  WritePicture("ta/ta_map1", 8, 8, 51);
  WritePicture("ta/ta_map3", 8, 8, 53);
  Pairs keys = Places();
  keys.insert(keys.end(), {{"autoPicLoad", "1"},
                           {"autoPicLayerTag1", "ta_map"},
                           {"autoPicLayerTag2", "t"},
                           {"onButtonVarName", "hover"},
                           {"autoPicRestartBackScript", "1"}});
  Make(keys);
  Enter();
  // Layers 0..2: channels 3 and up hold the buttons' pictures.
  CPicture* layer = Game().GetEffectPicture(1);
  ASSERT_NE(layer, nullptr);
  EXPECT_EQ(Game().GetOptionButtonOff(1), 1);
  EXPECT_EQ(Game().GetOptionButtonOff(2), 1);
  EXPECT_EQ(Game().GetOptionButtonOff(0), 0);
  EXPECT_EQ(mode_->GetLastAutoPicture(), 0);
  EXPECT_EQ(std::string(layer->GetName()).find("ta_map0") != std::string::npos, true)
      << layer->GetName();
  // The entry's load restarts nothing.
  EXPECT_TRUE(Game().Lines("ResetBackScript").empty());
  const platform::Point p = Centre(2);
  host_->InjectMouseMove(p.x, p.y);
  Frame();
  EXPECT_EQ(mode_->GetHovered(), 2);
  EXPECT_EQ(Game().GetVar(kOnButtonVar), 3);
  EXPECT_EQ(mode_->GetLastAutoPicture(), 3);
  EXPECT_NE(std::string(layer->GetName()).find("ta_map3"), std::string::npos) << layer->GetName();
  EXPECT_EQ(Game().Lines("ResetBackScript").size(), 1u);
  // The one-byte tag loaded nothing into its layer.
  CPicture* shortTag = Game().GetEffectPicture(2);
  ASSERT_NE(shortTag, nullptr);
  EXPECT_EQ(shortTag->IsLoaded(), 0);
  mode_->BeforeExit();
  EXPECT_EQ(Game().GetOptionButtonOff(1), 0);
}

TEST_F(SelectPlaceTest, ButtonHolders) {
  Make(Places());
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(mode_->GetButtons()->GetPicture(i), Game().GetEffectPicture(3 + i)) << i;
  game_.reset();
  Pairs keys = Places(15);
  Make(keys);
  EXPECT_EQ(mode_->GetButtons()->GetPicture(12), Game().GetEffectPicture(15));
  EXPECT_EQ(mode_->GetButtons()->GetPicture(13), CPicturePool::GetPicture(0));
  EXPECT_EQ(mode_->GetButtons()->GetPicture(14), CPicturePool::GetPicture(1));
}

TEST_F(SelectPlaceTest, CharactersAreDrawnFromTheirCells) {
  // Character 2's picture: two 16 x 16 patterns side by side.
  WritePicture("sys/ch2", 32, 16, 70);
  auto keysWith = [](const char* sizeY) {
    Pairs keys = Places();
    keys.insert(keys.end(), {{"charaFlag", "1"},
                           {"fileNameCharaBase", "ch"},
                           {"placeCharaVarName1", "ch1"},
                           {"charaSizeX", "16"},
                           {"charaSizeY", sizeY},
                           {"charaAnimePattern", "2"},
                           {"charaAnimeSpeed", "1"},
                           {"charaAnimeType", "2"},
                           {"areaX1", "300"},
                           {"areaY1", "300"},
                           {"charaX", "5"},
                           {"charaY", "6"}});
    return keys;
  };
  Make(keysWith("16"));
  Game().SetVar(kChara1, 2);
  Enter();
  FillScreen();
  mode_->Print();
  CPicture expected;
  ASSERT_EQ(expected.LoadDWQ("sys\\ch2"), 1);
  // Type 2 with two patterns rests on pattern 1 at once.
  const uint32_t want = expected.GetPixelBuffer()[3 * 32 + 16 + 2];
  EXPECT_EQ(Pixel(305 + 2, 306 + 3), want);
  // A cell past the picture draws nothing.
  game_.reset();
  Make(keysWith("64"));
  Game().SetVar(kChara1, 2);
  Enter();
  FillScreen();
  const Screen before = Snapshot();
  mode_->PrintCharas();
  EXPECT_EQ(Snapshot(), before);
}

// The sheet of all characters is the mode's to draw from, whether or not a
// back script draws the map: character 2 is the sheet's second column.
TEST_F(SelectPlaceTest, TheCharacterSheetServesUnderABackScript) {
  WritePicture("sys/allch", 48, 16, 90);
  for (const char* backScript : {"0", "1"}) {
    SCOPED_TRACE(backScript);
    Pairs keys = Places();
    keys.insert(keys.end(), {{"backScriptFlag", backScript},
                             {"charaFlag", "1"},
                             {"allCharaFlag", "1"},
                             {"fileNameAllChara", "allch"},
                             {"placeCharaVarName1", "ch1"},
                             {"charaSizeX", "16"},
                             {"charaSizeY", "16"},
                             {"areaX1", "300"},
                             {"areaY1", "300"}});
    game_.reset();
    Make(keys);
    Game().SetVar(kChara1, 2);
    Enter();
    FillScreen();
    mode_->PrintCharas();
    CPicture sheet;
    ASSERT_EQ(sheet.LoadDWQ("sys\\allch"), 1);
    EXPECT_EQ(Pixel(302, 303), sheet.GetPixelBuffer()[3 * 48 + 16 + 2]);
  }
}

}  // namespace
}  // namespace selectscreens_test
