// The script-command tests' game: the title's game with recording stand-ins
// for the print-message, choice and back-log modes (each notes the calls the
// script handlers make), a control script written with the assembler, and
// the inner words the handlers set open to the tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "game/backscriptrunner.h"
#include "game/game.h"
#include "game/game_test.h"
#include "mode/backlog.h"
#include "mode/printmessage.h"
#include "mode/selectmessage.h"
#include "savedata/systemfile.h"
#include "script/script.h"
#include "tools/asm/assembler.h"

namespace script_test {

using Log = std::vector<std::string>;
using Pairs = game_test::Pairs;

inline std::string Hex(int v) {
  char text[16];
  std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(v));
  return text;
}

class PrintStandIn : public CCommonPrintMessage {
 public:
  PrintStandIn(CGameCallBack* game, Log* log) : CCommonPrintMessage(game), log_(log) {}
  void SetMessage(int code, int id, const char* text, int extra) override {
    Note("SetMessage " + Hex(code) + " " + Hex(id) + " " + text + " " + std::to_string(extra));
  }
  void SetWaitTime(int frames) override { Note("SetWaitTime " + std::to_string(frames)); }
  void SetScreenWait(int kind, int length) override {
    Note("SetScreenWait " + std::to_string(kind) + " " + std::to_string(length));
  }
  void SetCutinNumber(int n) override { Note("SetCutinNumber " + std::to_string(n)); }
  void SetFrameFlag(int v) override { Note("SetFrameFlag " + std::to_string(v)); }
  void ClearFrameFlag(int v) override { Note("ClearFrameFlag " + std::to_string(v)); }
  void NoticeEffect(int ch) override { Note("NoticeEffect " + std::to_string(ch)); }
  void CheckPrintLprintBG() override { Note("CheckPrintLprintBG"); }
  void ResetGame() override { Note("ResetGame"); }

 private:
  void Note(const std::string& s) { log_->push_back("10 " + s); }
  Log* log_;
};

class SelectStandIn : public CCommonSelectMessage {
 public:
  SelectStandIn(CGameCallBack* game, Log* log) : CCommonSelectMessage(game), log_(log) {}
  void AddBackLogHeader() override { Note("AddBackLogHeader"); }
  void SetSelectRange(int n, int m) override {
    Note("SetSelectRange " + std::to_string(n) + " " + std::to_string(m));
  }
  void SetSelectText(int i, const char* text) override {
    Note("SetSelectText " + std::to_string(i) + " " + text);
  }
  void SetTimeLimit(int p, int q) override {
    Note("SetTimeLimit " + std::to_string(p) + " " + std::to_string(q));
  }
  void SetSelectExtra(int r) override { Note("SetSelectExtra " + std::to_string(r)); }

 private:
  void Note(const std::string& s) { log_->push_back("9 " + s); }
  Log* log_;
};

class BackLogStandIn : public CCommonBackLog {
 public:
  BackLogStandIn(CGameCallBack* game, Log* log) : CCommonBackLog(game), log_(log) {}
  void SetVoice(const char* name) override { log_->push_back(std::string("7 SetVoice ") + name); }

 private:
  Log* log_;
};

class ScriptGame : public CGame {
 public:
  ScriptGame(platform::Window* window, CCommonSystemFile* systemFile, bool modes)
      : CGame(window, systemFile, 64, 48, 32), modes_(modes) {}
  using CGameCallBack::CreateMode;
  using CGameCallBack::RunCurrentScript;

  CCommonGeneral* MakeMode(int n) override {
    if (!modes_) return nullptr;
    if (n == 10) return new PrintStandIn(this, &log);
    if (n == 9) return new SelectStandIn(this, &log);
    if (n == 7) return new BackLogStandIn(this, &log);
    return nullptr;
  }
  void PlayBgmNumber(int n, int loop, int delta, int fadeIn, int fadeOut) override {
    log.push_back("PlayBgmNumber " + std::to_string(n) + " " + std::to_string(loop) + " " +
                  std::to_string(delta) + " " + std::to_string(fadeIn) + " " + std::to_string(fadeOut));
    CGame::PlayBgmNumber(n, loop, delta, fadeIn, fadeOut);
  }
  void StopBgm(int fadeOut) override { log.push_back("StopBgm " + std::to_string(fadeOut)); }
  void SaveSystemFile() override { log.push_back("SaveSystemFile"); }
  void OnScriptCommand(int v) override { log.push_back("OnScriptCommand " + std::to_string(v)); }
  void OnRestoreStateHook() override { log.push_back("OnRestoreStateHook"); }

