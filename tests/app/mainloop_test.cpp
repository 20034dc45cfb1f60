#include <cerrno>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/maincontrol.h"
#include "app_test.h"
#include "game/gamecallback.h"
#include "platform/system.h"

namespace app_test {
namespace {

constexpr uint32_t kTestMessage = WM_USER + 7;

// A game object that records what the loop asks of it and when.
class RecordingGame : public CGameCallBack {
 public:
  RecordingGame(platform::Window* window, CCommonSystemFile* file)
      : CGameCallBack(window, file, 800, 600, 32) {}

  void SetMainControl(CMainControl* mainControl) override {
    calls.push_back("SetMainControl");
    CGameCallBack::SetMainControl(mainControl);
  }
  void Init() override {
    calls.push_back("Init");
    // Messages that come while the game starts already reach it.
    Parts().window->Call(kTestMessage, 0, 0);
  }
  void CreateModes() override { calls.push_back("CreateModes"); }
  void PrepareModeTables() override { calls.push_back("PrepareModeTables"); }
  int CheckReady() override {
    calls.push_back("CheckReady");
    return ready;
  }
  void SetFullScreenSize(int w, int h) override { Record("SetFullScreenSize", w, h); }
  void SetClipLeftTop(int x, int y) override { Record("SetClipLeftTop", x, y); }
  void SetClipRightBottom(int x, int y) override { Record("SetClipRightBottom", x, y); }
  int GetFrameTime() override { return period; }
  int Frame(int elapsed) override {
    ticks.push_back(platform::GetTicks());
    elapsedTimes.push_back(elapsed);
    events.push_back("frame");
    if (onFrame) onFrame(static_cast<int>(ticks.size()));
    return 0;
  }
  int FrameOnMainThread(int) override {
    events.push_back("main-thread frame");
    return 0;
  }
  intptr_t WindowProc(platform::Window* window, uint32_t message, uintptr_t wParam,
                      intptr_t lParam) override {
    if (message == kTestMessage) events.push_back("message");
    if (message == WM_CLOSE) events.push_back("close");
    return CGameCallBack::WindowProc(window, message, wParam, lParam);
  }

  void Record(const char* what, int a, int b) {
    calls.push_back(std::string(what) + " " + std::to_string(a) + " " + std::to_string(b));
  }

  int period = 50;
  int ready = 1;
  std::function<void(int)> onFrame;
  std::vector<std::string> calls;
  std::vector<std::string> events;
  std::vector<uint32_t> ticks;
  std::vector<int> elapsedTimes;
};

class MainLoopTest : public AppTest {
 protected:
  void Start(const Pairs& settings = {}) {
    if (!settings.empty()) WriteList("mainControl", settings);
    app_ = std::make_unique<CMainControl>(nullptr, nullptr);
    ASSERT_EQ(app_->CheckStartUp(), 1);
    window_ = app_->CreateMainWindow(nullptr);
    ASSERT_NE(window_, nullptr);
    game_ = std::make_unique<RecordingGame>(window_, app_->GetSystemFile());
    host_->ClearBoxes();
  }
  // Runs the loop for `frames` frames; the frame ticks are taken from the
  // loop's start.
  int Run(long long frames) {
    app_->SetRunLimits(frames, "");
    start_ = platform::GetTicks();
    const int result = app_->MainLoop(game_.get());
    for (uint32_t& t : game_->ticks) t -= start_;
    return result;
  }
  void TearDown() override {
    game_.reset();
    app_.reset();
    AppTest::TearDown();
  }

