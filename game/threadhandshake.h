// CThreadHandshake: the handshake between the window thread and a game
// thread. Four manual-reset events (game, window, answer, acknowledgement)
// and the answer word; every wait but the one for a running game thread's
// end is bounded, and a wait that times out goes on as if answered. The
// program's own frames run on the main thread; a title that runs its frames
// on a game thread starts it with StartGameThread and ends it with
// EndGameThread (the game object's operations of those names).
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

namespace platform {
class Event;
class Window;
}  // namespace platform

class CThreadHandshake {
 public:
  static constexpr uint32_t kStartGameThreadMessage = 0x0400 + 555;  // WM_USER + 555
  static constexpr uint32_t kEndGameThreadMessage = 0x0400 + 556;    // WM_USER + 556
  enum EventIndex { kGameEvent, kWindowEvent, kAnswerEvent, kAckEvent };
  // What WM_USER + 555 carries (wParam points at it, lParam at the end
  // event): the three arguments and the end event, which the window side
  // sets once the game thread has ended. It lives as long as the handshake,
  // so a window that answers late still reads valid memory.
  struct GameThreadRequest {
    int args[3] = {};
    platform::Event* end = nullptr;
  };
  // The bounded waits in ms (tests shorten them).
  struct Waits {
    uint32_t gameEvent = 3000;
    uint32_t answer = 5000;
    uint32_t thread = 10000;
  };

  CThreadHandshake();
  ~CThreadHandshake();
  CThreadHandshake(const CThreadHandshake&) = delete;
  CThreadHandshake& operator=(const CThreadHandshake&) = delete;

  // The four events (the game object's Init makes them); Release lets them
  // go.
  void MakeEvents();
  void Release();
  // Event i (EventIndex); null before MakeEvents.
  platform::Event* GetEvent(int i) const { return i >= 0 && i < 4 ? events_[i].get() : nullptr; }
  Waits& GetWaits() { return waits_; }

  // The window side: the game event, answered with the window event.
  int WaitGameEvent();
  int SetWindowEvent();
  int CheckGameEvent();
  // The window side's answer to a request: the word, then the answer
  // event, then at most 5 s for the acknowledgement.
  int AnswerWindowRequest(int answer);
  // The game side's request: the game event, then at most 5 s for the
  // window event.
  void SignalGameEvent();
  // The answer word the window thread writes.
  int GetAnswerWord() const { return answer_.load(); }
  void SetAnswerWord(int answer) { answer_ = answer; }

  // Asks `window` (WM_USER + 555) for a game thread with the three
  // arguments and waits until that thread has ended: 1, or 0 when the
  // window answered no thread within 10 s. With `lockClose` the window's
  // close box is disabled while the thread runs. Never call it on the window
  // thread, which must keep handling messages meanwhile.
  int StartGameThread(platform::Window* window, int a, int b, int c, int lockClose);
  // The game thread's last act: tells the window (WM_USER + 556) that it
  // ends; the close box comes back when `unlockClose`. `level` is traced.
  void EndGameThread(platform::Window* window, int level, int unlockClose);

 private:
  std::unique_ptr<platform::Event> events_[4];
  std::atomic<int> answer_{0};
  Waits waits_;
  GameThreadRequest request_;
  std::unique_ptr<platform::Event> threadEnd_;
};
