// The print-message tests' game: the fake of the services with the back
// log, the voice, the floating buttons, the shortcuts, the message cursor
// and the message words recorded or scripted, and mode 10 made from the
// test's "PrintMessage" list.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "mode/printmessage.h"
#include "platform/types.h"
#include "support/fake_services.h"
#include "support/game_folder_test.h"
#include "support/text.h"

namespace printmessage_test {

using Pairs = testsupport::Pairs;

struct LogLine {
  std::string text;
  uint32_t colour;
  bool operator==(const LogLine& o) const { return text == o.text && colour == o.colour; }
};

class MessageGame : public testsupport::FakeServices {
 public:
  using FakeServices::FakeServices;

  int released = 0;
  std::vector<LogLine> log;
  int voiceFlag = 0, voiceTime = 7000;
  int floatingAnswer = -1, shortCut = -1;
  std::vector<std::string> cursor;
  // The message window's design number (the font size type), the
  // script's auto word and the mode's "noVoiceIsDefaultWait".
  int windowMode = 0, storedOption = 0, noVoiceIsDefaultWait = 0;

  void SetSkipFilmFlag(int value) override {
    if (value == 1) ++released;
    FakeServices::SetSkipFilmFlag(value);
  }
  int GetMessageSpeed() const override { return windowMode; }
  int GetMessageSkipFlag() const override { return storedOption; }
  int SetMessageParam(int kind, int value) override {
    if (kind == 1) noVoiceIsDefaultWait = value;
    return -1;
  }
  void AddBackLog(const char* text, int r, int g, int b) override {
    log.push_back({text ? text : "(null)", static_cast<uint32_t>(r << 16 | g << 8 | b)});
  }
  int GetVoiceFlag() override { return voiceFlag; }
  int GetVoiceWaitTime() override { return voiceTime; }
  int CheckFloatingButtons() override { return floatingAnswer; }
  int CheckShortCut(int) override { return shortCut; }
  void KeepGameState() override { Note("KeepGameState"); }
  void SetMessageCursorKind(int kind) override { cursor.push_back("kind " + std::to_string(kind)); }
  void SetMessageCursor(int x, int y, int kind) override {
    cursor.push_back(std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(kind));
  }
  void SetStartFlag(int flag) { SetScriptStartFlag(flag); }
};

class PrintMessageTest : public testsupport::GameFolderTest {
 public:
  void TearDown() override {
    game_.reset();
    GameFolderTest::TearDown();
  }

  // The game and its mode 10, made from the lists written so far.
  MessageGame& Game() {
    if (!game_) {
      dir_->Write("spt/namecol.xtx", "Alice,255,0,0\r\nBob,0,0,255\r\n");
      game_ = std::make_unique<MessageGame>(*host_);
      game_->MakeMode<CCommonPrintMessage>();
    }
    return *game_;
  }
  CCommonPrintMessage& Mode() { return *Game().Mode<CCommonPrintMessage>(); }
  // Init as on entering the mode, at message speed index `speed`.
  CCommonPrintMessage& Enter(int speed) {
    Game().SetSystemSetting(105, speed);
    Game().SetSystemSetting(6, 0);
    Mode().Init();
    return Mode();
  }

  // One frame of the mode; `input` is injected before it and let go after.
  int Run(const std::function<void()>& input = {}, const std::function<void()>& release = {}) {
    if (input) input();
    int result = -1;
    Game().RunFrame(
        [&] {
          result = Mode().Calcu();
          return result;
        },
        [&] { Mode().Print(); });
    if (release) release();
    return result;
  }
  int Click(int button = 0) {
    return Run([&] { host_->InjectButton(button, true); },
               [&] { host_->InjectButton(button, false); });
  }
  int Key(int vk) {
    return Run([&] { host_->InjectKey(vk, true); }, [&] { host_->InjectKey(vk, false); });
  }
  int Wheel(int delta) {
    return Run([&] { host_->InjectWheel(delta); });
  }
  // Frames until the page lets the script go on (at most n); -1 if never.
  int FramesToRelease(int n) {
    const int before = Game().released;
    for (int i = 1; i <= n; ++i) {
      Run();
      if (Game().released != before) return i;
    }
    return -1;
  }

  // SetMessage with a UTF-8 text.
  void Set(int code, const std::string& text, int id = 0x00010001, int cutin = 0) {
    Mode().SetMessage(code, id, testsupport::Sjis(text).c_str(), cutin);
  }
  std::vector<std::string> Lines() {
    std::vector<std::string> out;
    for (int i = 0; i < Mode().GetLineCount(); ++i) out.push_back(Mode().GetMessageLine(i));
    return out;
  }

  std::unique_ptr<MessageGame> game_;
};

}  // namespace printmessage_test
