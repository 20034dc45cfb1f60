// The back-log mode on the fake of the services: entering, the input delay, leaving,
// scrolling by wheel, keys and arrow marks, replaying a voice, the four
// backgrounds and what a frame shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "backlog_fixture.h"
#include "graphics/allgraphics.h"
#include "support/dwq_picture.h"

namespace backlog_test {
namespace {

constexpr int kFont = 24, kPrintX = 110, kPrintY = 32;
int RowY(int j) { return kPrintY + (j + 3) * kFont; }
// The default arrow marks on an 800-pixel screen.
constexpr int kArrowX = 400 - kFont / 2, kUpY = kPrintY + 2 * kFont, kDownY = 18 * kFont + kPrintY;

TEST_F(BackLogTest, EnteringStopsTheSoundsShowsTheNewestPageAndWaitsTwoFrames) {
  BackLogGame& game = Game();
  AddLines(40);
  ASSERT_TRUE(game.StartVoice());
  Log()->SetParameter(kOpener);
  game.RunFrame([] { return CCommonBackLog::kModeNumber; });
  EXPECT_FALSE(game.VoicePlays());
  EXPECT_EQ(Log()->GetTop(), 42 - 15);
  EXPECT_EQ(Log()->GetInputDelay(), 2);

  // The two frames after entering take no input.
  host_->InjectWheel(120);
  Frame();
  host_->InjectKey(VK_LEFT, true);
  Frame();
  host_->InjectKey(VK_LEFT, false);
  EXPECT_EQ(Log()->GetTop(), 42 - 15);
  EXPECT_EQ(Log()->GetInputDelay(), 0);
  Wheel(120);
  EXPECT_EQ(Log()->GetTop(), 42 - 17);
}

TEST_F(BackLogTest, TheNewestPageLeavesForTheOpenerWithTheReturnSound) {
  const struct {
    const char* name;
    std::function<void()> input;
  } cases[] = {
      {"wheel down", [this] { Wheel(-120); }},
      {"Right", [this] { Key(VK_RIGHT); }},
      {"Page Down", [this] { Key(VK_NEXT); }},
      {"right click", [this] { Click(300, 300, 1); }},
  };
  for (const auto& c : cases) {
    game_.reset();
    Game({{"returnSoundNumber", "3"}});
    AddLines(30);
    Open();
    ASSERT_TRUE(game_->StartVoice());
    c.input();
    EXPECT_EQ(Requests(), std::vector<int>{kOpener}) << c.name;
    EXPECT_FALSE(game_->VoicePlays()) << c.name;
    EXPECT_EQ(game_->Sounds(), std::vector<std::string>{"PlaySystemSe 2 0"}) << c.name;
    const auto& calls = game_->Calls();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "RestoreGameState"), calls.end()) << c.name;
  }
  // Without a return sound nothing plays.
  for (const char* none : {"0", "-1"}) {
    game_.reset();
    Game({{"returnSoundNumber", none}});
    Open();
    Wheel(-120);
    EXPECT_EQ(Requests(), std::vector<int>{kOpener});
    EXPECT_TRUE(game_->Sounds().empty()) << none;
  }
}

TEST_F(BackLogTest, WithoutAnOpenerItLeavesForTheStory) {
  Game();
  Open();
  Log()->SetParameter(0);
  Wheel(-120);
  EXPECT_EQ(Requests(), std::vector<int>{modenumber::kDefaultReturnMode});
}

TEST_F(BackLogTest, TheOldestPageIgnoresWheelUpLeftAndPageUp) {
  Game();
  AddLines(30);
  Open();
  Log()->GoOlder(1000);
  const int oldest = Log()->GetTop();
  EXPECT_EQ(oldest, 0);
  Wheel(120);
  Key(VK_LEFT);
  Key(VK_PRIOR);
  Click(kArrowX + 2, kUpY + 2);
  EXPECT_EQ(Log()->GetTop(), oldest);
  EXPECT_TRUE(Requests().empty());
}

