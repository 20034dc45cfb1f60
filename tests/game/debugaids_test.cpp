// The debug aids: the window-message log, the debug list, the variable
// overlay and its keys, the meters, the dated log, the window's text lines
// of a frame, and the destroy step's order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "modebase/commongeneral.h"
#include "game/debugaids.h"
#include "game/debugpart.h"
#include "game/extramodes.h"
#include "game/game.h"
#include "game/gamelists.h"
#include "game/inputpart.h"
#include "game/floatingpart.h"
#include "game/modeflowpart.h"
#include "game/screenpart.h"
#include "game/scriptpart.h"
#include "game/soundpart.h"
#include "game/variablepart.h"
#include "game_test.h"
#include "graphics/screenbuffer.h"
#include "platform/backend.h"
#include "platform/files.h"
#include "platform/headless/headless.h"
#include "platform/types.h"
#include "setup/namelist.h"
#include "support/dwq_picture.h"
#include "support/text.h"

namespace game_test {
namespace {

using Lines = std::vector<platform::OverlayText>;

class DebugGame : public CGame {
 public:
  explicit DebugGame(platform::Window* window) : CGame(window, nullptr, 800, 600, 32) {}
  void SetDebug(int on) { Debug().SetDebugFlags(on); }
  // The start-up chain (modes 1, 2, 3, 4 and 32) stays off: these tests
  // look at what the debug aids alone draw.
  void LeaveOutStartUpChain() {
    for (int n : {1, 2, 3, 4, 32}) Modes().SetModeDisabled(n, 1);
  }
  using CGameCallBack::ReleaseAll;
};

// The picture font: cell c of row r is one colour, told apart by both.
uint32_t CellColour(int row, int cell) { return 0x400000u | (row + 1) << 8 | (cell + 1); }

void WriteFont(const testsupport::TempDir& dir, const std::string& name, int sizeX, int sizeY) {
  dwqtool::Picture font{16 * sizeX, 2 * sizeY, {}, {}};
  font.pixels.resize(size_t(font.width) * font.height);
  for (int y = 0; y < font.height; ++y)
    for (int x = 0; x < font.width; ++x)
      font.pixels[size_t(y) * font.width + x] = CellColour(y / sizeY, x / sizeX);
  testsupport::WriteDwq(dir, "sys/" + name, font);
}

uint32_t ScreenAt(int x, int y) {
  return CScreenBuffer::GetBuffer()[size_t(y) * CScreenBuffer::GetWidth() + x] & 0xFFFFFF;
}

class DebugAidsTest : public GameTest {
 protected:
  // A game made from the settings list "game" (and, with `debug`, the
  // file "debug666.txt" beside it).
  void MakeGame(const Pairs& list, bool debug = false) {
    WriteList("game", list);
    if (debug) dir_->Write("debug666.txt", "");
    game_ = std::make_unique<DebugGame>(window_);
    game_->Init();
    game_->LeaveOutStartUpChain();
    game_->CreateModes();
  }
  void TearDown() override {
    game_.reset();
    datedlog::StopDatedLog();
    CDebugPart::ResetProcessDebugFlag();
    GameTest::TearDown();
  }
  const Lines& Overlay() const { return host_->GetWindow()->Overlay(); }
  intptr_t Key(int vk) { return game_->WindowProc(window_, WM_KEYDOWN, vk, 0); }

