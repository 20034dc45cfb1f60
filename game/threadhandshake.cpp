#include <cstdio>
#include <memory>

#include "game/threadhandshake.h"

#include "platform/types.h"
#include "platform/backend.h"
#include "platform/sync.h"
#include "platform/system.h"

namespace {

// Waits for the event and resets it when it came; true when it came.
bool WaitAndReset(platform::Event* event, uint32_t ms) {
  if (!event || !event->Wait(ms)) return false;
  event->Reset();
  return true;
}

}  // namespace

static_assert(CThreadHandshake::kStartGameThreadMessage == WM_USER + 555);
static_assert(CThreadHandshake::kEndGameThreadMessage == WM_USER + 556);

CThreadHandshake::CThreadHandshake() = default;

CThreadHandshake::~CThreadHandshake() = default;

void CThreadHandshake::MakeEvents() {
  for (auto& e : events_) e = std::make_unique<platform::Event>(true, false);
}

void CThreadHandshake::Release() {
  for (auto& e : events_) e.reset();
}

int CThreadHandshake::CheckGameEvent() {
  platform::Event* game = events_[kGameEvent].get();
  if (game && game->Wait(0)) SetWindowEvent();
  return 1;
}

int CThreadHandshake::SetWindowEvent() {
  if (platform::Event* window = events_[kWindowEvent].get()) window->Set();
  return 1;
}

int CThreadHandshake::WaitGameEvent() {
  return WaitAndReset(events_[kGameEvent].get(), waits_.gameEvent) ? 0 : 1;
}

void CThreadHandshake::SignalGameEvent() {
  if (platform::Event* game = events_[kGameEvent].get()) game->Set();
  WaitAndReset(events_[kWindowEvent].get(), waits_.answer);
}

int CThreadHandshake::AnswerWindowRequest(int answer) {
  // The answer is written before the answer event is set; the requester
  // reads it after its wait.
  answer_ = answer;
  if (platform::Event* answered = events_[kAnswerEvent].get()) answered->Set();
  WaitAndReset(events_[kAckEvent].get(), waits_.answer);
  return 1;
}

int CThreadHandshake::StartGameThread(platform::Window* window, int a, int b, int c, int lockClose) {
  platform::Event* game = events_[kGameEvent].get();
  platform::Event* answered = events_[kAnswerEvent].get();
  platform::Event* ack = events_[kAckEvent].get();
  if (!window || !game || !answered || !ack) {
    platform::ErrorOutput("StartGameThread: no game window or handshake events; no game thread");
    return 0;
  }
  // One end event for the game object's life, unsignalled at each start.
  if (!threadEnd_) threadEnd_ = std::make_unique<platform::Event>(true, false);
  threadEnd_->Reset();
  request_.args[0] = a;
  request_.args[1] = b;
  request_.args[2] = c;
  request_.end = threadEnd_.get();
  // The answer word is cleared first: a window that does not answer leaves
  // 0 (no thread), never the answer to an earlier request.
  answer_ = 0;
  platform::PostMessage(window, kStartGameThreadMessage,
                        reinterpret_cast<uintptr_t>(&request_),
                        reinterpret_cast<intptr_t>(threadEnd_.get()));
  game->Set();
  const bool came = answered->Wait(waits_.thread);
  const int thread = came ? answer_.load() : 0;
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
  if (lockClose) window->EnableCloseItem(false);
  // The thread's life: the window side sets the end event once it ended.
  threadEnd_->Wait(platform::kInfinite);
  return 1;
}

void CThreadHandshake::EndGameThread(platform::Window* window, int level, int unlockClose) {
  platform::Event* game = events_[kGameEvent].get();
  platform::Event* answered = events_[kAnswerEvent].get();
  platform::Event* ack = events_[kAckEvent].get();
  if (window && game && answered && ack) {
    platform::PostMessage(window, kEndGameThreadMessage, 0, 0);
    game->Set();
    answered->Wait(waits_.thread);
    answered->Reset();
    ack->Set();
  } else {
    platform::ErrorOutput("EndGameThread: no game window or handshake events to tell");
  }
  platform::DebugOutput("[[CoUninit \x82\xBD\x82\xD4\x82\xF1\x82\xB1\x82\xC1\x82\xBF\x82\xC9\x82\xAD\x82\xE9]]");
  char line[32];
  std::snprintf(line, sizeof line, "[level=%d]", level);
  platform::DebugOutput(line);
  // The close box comes back once no mode level is open.
  if (unlockClose && window) window->EnableCloseItem(true);
}