TEST_F(BackLogTest, WheelKeysAndArrowMarksScrollByTheirSteps) {
  Game();
  AddLines(100);  // newest page top: 102 - 15 = 87
  Open();
  const int newest = 87;
  const struct {
    const char* name;
    int start;
    int expected;
  } cases[] = {
      {"wheel up", newest, newest - 2},     {"Left", newest, newest - 5},
      {"Page Up", newest, newest - 10},     {"up arrow", newest, newest - 1},
      {"wheel down", 50, 52},               {"Right", 50, 55},
      {"Page Down", 50, 60},                {"down arrow", 50, 51},
      {"Page Down near the end", 80, newest},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    Log()->GoNewer(1000);
    Log()->GoOlder(newest - c.start);
    ASSERT_EQ(Log()->GetTop(), c.start);
    switch (i) {
      case 0: Wheel(120); break;
      case 1: Key(VK_LEFT); break;
      case 2: Key(VK_PRIOR); break;
      case 3: Click(kArrowX + 1, kUpY + 1); break;
      case 4: Wheel(-120); break;
      case 5: Key(VK_RIGHT); break;
      case 6: case 8: Key(VK_NEXT); break;
      case 7: Click(kArrowX + 23, kDownY + 23); break;
    }
    Frame();
    EXPECT_EQ(Log()->GetTop(), c.expected) << c.name;
  }
  EXPECT_TRUE(Requests().empty());
}

TEST_F(BackLogTest, AClickOnAVoiceMarkPlaysThatVoice) {
  Game();
  AddLines(5);
  Log()->SetVoice("ka001");
  const int voiced = Log()->GetWriteIndex();
  AddLines(5, 5);
  Open();
  const int row = voiced - Log()->GetTop();
  // Elsewhere on the row, and on an unvoiced row's mark: nothing.
  Click(kPrintX + 40, RowY(row) + 5);
  Click(kPrintX - kFont + 5, RowY(row + 1) + 5);
  EXPECT_TRUE(Game().Sounds().empty());
  EXPECT_EQ(Log()->GetHoveredVoice(), -1);
  Click(kPrintX - kFont + 5, RowY(row) + 5);
  EXPECT_EQ(Game().Sounds(), std::vector<std::string>{"PlayVoice ka001"});
  EXPECT_EQ(Log()->GetHoveredVoice(), voiced);
  EXPECT_TRUE(Requests().empty());
}

// Each colour channel through the filters in their order.
uint32_t Filtered(uint32_t p, bool nega, bool grey, int mr, int mg, int mb, int dr, int dg,
                  int db) {
  if (nega) p ^= 0xFFFFFF;
  if (grey) {
    const uint32_t y = GreyLevel(p);
    p = y << 16 | y << 8 | y;
  }
  const int m[3] = {mb, mg, mr}, d[3] = {db, dg, dr};
  uint32_t out = 0;
  for (int c = 0; c < 3; ++c) {
    int v = static_cast<int>(((p >> (8 * c)) & 0xFF) * static_cast<uint32_t>(m[c] * 256 / 100) >> 8);
    v = std::clamp(v + d[c], 0, 255);
    out |= static_cast<uint32_t>(v) << (8 * c);
  }
  return out;
}

TEST_F(BackLogTest, TheFilteredSceneIsNegatedGreyedMultipliedAndAddedInThatOrder) {
  const Pairs filters = {{"backMultiR", "50"}, {"backMultiG", "75"}, {"backDeltaR", "10"},
                         {"backDeltaG", "-20"}, {"backDeltaB", "30"}};
  const struct {
    Pairs keys;
    bool nega, grey;
    int m[3], d[3];
  } cases[] = {
      {{{"bgMode", "2"}}, false, false, {100, 100, 100}, {0, 0, 0}},
      {filters, false, false, {50, 75, 75}, {10, -20, 30}},
      {{{"backScreenEffectNega", "1"}, {"backScreenEffectGrey", "1"}}, true, true, {50, 75, 75},
       {10, -20, 30}},
      {{{"backScreenEffectNega", "1"}, {"backMultiR", "60"}, {"backDeltaB", "-7"}}, true, false,
       {60, 60, 60}, {0, 0, -7}},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    Pairs keys = {{"bgMode", "2"}};
    keys.insert(keys.end(), c.keys.begin(), c.keys.end());
    if (i == 2) keys.insert(keys.end(), filters.begin(), filters.end());
    game_.reset();
    Game(keys);
    Open();
    for (int x : {700, 790})
      for (int y : {540, 590})
        EXPECT_EQ(Pixel(x, y), Filtered(ScenePixel(x, y), c.nega, c.grey, c.m[0], c.m[1], c.m[2],
                                        c.d[0], c.d[1], c.d[2]))
            << i << ": " << x << "," << y;
  }
  // Entering drew the scene once, the layers taken off first, and kept it.
  const std::vector<std::string> entering = {"RestoreFloatingLayers", "RefreshEffect 0",
                                             "RefreshEffect 1"};
  game_.reset();
  Game({{"bgMode", "2"}});
  Log()->SetParameter(kOpener);
  Game().ClearCalls();
  Game().RunFrame([] { return CCommonBackLog::kModeNumber; });
  std::vector<std::string> calls;
  for (const std::string& call : Game().Calls())
    if (call == "RestoreFloatingLayers" || call.rfind("RefreshEffect", 0) == 0) calls.push_back(call);
  EXPECT_EQ(calls, entering);
}