  std::unique_ptr<DebugGame> game_;
};

TEST_F(DebugAidsTest, TheDebugListKeepsItsLastTwentyLinesOfWholeCharacters) {
  MakeGame({});
  game_->Debug().AddDebugLine(nullptr);
  EXPECT_EQ(game_->Debug().GetDebugLineCount(), 0);
  for (int i = 0; i < 21; ++i) game_->Debug().AddDebugLine(("line " + std::to_string(i)).c_str());
  ASSERT_EQ(game_->Debug().GetDebugLineCount(), 20);
  EXPECT_STREQ(game_->Debug().GetDebugLine(0), "line 1");
  EXPECT_STREQ(game_->Debug().GetDebugLine(19), "line 20");
  EXPECT_EQ(game_->Debug().GetDebugLine(20), nullptr);
  // 253 bytes and a double-byte character: the character does not fit.
  game_->Debug().AddDebugLine((std::string(253, 'a') + "\x82\xA0").c_str());
  EXPECT_EQ(std::string(game_->Debug().GetDebugLine(19)), std::string(253, 'a'));
  game_->Debug().PrintLibraryVersions();
  EXPECT_STREQ(game_->Debug().GetDebugLine(16), "MoktDirectXLib : Feb  7 2011 , 07:34:37");
  EXPECT_STREQ(game_->Debug().GetDebugLine(17), "MOKTLIB : Feb  7 2011 , 07:35:18");
  EXPECT_STREQ(game_->Debug().GetDebugLine(18), "ZORUtilLib : Feb  7 2011 , 07:34:48");
  EXPECT_STREQ(game_->Debug().GetDebugLine(19), "ZORLib : Feb  7 2011 , 07:34:34");
}

TEST_F(DebugAidsTest, TheWindowMessageLogAppendsWhileItIsOn) {
  MakeGame({});
  const intptr_t move = (100 << 16) | 50;
  game_->Debug().LogWindowMessage(WM_MOVE, 0, move);
  game_->Debug().WriteWindowLog("off");
  EXPECT_FALSE(dir_->Exists("wmlog.txt"));

  game_->SetDebug(1);
  EXPECT_EQ(game_->Vars().GetConfigFlagA(), 1);
  game_->Debug().LogWindowMessage(WM_MOVE, 0, move);
  game_->Debug().LogWindowMessage(WM_SIZE, SIZE_RESTORED, (480 << 16) | 640);
  game_->Debug().LogWindowMessage(WM_PAINT, 0, move);
  game_->Debug().WriteWindowLog("text");
  game_->Debug().WriteWindowLog(nullptr);
  // The window handler notes its moves and sizes itself.
  game_->WindowProc(window_, WM_MOVE, 0, (7 << 16) | 9);
  EXPECT_EQ(dir_->Read("wmlog.txt"), "\r\nMOVE:50 100\r\nSIZE 640 480\r\n\r\ntext\r\nMOVE:9 7");

  // The way back from full screen notes each of its stages.
  platform::RemoveFile("wmlog.txt");
  game_->Screen().ToFullScreen();
  game_->Screen().ToWindowScreen();
  const std::string log = dir_->Read("wmlog.txt");
  const std::string stages =
      "\r\nToWindowScreen Start\r\nToWindowScreen Mid 1\r\nToWindowScreen Mid 2"
      "\r\nToWindowScreen Mid 3\r\nToWindowScreen Mid 4\r\nToWindowScreen Mid 5"
      "\r\nToWindowScreen Mid 6\r\nToWindowScreen End";
  EXPECT_NE(log.find(stages), std::string::npos) << log;
}

TEST_F(DebugAidsTest, TheFrameRateMeterShowsUpToThreeDigits) {
  WriteFont(*dir_, "nekofont", 16, 16);
  MakeGame({{"fpsPrintFlag", "1"}});
  CFpsPrint* fps = game_->Debug().GetFpsPrint();
  ASSERT_NE(fps, nullptr);
  struct Case {
    const char* name;
    int frames;  // spread over one second
    int shown;
    int digits[3];  // at x 0, 16, 32; -1 not drawn
  };
  const Case cases[] = {
      {"60 a second", 60, 60, {-1, 6, 0}},
      {"1500 a second", 1500, 999, {9, 9, 9}},
      {"5 a second", 5, 5, {-1, 0, 5}},
  };
  const int y = 600 - 2 * 16;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // A time before the last measurement (past midnight) starts again.
    fps->PrintAt(-1);
    for (int i = 1; i < c.frames; ++i) fps->PrintAt(-1 + int64_t(i) * 1000 / c.frames);
    // The frame that completes the second, drawn on a clear screen.
    std::fill_n(CScreenBuffer::GetBuffer(), 800 * 600, 0u);
    fps->PrintAt(999);
    EXPECT_EQ(fps->GetFps(), c.shown);
    for (int d = 0; d < 3; ++d) {
      const uint32_t want = c.digits[d] < 0 ? 0u : CellColour(1, c.digits[d]);
      EXPECT_EQ(ScreenAt(16 * d + 3, y + 5), want) << d;
    }
  }
}

TEST_F(DebugAidsTest, TheLoadMeterShowsTwoDigitsBehindItsMarker) {
  WriteFont(*dir_, "nekofont", 16, 16);
  MakeGame({{"fukaPrintFlag", "1"}, {"fukaPrintX", "100"}});
  CFukaPrint* fuka = game_->Debug().GetFukaPrint();
  ASSERT_NE(fuka, nullptr);
  struct Case {
    int value;
    int tens, units;
  };
  const int y = 600 - 16;
  for (const Case& c : {Case{0, 0, 1}, Case{150, 9, 9}, Case{42, 4, 2}}) {
    SCOPED_TRACE(c.value);
    fuka->SetStartTime(1000);
    fuka->SetEndTime(1000 + c.value);
    fuka->Print(-1);
    EXPECT_EQ(ScreenAt(116, y + 4), CellColour(1, c.tens));
    EXPECT_EQ(ScreenAt(132, y + 4), CellColour(1, c.units));
    const uint32_t marker = ScreenAt(100, y + 4);
    EXPECT_TRUE(marker == CellColour(0, 11) || marker == CellColour(0, 13) ||
                marker == CellColour(0, 0));
  }
}

TEST_F(DebugAidsTest, MetersWithoutSizesOrFontDrawNothing) {
  const Pairs badSizes = {{"fpsPrintFlag", "1"}, {"fukaPrintFlag", "1"}, {"fpsFontSizeX", "0"},
                          {"fpsFuntSizeY", "-3"}, {"fukaFontSizeX", "-16"}};
  for (const bool font : {true, false}) {
    SCOPED_TRACE(font ? "sizes of 0 or less" : "no nekofont picture");
    dir_ = std::make_unique<testsupport::TempDir>();
    if (font) WriteFont(*dir_, "nekofont", 16, 16);
    MakeGame(font ? badSizes : Pairs{{"fpsPrintFlag", "1"}, {"fukaPrintFlag", "1"}});
    ASSERT_NE(game_->Debug().GetFpsPrint(), nullptr);
    ASSERT_NE(game_->Debug().GetFukaPrint(), nullptr);
    for (int i = 0; i < 3; ++i) game_->Frame(50);
    for (int y = 0; y < 600; ++y)
      for (int x = 0; x < 800; ++x) ASSERT_EQ(ScreenAt(x, y), 0u) << x << "," << y;
    game_.reset();
  }
}

TEST_F(DebugAidsTest, TheSelectionWrapsInItsPageOrInAllVariables) {
  struct Case {
    int from;
    int n, withinPage;
    bool page;
    int to;
  };
  const Case cases[] = {
      {40, -1, 1, false, 59}, {0, -1, 0, false, 999}, {985, 1, 0, true, 5},
      {59, 1, 1, false, 40},  {999, 1, 0, false, 0},  {3, -1, 0, true, 983},
      {7, -20001, 1, false, 6}, {7, 2000000000, 0, false, 7},
  };
  for (const Case& c : cases) {
    CPrintDebugParam debug(nullptr, nullptr);
    debug.MoveSelect(c.from, 0);
    ASSERT_EQ(debug.GetSelected(), c.from);
    if (c.page)
      debug.MovePage(c.n);
    else
      debug.MoveSelect(c.n, c.withinPage);
    EXPECT_EQ(debug.GetSelected(), c.to) << c.from << " " << c.n;
  }
}

TEST_F(DebugAidsTest, TheBackgroundFadesInQuartersAndHides) {
  CPrintDebugParam debug(nullptr, nullptr);
  EXPECT_EQ(debug.GetBackVisible(), 0);
  const int percents[] = {100, 0, 25, 50, 75, 100, 0, 25};
  const int visible[] = {1, 0, 1, 1, 1, 1, 0, 1};
  for (int i = 0; i < 8; ++i) {
    debug.Fade();
    EXPECT_EQ(debug.GetBackPercent(), percents[i]) << i;
    EXPECT_EQ(debug.GetBackVisible(), visible[i]) << i;
  }
}

TEST_F(DebugAidsTest, TheVariablePageNamesValuesByColourAndMissingNamesEmpty) {
  MakeGame({});
  // Names for variables 0..101 only: the rest of the page has none.
  CNameList names;
  for (int i = 0; i < 102; ++i) names.Add(testsupport::Numbered("v", i).c_str(), true);
  const int values[] = {0, 1, 2, 7};
  for (int i = 0; i < 4; ++i) game_->SetVar(100 + i, values[i]);
  CPrintDebugParam debug(game_.get(), &names);
  debug.MoveSelect(101, 0);
  Lines lines;
  debug.Print(-1, &lines);
  // Each row a black shadow and the coloured line; the marker once.
  ASSERT_EQ(lines.size(), 41u);
  struct Row {
    const char* text;
    uint32_t colour;
  };
  const Row rows[] = {{"v100:\x81\x79" "0\x81\x7A", 0x909090},
                      {"v101:\x81\x79" "1\x81\x7A", 0xFFFFFF},
                      {":\x81\x79" "2\x81\x7A", 0xFF8000},
                      {":\x81\x79" "7\x81\x7A", 0x0080FF}};
  size_t at = 0;
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const platform::OverlayText& shadow = lines[at++];
    const platform::OverlayText& line = lines[at++];
    EXPECT_EQ(shadow.text, rows[i].text);
    EXPECT_EQ(shadow.color, 0u);
    EXPECT_EQ(shadow.x, 381);
    EXPECT_EQ(shadow.y, 17 + 20 * i);
    EXPECT_EQ(line.text, rows[i].text);
    EXPECT_EQ(line.color, rows[i].colour);
    EXPECT_EQ(line.x, 380);
    EXPECT_EQ(line.y, 16 + 20 * i);
    EXPECT_EQ(line.background, -1);
    if (i == 1) {
      const platform::OverlayText& marker = lines[at++];
      EXPECT_EQ(marker.text, "\x81\x9C");
      EXPECT_EQ(marker.x, 365);
      EXPECT_EQ(marker.y, 37);
    }
  }
  // A page past every name: all lines print without a name.
  lines.clear();
  debug.Print(980, &lines);
  EXPECT_EQ(lines[1].text, ":\x81\x79" "0\x81\x7A");
}

