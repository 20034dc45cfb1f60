#include <fcntl.h>
#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <cstdio>
#include <string>
#include <vector>

#include "app/maincontrol.h"
#include "app/wheelmessage.h"
#include "app_test.h"
#include "platform/system.h"

namespace app_test {
namespace {

using testsupport::Sjis;
using testsupport::Utf8;

class MainControlTest : public AppTest {};

TEST_F(MainControlTest, WithoutSettingsListsTheDefaultsHold) {
  CMainControl app(nullptr, nullptr);
  ASSERT_EQ(app.CheckStartUp(), 1);
  EXPECT_EQ(app.IsStarted(), 1);
  EXPECT_TRUE(CheckBoxes().empty());
  int size[2];
  app.GetWindowSize(size);
  EXPECT_EQ(size[0], 800);
  EXPECT_EQ(size[1], 600);
  EXPECT_EQ(app.GetBpp(), 32);

  // The save folder is locked.
  platform::InstanceLock other;
  EXPECT_EQ(other.Acquire("sav"), platform::InstanceLock::Result::kHeld);

  // Seeded from the clock's seconds.
  const int drawn = crt::rand();
  crt::srand(static_cast<uint32_t>(platform::EpochSeconds()));
  EXPECT_EQ(drawn, crt::rand());

  platform::Window* window = app.CreateMainWindow(nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->GetClientSize(), (platform::Point{800, 600}));
  EXPECT_EQ(Utf8(window->GetTitle()), "zor標準プログラム");
  EXPECT_TRUE(window->IsVisible());
  EXPECT_TRUE(Dir().Exists("sav/sysfile.sav"));

  app.Release();
  EXPECT_EQ(other.Acquire("sav"), platform::InstanceLock::Result::kTaken);
}

// The start clears what a save cut short by a crash left in the save folder.
TEST_F(MainControlTest, TheStartRemovesWhatCrashedSavesLeft) {
  Dir().Write("sav/data0.sav", "slot");
  Dir().Write("sav/data0.sav.tmp.Q1w2E3", "partial");
  const timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, (Dir() / "sav/data0.sav.tmp.Q1w2E3").c_str(), old, 0), 0);
  CMainControl app(nullptr, nullptr);
  EXPECT_FALSE(Dir().Exists("sav/data0.sav.tmp.Q1w2E3"));
  EXPECT_EQ(Dir().Read("sav/data0.sav"), "slot");
}

struct ExpectedBox {
  const char* caption;
  const char* text;  // UTF-8
  int style;
};