TEST_F(BackLogTest, TheColourThePictureAndTheBackScriptBackgrounds) {
  // Colour.
  Game({{"backColorR", "10"}, {"backColorG", "20"}, {"backColorB", "30"}});
  Open();
  EXPECT_EQ(Log()->GetBgMode(), 0);
  EXPECT_EQ(Pixel(790, 590), 0x0A141Eu);

  // Picture: "sys\\<backlogBGFileName>".
  game_.reset();
  testsupport::WriteDwq(*dir_, "sys/bl_test", 800, 600, 0x123456);
  Game({{"bgMode", "1"}, {"backlogBGFileName", "bl_test"}});
  Open();
  EXPECT_EQ(Pixel(790, 590), 0x123456u);
  EXPECT_EQ(Pixel(5, 590), 0x123456u);

  // A back script draws the background whatever "bgMode" says.
  game_.reset();
  Game({{"bgMode", "0"}, {"backScriptFlag", "1"}, {"backScriptName", "bs"}});
  EXPECT_EQ(Log()->GetBgMode(), CCommonBackLog::kBgBackScript);
  Open();
  Frame();
  const auto& calls = Game().Calls();
  EXPECT_NE(std::find(calls.begin(), calls.end(), "PrintBackScript"), calls.end());
}

TEST_F(BackLogTest, AFrameShowsTheTitleTheRowsInTheirColoursTheVoiceMarkAndTheArrows) {
  Game();
  for (int i = 0; i < 30; ++i)
    Log()->AddLine(("line " + std::to_string(i)).c_str(), 200, 10 + i, 50);
  Log()->SetVoice("ka001");
  Log()->AddLine("voiced", 1, 2, 3);
  Open();
  // Rows 0..14 show slots 18..32; row 14 is the voiced line.
  for (int j = 0; j < 15; ++j) {
    const unsigned colour = Log()->GetColor(Log()->GetTop() + j);
    EXPECT_GT(Count(colour, kPrintX, RowY(j), 300, kFont), 0) << j;
    EXPECT_EQ(Count(colour, kPrintX, RowY(j) + kFont, 300, kFont), 0) << j;
  }
  auto inked = [](int x, int y, int w, int h) { return w * h - Count(0, x, y, w, h); };
  EXPECT_GT(inked(kPrintX - kFont, RowY(14), kFont, kFont), 0);  // the voice mark
  EXPECT_EQ(inked(kPrintX - kFont, RowY(13), kFont, kFont), 0);
  EXPECT_GT(inked(400 - 3 * kFont, kPrintY, 6 * kFont, kFont), 0);  // the title
  // On the newest page: the up arrow only.
  EXPECT_GT(inked(kArrowX, kUpY, kFont, kFont), 0);
  EXPECT_EQ(inked(kArrowX, kDownY, kFont, kFont), 0);
  Log()->GoOlder(1000);
  Frame();
  EXPECT_EQ(inked(kArrowX, kUpY, kFont, kFont), 0);
  EXPECT_GT(inked(kArrowX, kDownY, kFont, kFont), 0);
}

// A picture of 2 x 2 cells of one colour each: column c, row r.
constexpr uint32_t kCells[2][2] = {{0x111111, 0x222222}, {0x333333, 0x444444}};  // [row][column]