  // Releases the script as a message mode does and runs it as the frame
  // does, up to its next blocking command.
  void Release() {
    SetSkipFilmFlag(1);
    CallControlScript(-1);
  }
  CScript* Script(int level) const { return scripts_[level]; }
  int Level() const { return scriptLevel_; }
  int ScriptNumber(int level) const { return scriptNumber_[level]; }
  int Released() const { return skipFilmStarted_; }
  void SetSkipping(int on) { skipFilm_[2] = on; }
  int FastForward(int i) const { return fastForward_[i]; }
  void SetFastForward(int i, int v) { fastForward_[i] = v; }
  int WipeType() const { return wipeType_; }
  int WipeLength() const { return wipeLength_; }
  int CannotSkip() const { return cannotSkipFlag_; }
  int CostumeMaskValue() const { return costumeMask_; }
  int VariantVar(int ch) const { return variantVars_[ch]; }
  int VoiceFade() const { return voiceFadeTime_; }
  int SeFade() const { return seFadeTime_; }
  int ReadSkip() const { return readSkip_; }
  int WindowPending() const { return windowPendingWord_; }
  const char* Noticed() const { return noticedVoice_; }
  const char* ChannelName(int ch) const { return effectPictureNames_[ch]; }
  const char* VoiceName(int ch) const { return voiceNames_[ch]; }
  void SetHold(int ch, int flags) { holdFlags_[ch] = flags; }
  void SetCostume(int var, std::vector<std::string> suffixes) {
    costumeVar_ = var;
    costumeSuffixes_.clear();
    for (const std::string& s : suffixes) costumeSuffixes_.emplace_back(s.c_str(), s.c_str() + s.size() + 1);
  }
  void SetCostumeMask(int mask) { costumeMask_ = mask; }
  void SetBackScriptRunning(int v) { backScriptRunning_ = v; }
  GameSettings& Settings() { return settings_; }
  CAllEffect* Effect() const { return effect_; }
  class CSePlayer* Se() const { return sePlayer_; }
  class CVoicePlayer* Voices() const { return voicePlayer_; }
  void SetDebug(int flag) { SetDebugFlags(flag); }

  Log log;

 private:
  bool modes_;
};

class ScriptTest : public game_test::GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    dir_->Write("spt/project.xtx", "sys\r\nsub1\r\nsub2\r\nsub3\r\nsub4\r\n");
  }
  void TearDown() override {
    game_.reset();
    GameTest::TearDown();
  }
  // Writes spt/<name>.spt from assembler text.
  void Script(const std::string& name, const std::string& source) {
    const zasm::Assembly a = zasm::Assemble(source);
    ASSERT_TRUE(a.ok()) << a.ErrorText();
    dir_->Write("spt/" + name + ".spt", a.FileBytes());
  }
  // The game with the control script `source` (none when empty).
  ScriptGame& Make(const std::string& source = "", const Pairs& list = {}, bool modes = true) {
    if (!source.empty()) Script("sys", source);
    WriteList("game", list);
    systemFile_.SetDefault();
    game_ = std::make_unique<ScriptGame>(window_, &systemFile_, modes);
    game_->Init();
    for (int n = 1; n < CGameCallBack::kModeCount; ++n) game_->CreateMode(n);
    host_->ClearBoxes();
    host_->ClearDebugLines();
    return *game_;
  }
  std::vector<std::string> BoxCaptions() const {
    std::vector<std::string> out;
    for (const auto& b : host_->Boxes()) out.push_back(b.caption);
    return out;
  }

  CCommonSystemFile systemFile_;
  std::unique_ptr<ScriptGame> game_;
};

}  // namespace script_test
