// The back-log tests' game: the fake of the services with mode 7 made over
// the test's "BackLog" list, a scene that the effect pass draws (a pattern
// standing for the story's screen), the state restore and a voice that the
// sounds' stop ends, and helpers that open the log and feed it input frame
// by frame.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "graphics/screenbuffer.h"
#include "mode/backlog.h"
#include "platform/types.h"
#include "support/fake_services.h"
#include "support/game_folder_test.h"

namespace backlog_test {

using Pairs = testsupport::Pairs;

// The scene under the log: a pattern of every colour channel.
inline uint32_t ScenePixel(int x, int y) {
  return static_cast<uint32_t>((x * 7 + y * 3) & 0xFF) << 16 |
         static_cast<uint32_t>((x * 5 + 40) & 0xFF) << 8 | static_cast<uint32_t>((y * 11) & 0xFF);
}

class BackLogGame : public testsupport::FakeServices {
 public:
  using FakeServices::FakeServices;

  // Pass 0 draws the scene, as the effect channels would.
  void RefreshEffect(int pass) override {
    Note("RefreshEffect " + std::to_string(pass));
    if (pass != 0) return;
    uint32_t* s = CScreenBuffer::GetBuffer();
    const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) s[y * w + x] = ScenePixel(x, y);
  }
  void RestoreGameState() override { Note("RestoreGameState"); }

  // A voice playing until the sounds are stopped.
  bool StartVoice() { return voice_ = true; }
  bool VoicePlays() const { return voice_; }
  void StopAllSound() override { voice_ = false; }

 private:
  bool voice_ = false;
};

class BackLogTest : public testsupport::GameFolderTest {
 protected:
  static constexpr int kOpener = 10;

  void TearDown() override {
    game_.reset();
    GameFolderTest::TearDown();
  }

  // The game over the list "BackLog" holding `keys`, with mode 7 made over
  // it.
  BackLogGame& Game(const Pairs& keys = {}) {
    if (!game_) {
      WriteList("BackLog", keys);
      game_ = std::make_unique<BackLogGame>(*host_);
      game_->MakeMode<CCommonBackLog>();
    }
    return *game_;
  }
  CCommonBackLog* Log() { return Game().Mode<CCommonBackLog>(); }

  // `n` lines "line <i>" after the first two, in colour i.
  void AddLines(int n, int first = 0) {
    for (int i = first; i < first + n; ++i) Log()->AddLine(("line " + std::to_string(i)).c_str(), i & 0xFF, 0, 0);
  }

  // Opened by mode 10 and past its two frames of input delay.
  void Open() {
    Log()->SetParameter(kOpener);
    Game().RunFrame([] { return CCommonBackLog::kModeNumber; });
    ASSERT_EQ(Game().GetCurrentMode(), CCommonBackLog::kModeNumber);
    Game().RunFrames(2);
    Game().ClearCalls();
    Game().ClearSounds();
    requestsAtOpen_ = Game().ModeRequests().size();
  }
  // The requests since Open.
  std::vector<int> Requests() {
    const std::vector<int>& all = Game().ModeRequests();
    return std::vector<int>(all.begin() + static_cast<long>(requestsAtOpen_), all.end());
  }

  void Frame() { Game().RunFrame(); }
  void Wheel(int delta) {
    host_->InjectWheel(delta);
    Frame();
  }
  void Key(int vk) {
    host_->InjectKey(vk, true);
    Frame();
    host_->InjectKey(vk, false);
    Frame();
  }
  void Click(int x, int y, int button = 0) {
    host_->InjectMouseMove(x, y);
    host_->InjectButton(button, true);
    Frame();
    host_->InjectButton(button, false);
  }
  static uint32_t Pixel(int x, int y) {
    return CScreenBuffer::GetBuffer()[y * CScreenBuffer::GetWidth() + x];
  }
  // Pixels of the colour within the band of rows y .. y + h - 1 and columns
  // x .. x + w - 1.
  static int Count(uint32_t colour, int x, int y, int w, int h) {
    int n = 0;
    for (int j = y; j < y + h; ++j)
      for (int i = x; i < x + w; ++i) n += Pixel(i, j) == colour ? 1 : 0;
    return n;
  }

  std::unique_ptr<BackLogGame> game_;
  size_t requestsAtOpen_ = 0;
};

}  // namespace backlog_test