TEST_F(DebugAidsTest, InDebugModeTheFrameShowsTheListTheSceneLineAndTheVariablePage) {
  MakeGame({}, true);
  game_->Frame(50);
  const Lines first = Overlay();
  // The scene-name line (no project list: no name) and the page of
  // variables 0..19.
  ASSERT_GE(first.size(), 2u);
  EXPECT_EQ(first[first.size() - 1].text, "\x81\x79\x81\x7A");
  EXPECT_EQ(first[first.size() - 1].background, 0xFF8000);
  EXPECT_EQ(first[first.size() - 1].x, 16);
  EXPECT_EQ(first[first.size() - 2].x, 17);

  Key(VK_MULTIPLY);
  game_->Debug().SetSceneNameTexts("before", "after");
  game_->Frame(50);
  const Lines& lines = Overlay();
  auto find = [&](const std::string& text, int x) -> const platform::OverlayText* {
    for (const platform::OverlayText& l : lines)
      if (l.text == text && l.x == x) return &l;
    return nullptr;
  };
  const platform::OverlayText* stamp = find("ZORLib : Feb  7 2011 , 07:34:34", 16);
  ASSERT_NE(stamp, nullptr);
  EXPECT_EQ(stamp->y, 32 + 26 * 3);
  EXPECT_EQ(stamp->color, 0xFFFFFFu);
  EXPECT_EQ(stamp->background, 0x008000);
  const platform::OverlayText* shadow = find("ZORLib : Feb  7 2011 , 07:34:34", 17);
  ASSERT_NE(shadow, nullptr);
  EXPECT_EQ(shadow->y, 32 + 26 * 3 + 1);
  EXPECT_EQ(shadow->color, 0u);
  EXPECT_NE(find("\x81\x79" "before\x81\x7A" "after", 16), nullptr);

  // Page Down five times reaches variable 100; Right raises it by 1, by
  // 10 with Shift and by 109 with Shift and Ctrl; Down moves in the page.
  for (int i = 0; i < 5; ++i) Key(VK_NEXT);
  EXPECT_EQ(game_->Debug().GetDebugParam()->GetSelected(), 100);
  Key(VK_RIGHT);
  Key(VK_SHIFT);
  Key(VK_RIGHT);
  Key(VK_CONTROL);
  Key(VK_RIGHT);
  EXPECT_EQ(game_->GetVar(100), 120);
  game_->WindowProc(window_, WM_KEYUP, VK_SHIFT, 0);
  game_->WindowProc(window_, WM_KEYUP, VK_CONTROL, 0);
  Key(VK_LEFT);
  EXPECT_EQ(game_->GetVar(100), 119);
  Key(VK_UP);
  EXPECT_EQ(game_->Debug().GetDebugParam()->GetSelected(), 119);
  Key(VK_INSERT);
  EXPECT_EQ(game_->Debug().GetDebugParam()->GetSelected(), 99);
  game_->Frame(50);
  const platform::OverlayText* marker = find("\x81\x9C", 365);
  ASSERT_NE(marker, nullptr);
  EXPECT_EQ(marker->y, 17 + 20 * 19);
  // Numeric + shows the box (opaque from 75 + 25 percent) in the screen
  // buffer; numeric minus toggles the debug word with the boss-coming flag.
  Key(VK_ADD);
  Key(VK_SUBTRACT);
  EXPECT_EQ(game_->Debug().GetDebugWord(), 1);
  EXPECT_EQ(game_->Screen().GetBossComingFlag(), 1);
  game_->Frame(50);
  EXPECT_EQ(ScreenAt(360, 8), 0x40C080u);
  EXPECT_EQ(ScreenAt(791, 591), 0x40C080u);
  EXPECT_NE(ScreenAt(359, 8), 0x40C080u);
}

