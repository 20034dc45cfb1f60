// Modes 16 and 20, the galleries' character pages: areas and their layouts,
// the appear rules, hearts, the blink before the gallery and the back
// button of each twin.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gallery_fixture.h"
#include "mode/selectchara.h"
#include "savedata/scenedata.h"
#include "widget/backbutton.h"
#include "support/text.h"

namespace startup_test {
namespace {

constexpr uint32_t kBackground = 0x101010;
// Colour of character i's cell in the character picture (row 2 r + 1 of
// picture mode 3: the highlighted look).
uint32_t CharaColour(int i, bool highlighted) { return 0x300000u + static_cast<uint32_t>(i) * 0x10 + (highlighted ? 8 : 0); }

// Three 100 x 80 areas at (100 + 150 i, 100).
const Pairs kLayout = {{"sizeX", "100"},     {"sizeY", "80"},         {"baseX", "100"},
                       {"baseY", "100"},     {"baseNextX", "150"},    {"totalPercentPrintFlag", "0"},
                       {"charaPercentPrintFlag", "0"}};

class SelectCharaTest : public GalleryTest {
 protected:
  void SetUp() override {
    GalleryTest::SetUp();
    // The character picture: one row of cells for picture mode 1, two for 3.
    dwqtool::Picture chara{300, 160, std::vector<uint32_t>(300 * 160), {}};
    for (int y = 0; y < 160; ++y)
      for (int x = 0; x < 300; ++x) chara.pixels[static_cast<size_t>(y * 300 + x)] = CharaColour(x / 100, y >= 80);
    testsupport::WriteDwq(*dir_, "sys/ta_cgm_bt", chara);
    testsupport::WriteDwq(*dir_, "sys/ta_scenem_bt", chara);
  }
  // Mode 16 over three characters' lists with the seen pictures.
  CCommonSelectCGChara* EnterCG(const Pairs& extra, const std::vector<std::pair<int, int>>& seen) {
    Pairs pairs = extra;
    pairs.insert(pairs.end(), kLayout.begin(), kLayout.end());
    WriteList("selectcgchara", pairs);
    for (int c = 0; c < 3; ++c) WriteCGList(c, {testsupport::Numbered("a", c), testsupport::Numbered("b", c)});
    CCommonSelectCGChara* mode = EnterWithLists<CCommonSelectCGChara>(3, seen);
    Game().RunFrame();
    return mode;
  }
  // Mode 20 over a scene table (scenes[c] scenes, those in marked[c] marked)
  // with the seen scenes.
  CCommonSelectSceneChara* EnterScene(const Pairs& extra, const std::vector<int>& scenes,
                                      const std::vector<std::pair<int, int>>& marked,
                                      const std::vector<std::pair<int, int>>& seen) {
    Pairs pairs = extra;
    pairs.insert(pairs.end(), kLayout.begin(), kLayout.end());
    WriteList("SelectSceneChara", pairs);
    dir_->Write("spt/scene.dat", SceneTable(scenes, marked));
    StartupGame& game = Game();
    for (const auto& [c, s] : seen) game.GetSystemFile()->SetFilmFlag(10, SceneFlag(scenes, c, s));
    CCommonSelectSceneChara* mode = game.Remake<CCommonSelectSceneChara>();
    game.EnterMode(CCommonSelectSceneChara::kModeNumber);
    game.RunFrame();
    return mode;
  }
  static int AreaX(int i) { return 100 + 150 * i + 50; }
};

TEST_F(SelectCharaTest, ACharacterBelowItsAppearRulesNeitherShowsNorReacts) {
  testsupport::WriteDwq(*dir_, "sys/cgm_bg", 800, 600, kBackground);
  Game().SetVarNumber("open3", 500);
  Game().SetVar(500, 0);
  // Character 2 needs 50 % (it has 50), character 1 50 % (it has 0),
  // character 3 a variable that is 0.
  CCommonSelectCGChara* page = EnterCG({{"pictureMode", "1"},
                                        {"charaAppearPercent1", "50"},
                                        {"charaAppearPercent2", "50"},
                                        {"charaAppearVarName3", "open3"}},
                                       {{0, 0}});
  EXPECT_EQ(page->IsEnabled(0), 1);
  EXPECT_EQ(page->IsEnabled(1), 0);
  EXPECT_EQ(page->IsEnabled(2), 0);
  // The defaults name "sys\\cgm_bg" and "sys\\ta_cgm_bt", not "sys\\sys\\...".
  EXPECT_EQ(Pixel(AreaX(0), 130), CharaColour(0, false));
  EXPECT_EQ(Pixel(AreaX(1), 130), kBackground);
  Click(AreaX(1), 130);
  Game().RunFrames(12);
  EXPECT_TRUE(Game().ModeRequests().empty());
  EXPECT_EQ(page->GetSelected(), -1);

  Game().SetVar(500, 1);
  Game().EnterMode(CCommonSelectCGChara::kModeNumber);
  EXPECT_EQ(page->IsEnabled(2), 1);
}

TEST_F(SelectCharaTest, AChoiceBlinksThenOpensThePictureGalleryOnThatCharacter) {
  CCommonSelectCGChara* page = EnterCG({{"pictureMode", "1"}}, {});
  Game().GetCGList()->SetCurrentCG(1);
  MoveTo(AreaX(1), 130);
  Game().RunFrame();
  EXPECT_EQ(page->GetHover(), 1);
  Click(AreaX(1), 130);
  Game().RunFrame();
  EXPECT_EQ(page->GetSelected(), 1);
  EXPECT_TRUE(Called("PlaySystemSe 3 0"));
  // The cursor (a colour box) shows on even countdown values.
  std::vector<bool> lit;
  for (int f = 0; f < 6; ++f) {
    lit.push_back(Pixel(AreaX(1), 130) != CharaColour(1, false));
    Game().RunFrame();
  }
  EXPECT_NE(lit[0], lit[1]);
  EXPECT_NE(lit[1], lit[2]);
  RunUntilRequests(1, 10);
  EXPECT_EQ(Game().ModeRequests(), (std::vector<int>{17}));
  EXPECT_TRUE(Called("NotifyMode 17 16"));
  EXPECT_EQ(Game().GetCGList()->GetCurrentChara(), 1);
  EXPECT_EQ(Game().GetCGList()->GetCurrentCG(), 0);
}

TEST_F(SelectCharaTest, TheSceneTwinOpensTheSceneGalleryOnThatCharacterAndRunsItsBackScript) {
  CCommonSelectSceneChara* page = EnterScene({}, {2, 2, 2}, {}, {});
  EXPECT_EQ(page->GetCharaCount(), 3);
  Click(AreaX(2), 130);
  RunUntilRequests(1, 12);
  EXPECT_EQ(Game().ModeRequests(), (std::vector<int>{18}));
  EXPECT_TRUE(Called("NotifyMode 18 20"));
  EXPECT_EQ(Game().GetSceneList()->GetCurrentChara(), 2);
  EXPECT_EQ(Game().GetSceneList()->GetCurrentScene(), 0);
  EXPECT_FALSE(Called("CalcuBackScript 1"));
  // With a back script the scene page runs it once more every frame, over
  // what every mode's frame does (the picture page does not).
  const auto stepsIn4Frames = [&](const Pairs& pairs, bool scene) {
    game_.reset();
    if (scene)
      EnterScene(pairs, {1, 1, 1}, {}, {});
    else
      EnterCG(pairs, {});
    const int before = CountCalls("CalcuBackScript");
    Game().RunFrames(4);
    return CountCalls("CalcuBackScript") - before;
  };
  const Pairs script = {{"backScriptFlag", "1"}, {"backScriptName", "bs"}};
  EXPECT_EQ(stepsIn4Frames(script, false), 4);
  EXPECT_EQ(stepsIn4Frames(script, true), 8);
}

TEST_F(SelectCharaTest, BackLeavesForTheExtrasOnAnyResultInTheCGPageAndOnResultZeroInTheScenePage) {
  const Pairs back = {{"backSizeX", "100"}, {"backSizeY", "30"}, {"backClickTime", "0"}, {"backPrintX", "600"},
                      {"backPrintY", "500"}};
  testsupport::WriteDwq(*dir_, "sys/ta_backButton", 400, 30, 0x00FF00);
  const auto press = [&](CCommonGeneral* page, int number) {
    page->GetBackButton()->SetButtonNumber(number);
    MoveTo(650, 515);
    Game().RunFrame();
    Click(650, 515);
    Game().RunFrames(3);
  };
  press(EnterCG(back, {}), 1);
  EXPECT_EQ(Game().ModeRequests(), (std::vector<int>{15}));

  game_.reset();
  CCommonSelectSceneChara* scene = EnterScene(back, {1, 1, 1}, {}, {});
  press(scene, 1);
  EXPECT_TRUE(Game().ModeRequests().empty());
  press(scene, 0);
  EXPECT_EQ(Game().ModeRequests(), (std::vector<int>{15}));
}

TEST_F(SelectCharaTest, TheTriangleLayoutPlacesCharactersRowByRowAndStopsWhenAllArePlaced) {
  // combineType 0, combineNumber 3: six characters in (column, row) units.
  WriteList("SelectSceneChara", {{"combineFlag", "1"}, {"combineNumber", "3"}, {"baseNextX", "10"},
                                 {"baseNextY", "100"}, {"baseX", "5"}, {"baseY", "7"}});
  dir_->Write("spt/scene.dat", SceneTable({1, 1, 1, 1, 1, 1, 1}, {}));
  auto* page = Game().Remake<CCommonSelectSceneChara>();
  const int expected[][2] = {{0, 0}, {1, 0}, {2, 0}, {1, 1}, {2, 1}, {2, 2}};
  int cell[2] = {};
  for (int i = 0; i < 6; ++i) {
    page->GetGridCell(cell, i);
    EXPECT_EQ(cell[0], expected[i][0] * 10 + 5) << i;
    EXPECT_EQ(cell[1], expected[i][1] * 100 + 7) << i;
  }
  // The seventh keeps its row place; outside the characters (0, 0).
  EXPECT_EQ(page->GetGridCell(cell, 6)[0], 6 * 10 + 5);
  EXPECT_EQ(page->GetGridCell(cell, 7)[0], 0);
  EXPECT_EQ(page->GetGridCell(cell, -1)[1], 0);

  // The other type fills from the left; a huge triangle stops at the count.
  game_.reset();
  WriteList("SelectSceneChara", {{"combineFlag", "1"}, {"combineType", "1"}, {"combineNumber", "2000000000"},
                                 {"baseNextX", "10"}, {"baseNextY", "100"}});
  page = Game().Remake<CCommonSelectSceneChara>();
  const int other[][2] = {{0, 0}, {0, 1}, {1, 1}, {0, 2}};
  for (int i = 0; i < 4; ++i) {
    page->GetGridCell(cell, i);
    EXPECT_EQ(cell[0], other[i][0] * 10) << i;
    EXPECT_EQ(cell[1], other[i][1] * 100) << i;
  }
}

TEST_F(SelectCharaTest, CustomPositionsStayInsideTheCharactersAndBadCountsCountAsOne) {
  WriteList("SelectSceneChara", {{"customPrintFlag", "1"}, {"customStart", "-5"}, {"customEnd", "99"},
                                 {"printX1", "11"}, {"printY1", "12"}, {"printX3", "31"},
                                 {"numberX", "0"}, {"picNumberX", "-2"}, {"sizeX", "10"},
                                 {"pictureMode", "3"}, {"checkOnByPicFlag", "1"}});
  dir_->Write("spt/scene.dat", SceneTable({1, 1, 1}, {}));
  auto* page = Game().Remake<CCommonSelectSceneChara>();
  int cell[2] = {};
  EXPECT_EQ(page->GetGridCell(cell, 0)[0], 11);
  EXPECT_EQ(cell[1], 12);
  // numberX 0 counts as 1: one area per row, rows 0 apart.
  EXPECT_EQ(page->GetGridCell(cell, 1)[0], 0);
  EXPECT_EQ(page->GetGridCell(cell, 2)[0], 31);
  // Picture cells and the hit test by the picture with picNumberX counted
  // as 1.
  Game().EnterMode(CCommonSelectSceneChara::kModeNumber);
  MoveTo(15, 20);
  Game().RunFrames(3);

  // A range inside the characters reads only its own positions.
  game_.reset();
  WriteList("SelectSceneChara", {{"customPrintFlag", "1"}, {"customStart", "2"}, {"customEnd", "2"},
                                 {"printX1", "11"}, {"printX2", "21"}, {"sizeX", "10"}});
  page = Game().Remake<CCommonSelectSceneChara>();
  EXPECT_EQ(page->GetGridCell(cell, 0)[0], 0);
  EXPECT_EQ(page->GetGridCell(cell, 1)[0], 21);
}

TEST(HeartTest, StatesAndCells) {
  EXPECT_EQ(CGalleryCharaPage::HeartOf(0, 0), CGalleryCharaPage::kNoMarked);
  EXPECT_EQ(CGalleryCharaPage::HeartOf(3, 0), CGalleryCharaPage::kNoneSeen);
  EXPECT_EQ(CGalleryCharaPage::HeartOf(3, 2), CGalleryCharaPage::kSomeSeen);
  EXPECT_EQ(CGalleryCharaPage::HeartOf(3, 3), CGalleryCharaPage::kAllSeen);
  const int cells[][3] = {{0, 99, -1}, {0, 100, 2}, {1, 0, 0}, {2, 50, 1}, {3, 100, 3}, {3, 10, 3}};
  for (const auto& c : cells) EXPECT_EQ(CGalleryCharaPage::HeartCell(c[0], c[1]), c[2]) << c[0] << " " << c[1];
}

TEST_F(SelectCharaTest, HeartsCountMarkedScenesAndTheUnmarkedCellShowsOnlyAtAHundredPercent) {
  // Heart cells 16 x 16: cell k one colour.
  dwqtool::Picture heart{64, 16, std::vector<uint32_t>(64 * 16), {}};
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 64; ++x) heart.pixels[static_cast<size_t>(y * 64 + x)] = 0x00C000u + static_cast<uint32_t>(x / 16);
  testsupport::WriteDwq(*dir_, "sys/ta_heart", heart);
  testsupport::WriteDwq(*dir_, "sys/scenem_bg", 800, 600, kBackground);
  // Character 0: two marked scenes, one seen; 1: no marked scene, all seen;
  // 2: no marked scene, one of two seen.
  CCommonSelectSceneChara* page =
      EnterScene({{"heartPrintFlag", "1"}}, {3, 1, 2}, {{0, 0}, {0, 1}}, {{0, 1}, {1, 0}, {2, 0}});
  EXPECT_EQ(page->GetHeart(0), CGalleryCharaPage::kSomeSeen);
  EXPECT_EQ(page->GetHeart(1), CGalleryCharaPage::kNoMarked);
  EXPECT_EQ(page->GetHeart(2), CGalleryCharaPage::kNoMarked);
  EXPECT_EQ(Pixel(105, 105), 0x00C001u);
  EXPECT_EQ(Pixel(255, 105), 0x00C002u);
  EXPECT_EQ(Pixel(405, 105), kBackground);
  EXPECT_EQ(page->GetTotalPercent(), 50);
}

}  // namespace
}  // namespace startup_test