TEST_F(MainControlTest, StartUpChecksShowTheirBoxes) {
  const int warn = MB_ICONWARNING;
  const int ask = MB_ICONWARNING | MB_YESNO;
  struct Case {
    const char* name;
    Pairs settings;
    platform::DesktopInfo desktop;
    int answer;
    int pass;
    std::vector<ExpectedBox> boxes;
  };
  const platform::DesktopInfo normal{32, 0, 0, 1920, 1080};
  const std::vector<Case> cases = {
      {"needBpp 48", {{"needBpp", "48"}}, normal, IDNO, 0,
       {{"Error", "48bitカラー以上に設定してください", warn}}},
      {"an 8-bit desktop", {}, {8, 0, 0, 1920, 1080}, IDNO, 0,
       {{"Error", "16bitカラー以上に設定してください", warn}}},
      {"asks, No goes on", {{"needBpp", "48"}, {"bppErrorMustAbortFlag", "0"}}, normal, IDNO, 1,
       {{"Error", "48bitカラー以上に設定してください", ask}}},
      {"asks, Yes stops", {{"needBpp", "48"}, {"bppErrorMustAbortFlag", "0"}}, normal, IDYES, 0,
       {{"Error", "48bitカラー以上に設定してください", ask}}},
      {"message without the number", {{"needBpp", "48"}, {"bppErrorMesAddNumFlag", "0"}}, normal, IDNO, 0,
       {{"Error", "%dbitカラー以上に設定してください", warn}}},
      {"own message and caption",
       {{"needBpp", "48"}, {"bppErrorMessage", "%s%n%d%x%%d%5d"}, {"bppErrorTitle", "色"}}, normal, IDNO,
       0, {{"色", "%s%n48%x%d%5d", warn}}},
      {"the first failing check ends the checks", {{"needBpp", "48"}, {"windowSizeX", "4000"}}, normal,
       IDNO, 0, {{"Error", "48bitカラー以上に設定してください", warn}}},
      {"screen too small", {{"windowSizeX", "1024"}, {"windowSizeY", "768"}}, {32, 0, 0, 1280, 720},
       IDNO, 0, {{"Error", "画面サイズを1024x768以上に設定してください", warn}}},
      {"screen too small, asked",
       {{"windowSizeX", "1024"}, {"windowSizeY", "768"}, {"windowSizeErrorMustAbortFlag", "0"}},
       {32, 0, 0, 1280, 720}, IDNO, 1, {{"Error", "画面サイズを1024x768以上に設定してください", ask}}},
      {"screen message with a %d too many",
       {{"windowSizeX", "1024"}, {"windowSizeY", "768"}, {"windowSizeErrorMessage", "%d/%d/%d/%s"},
        {"windowSizeErrorTitle", "Size"}},
       {32, 0, 0, 1280, 720}, IDNO, 0, {{"Size", "1024/768/%d/%s", warn}}},
      {"screen message as written",
       {{"windowSizeX", "1024"}, {"windowSizeY", "768"}, {"windowSizeErrorMesAddNumFlag", "0"}},
       {32, 0, 0, 1280, 720}, IDNO, 0, {{"Error", "画面サイズを%dx%d以上に設定してください", warn}}},
      {"exactly the screen's size", {{"windowSizeX", "1024"}, {"windowSizeY", "768"}},
       {32, 0, 0, 1024, 768}, IDNO, 1, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fresh();
    host_->SetDesktop(c.desktop);
    host_->SetBoxAnswer(c.answer);
    WriteList("mainControl", c.settings);
    CMainControl app(nullptr, nullptr);
    host_->ClearBoxes();
    EXPECT_EQ(app.CheckStartUp(), c.pass);
    EXPECT_EQ(app.IsStarted(), c.pass);
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), c.boxes.size());
    for (size_t i = 0; i < boxes.size(); ++i) {
      EXPECT_EQ(Utf8(boxes[i].caption), c.boxes[i].caption);
      EXPECT_EQ(Utf8(boxes[i].text), c.boxes[i].text);
      EXPECT_EQ(boxes[i].style, c.boxes[i].style);
    }
  }
}

TEST_F(MainControlTest, AWindowSizeOfNoSizeKeepsTheDefault) {
  struct Case {
    const char* x;
    const char* y;
    int width, height;
  };
  const Case cases[] = {{"0", "0", 800, 600},      {"-640", "480", 800, 480},
                        {"wide", "-1", 800, 600},  {"1024", "abc", 1024, 600},
                        {"640", "480", 640, 480}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.x) + " " + c.y);
    Fresh();
    WriteList("mainControl", {{"windowSizeX", c.x}, {"windowSizeY", c.y}});
    CMainControl app(nullptr, nullptr);
    ASSERT_EQ(app.CheckStartUp(), 1);
    int size[2];
    app.GetWindowSize(size);
    EXPECT_EQ(size[0], c.width);
    EXPECT_EQ(size[1], c.height);
  }
  // Each refused value is named on stderr.
  const auto lines = host_->ErrorLines();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[3],
            "zorgame: \"windowSizeX\" is \"wide\" in the mainControl list, not a window size; "
            "800 is used");
}

