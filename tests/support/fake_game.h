// FakeGame: a scriptable game object for the mode, widget and message tests.
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
// - Sounds: the sound services are recorded in Sounds() instead of played,
//   one text per call: the operation's name and its arguments.
// - Boxes: Boxes() are the headless host's.
// - Mode requests: every request above 0 that a frame carried out, in order.
// The game has its own system file with the default options (not loaded).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/game.h"
#include "platform/headless/headless.h"

class CCommonSystemFile;

namespace testsupport {

class FakeGame : public CGame {
 public:
  explicit FakeGame(platform::HeadlessBackend& host, int width = 800, int height = 600);
  ~FakeGame() override;

  // Delivers the queued window messages to the game's window handler.
  void Pump();
  // One frame; `calcu` (may be empty) gives the mode request.
  void RunFrame(const std::function<int()>& calcu = {});
  void RunFrames(int n);

  int Step() const { return step_; }
  void SetStep(int ms) { step_ = ms; }

  const std::vector<std::string>& Sounds() const { return sounds_; }
  void ClearSounds() { sounds_.clear(); }
  const std::vector<int>& ModeRequests() const { return requests_; }
  std::vector<platform::BoxRecord> Boxes() const { return host_.Boxes(); }
  platform::HeadlessBackend& Host() const { return host_; }

  // --- Recorded services ---
  void PlayVoice(const char* name) override;
  void PlaySystemSe(int n, int asVoice) override;
  void PlaySeFile(const char* name, int delta) override;
  void PlaySystemVoiceFile(const char* name, int ignored, int sameBuffer) override;
  void PlayNote(int n) override;
  void PlayBgm(const char* name, int loopCount, int delta, int fadeIn, int fadeOut) override;
  void PlayBgmNumber(int n, int loopCount, int delta, int fadeIn, int fadeOut) override;
  void StopBgm(int fadeOut) override;

 protected:
  void OnBeforeCalcu() override;
  void OnBeforeChangeMode() override;

 private:
  void Record(const std::string& op, const std::vector<std::string>& args);

  platform::HeadlessBackend& host_;
  std::unique_ptr<CCommonSystemFile> ownSystemFile_;
  int step_;
  std::function<int()> calcu_;
  std::vector<std::string> sounds_;
  std::vector<int> requests_;
};

}  // namespace testsupport
