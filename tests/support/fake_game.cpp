#include "support/fake_game.h"

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
  CreateModes();
  step_ = GetFrameTime();
}

FakeGame::~FakeGame() = default;

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
  std::string line = op;
  for (const std::string& a : args) line += " " + a;
  sounds_.push_back(line);
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
}

void FakeGame::StopBgm(int fadeOut) { Record("StopBgm", {std::to_string(fadeOut)}); }

}  // namespace testsupport
