#include "support/fake_game.h"

#include "graphics/picture.h"
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

FakeGame::FakeGame(platform::HeadlessBackend& host, int width, int height)
    : RecordedServices(MakeWindow(width, height), nullptr, width, height, 32),
      FrameRecord(host, 0),
      ownSystemFile_(std::make_unique<CCommonSystemFile>()) {
  systemFile_ = ownSystemFile_.get();
  Init();
  MakePictures(width, height);
  // The start-up chain (modes 1, 2, 3, 4 and 32) stays out of the double:
  // a test drives the modes it names, and the chain's tests add it.
  for (int n : {1, 2, 3, 4, 32}) modeDisable_[n] = 1;
  CreateModes();
  step_ = GetFrameTime();
}

FakeGame::~FakeGame() {
  // The game object must not see pictures that go with this object.
  CPicture** slots[4] = {&screenPicture_, &workPicture_, &bufferPicture_[0], &bufferPicture_[1]};
  for (int i = 0; i < 4; ++i)
    if (pictures_[i] && *slots[i] == pictures_[i].get()) *slots[i] = nullptr;
}

void FakeGame::Pump() {
  platform::Message m;
  while (platform::PeekMessage(&m, true)) {
    if (m.message == WM_QUIT) continue;
    WindowProc(m.window ? m.window : window_, m.message, m.wParam, m.lParam);
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

void FakeGame::OnBeforeCalcu() {
  CGame::OnBeforeCalcu();
  if (calcu_) SetNextMode(calcu_());
}

void FakeGame::OnBeforeChangeMode() {
  CGame::OnBeforeChangeMode();
  requests_.push_back(GetNextMode());
}

void FakeGame::PlayBgm(const char* name, int loopCount, int delta, int fadeIn, int fadeOut) {
  Sound("PlayBgm", {CallText(name), Num(loopCount), Num(delta), Num(fadeIn), Num(fadeOut)});
}

void FakeGame::PlayBgmNumber(int n, int loopCount, int delta, int fadeIn, int fadeOut) {
  RecordedServices::PlayBgmNumber(n, loopCount, delta, fadeIn, fadeOut);
  CGame::PlayBgmNumber(n, loopCount, delta, fadeIn, fadeOut);
}

void FakeGame::StopBgm(int fadeOut) {
  RecordedServices::StopBgm(fadeOut);
  CGame::StopBgm(fadeOut);
}

// --- Additions for the modes run inside the game ---

void FakeGame::MakePictures(int width, int height) {
  // A screen buffer of the double's own replaces the game's, so frames are
  // presented whole only when a test asks ("vistaCheck" would make every
  // frame whole).
  screenBuffer_ = std::make_unique<CScreenBuffer>(width, height, 0);
  CPicture** slots[4] = {&screenPicture_, &workPicture_, &bufferPicture_[0], &bufferPicture_[1]};
  for (int i = 0; i < 4; ++i) {
    if (*slots[i]) continue;
    pictures_[i] = std::make_unique<CPicture>(width, height, 0);
    *slots[i] = pictures_[i].get();
  }
}

void FakeGame::RunFrame(const std::function<int()>& calcu, const std::function<void()>& print) {
  print_ = print;
  RunFrame(calcu);
  print_ = nullptr;
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

void FakeGame::SetBackScriptMode(int mode) {
  RecordedServices::SetBackScriptMode(mode);
  CGame::SetBackScriptMode(mode);
}

void FakeGame::SetMiniGameAreaMode(int mode) {
  RecordedServices::SetMiniGameAreaMode(mode);
  CGame::SetMiniGameAreaMode(mode);
}

void FakeGame::PrintMiniGameButtons() {
  RecordedServices::PrintMiniGameButtons();
  CGame::PrintMiniGameButtons();
}

void FakeGame::RestoreFloatingLayers() {
  if (!frameLayerStep_) RecordedServices::RestoreFloatingLayers();
  CGame::RestoreFloatingLayers();
}

}  // namespace testsupport
