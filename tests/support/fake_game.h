// FakeGame: a scriptable game object for the game's tests, the modes run
// inside the game among them (the modes' own tests run on the fake of the
// services, support/fake_services.h, and link no game).
//
//   platform::HeadlessBackend& host = platform::InstallHeadless();
//   testsupport::TempDir dir;                  // game folder (settings lists)
//   testsupport::FakeGame game(host);          // own window; Init, CreateModes
//   host.InjectMouseMove(120, 80);
//   host.InjectButton(0, true);
//   game.RunFrame([&] { return mode.Calcu(); });
//   EXPECT_EQ(game.ModeRequests(), (std::vector<int>{12}));
//
// - Input: what the test injects into the headless host reaches the game's
//   window handler at the start of the next RunFrame, as between two frames
//   of the real loop (Pump delivers it at once).
// - Time: each RunFrame moves the virtual clock on by Step() milliseconds
//   (the frame period unless SetStep changes it) and runs the game's frame
//   with that elapsed time.
// - The frame: RunFrame's function stands where the current mode's
//   calculation step runs; its result is the frame's mode request (-1 stay).
// - Sounds and the other recorded services (support/recorded_services.h):
//   Sounds() and Calls() instead of played, one text per call.
// - Boxes: Boxes() are the headless host's.
// - Mode requests: every request above 0 that a frame carried out, in order.
// The game has its own system file with the default options (not loaded).
// The start-up chain's modes (1, 2, 3, 4 and 32) are switched off in the
// double, so no test runs them unasked; tests/game/startup_game.h adds
// them.
//
// For the modes run inside the game (additions below) the game also has a
// screen buffer of its size with screen, work and two buffer pictures, and
// RunFrame takes a second function that stands where the modes draw.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "game/game.h"
#include "platform/headless/headless.h"
#include "support/recorded_services.h"

class CCommonSystemFile;
class CPicture;
class CScreenBuffer;

namespace testsupport {

class FakeGame : public RecordedServices<CGame>, public FrameRecord {
 public:
  explicit FakeGame(platform::HeadlessBackend& host, int width = 800, int height = 600);
  ~FakeGame() override;
  // The settings list "game", for tests of what screens read from it.
  using CGameCallBack::LoadSetupFile;
  // Makes mode n again as T over the game (after the test named its
  // variables).
  template <typename T, typename... Args>
  T* RemakeMode(int n, Args&&... args) {
    delete modeTable_[n];
    auto* mode = new T(this, std::forward<Args>(args)...);
    modeTable_[n] = mode;
    return mode;
  }

  // Delivers the queued window messages to the game's window handler.
  void Pump();
  // One frame; `calcu` (may be empty) gives the mode request.
  void RunFrame(const std::function<int()>& calcu = {});
  void RunFrames(int n);

  // --- Recorded services (support/recorded_services.h); these also reach
  // the game ---
  void PlayBgm(const char* name, int loopCount, int delta, int fadeIn, int fadeOut) override;
  void PlayBgmNumber(int n, int loopCount, int delta, int fadeIn, int fadeOut) override;
  void StopBgm(int fadeOut) override;

  // --- Additions for the modes run inside the game ---
  // One frame; `print` stands where the modes draw, after the calculation.
  void RunFrame(const std::function<int()>& calcu, const std::function<void()>& print);
  // Recorded, and passed on to the game.
  void SetBackScriptMode(int mode) override;
  void SetMiniGameAreaMode(int mode) override;
  void PrintMiniGameButtons() override;
  void RestoreFloatingLayers() override;

 protected:
  void OnBeforeCalcu() override;
  void OnBeforeChangeMode() override;
  // The modes' drawing.
  void OnBeforePrint() override;
  // The frame restores the floating layers between these two hooks; only
  // the modes' own restores are recorded.
  void OnBeforeInput() override;

 private:
  // The screen buffer, and the pictures unless the game made its own.
  void MakePictures(int width, int height);

  std::unique_ptr<CCommonSystemFile> ownSystemFile_;
  std::function<int()> calcu_;

  // The modes run inside the game.
  std::unique_ptr<CScreenBuffer> screenBuffer_;
  std::unique_ptr<CPicture> pictures_[4];
  std::function<void()> print_;
  bool frameLayerStep_ = false;
};

}  // namespace testsupport