TEST_F(MainControlTest, OnlyOneInstanceRunsUnlessTheCheckIsOff) {
  WriteList("mainControl", {{"mutexName", "OneOnly"}});
  CMainControl first(nullptr, nullptr);
  ASSERT_EQ(first.CheckStartUp(), 1);
  host_->ClearBoxes();
  // A stopped second start does not save the system file.
  const std::string saved = Dir().Read("sav/sysfile.sav");
  {
    CMainControl second(nullptr, nullptr);
    EXPECT_EQ(second.CheckStartUp(), 0);
    const auto boxes = CheckBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(boxes[0].text, Sjis("二重起動はできません"));
    EXPECT_EQ(boxes[0].style, MB_ICONWARNING);
  }
  EXPECT_EQ(Dir().Read("sav/sysfile.sav"), saved);

  WriteList("mainControl", {{"mutexName", "OneOnly"}, {"checkMutexFlag", "0"}});
  host_->ClearBoxes();
  CMainControl third(nullptr, nullptr);
  EXPECT_EQ(third.CheckStartUp(), 1);
  EXPECT_TRUE(CheckBoxes().empty());
}

// The lock of a save folder that cannot take one is named on stderr, and
// the game starts all the same.
TEST_F(MainControlTest, AnUnlockableSaveFolderIsSaidAndTheGameRuns) {
  std::filesystem::create_directories(Dir() / "sav/zorgame.lock");
  CMainControl app(nullptr, nullptr);
  EXPECT_EQ(app.CheckStartUp(), 1);
  EXPECT_TRUE(CheckBoxes().empty());
  const auto lines = host_->ErrorLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].find("zorgame: the save folder cannot be locked (" + Dir() / "sav/zorgame.lock: "),
            0u)
      << lines[0];
}

// Save-folder names that lead out of the user's folder are refused with a
// line, and the saves stay in the game's folder.
TEST_F(MainControlTest, SaveFolderNamesStayUnderTheirBase) {
  const char* oldData = std::getenv("XDG_DATA_HOME");
  const std::string keep = oldData ? oldData : "";
  struct Case {
    const char* key;
    const char* value;
    bool refused;
    const char* made;  // the first level made under the user's folder
  };
  const Case cases[] = {
      {"saveCompanyFolder", "..\\..\\x", true, ""}, {"saveCompanyFolder", "/abs", true, ""},
      {"saveCompanyFolder", "\\abs", true, ""},      {"saveCompanyFolder", "C:\\x", true, ""},
      {"saveCompanyFolder", "a\\..\\..\\b", true, ""}, {"saveGameFolder", "../up", true, ""},
      {"saveCompanyFolder", "Company\\Game", false, "Company"},
      // The levels a name passes through are folded away, not made.
      {"saveCompanyFolder", "a\\..\\b", false, "b"}, {"saveCompanyFolder", ".\\c\\.", false, "c"},
      // A double-byte name whose second byte is a backslash: no separator.
      {"saveCompanyFolder", "表..\\\\..\\\\x", false, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    Fresh();
    ::setenv("XDG_DATA_HOME", (Dir() / "data").c_str(), 1);
    WriteList("game", {{"saveFolderType", "2"}, {c.key, c.value}});
    host_->ClearErrorLines();
    {
      CMainControl app(nullptr, nullptr);
      const auto lines = host_->ErrorLines();
      if (c.refused) {
        EXPECT_EQ(std::string(GetSaveFolder()), "sav");
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0], Sjis("zorgame: \"" + std::string(c.key) + "\" is \"" + c.value +
                                 "\" in the game list, which leads outside the user's folder; "
                                 "the saves stay in the game's own folder"));
      } else {
        EXPECT_EQ(Utf8(GetSaveFolder()).find(Dir() / "data\\"), 0u) << Utf8(GetSaveFolder());
        for (const std::string& line : lines) EXPECT_EQ(line.find("leads outside"), std::string::npos);
        if (c.made) {
          std::vector<std::string> made;
          for (const auto& entry : std::filesystem::directory_iterator(Dir() / "data"))
            made.push_back(entry.path().filename().string());
          EXPECT_EQ(made, std::vector<std::string>{c.made});
        }
      }
    }
    ResetSaveFolder();
  }
  if (oldData)
    ::setenv("XDG_DATA_HOME", keep.c_str(), 1);
  else
    ::unsetenv("XDG_DATA_HOME");
}

