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

std::string Text(const char* s) { return s ? s : "(null)"; }

}  // namespace

FakeGame::FakeGame(platform::HeadlessBackend& host, int width, int height)
    : CGame(MakeWindow(width, height), nullptr, width, height, 32),
      host_(host),
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

void FakeGame::Record(const std::string& op, const std::vector<std::string>& args) {
  RecordCall(op, args);
  sounds_.push_back(calls_.back());
}

void FakeGame::PlayVoice(const char* name) { Record("PlayVoice", {Text(name)}); }

void FakeGame::PlaySystemSe(int n, int asVoice) {
  Record("PlaySystemSe", {std::to_string(n), std::to_string(asVoice)});
}

void FakeGame::PlaySeFile(const char* name, int delta) {
  Record("PlaySeFile", {Text(name), std::to_string(delta)});
}

void FakeGame::PlaySystemVoiceFile(const char* name, int ignored, int sameBuffer) {
  Record("PlaySystemVoiceFile", {Text(name), std::to_string(ignored), std::to_string(sameBuffer)});
}

void FakeGame::PlayNote(int n) { Record("PlayNote", {std::to_string(n)}); }

void FakeGame::PlayBgm(const char* name, int loopCount, int delta, int fadeIn, int fadeOut) {
  Record("PlayBgm", {Text(name), std::to_string(loopCount), std::to_string(delta),
                     std::to_string(fadeIn), std::to_string(fadeOut)});
}

void FakeGame::PlayBgmNumber(int n, int loopCount, int delta, int fadeIn, int fadeOut) {
  Record("PlayBgmNumber", {std::to_string(n), std::to_string(loopCount), std::to_string(delta),
                           std::to_string(fadeIn), std::to_string(fadeOut)});
  CGame::PlayBgmNumber(n, loopCount, delta, fadeIn, fadeOut);
}

void FakeGame::StopBgm(int fadeOut) {
  Record("StopBgm", {std::to_string(fadeOut)});
  CGame::StopBgm(fadeOut);
}

// --- Additions for the mode tests ---

void FakeGame::RecordCall(const std::string& op, const std::vector<std::string>& args) {
  std::string line = op;
  for (const std::string& a : args) line += " " + a;
  calls_.push_back(line);
}

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

void FakeGame::PrintWipeType(int progress, int length, int kind) {
  RecordCall("PrintWipeType", {std::to_string(progress), std::to_string(length), std::to_string(kind)});
}

int FakeGame::LoadBackScript(const char* name) {
  RecordCall("LoadBackScript", {Text(name)});
  return 1;
}

int FakeGame::CalcuBackScript(int loop) {
  RecordCall("CalcuBackScript", {std::to_string(loop)});
  return backScriptResult_;
}

void FakeGame::PrintBackScript() { RecordCall("PrintBackScript", {}); }

void FakeGame::SetBackScriptMode(int mode) {
  RecordCall("SetBackScriptMode", {std::to_string(mode)});
  CGame::SetBackScriptMode(mode);
}

int FakeGame::CheckMiniGameStart(int value) {
  RecordCall("CheckMiniGameStart", {std::to_string(value)});
  return miniGameStart_;
}

void FakeGame::SetMiniGameAreaMode(int mode) {
  RecordCall("SetMiniGameAreaMode", {std::to_string(mode)});
  CGame::SetMiniGameAreaMode(mode);
}

void FakeGame::PrintMiniGameButtons() {
  RecordCall("PrintMiniGameButtons", {});
  CGame::PrintMiniGameButtons();
}

void FakeGame::NotifyMode(int mode, int value) {
  RecordCall("NotifyMode", {std::to_string(mode), std::to_string(value)});
}

void FakeGame::OnModeEnter(int mode) { RecordCall("OnModeEnter", {std::to_string(mode)}); }

void FakeGame::OnModeHook(int mode) { RecordCall("OnModeHook", {std::to_string(mode)}); }

void FakeGame::RestoreFloatingLayers() {
  if (!frameLayerStep_) RecordCall("RestoreFloatingLayers", {});
  CGame::RestoreFloatingLayers();
}

CPicture* FakeGame::LoadSystemPicture(const char* name, int flag) {
  RecordCall("LoadSystemPicture", {Text(name), std::to_string(flag)});
  return nullptr;
}

int FakeGame::GetVarNumber(const char* name) {
  RecordCall("GetVarNumber", {Text(name)});
  auto it = varNumbers_.find(Text(name));
  return it == varNumbers_.end() ? -1 : it->second;
}

}  // namespace testsupport