TEST_F(BackLogTest, PictureMarksShowTheirPatternAndTheHoverColumn) {
  dwqtool::Picture p{2 * kFont, 2 * kFont, {}, {}};
  for (int y = 0; y < 2 * kFont; ++y)
    for (int x = 0; x < 2 * kFont; ++x) p.pixels.push_back(kCells[y / kFont][x / kFont]);
  testsupport::WriteDwq(*dir_, "sys/bl_voice", p);
  testsupport::WriteDwq(*dir_, "sys/bl_arrow", p);
  Game({{"voicePicFlag", "1"}, {"filenameVoice", "bl_voice"}, {"voicePicAnimeFlag", "1"},
        {"voicePicAnimeType", "1"}, {"voicePicAnimePattern", "2"}, {"voicePicAnimeSpeed", "1"},
        {"updownArrowPicFlag", "1"}, {"filenameUpdownArrow", "bl_arrow"}});
  AddLines(20);
  Log()->SetVoice("ka001");
  AddLines(13, 20);  // 35 lines, the voiced one in slot 22
  Open();
  Log()->GoOlder(3);  // rows from slot 17: both arrows
  const int vx = kPrintX - kFont + 12, vy = RowY(5) + 12;  // the voiced line's mark
  std::vector<uint32_t> seen;
  for (int f = 0; f < 2; ++f) {
    Frame();
    seen.push_back(Pixel(vx, vy));
  }
  // The loop alternates the two rows of column 0.
  EXPECT_NE(seen[0], seen[1]);
  for (uint32_t s : seen) EXPECT_TRUE(s == kCells[0][0] || s == kCells[1][0]) << std::hex << s;
  // Hovered: column 1.
  host_->InjectMouseMove(vx, vy);
  Frame();
  Frame();
  EXPECT_TRUE(Pixel(vx, vy) == kCells[0][1] || Pixel(vx, vy) == kCells[1][1])
      << std::hex << Pixel(vx, vy);
  // The unanimated arrow picture: cell (0, 0) for both arrows.
  EXPECT_EQ(Pixel(kArrowX + 12, kUpY + 12), kCells[0][0]);
  EXPECT_EQ(Pixel(kArrowX + 12, kDownY + 12), kCells[0][0]);
}

TEST_F(BackLogTest, TheTitlePictureGoesUnderTheRowsOverThemOrOverTheArrowsToo) {
  constexpr uint32_t kGreen = 0x00FF00;
  // Over row 0 and the up arrow.
  const int x = 80, y = 70, w = 400, h = 60;
  const struct {
    const char* flag;
    const char* upper;
    bool picture, rowSeen, arrowSeen;
  } cases[] = {
      {"0", "0", false, true, true},
      {"1", "0", true, true, true},
      {"1", "2", true, false, true},
      {"1", "1", true, false, false},
  };
  testsupport::WriteDwq(*dir_, "sys/bl_title", w, h, kGreen);
  for (const auto& c : cases) {
    game_.reset();
    Game({{"titlePicPrintFlag", c.flag}, {"titlePicFileName", "bl_title"},
          {"titlePicPrintX", std::to_string(x)}, {"titlePicPrintY", std::to_string(y)},
          {"titlePicUpperFlag", c.upper}, {"titlePrintFlag", "0"}});
    for (int i = 0; i < 30; ++i) Log()->AddLine("row", 200, 100, 50);
    Open();
    const std::string name = std::string(c.flag) + "/" + c.upper;
    EXPECT_EQ(Count(kGreen, x, y, w, h) > 0, c.picture) << name;
    EXPECT_EQ(Count(0xC86432, kPrintX, RowY(0), 100, y + h - RowY(0)) > 0, c.rowSeen) << name;
    const int arrow = kFont * kFont - Count(kGreen, kArrowX, kUpY, kFont, kFont) -
                      Count(0, kArrowX, kUpY, kFont, kFont);
    EXPECT_EQ(arrow > 0, c.arrowSeen) << name;
  }
}

