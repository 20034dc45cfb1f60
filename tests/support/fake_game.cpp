#include "support/fake_game.h"

#include "game/gameparts.h"
#include "graphics/screenbuffer.h"
#include "platform/system.h"
#include "platform/types.h"
#include "savedata/systemfile.h"

namespace testsupport {
namespace {

platform::Window* MakeWindow(int width, int height) {
  platform::WindowDesc desc;
  desc.clientWidth = width;
  desc.clientHeight = height;
  return platform::CreateWindow(desc);
}

}  // namespace

void RecordingSound::PlayBgm(const char* name, int loopCount, int delta, int fadeIn, int fadeOut) {
  log_.RecordSound("PlayBgm", {CallText(name), Num(loopCount), Num(delta), Num(fadeIn), Num(fadeOut)});
}

void RecordingSound::PlayBgmNumber(int n, int loopCount, int delta, int fadeIn, int fadeOut) {
  RecordedSound::PlayBgmNumber(n, loopCount, delta, fadeIn, fadeOut);
  CSoundPart::PlayBgmNumber(n, loopCount, delta, fadeIn, fadeOut);
}

void RecordingSound::StopBgm(int fadeOut) {
  RecordedSound::StopBgm(fadeOut);
  CSoundPart::StopBgm(fadeOut);
}

void RecordingScripts::SetBackScriptMode(int mode) {
  RecordedBackScript::SetBackScriptMode(mode);
  CScriptPart::SetBackScriptMode(mode);
}

void RecordingModeFlow::SetMiniGameAreaMode(int mode) {
  RecordedModeFlow::SetMiniGameAreaMode(mode);
  CModeFlowPart::SetMiniGameAreaMode(mode);
}

void RecordingModeFlow::PrintMiniGameButtons() {
  RecordedModeFlow::PrintMiniGameButtons();
  CModeFlowPart::PrintMiniGameButtons();
}

void RecordingFloating::RestoreFloatingLayers() {
  if (!frameStep_) RecordedFloating::RestoreFloatingLayers();
  CFloatingPart::RestoreFloatingLayers();
}

OwnSystemFile::OwnSystemFile() : systemFile(std::make_unique<CCommonSystemFile>()) {}

OwnSystemFile::~OwnSystemFile() = default;

FakeGame::FakeGame(platform::HeadlessBackend& host, int width, int height)
    : FakeGame(host, width, height, {}) {}

FakeGame::FakeGame(platform::HeadlessBackend& host, int width, int height,
                   const std::function<void(GameParts&)>& install)
    : CGame(MakeWindow(width, height), OwnSystemFile::systemFile.get(), width, height, 32),
      FrameRecord(host, 0) {
  GameParts& p = Parts();
  p.sound = std::make_unique<RecordingSound>(p, *this);
  p.screen = std::make_unique<RecordingScreen>(p, *this);
  p.scripts = std::make_unique<RecordingScripts>(p, *this);
  p.modes = std::make_unique<RecordingModeFlow>(p, *this);
  p.floating = std::make_unique<RecordingFloating>(p, *this, frameLayerStep_);
  p.vars = std::make_unique<RecordingVariables>(p, *this);
  if (install) install(p);
  Init();
  screenBuffer_ = std::make_unique<CScreenBuffer>(width, height, 0);
  // The start-up chain (modes 1, 2, 3, 4 and 32) stays out of the double:
  // a test drives the modes it names, and the chain's tests add it.
  for (int n : {1, 2, 3, 4, 32}) Modes().SetModeDisabled(n, 1);
  CreateModes();
  step_ = GetFrameTime();
}

FakeGame::~FakeGame() { ReleaseAll(); }

void FakeGame::Pump() {
  platform::Message m;
  while (platform::PeekMessage(&m, true)) {
    if (m.message == WM_QUIT) continue;
    WindowProc(m.window ? m.window : Parts().window, m.message, m.wParam, m.lParam);
  }
}

void FakeGame::RunFrame(const std::function<int()>& calcu) {
  host_.AdvanceClock(static_cast<uint32_t>(step_ > 0 ? step_ : 0));
  Pump();
  calcu_ = calcu;
  Frame(step_);
  calcu_ = nullptr;
}

void FakeGame::RunFrames(int n) {
  for (int i = 0; i < n; ++i) RunFrame();
}

void FakeGame::RunFrame(const std::function<int()>& calcu, const std::function<void()>& print) {
  print_ = print;
  RunFrame(calcu);
  print_ = nullptr;
}

void FakeGame::OnBeforeCalcu() {
  CGame::OnBeforeCalcu();
  if (calcu_) Modes().SetNextMode(calcu_());
}

void FakeGame::OnBeforeChangeMode() {
  CGame::OnBeforeChangeMode();
  requests_.push_back(Modes().GetNextMode());
}

void FakeGame::OnBeforeInput() {
  CGame::OnBeforeInput();
  frameLayerStep_ = true;
}

void FakeGame::OnBeforePrint() {
  frameLayerStep_ = false;
  CGame::OnBeforePrint();
  if (print_) print_();
}

}  // namespace testsupport