  std::unique_ptr<CMainControl> app_;
  std::unique_ptr<RecordingGame> game_;
  platform::Window* window_ = nullptr;
  uint32_t start_ = 0;
};

TEST_F(MainLoopTest, FramesKeepToTheGrid) {
  struct Case {
    const char* name;
    int period;
    std::function<void(RecordingGame&, int)> onFrame;
    std::vector<uint32_t> ticks;
    std::vector<int> elapsed;
  };
  const std::vector<Case> cases = {
      {"50 ms", 50, nullptr, {45, 95, 145, 195}, {45, 50, 50, 50}},
      {"33 ms", 33, nullptr, {28, 61, 94, 127}, {28, 33, 33, 33}},
      {"5 ms: the first pass runs a frame", 5, nullptr, {0, 5, 10, 15}, {0, 5, 5, 5}},
      {"a 200 ms stall moves the grid instead of a burst", 50,
       [](RecordingGame&, int n) {
         if (n == 2) platform::Sleep(200);
       },
       {45, 95, 295, 340, 390}, {45, 50, 200, 45, 50}},
      {"a new frame time applies from the next frame", 50,
       [](RecordingGame& g, int n) {
         if (n == 2) g.period = 30;
       },
       {45, 95, 125, 155, 185}, {45, 50, 30, 30, 30}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fresh();
    Start();
    game_->period = c.period;
    RecordingGame& game = *game_;
    if (c.onFrame) game_->onFrame = [&game, &c](int n) { c.onFrame(game, n); };
    EXPECT_EQ(Run(static_cast<long long>(c.ticks.size())), 1);
    EXPECT_EQ(game_->ticks, c.ticks);
    EXPECT_EQ(game_->elapsedTimes, c.elapsed);
    game_.reset();
    app_.reset();
  }
}

TEST_F(MainLoopTest, AWaitingMessageGoesBeforeADueFrame) {
  Start();
  game_->onFrame = [this](int n) {
    if (n == 1 || n == 3) {
      platform::PostMessage(window_, kTestMessage, 0, 0);
      host_->AdvanceClock(100);  // the next frame is overdue
    }
  };
  EXPECT_EQ(Run(4), 1);
  const std::vector<std::string> expected = {"message", "frame", "message", "frame", "frame",
                                             "message", "frame", "close"};
  EXPECT_EQ(game_->events, expected);
}

TEST_F(MainLoopTest, TheGameIsStartedInOrderAndTheFileSavedAtTheEnd) {
  host_->SetDesktop({32, -100, 20, 2000, 1000});
  Start();
  const int saves = app_->GetSystemFile()->GetSystemData(CCommonSystemFile::kSaveCounterOffset);
  EXPECT_EQ(Run(2), 1);
  const std::vector<std::string> expected = {
      "SetMainControl", "Init", "CreateModes", "PrepareModeTables", "CheckReady",
      "SetFullScreenSize 2000 1000", "SetClipLeftTop -100 20", "SetClipRightBottom 1900 1020",
  };
  EXPECT_EQ(game_->calls, expected);
  EXPECT_EQ(game_->GetMainControl(), app_.get());
  EXPECT_EQ(game_->ticks.size(), 2u);
  EXPECT_EQ(app_->GetSystemFile()->GetSystemData(CCommonSystemFile::kSaveCounterOffset), saves + 1);
  EXPECT_TRUE(Boxes().empty());
  const auto lines = host_->DebugLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(testsupport::Utf8(lines[0]), "\n\ntimer精度=1\n\n");
  // The run ended by closing the window.
  EXPECT_EQ(app_->GetWindow(), nullptr);
  EXPECT_FALSE(host_->GetWindow()->IsVisible());

  // After the loop the window procedure no longer reaches the game.
  game_->events.clear();
  window_->Call(kTestMessage, 0, 0);
  EXPECT_TRUE(game_->events.empty());
}

TEST_F(MainLoopTest, ClosingTheWindowEndsTheLoopAndSavesWithABox) {
  Start();
  host_->InjectClose();
  platform::FailWholeFileWrites(1);
  const std::string before = Dir().Read("sav/sysfile.sav");
  EXPECT_EQ(Run(-1), 1);
  EXPECT_TRUE(game_->ticks.empty());
  EXPECT_EQ(Dir().Read("sav/sysfile.sav"), before);
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, testsupport::Sjis("システムファイル:sav\\sysfile.savがsaveできませんでした\n") +
                               std::strerror(ENOSPC));
}

TEST_F(MainLoopTest, AGameThatIsNotReadyRunsNoFrame) {
  Start();
  game_->ready = 0;
  std::filesystem::remove(Dir() / "sav/sysfile.sav");
  EXPECT_EQ(Run(3), 0);
  EXPECT_TRUE(game_->ticks.empty());
  EXPECT_EQ(game_->calls.back(), "CheckReady");
  EXPECT_FALSE(Dir().Exists("sav/sysfile.sav"));
  EXPECT_TRUE(host_->DebugLines().empty());
}

TEST_F(MainLoopTest, WithoutTheGeneralFlagTheMainThreadEntryRuns) {
  Start({{"oldUseGeneralFlag", "0"}});
  EXPECT_EQ(Run(2), 1);
  EXPECT_TRUE(game_->ticks.empty());
  const std::vector<std::string> expected = {"message", "main-thread frame", "main-thread frame", "close"};
  EXPECT_EQ(game_->events, expected);
}

}  // namespace
}  // namespace app_test