TEST_F(MainControlTest, TheSeedSettingDecidesTheSequence) {
  crt::ResetRandom();
  const int unseeded = crt::rand();
  crt::srand(7);
  const int seven = crt::rand();
  struct Case {
    const char* seed;
    int first;  // -1: from the clock
  };
  const Case cases[] = {{"-1", -1}, {"0", unseeded}, {"-5", unseeded}, {"7", seven}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.seed);
    Fresh();
    WriteList("mainControl", {{"initRandomSeed", c.seed}});
    CMainControl app(nullptr, nullptr);
    ASSERT_EQ(app.CheckStartUp(), 1);
    const int drawn = crt::rand();
    int expected = c.first;
    if (expected == -1) {
      crt::srand(static_cast<uint32_t>(platform::EpochSeconds()));
      expected = crt::rand();
    }
    EXPECT_EQ(drawn, expected);
  }
}

TEST_F(MainControlTest, TheTitleFollowsTheVersionKeys) {
  struct Case {
    const char* name;
    Pairs main, game;
    const char* title;
  };
  const Pairs ver = {{"windowTitle", "Game"}, {"versionTitleMessage", "Ver"}};
  auto with = [](Pairs base, const Pairs& more) {
    base.insert(base.end(), more.begin(), more.end());
    return base;
  };
  const Pairs v025 = {{"highVersion", "0"}, {"middleVersion", "2"}, {"lowVersion", "5"}};
  const std::vector<Case> cases = {
      {"no lists", {}, {}, "zor標準プログラム"},
      {"all versions 0", ver, {}, "Game"},
      {"version 1.25", ver, v025, "Game Ver1.25"},
      {"low version 10", ver, {{"middleVersion", "2"}, {"lowVersion", "10"}}, "Game Ver1.210"},
      {"low version not shown", with(ver, {{"lowVersionNotPrintFlag", "1"}}), v025, "Game Ver1.2"},
      {"middle version not shown", with(ver, {{"middleVersionNotPrintFlag", "1"}, {"lowVersionNotPrintFlag", "1"}}),
       v025, "Game Ver1"},
      {"flag 2 with zeros", {{"windowTitle", "Game"}, {"addVersionToWindowTitleFlag", "2"}}, {}, "Game 1.00"},
      {"flag 0", with(ver, {{"addVersionToWindowTitleFlag", "0"}}), v025, "Game"},
      {"negative flag reads no versions", with(ver, {{"addVersionToWindowTitleFlag", "-1"}}), v025,
       "Game Ver1.00"},
      {"largest high version", ver, {{"highVersion", "2147483647"}}, "Game Ver2147483648.00"},
      {"japanese title", {{"windowTitle", "ゾルサンプル"}}, {}, "ゾルサンプル"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fresh();
    if (!c.main.empty()) WriteList("mainControl", c.main);
    if (!c.game.empty()) WriteList("game", c.game);
    CMainControl app(nullptr, nullptr);
    platform::Window* window = app.CreateMainWindow(nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Utf8(window->GetTitle()), c.title);
  }
}

TEST_F(MainControlTest, TheWindowStandsWhereTheSystemFileSaysWithinTheScreen) {
  struct Case {
    const char* name;
    int x, y;
    int screenWidth, screenHeight;
    int expectX, expectY;
  };
  const Case cases[] = {
      {"inside", 100, 50, 1920, 1080, 100, 50},
      {"past the right and bottom", 700, 500, 1024, 768, 224, 168},
      {"screen smaller than the window", 700, 500, 640, 480, 0, 0},
      {"negative", -30, -40, 1920, 1080, 0, 0},
      {"far away", INT_MAX, INT_MAX, 1920, 1080, 1120, 480},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fresh();
    host_->SetDesktop({32, 0, 0, c.screenWidth, c.screenHeight});
    CMainControl app(nullptr, nullptr);
    app.GetSystemFile()->SetPosition(c.x, c.y);
    platform::Window* window = app.CreateMainWindow(nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->GetClientOrigin(), (platform::Point{c.expectX, c.expectY}));
    EXPECT_FALSE(window->IsFullScreen());
  }
}

class RefusingHost : public platform::HeadlessBackend {
 public:
  platform::Window* CreateWindow(const platform::WindowDesc& desc) override {
    platform::Window* window = HeadlessBackend::CreateWindow(desc);
    GetWindow()->RefuseFullScreen(true);
    return window;
  }
};

TEST_F(MainControlTest, FullScreenAtStartAndItsFailure) {
  {
    CMainControl app(nullptr, nullptr);
    app.GetSystemFile()->SetPosition(300, 200);
    app.GetSystemFile()->SetSystemData(CCommonSystemFile::kFullScreenOffset, 1);
    platform::Window* window = app.CreateMainWindow(nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->IsFullScreen());
    EXPECT_TRUE(host_->GetWindow()->Borderless());
    EXPECT_EQ(window->GetClientOrigin(), (platform::Point{0, 0}));
    EXPECT_TRUE(CheckBoxes().empty());
  }

  auto refusing = std::make_unique<RefusingHost>();
  host_ = refusing.get();
  platform::Install(std::move(refusing));
  host_->SetBoxEcho(false);
  Fresh();
  CMainControl app(nullptr, nullptr);
  app.GetSystemFile()->SetSystemData(CCommonSystemFile::kFullScreenOffset, 1);
  platform::Window* window = app.CreateMainWindow(nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(window->IsFullScreen());
  EXPECT_TRUE(host_->GetWindow()->Borderless());
  EXPECT_EQ(window->GetClientSize(), (platform::Point{800, 600}));
  const auto boxes = CheckBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Error");
  EXPECT_EQ(boxes[0].text, Sjis("フルスクリーン処理に失敗しました"));
  EXPECT_EQ(boxes[0].style, MB_ICONWARNING);
}

TEST_F(MainControlTest, TheStartFillAndTheIcon) {
  struct Case {
    const char* name;
    Pairs settings;
    long long presents;
    uint32_t color;
    const char* icon;
  };
  const Case cases[] = {
      {"default: the window colour", {}, 1, 0xFFFFFF, ""},
      {"off", {{"fillStartWindowFlag", "0"}}, 0, 0, ""},
      {"another system colour", {{"fillStartWindowFlag", "8"}}, 1, 0xABABAB, ""},
      {"no such colour", {{"fillStartWindowFlag", "21"}}, 0, 0, ""},
      {"far outside", {{"fillStartWindowFlag", "-2147483648"}}, 0, 0, ""},
      {"icon file", {{"iconName", "sys\\game.ico"}}, 1, 0xFFFFFF, "sys\\game.ico"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fresh();
    WriteList("mainControl", c.settings);
    CMainControl app(nullptr, nullptr);
    ASSERT_NE(app.CreateMainWindow(nullptr), nullptr);
    platform::HeadlessWindow* window = host_->GetWindow();
    EXPECT_EQ(window->PresentCount(), c.presents);
    if (c.presents) {
      EXPECT_EQ(window->PixelAt(0, 0), c.color);
      EXPECT_EQ(window->PixelAt(799, 599), c.color);
      ASSERT_EQ(window->LastRects().size(), 1u);
      EXPECT_EQ(window->LastRects()[0], (platform::Rect{0, 0, 800, 600}));
    }
    EXPECT_EQ(window->IconFile(), c.icon);
  }
}

TEST_F(MainControlTest, PictureListsAndScriptsSizeTheFlagTables) {
  auto lists = [this](int count) {
    for (int n = 1; n <= count; ++n) {
      char name[32];
      if (n <= 99)
        std::snprintf(name, sizeof name, "spt/cglist%02d.xtx", n);
      else
        std::snprintf(name, sizeof name, "spt/CGLIST%c%d.XTX", 'A' + (n - 100) / 10, n % 10);
      Dir().Write(name, "a");
    }
  };
  auto project = [this](int tokens) {
    std::string text;
    for (int i = 0; i < tokens; ++i) {
      text += 's';
      text += std::to_string(i);
      text += "\r\n";
    }
    Dir().Write("spt/project.xtx", text);
  };
  struct Case {
    const char* name;
    int lists;
    int tokens;  // -1: no project list
    Pairs game;
    int listCount, charas, scripts;
  };
  const Case cases[] = {
      {"nothing", 0, -1, {}, 0, 20, 2},
      {"three lists", 3, 64, {}, 3, 3, 64},
      {"twenty lists", 20, 30, {}, 20, 20, 30},
      {"a gap ends the count", 2, 0, {}, 2, 2, 64},
      {"lists past 99 take letters", 101, 64, {}, 101, 101, 64},
      {"no scripts", 0, 30, {{"noScriptFlag", "1"}}, 0, 20, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fresh();
    lists(c.lists);
    if (c.lists == 2) Dir().Write("spt/cglist04.xtx", "a");
    if (c.tokens >= 0) project(c.tokens);
    if (!c.game.empty()) WriteList("game", c.game);
    CMainControl app(nullptr, nullptr);
    EXPECT_EQ(GetCGListCount(), c.listCount);
    EXPECT_EQ(GetCGCharaCount(), c.charas);
    EXPECT_EQ(GetScriptCount(), c.scripts);
    EXPECT_EQ(app.GetSystemFile()->GetCGRows(), c.charas);
    EXPECT_EQ(app.GetSystemFile()->GetScriptRows(), c.scripts);
  }

  // A system file handed in is not owned, and is re-sized when a count changed.
  Fresh();
  CCommonSystemFile file;
  EXPECT_EQ(file.GetCGRows(), 20);
  lists(1);
  {
    CMainControl app(&file, nullptr);
    EXPECT_EQ(app.GetSystemFile(), &file);
    EXPECT_EQ(file.GetCGRows(), 1);
  }
  EXPECT_EQ(file.GetCGRows(), 1);
}

TEST_F(MainControlTest, TheWindowProcedureWithoutAGame) {
  CMainControl app(nullptr, nullptr);
  platform::Window* window = app.CreateMainWindow(nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->Call(WM_USER + 556, 0, 0), 0);
  platform::Message m;
  EXPECT_FALSE(platform::PeekMessage(&m, false));

  // No wheel message is registered here: nothing is mapped.
  EXPECT_EQ(GetWheelMessageNumber(), 0u);
  ASSERT_NE(GetWheelMessage(), nullptr);
  EXPECT_EQ(GetWheelMessage()->MapMessage(WM_MOUSEWHEEL), WM_MOUSEWHEEL);
  EXPECT_EQ(GetWheelMessage()->MapMessage(0xC123), 0xC123u);

  // Closing destroys the window, which hides it and posts the quit.
  EXPECT_EQ(window->Call(WM_CLOSE, 0, 0), 0);
  EXPECT_FALSE(window->IsVisible());
  ASSERT_TRUE(platform::PeekMessage(&m, true));
  EXPECT_EQ(m.message, WM_QUIT);
  EXPECT_EQ(app.GetWindow(), nullptr);
}

}  // namespace
}  // namespace app_test