TEST_F(BackLogTest, AnimatedArrowPicturesShowThePressedColumnInTheFrameOfTheClick) {
  for (const char* name : {"sys/bl_up", "sys/bl_down"}) {
    dwqtool::Picture p{2 * kFont, 2 * kFont, {}, {}};
    for (int y = 0; y < 2 * kFont; ++y)
      for (int x = 0; x < 2 * kFont; ++x)
        p.pixels.push_back(kCells[y / kFont][x / kFont] + (name[7] == 'u' ? 0 : 0x010101));
    testsupport::WriteDwq(*dir_, name, p);
  }
  // One pattern held: the column alone changes.
  Game({{"updownArrowPicFlag", "1"}, {"updownArrowAnimeFlag", "1"}, {"upArrowFileName", "bl_up"},
        {"downArrowFileName", "bl_down"}, {"updownArrowAnimeType", "1"},
        {"updownArrowAnimePattern", "1"}});
  AddLines(40);
  Open();
  Log()->GoOlder(5);
  Frame();
  EXPECT_EQ(Pixel(kArrowX + 5, kUpY + 5), kCells[0][0]);
  EXPECT_EQ(Pixel(kArrowX + 5, kDownY + 5), kCells[0][0] + 0x010101);
  Click(kArrowX + 5, kDownY + 5);
  EXPECT_EQ(Pixel(kArrowX + 5, kUpY + 5), kCells[0][0]);
  EXPECT_EQ(Pixel(kArrowX + 5, kDownY + 5), kCells[0][1] + 0x010101);
  Frame();
  EXPECT_EQ(Pixel(kArrowX + 5, kDownY + 5), kCells[0][0] + 0x010101);
  // Released, the marks are gone until the next entry loads them again.
  Log()->Release();
  Frame();
  EXPECT_EQ(Pixel(kArrowX + 5, kUpY + 5), 0u);
  Game().RunFrame([] { return CCommonBackLog::kModeNumber; });
  Log()->GoOlder(5);
  Frame();
  EXPECT_EQ(Pixel(kArrowX + 5, kUpY + 5), kCells[0][0]);
}

// Sizes, counts and speeds of 0 or below, and positions at the ends of the
// 32-bit range: the frames run and draw nothing outside the screen.
TEST_F(BackLogTest, OutOfRangeSizesAndPositionsAreHarmless) {
  const std::string kMin = std::to_string(INT_MIN), kMax = std::to_string(INT_MAX);
  dwqtool::Picture p{2 * kFont, 2 * kFont, std::vector<uint32_t>(4 * kFont * kFont, 0x808080), {}};
  testsupport::WriteDwq(*dir_, "sys/bl_mark", p);
  const Pairs marks = {{"voicePicFlag", "1"},       {"filenameVoice", "bl_mark"},
                       {"voicePicAnimeFlag", "1"},  {"updownArrowPicFlag", "1"},
                       {"updownArrowAnimeFlag", "1"}, {"upArrowFileName", "bl_mark"},
                       {"downArrowFileName", "bl_mark"}};
  std::vector<Pairs> cases;
  for (const char* size : {"0", "-30"})
    cases.push_back({{"voiceSizeX", size}, {"voiceSizeY", size}, {"updownArrowSizeX", size},
                     {"updownArrowAnimePattern", size}, {"updownArrowANimeSpeed", size},
                     {"voicePicAnimePattern", size}, {"voicePicAnimeSpeed", size},
                     {"fontSize", size}, {"nextY", size}});
  for (const std::string& end : {kMin, kMax})
    cases.push_back({{"printX", end}, {"printY", end}, {"nextY", end}, {"voicePrintX", end},
                     {"voicePrintY", end}, {"voiceSizeX", end}, {"updownArrowSizeY", end},
                     {"upArrowPrintX", end}, {"downArrowPrintY", end}, {"titlePicPrintX", end},
                     {"voicePicAnimePattern", kMax}, {"voicePicAnimeSpeed", end}});
  for (Pairs keys : cases) {
    keys.insert(keys.end(), marks.begin(), marks.end());
    game_.reset();
    Game(keys);
    AddLines(40);
    Log()->SetVoice("a");
    AddLines(1);
    Open();
    Wheel(120);
    Click(5, 5);
    Frame();
    EXPECT_TRUE(Requests().empty());
  }
}

}  // namespace
}  // namespace backlog_test
