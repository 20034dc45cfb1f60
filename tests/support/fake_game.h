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
// The start-up chain's modes (1, 2, 3, 4 and 32) are switched off in the
// double, so no test runs them unasked; tests/mode/startup_fixture.h adds
// them.
//
// For the mode tests (additions below) the game also has a screen buffer of
// its size with screen, work and two buffer pictures, records the services
// the mode drivers call in Calls(), and RunFrame takes a second function
// that stands where the modes draw.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "game/game.h"
#include "platform/headless/headless.h"

class CCommonSystemFile;
class CPicture;
class CScreenBuffer;

namespace testsupport {

class FakeGame : public CGame {
 public:
  explicit FakeGame(platform::HeadlessBackend& host, int width = 800, int height = 600);
  ~FakeGame() override;
  // The settings list "game", for tests of what screens read from it.
  using CGameCallBack::LoadSetupFile;

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

  // --- Additions for the mode tests (CCommonGeneral drivers) ---
  // One frame; `print` stands where the modes draw, after the calculation.
  void RunFrame(const std::function<int()>& calcu, const std::function<void()>& print);
  // Every recorded call in order, the sounds included, and the test's own
  // notes (a test subclass's hooks) between them.
  const std::vector<std::string>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  void Note(const std::string& text) { calls_.push_back(text); }
  // Answers of the scripted services.
  void SetMiniGameStart(int answer) { miniGameStart_ = answer; }
  void SetBackScriptResult(int result) { backScriptResult_ = result; }
  void SetVarNumber(const std::string& name, int number) { varNumbers_[name] = number; }

  void PrintWipeType(int progress, int length, int kind) override;
  int LoadBackScript(const char* name) override;
  int CalcuBackScript(int loop) override;
  void PrintBackScript() override;
  void SetBackScriptMode(int mode) override;
  int CheckMiniGameStart(int value) override;
  void SetMiniGameAreaMode(int mode) override;
  void PrintMiniGameButtons() override;
  void NotifyMode(int mode, int value) override;
  void OnModeEnter(int mode) override;
  void OnModeHook(int mode) override;
  void RestoreFloatingLayers() override;
  CPicture* LoadSystemPicture(const char* name, int flag) override;
  int GetVarNumber(const char* name) override;
  // --- End of the additions for the mode tests ---

 protected:
  void OnBeforeCalcu() override;
  void OnBeforeChangeMode() override;
  // Mode tests: the drawing.
  void OnBeforePrint() override;
  // The frame restores the floating layers between these two hooks; only
  // the modes' own restores are recorded.
  void OnBeforeInput() override;

 private:
  void Record(const std::string& op, const std::vector<std::string>& args);
  // Mode tests: a call recorded in Calls() only.
  void RecordCall(const std::string& op, const std::vector<std::string>& args);
  // Mode tests: the screen buffer, and the pictures unless the game made
  // its own.
  void MakePictures(int width, int height);

  platform::HeadlessBackend& host_;
  std::unique_ptr<CCommonSystemFile> ownSystemFile_;
  int step_;
  std::function<int()> calcu_;
  std::vector<std::string> sounds_;
  std::vector<int> requests_;

  // Mode tests.
  std::unique_ptr<CScreenBuffer> screenBuffer_;
  std::unique_ptr<CPicture> pictures_[4];
  std::function<void()> print_;
  std::vector<std::string> calls_;
  int miniGameStart_ = 0;
  int backScriptResult_ = 0;
  bool frameLayerStep_ = false;
  std::map<std::string, int> varNumbers_;
};

}  // namespace testsupport
