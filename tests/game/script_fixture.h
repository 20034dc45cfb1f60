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
#include "game/messagewindowpart.h"
#include "game/modeflowpart.h"
#include "game/savepart.h"
#include "game/screenpart.h"
#include "game/scriptpart.h"
#include "game/soundpart.h"
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
  // passText: while it is set, a message also reaches the mode itself.
  PrintStandIn(const GameRoles& game, Log* log, const bool* passText)
      : CCommonPrintMessage(game), log_(log), passText_(passText) {}
  void SetMessage(int code, int id, const char* text, int extra) override {
    Note("SetMessage " + Hex(code) + " " + Hex(id) + " " + text + " " + std::to_string(extra));
    if (*passText_) CCommonPrintMessage::SetMessage(code, id, text, extra);
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
  const bool* passText_;
};

class SelectStandIn : public CCommonSelectMessage {
 public:
  SelectStandIn(const GameRoles& game, Log* log) : CCommonSelectMessage(game), log_(log) {}
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
  BackLogStandIn(const GameRoles& game, Log* log) : CCommonBackLog(game), log_(log) {}
  void SetVoice(const char* name) override { log_->push_back(std::string("7 SetVoice ") + name); }

 private:
  Log* log_;
};

// The music the script asks for is noted; a stop is only noted while the
// interception is on (the destroy step stops the music for real).
class LoggingSound : public CSoundPart {
 public:
  LoggingSound(GameParts& parts, Log* log) : CSoundPart(LinksOf<CSoundPart>(parts)), log_(log) {}
  void PlayBgmNumber(int n, int loop, int delta, int fadeIn, int fadeOut) override {
    log_->push_back("PlayBgmNumber " + std::to_string(n) + " " + std::to_string(loop) + " " +
                    std::to_string(delta) + " " + std::to_string(fadeIn) + " " + std::to_string(fadeOut));
    CSoundPart::PlayBgmNumber(n, loop, delta, fadeIn, fadeOut);
  }
  void StopBgm(int fadeOut) override {
    if (!intercept) return CSoundPart::StopBgm(fadeOut);
    log_->push_back("StopBgm " + std::to_string(fadeOut));
  }
  bool intercept = true;

 private:
  Log* log_;
};

// The system file's save is only noted.
class LoggingSaves : public CSavePart {
 public:
  LoggingSaves(GameParts& parts, Log* log) : CSavePart(LinksOf<CSavePart>(parts)), log_(log) {}
  void SaveSystemFile() override { log_->push_back("SaveSystemFile"); }

 private:
  Log* log_;
};

class ScriptGame : public CGame {
 public:
  ScriptGame(platform::Window* window, CCommonSystemFile* systemFile, bool modes)
      : CGame(window, systemFile, 64, 48, 32), modes_(modes) {
    auto sound = std::make_unique<LoggingSound>(Parts(), &log);
    sound_ = sound.get();
    Parts().sound = std::move(sound);
    Parts().saves = std::make_unique<LoggingSaves>(Parts(), &log);
  }
  // The destroy step while the log stands, with the real music stop.
  ~ScriptGame() override {
    sound_->intercept = false;
    ReleaseAll();
  }

  std::unique_ptr<CCommonGeneral> MakeMode(int n) override {
    if (!modes_) return nullptr;
    if (n == 10) return std::make_unique<PrintStandIn>(Roles(), &log, &passText);
    if (n == 9) return std::make_unique<SelectStandIn>(Roles(), &log);
    if (n == 7) return std::make_unique<BackLogStandIn>(Roles(), &log);
    return nullptr;
  }
  void OnScriptCommand(int v) override { log.push_back("OnScriptCommand " + std::to_string(v)); }
  void OnRestoreStateHook() override { log.push_back("OnRestoreStateHook"); }

  // Releases the script as a message mode does and runs it as the frame
  // does, up to its next blocking command.
  void Release() {
    MessageWindow().SetSkipFilmFlag(1);
    Scripts().CallControlScript(-1);
  }
  CScript* Script(int level) const { return Scripts().GetScript(level); }
  int Level() const { return Scripts().GetScriptLevel(); }
  int ScriptNumber(int level) const { return Scripts().GetScriptNumber(level); }
  int Released() const { return MessageWindow().GetSkipFilmFlag(); }
  // A film skip running (on) or ended (off).
  void SetSkipping(int on) {
    if (on)
      MessageWindow().StartFilmSkip();
    else
      MessageWindow().EndSkipFilm();
  }
  int FastForward(int i) const { return Scripts().GetFastForward(i); }
  void SetFastForward(int i, int v) { Scripts().SetFastForward(i, v); }
  int WipeType() const { return Screen().GetWipeType(); }
  int WipeLength() const { return Screen().GetWipeLength(); }
  int CostumeMaskValue() const { return Scripts().Pictures().costumeMask; }
  int VariantVar(int ch) const { return Scripts().Pictures().variantVars[ch]; }
  int VoiceFade() const { return Sound().GetScriptSounds().voiceFadeTime; }
  int SeFade() const { return Sound().GetScriptSounds().seFadeTime; }
  int ReadSkip() const { return MessageWindow().Words().readSkip; }
  const char* Noticed() const { return Sound().GetScriptSounds().noticedVoice; }
  const char* ChannelName(int ch) const { return Screen().GetEffectPictureName(ch); }
  const char* VoiceName(int ch) const { return Sound().GetScriptSounds().voiceNames[ch]; }
  void SetHold(int ch, int flags) { Scripts().Pictures().holdFlags[ch] = flags; }
  void SetCostume(int var, std::vector<std::string> suffixes) {
    CScriptPart::PictureWords& pictures = Scripts().Pictures();
    pictures.costumeVar = var;
    pictures.costumeSuffixes.clear();
    for (const std::string& s : suffixes)
      pictures.costumeSuffixes.emplace_back(s.c_str(), s.c_str() + s.size() + 1);
  }
  void SetCostumeMask(int mask) { Scripts().Pictures().costumeMask = mask; }
  void SetBackScriptRunning(int v) { Scripts().SetBackScriptRunning(v); }
  CAllEffect* Effect() const { return Screen().GetEffect(); }
  CSePlayer* Se() const { return Sound().GetSePlayer(); }
  CVoicePlayer* Voices() const { return Sound().GetVoicePlayer(); }

  Log log;
  // Messages reach the print-message mode itself, not only the log.
  bool passText = false;

 private:
  bool modes_;
  LoggingSound* sound_ = nullptr;
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
    for (int n = 1; n < CGameCallBack::kModeCount; ++n) game_->Modes().CreateMode(n);
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