// Pixels of the presented frame in rows y .. y + 15 of the left 400
// columns that are not black; the frame's debug lines are text of size 16.
std::vector<uint32_t> Band(const platform::HeadlessWindow& window, int y) {
  std::vector<uint32_t> band;
  for (int row = y; row < y + 16; ++row)
    for (int x = 0; x < 400; ++x) band.push_back(window.PixelAt(x, row) & 0xFFFFFF);
  return band;
}

bool Inked(const std::vector<uint32_t>& band) {
  return std::any_of(band.begin(), band.end(), [](uint32_t p) { return p != 0; });
}

TEST_F(DebugAidsTest, TheFrameDrawsItsLagAndBackScriptLinesInDebugModeAndTheMusicLineByItsFlag) {
  struct Case {
    const char* name;
    bool debug;
    const char* musicFlag;
    bool lagLines, musicLine;
  };
  const Case cases[] = {
      {"neither", false, "0", false, false},
      {"debug mode", true, "0", true, false},
      {"the music flag", false, "1", false, true},
      {"both", true, "1", true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dir_ = std::make_unique<testsupport::TempDir>();
    CDebugPart::ResetProcessDebugFlag();
    MakeGame({{"debugMusicNumberPrintFlag", c.musicFlag}}, c.debug);
    // Debug mode sets the process-wide debug word with the game's switches.
    EXPECT_EQ(CDebugPart::GetProcessDebugFlag(), c.debug ? 1 : 0);
    EXPECT_EQ(game_->Debug().GetDebugFlag(), c.debug ? 1 : 0);
    game_->Frame(50);
    const platform::HeadlessWindow& window = *host_->GetWindow();
    EXPECT_EQ(Inked(Band(window, 300)), c.lagLines);
    EXPECT_EQ(Inked(Band(window, 320)), c.lagLines);
    EXPECT_EQ(Inked(Band(window, 0)), c.musicLine);
    // Nothing between the lines.
    EXPECT_FALSE(Inked(Band(window, 200)));
    if (c.lagLines) {
      // The line carries the back-script mode's value.
      const std::vector<uint32_t> before = Band(window, 320);
      game_->Scripts().SetBackScriptMode(7);
      game_->Frame(50);
      EXPECT_NE(Band(*host_->GetWindow(), 320), before);
    }
    if (c.musicLine) {
      const std::vector<uint32_t> before = Band(window, 0);
      game_->Sound().PlayBgmNumber(3, 0, 0, 0, 0);
      game_->Frame(50);
      EXPECT_NE(Band(*host_->GetWindow(), 0), before);
    }
    game_.reset();
  }
}

TEST_F(DebugAidsTest, OutsideDebugModeTheKeysOnlyReachTheKeyState) {
  MakeGame({});
  Key(VK_MULTIPLY);
  for (int i = 0; i < 5; ++i) Key(VK_NEXT);
  Key(VK_RIGHT);
  game_->Frame(50);
  EXPECT_TRUE(Overlay().empty());
  EXPECT_EQ(game_->Debug().GetDebugParam()->GetSelected(), 0);
  EXPECT_EQ(game_->Debug().GetDebugWord(), 0);
  // Numeric * still fills the list, which only debug mode shows.
  EXPECT_EQ(game_->Debug().GetDebugLineCount(), 4);
}

TEST_F(DebugAidsTest, TheStartTextComesBackUntilTheFirstFrame) {
  MakeGame({});
  game_->Debug().ShowStartMessage("wait");
  const long long shown = host_->GetWindow()->PresentCount();
  game_->Debug().PrintStartText();
  EXPECT_EQ(host_->GetWindow()->PresentCount(), shown + 1);
  ASSERT_EQ(Overlay().size(), 1u);
  EXPECT_EQ(Overlay()[0].text, "wait");
  game_->Frame(50);
  EXPECT_TRUE(Overlay().empty());
  const long long framed = host_->GetWindow()->PresentCount();
  game_->Debug().PrintStartText();
  EXPECT_EQ(host_->GetWindow()->PresentCount(), framed);
}

// A title class that makes the common back button.
class BackButtonGame : public DebugGame {
 public:
  using DebugGame::DebugGame;
  void CreateBackButton() override { ++made; }
  int made = 0;
};

TEST_F(DebugAidsTest, TheBackButtonIsMadeOnlyWhenItsFlagIsSet) {
  for (const char* flag : {"0", "1"}) {
    WriteList("game", {{"createBackButtonFlag", flag}});
    BackButtonGame game(window_);
    game.Init();
    EXPECT_EQ(game.made, flag[0] - '0');
  }
}

TEST_F(DebugAidsTest, TheDatedLogIsNamedByTheStartTime) {
  MakeGame({{"errorLogFlag", "1"}});
  const std::string& name = datedlog::DatedLogName();
  // Year, month, day, hour, minute, second with their kanji.
  ASSERT_FALSE(name.empty());
  EXPECT_EQ(name.substr(name.size() - 6), "\x95\x62.txt");
  EXPECT_NE(name.find("\x94\x4E"), std::string::npos);
  datedlog::WriteDatedLog("first");
  datedlog::WriteDatedLog("second");
  EXPECT_TRUE(platform::FileExists(name));
  datedlog::StopDatedLog();
  datedlog::WriteDatedLog("after");
  EXPECT_TRUE(datedlog::DatedLogName().empty());
}

TEST(ExtraModeList, TenModesAndNothingOutside) {
  const CExtraModeList list;
  ASSERT_EQ(list.GetCount(), 10);
  const int numbers[] = {22, 31, 27, 30, 33, 34, 29, 35, 24, 45};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(list.GetNumber(i), numbers[i]);
  EXPECT_STREQ(list.GetName(0), "selectplace");
  EXPECT_STREQ(list.GetName(9), "cardsystem");
  for (int i : {-1, 10}) {
    EXPECT_EQ(list.GetNumber(i), 0);
    EXPECT_EQ(list.GetName(i), nullptr);
  }
}

// The destroy step, seen from the music stop and from a mode's destructor.
class TeardownGame : public DebugGame {
 public:
  struct Seen {
    bool players = false, scripts = false, meters = false, screenPicture = false;
    bool floatingLayers = false, input = false, effects = false, lists = false, settings = false;
    bool events = false;
  };
  // The sound part notes what stands when the music stops.
  class WatchedSound : public CSoundPart {
   public:
    WatchedSound(GameParts& parts, TeardownGame& game)
        : CSoundPart(LinksOf<CSoundPart>(parts)), parts_(parts), game_(game) {}
    void StopBgm(int fadeOut) override {
      game_.stops.push_back(game_.Look(parts_));
      CSoundPart::StopBgm(fadeOut);
    }

   private:
    GameParts& parts_;
    TeardownGame& game_;
  };

  explicit TeardownGame(platform::Window* window) : DebugGame(window) {
    Parts().sound = std::make_unique<WatchedSound>(Parts(), *this);
  }
  // The destroy step while `stops` still stands.
  ~TeardownGame() override { ReleaseAll(); }

  // What stands of the parts `p` (the game's, or the set being destroyed).
  Seen Look(const GameParts& p) {
    Seen s;
    s.players = p.sound->GetBgmPlayer() && p.sound->GetSePlayer() && p.sound->GetVoicePlayer();
    s.scripts = p.scripts->GetScript(0) != nullptr;
    s.meters = p.debug->GetFpsPrint() != nullptr;
    s.screenPicture = p.screen->GetScreenPicture() != nullptr;
    s.floatingLayers = p.floating->GetFloatingLayerTable() != nullptr;
    s.input = p.input->GetMouseStatus() && p.input->GetKeyStatus();
    s.effects = p.screen->GetEffect() != nullptr;
    s.lists = p.lists->GetFunctionList() != nullptr;
    s.settings = p.list != nullptr;
    s.events = Handshake().GetEvent(CThreadHandshake::kGameEvent) &&
               Handshake().GetEvent(CThreadHandshake::kAckEvent);
    return s;
  }
  Seen Look() { return Look(Parts()); }
  void AddMode(std::unique_ptr<CCommonGeneral> mode) { Modes().PutMode(50, std::move(mode)); }
  bool AllReleased() {
    const Seen s = Look();
    return !Sound().GetBgmPlayer() && !Sound().GetSePlayer() && !Sound().GetSoundDevice() &&
           !s.scripts && !s.meters && !s.screenPicture && !s.floatingLayers &&
           !Input().GetMouseStatus() && !s.effects && !s.lists && !s.settings && !AnyEvent() &&
           !Screen().HasScreenBuffer() && !Debug().GetDebugParam();
  }
  std::vector<Seen> stops;

 private:
  bool AnyEvent() {
    for (int i : {CThreadHandshake::kGameEvent, CThreadHandshake::kWindowEvent,
                  CThreadHandshake::kAnswerEvent, CThreadHandshake::kAckEvent})
      if (Handshake().GetEvent(i)) return true;
    return false;
  }
};

// Notes, when the destroy step deletes it, what stands of the parts it was
// made over.
class WitnessMode : public CCommonGeneral {
 public:
  WitnessMode(TeardownGame* game, TeardownGame::Seen* seen)
      : CCommonGeneral(game->Roles()), game_(game), parts_(game->Parts()), seen_(seen) {}
  ~WitnessMode() override { *seen_ = game_->Look(parts_); }
  int Calcu() override { return -1; }
  int Print() override { return -1; }
  int Init() override { return 1; }

 private:
  TeardownGame* game_;
  const GameParts& parts_;
  TeardownGame::Seen* seen_;
};

TEST_F(DebugAidsTest, TheDestroyStepStopsTheMusicFirstAndReleasesInItsOrder) {
  WriteList("game", {{"fpsPrintFlag", "1"}});
  TeardownGame game(window_);
  game.Init();
  TeardownGame::Seen atMode;
  game.AddMode(std::make_unique<WitnessMode>(&game, &atMode));
  const uint32_t before = platform::GetTicks();
  game.ReleaseAll();
  // The music stopped while every player and object still existed.
  ASSERT_EQ(game.stops.size(), 1u);
  const TeardownGame::Seen& stop = game.stops[0];
  EXPECT_TRUE(stop.players && stop.scripts && stop.meters && stop.screenPicture &&
              stop.floatingLayers && stop.input && stop.effects && stop.lists && stop.settings &&
              stop.events);
  // The players go before the modes; the modes go first of the parts,
  // before everything they share (the meters, the scripts and the screen
  // pictures among it); the events go last.
  EXPECT_FALSE(atMode.players);
  EXPECT_TRUE(atMode.scripts && atMode.meters && atMode.screenPicture && atMode.floatingLayers &&
              atMode.input && atMode.effects && atMode.lists && atMode.settings && atMode.events);
  EXPECT_TRUE(game.AllReleased());
  // Two pauses of 300 ms: after the music stop and after the players.
  EXPECT_EQ(platform::GetTicks() - before, 600u);
  // A second run, and the destructor, find nothing left to release.
  game.ReleaseAll();
  EXPECT_EQ(game.stops.size(), 1u);
}

TEST_F(DebugAidsTest, AGameNeverInitialisedIsDestroyedWithoutReleasingAnything) {
  const uint32_t before = platform::GetTicks();
  {
    TeardownGame game(window_);
    game.ReleaseAll();
    EXPECT_TRUE(game.stops.empty());
  }
  EXPECT_EQ(platform::GetTicks(), before);
}

}  // namespace
}  // namespace game_test
