// The window-thread handshake of the game object across two threads, and
// the start and end of a game thread, which this program never runs. The
// test also runs under ThreadSanitizer (./test.sh).
#include <gtest/gtest.h>

#include <atomic>

#include "game/game.h"
#include "platform/headless/headless.h"
#include "platform/sync.h"
#include "platform/system.h"

namespace {

// A game object with only the handshake's four events, made as its
// initialisation makes them.
class HandshakeGame : public CGame {
 public:
  HandshakeGame() : CGame(nullptr, nullptr, 800, 600, 32) {
    for (platform::Event*& e : events_) e = new platform::Event(true, false);
  }
  ~HandshakeGame() override {
    for (platform::Event*& e : events_) {
      delete e;
      e = nullptr;
    }
  }
  platform::Event* Game() const { return events_[0]; }
  platform::Event* WindowEvent() const { return events_[1]; }
  platform::Event* Answer() const { return events_[2]; }
  platform::Event* Ack() const { return events_[3]; }
  int AnswerWord() const { return windowRequestResult_; }
};

class GameThreadTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::InstallHeadless(); }
  HandshakeGame game_;
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

TEST_F(GameThreadTest, WithoutAGameThreadStartAndEndReturnAtOnce) {
  EXPECT_EQ(game_.StartGameThread(1, 2, 3), 0);
  game_.EndGameThread();
  // Nothing was requested: no event is left signalled.
  for (platform::Event* e : {game_.Game(), game_.WindowEvent(), game_.Answer(), game_.Ack()})
    EXPECT_FALSE(e->Wait(0));
}

}  // namespace
