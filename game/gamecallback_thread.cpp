// CGameCallBack: the handshake between the window thread and a game thread.
// Four manual-reset events (game, window, answer, acknowledgement) and the
// answer word; every wait but the one for a running game thread's end is
// bounded, and a wait that times out goes on as if answered. The program's
// own frames run on the main thread; a title that runs its frames on a game
// thread starts it with StartGameThread and ends it with EndGameThread.
#include <cstdio>
#include <memory>

#include "game/gamecallback.h"
#include "platform/backend.h"
#include "platform/sync.h"
#include "platform/system.h"

namespace {

enum EventIndex { kGameEvent, kWindowEvent, kAnswerEvent, kAckEvent };

// Waits for the event and resets it when it came; true when it came.
bool WaitAndReset(platform::Event* event, uint32_t ms) {
  if (!event || !event->Wait(ms)) return false;
  event->Reset();
  return true;
}

}  // namespace

int CGameCallBack::CheckGameEvent() {
  platform::Event* game = events_[kGameEvent];
  if (game && game->Wait(0)) SetWindowEvent();
  return 1;
}

int CGameCallBack::SetWindowEvent() {
  if (platform::Event* window = events_[kWindowEvent]) window->Set();
  return 1;
}

int CGameCallBack::WaitGameEvent() {
  return WaitAndReset(events_[kGameEvent], handshakeWaits_.gameEvent) ? 0 : 1;
}

void CGameCallBack::SignalGameEvent() {
  if (platform::Event* game = events_[kGameEvent]) game->Set();
  WaitAndReset(events_[kWindowEvent], handshakeWaits_.answer);
}

int CGameCallBack::AnswerWindowRequest(int answer) {
  // The answer is written before the answer event is set; the requester
  // reads it after its wait.
  windowRequestResult_ = answer;
  if (platform::Event* answered = events_[kAnswerEvent]) answered->Set();
  WaitAndReset(events_[kAckEvent], handshakeWaits_.answer);
  return 1;
}

int CGameCallBack::StartGameThread(int a, int b, int c) {
  platform::Event* game = events_[kGameEvent];
  platform::Event* answered = events_[kAnswerEvent];
  platform::Event* ack = events_[kAckEvent];
  if (!window_ || !game || !answered || !ack) {
    platform::ErrorOutput("StartGameThread: no game window or handshake events; no game thread");
    return 0;
  }
  // One end event for the game object's life, unsignalled at each start.
  if (!threadEnd_) threadEnd_ = std::make_unique<platform::Event>(true, false);
  threadEnd_->Reset();
  threadRequest_.args[0] = a;
  threadRequest_.args[1] = b;
  threadRequest_.args[2] = c;
  threadRequest_.end = threadEnd_.get();
  // The answer word is cleared first: a window that does not answer leaves
  // 0 (no thread), never the answer to an earlier request.
  windowRequestResult_ = 0;
  platform::PostMessage(window_, kStartGameThreadMessage,
                        reinterpret_cast<uintptr_t>(&threadRequest_),
                        reinterpret_cast<intptr_t>(threadEnd_.get()));
  game->Set();
  const bool came = answered->Wait(handshakeWaits_.thread);
  const int thread = came ? windowRequestResult_.load() : 0;
  answered->Reset();
  ack->Set();
  if (!thread) {
    platform::ErrorOutput(came ? "StartGameThread: the window started no game thread"
                               : "StartGameThread: the window did not answer within 10 s; "
                                 "no game thread");
    return 0;
  }
  platform::DebugOutput("[Thread Start]");
  // The window cannot be closed by its close box while the thread runs.
  if (settings_.modalCannotCloseFlag) window_->EnableCloseItem(false);
  // The thread's life: the window side sets the end event once it ended.
  threadEnd_->Wait(platform::kInfinite);
  return 1;
}

void CGameCallBack::EndGameThread() {
  platform::Event* game = events_[kGameEvent];
  platform::Event* answered = events_[kAnswerEvent];
  platform::Event* ack = events_[kAckEvent];
  if (window_ && game && answered && ack) {
    platform::PostMessage(window_, kEndGameThreadMessage, 0, 0);
    game->Set();
    answered->Wait(handshakeWaits_.thread);
    answered->Reset();
    ack->Set();
  } else {
    platform::ErrorOutput("EndGameThread: no game window or handshake events to tell");
  }
  platform::DebugOutput("[[CoUninit \x82\xBD\x82\xD4\x82\xF1\x82\xB1\x82\xC1\x82\xBF\x82\xC9\x82\xAD\x82\xE9]]");
  char level[32];
  std::snprintf(level, sizeof level, "[level=%d]", modeLevel_);
  platform::DebugOutput(level);
  // The close box comes back once no mode level is open.
  if (settings_.modalCannotCloseFlag && modeLevel_ == 0 && window_) window_->EnableCloseItem(true);
}
