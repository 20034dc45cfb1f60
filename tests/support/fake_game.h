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
//   Sounds() and Calls() instead of played, one text per call. The double
//   replaces the game's sound, screen, script, mode-flow, floating and
//   variable parts with recording ones before Init, so the game's own calls
//   are recorded as the modes' are.
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

#include "game/floatingpart.h"
#include "game/game.h"
#include "game/modeflowpart.h"
#include "game/screenpart.h"
#include "game/scriptpart.h"
#include "game/soundpart.h"
#include "game/variablepart.h"
#include "platform/headless/headless.h"
#include "support/recorded_services.h"

class CCommonSystemFile;
class CScreenBuffer;

namespace testsupport {

// The parts whose calls the double records, each over the game's own part
// and writing into the double's call log; the operations marked "passed
// on" also reach the game. A double over FakeGame that needs a part to do
// more (or to answer as the game does) installs a subclass of one of them.
class RecordingSound : public RecordedSound<CSoundPart> {
 public:
  RecordingSound(GameParts& parts, CallLog& log) : RecordedSound(LinksOf<CSoundPart>(parts)), log_(log) {}
  void PlayBgm(const char* name, int loopCount, int delta, int fadeIn, int fadeOut) override;
  // Passed on.
  void PlayBgmNumber(int n, int loopCount, int delta, int fadeIn, int fadeOut) override;
  void StopBgm(int fadeOut) override;

 protected:
  CallLog& Log() override { return log_; }

 private:
  CallLog& log_;
};

class RecordingScreen : public RecordedScreen<CScreenPart> {
 public:
  RecordingScreen(GameParts& parts, CallLog& log) : RecordedScreen(LinksOf<CScreenPart>(parts)), log_(log) {}

 protected:
  CallLog& Log() override { return log_; }

 private:
  CallLog& log_;
};

// The screen with the game's own system pictures: LoadSystemPicture loads
// them as the game does (and is not recorded).
class GamePicturesScreen : public RecordingScreen {
 public:
  using RecordingScreen::RecordingScreen;
  CPicture* LoadSystemPicture(const char* name, int flag) override {
    return CScreenPart::LoadSystemPicture(name, flag);
  }
};

class RecordingScripts : public RecordedBackScript<CScriptPart> {
 public:
  RecordingScripts(GameParts& parts, CallLog& log) : RecordedBackScript(LinksOf<CScriptPart>(parts)), log_(log) {}
  // Passed on.
  void SetBackScriptMode(int mode) override;

 protected:
  CallLog& Log() override { return log_; }

 private:
  CallLog& log_;
};

class RecordingModeFlow : public RecordedModeFlow<CModeFlowPart> {
 public:
  RecordingModeFlow(GameParts& parts, CallLog& log) : RecordedModeFlow(LinksOf<CModeFlowPart>(parts)), log_(log) {}
  // Passed on.
  void SetMiniGameAreaMode(int mode) override;
  void PrintMiniGameButtons() override;

 protected:
  CallLog& Log() override { return log_; }

 private:
  CallLog& log_;
};

// `frameStep` is true while the frame restores the floating layers itself.
class RecordingFloating : public RecordedFloating<CFloatingPart> {
 public:
  RecordingFloating(GameParts& parts, CallLog& log, const bool& frameStep)
      : RecordedFloating(LinksOf<CFloatingPart>(parts)), log_(log), frameStep_(frameStep) {}
  // Passed on; the frame's own restore is not recorded.
  void RestoreFloatingLayers() override;

 protected:
  CallLog& Log() override { return log_; }

 private:
  CallLog& log_;
  const bool& frameStep_;
};

class RecordingVariables : public RecordedVariables<CVariablePart> {
 public:
  RecordingVariables(GameParts& parts, CallLog& log) : RecordedVariables(LinksOf<CVariablePart>(parts)), log_(log) {}

 protected:
  CallLog& Log() override { return log_; }

 private:
  CallLog& log_;
};

// The double's own system file, made before the game that keeps it.
struct OwnSystemFile {
  OwnSystemFile();
  ~OwnSystemFile();
  std::unique_ptr<CCommonSystemFile> systemFile;
};

class FakeGame : private OwnSystemFile, public CGame, public FrameRecord, public CallLog {
 public:
  explicit FakeGame(platform::HeadlessBackend& host, int width = 800, int height = 600);
  // The destroy step runs here, while the call log still stands.
  ~FakeGame() override;
  // The settings list "game", for tests of what screens read from it.
  using CGameCallBack::LoadSetupFile;
  // Makes mode n again as T over the game (after the test named its
  // variables).
  template <typename T, typename... Args>
  T* RemakeMode(int n, Args&&... args) {
    auto mode = std::make_unique<T>(Roles(), std::forward<Args>(args)...);
    T* made = mode.get();
    Modes().PutMode(n, std::move(mode));
    return made;
  }

  // Delivers the queued window messages to the game's window handler.
  void Pump();
  // One frame; `calcu` (may be empty) gives the mode request.
  void RunFrame(const std::function<int()>& calcu = {});
  void RunFrames(int n);
  // One frame; `print` stands where the modes draw, after the calculation.
  void RunFrame(const std::function<int()>& calcu, const std::function<void()>& print);

 protected:
  // For a double over this one: `install` replaces parts of the game
  // (after this double's recording ones) before Init, e.g.
  // `[this](GameParts& p) { p.input = std::make_unique<TracingInput>(p, ...); }`.
  // Init runs inside this constructor, so a part installed here must not
  // use members of the derived double (they are made after this double):
  // it may use this double's call log (`CallLog& log = *this;` in the
  // function) and FrameLayerStep(), or what a base of the derived double
  // listed before FakeGame holds.
  FakeGame(platform::HeadlessBackend& host, int width, int height,
           const std::function<void(GameParts&)>& install);
  // True between the frame's input step and its drawing, where the frame
  // restores the floating layers itself (RecordingFloating's frameStep).
  const bool& FrameLayerStep() const { return frameLayerStep_; }

  void OnBeforeCalcu() override;
  void OnBeforeChangeMode() override;
  // The modes' drawing.
  void OnBeforePrint() override;
  // The frame restores the floating layers between these two hooks; only
  // the modes' own restores are recorded.
  void OnBeforeInput() override;

 private:
  std::function<int()> calcu_;
  // A screen buffer of the double's own replaces the game's, so frames are
  // presented whole only when a test asks ("vistaCheck" would make every
  // frame whole).
  std::unique_ptr<CScreenBuffer> screenBuffer_;
  std::function<void()> print_;
  bool frameLayerStep_ = false;
};

}  // namespace testsupport
