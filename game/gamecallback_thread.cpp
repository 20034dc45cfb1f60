// CGameCallBack: the handshake between the window thread and a game thread.
// Four manual-reset events (game, window, answer, acknowledgement) and the
// answer word; every wait is bounded and a wait that times out goes on as
// if answered. Nothing in this program starts a game thread: the frames run
// on the main thread, so StartGameThread answers 0 at once and
// EndGameThread without a game thread does nothing.
#include "game/gamecallback.h"
#include "platform/sync.h"

namespace {

enum EventIndex { kGameEvent, kWindowEvent, kAnswerEvent, kAckEvent };

constexpr uint32_t kGameEventWaitMs = 3000;
constexpr uint32_t kAnswerWaitMs = 5000;

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
  return WaitAndReset(events_[kGameEvent], kGameEventWaitMs) ? 0 : 1;
}

void CGameCallBack::SignalGameEvent() {
  if (platform::Event* game = events_[kGameEvent]) game->Set();
  WaitAndReset(events_[kWindowEvent], kAnswerWaitMs);
}

int CGameCallBack::AnswerWindowRequest(int answer) {
  // The answer is written before the answer event is set; the requester
  // reads it after its wait.
  windowRequestResult_ = answer;
  if (platform::Event* answered = events_[kAnswerEvent]) answered->Set();
  WaitAndReset(events_[kAckEvent], kAnswerWaitMs);
  return 1;
}

// No window procedure here starts a thread for WM_USER + 555: without an
// answer there is no thread, and the caller learns it at once instead of
// after the 10 s wait.
int CGameCallBack::StartGameThread(int, int, int) { return 0; }

// Runs on the game thread and ends it; there is none, so the calling
// thread (the main one) goes on untouched.
void CGameCallBack::EndGameThread() {}
