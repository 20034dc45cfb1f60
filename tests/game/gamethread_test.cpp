// The window-thread handshake of the game object across two threads, and
// the start and end of a game thread with a window thread that answers and
// one that does not. The test also runs under ThreadSanitizer (./test.sh).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "game/game.h"
#include "game/modeflowpart.h"
#include "platform/backend.h"
#include "platform/headless/headless.h"
#include "platform/sync.h"
#include "platform/system.h"

namespace {

// A game object with only the handshake's four events, made as its
// initialisation makes them.
class HandshakeGame : public CGame {
 public:
  HandshakeGame() : CGame(nullptr, nullptr, 800, 600, 32) { Handshake().MakeEvents(); }
  platform::Event* Game() { return Handshake().GetEvent(CThreadHandshake::kGameEvent); }
  platform::Event* WindowEvent() { return Handshake().GetEvent(CThreadHandshake::kWindowEvent); }
  platform::Event* Answer() { return Handshake().GetEvent(CThreadHandshake::kAnswerEvent); }
  platform::Event* Ack() { return Handshake().GetEvent(CThreadHandshake::kAckEvent); }
  int AnswerWord() { return Handshake().GetAnswerWord(); }
  void UseWindow(platform::Window* window) { Parts().window = window; }
  // A window that does not answer is given up on after `ms`, not 10 s.
  void ShortenThreadWait(uint32_t ms) { Handshake().GetWaits().thread = ms; }
  void SetModeLevel(int level) { Modes().SetModeLevel(level); }
  void SetCloseFlag(int on) { GetSettings().modalCannotCloseFlag = on; }
  void SetAnswerWord(int answer) { Handshake().SetAnswerWord(answer); }
};

bool Traced(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// Takes the next message of the queue, waiting at most 5 s for it.
bool TakeMessage(platform::Message* m) {
  for (int i = 0; i < 5000; ++i) {
    if (platform::PeekMessage(m, true)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

const char kCoUninit[] =
    "[[CoUninit \x82\xBD\x82\xD4\x82\xF1\x82\xB1\x82\xC1\x82\xBF\x82\xC9\x82\xAD\x82\xE9]]";

class GameThreadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_ = &platform::InstallHeadless();
    host_->SetErrorEcho(false);
  }
  HandshakeGame game_;
  platform::HeadlessBackend* host_ = nullptr;
};

TEST_F(GameThreadTest, TheGameSideSignalsAndTheWindowSideAnswers) {
  // The window thread waits for the game event and answers with the
  // window event; both sides reset what they waited for.
  std::atomic<int> waited{-1};
  platform::Thread window;
  ASSERT_TRUE(window.Start([&] {
    waited = game_.WaitGameEvent();
    game_.SetWindowEvent();
  }));
  game_.SignalGameEvent();
  window.Join();
  EXPECT_EQ(waited.load(), 0);
  EXPECT_FALSE(game_.Game()->Wait(0));
  EXPECT_FALSE(game_.WindowEvent()->Wait(0));
}

TEST_F(GameThreadTest, CheckGameEventAnswersOnlyASignalledRequest) {
  EXPECT_EQ(game_.CheckGameEvent(), 1);
  EXPECT_FALSE(game_.WindowEvent()->Wait(0));
  // A request from the game thread is answered by the window thread's
  // check, without waiting.
  platform::Thread gameThread;
  ASSERT_TRUE(gameThread.Start([&] { game_.SignalGameEvent(); }));
  while (!game_.Game()->Wait(0)) platform::Sleep(1);
  EXPECT_EQ(game_.CheckGameEvent(), 1);
  gameThread.Join();
  EXPECT_FALSE(game_.WindowEvent()->Wait(0));
}

TEST_F(GameThreadTest, TheAnswerIsReadAfterItsEventAndAcknowledged) {
  std::atomic<int> read{0};
  platform::Thread requester;
  ASSERT_TRUE(requester.Start([&] {
    // The requesting side: waits for the answer, takes it, acknowledges.
    ASSERT_TRUE(game_.Answer()->Wait(platform::kInfinite));
    read = game_.AnswerWord();
    game_.Answer()->Reset();
    game_.Ack()->Set();
  }));
  EXPECT_EQ(game_.AnswerWindowRequest(1234), 1);
  requester.Join();
  EXPECT_EQ(read.load(), 1234);
  EXPECT_FALSE(game_.Ack()->Wait(0));
}

TEST_F(GameThreadTest, AWaitNobodyAnswersEnds) {
  // Bounded: the game event never comes and the wait gives up.
  EXPECT_NE(game_.WaitGameEvent(), 0);
}

TEST_F(GameThreadTest, AWindowThatAnswersRunsTheGameThreadUntilItEnds) {
  struct Case {
    const char* name;
    int closeFlag, level;
    bool closedWhileRunning, openAfter;
  };
  const Case cases[] = {
      {"the close box off while the thread runs", 1, 0, true, true},
      {"without modalCannotCloseFlag", 0, 0, false, true},
      {"a mode level still open keeps it off", 1, 2, true, false},
  };
  platform::Window* window = platform::CreateWindow({});
  game_.UseWindow(window);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    window->EnableCloseItem(true);
    game_.SetCloseFlag(c.closeFlag);
    game_.SetModeLevel(c.level);
    host_->ClearDebugLines();
    std::atomic<bool> closedWhileRunning{false};
    int args[3] = {};
    platform::Thread gameThread;
    platform::Thread windowThread;
    // The window thread: starts the game thread on WM_USER + 555 and
    // answers; answers WM_USER + 556; sets the end event once the game
    // thread has ended (on every path, so the test cannot hang).
    ASSERT_TRUE(windowThread.Start([&] {
      platform::Message m;
      EXPECT_EQ(game_.WaitGameEvent(), 0);
      if (!TakeMessage(&m) || m.message != WM_USER + 555) {
        ADD_FAILURE() << "no start request";
        return;
      }
      auto* request = reinterpret_cast<CGameCallBack::GameThreadRequest*>(m.wParam);
      EXPECT_EQ(reinterpret_cast<platform::Event*>(m.lParam), request->end);
      std::copy(request->args, request->args + 3, args);
      gameThread.Start([&] {
        // The game thread's frames would run here, once the start has
        // taken the answer and traced it; the close box goes off after.
        auto started = [&] {
          return Traced(host_->DebugLines(), "[Thread Start]") &&
                 (!c.closeFlag || !window->IsCloseItemEnabled());
        };
        for (int i = 0; i < 5000 && !started(); ++i)
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
        closedWhileRunning = !window->IsCloseItemEnabled();
        game_.EndGameThread();
      });
      game_.AnswerWindowRequest(1);
      EXPECT_EQ(game_.WaitGameEvent(), 0);
      EXPECT_TRUE(TakeMessage(&m) && m.message == WM_USER + 556);
      game_.AnswerWindowRequest(0);
      gameThread.Join();
      request->end->Set();
    }));
    EXPECT_EQ(game_.StartGameThread(1, 2, 3), 1);
    windowThread.Join();
    EXPECT_EQ(args[0], 1);
    EXPECT_EQ(args[1], 2);
    EXPECT_EQ(args[2], 3);
    EXPECT_EQ(closedWhileRunning.load(), c.closedWhileRunning);
    EXPECT_EQ(window->IsCloseItemEnabled(), c.openAfter);
    const std::vector<std::string> trace = host_->DebugLines();
    EXPECT_TRUE(Traced(trace, "[Thread Start]"));
    EXPECT_TRUE(Traced(trace, kCoUninit));
    EXPECT_TRUE(Traced(trace, "[level=" + std::to_string(c.level) + "]"));
    for (platform::Event* e : {game_.Game(), game_.WindowEvent(), game_.Answer(), game_.Ack()})
      EXPECT_FALSE(e->Wait(0));
  }
}

TEST_F(GameThreadTest, AWindowThatDoesNotAnswerStartsNoThreadAndNothingHangs) {
  platform::Window* window = platform::CreateWindow({});
  game_.UseWindow(window);
  game_.ShortenThreadWait(100);
  // An answer left from an earlier request is not taken for this one. If
  // it were, the start would wait for a thread that never ends: a guard
  // sets the posted end event after 5 s so the test fails instead.
  game_.SetAnswerWord(7);
  platform::Event done(true, false);
  platform::Message late{};
  platform::Thread guard;
  ASSERT_TRUE(guard.Start([&] {
    if (!TakeMessage(&late) || late.message != WM_USER + 555) return;
    if (!done.Wait(5000)) reinterpret_cast<platform::Event*>(late.lParam)->Set();
  }));
  EXPECT_EQ(game_.StartGameThread(1, 2, 3), 0);
  done.Set();
  guard.Join();
  // A window that handles the request after the start gave up still reads
  // the arguments and can set the end event.
  ASSERT_EQ(late.message, WM_USER + 555);
  const auto* request = reinterpret_cast<const CGameCallBack::GameThreadRequest*>(late.wParam);
  EXPECT_EQ(request->args[0] + request->args[1] * 10 + request->args[2] * 100, 321);
  EXPECT_EQ(request->end, reinterpret_cast<platform::Event*>(late.lParam));
  request->end->Set();
  EXPECT_TRUE(window->IsCloseItemEnabled());
  EXPECT_FALSE(Traced(host_->DebugLines(), "[Thread Start]"));
  EXPECT_TRUE(Traced(host_->ErrorLines(),
                     "StartGameThread: the window did not answer within 10 s; no game thread"));
  // The end, with nobody to answer, also gives up and traces its level.
  game_.EndGameThread();
  EXPECT_TRUE(Traced(host_->DebugLines(), "[level=0]"));
  EXPECT_TRUE(window->IsCloseItemEnabled());
}

TEST_F(GameThreadTest, WithoutAWindowStartAndEndSayWhy) {
  EXPECT_EQ(game_.StartGameThread(1, 2, 3), 0);
  game_.EndGameThread();
  EXPECT_EQ(host_->ErrorLines().size(), 2u);
  // Nothing was requested: no event is left signalled.
  for (platform::Event* e : {game_.Game(), game_.WindowEvent(), game_.Answer(), game_.Ack()})
    EXPECT_FALSE(e->Wait(0));
}

}  // namespace
