// The recorded and scripted services both test doubles share, over either
// the real game's parts (FakeGame) or the bare role interfaces
// (FakeServices).
//
// - CallLog: one text per recorded call, the operation's name and its
//   arguments ("PlaySeFile click -30"), in order, with the test's own
//   Note()s between them (Calls()); the sound calls alone, in the same form
//   (Sounds()); nothing is played. Scripted answers: the mini-game start,
//   the back script's result and the variable numbers by name (-1 for a
//   name the test did not give).
// - One mixin per role, Recorded<Role><Base>: Base is the role interface
//   (or a part of the game that plays it), and the mixin overrides the
//   role's recorded operations to note them in Log(). A double that also
//   needs the service's effect calls the mixin's operation and then its
//   base's (FakeGame passes some on to the game).
// - LoadSystemPicture answers null.
#pragma once

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "platform/headless/headless.h"

class CPicture;

namespace testsupport {

// What both doubles' frame drivers keep: the host whose messages they
// deliver and whose boxes they show, the step of the virtual clock and the
// mode requests the frames carried out.
class FrameRecord {
 public:
  FrameRecord(platform::HeadlessBackend& host, int step) : host_(host), step_(step) {}
  int Step() const { return step_; }
  void SetStep(int ms) { step_ = ms; }
  // Every request above 0 that a frame carried out, in order.
  const std::vector<int>& ModeRequests() const { return requests_; }
  std::vector<platform::BoxRecord> Boxes() const { return host_.Boxes(); }
  platform::HeadlessBackend& Host() const { return host_; }

 protected:
  platform::HeadlessBackend& host_;
  int step_;
  std::vector<int> requests_;
};

// The text a recorded string argument shows.
inline std::string CallText(const char* s) { return s ? s : "(null)"; }
inline std::string Num(int n) { return std::to_string(n); }

class CallLog {
 public:
  const std::vector<std::string>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  void Note(const std::string& text) { calls_.push_back(text); }
  const std::vector<std::string>& Sounds() const { return sounds_; }
  void ClearSounds() { sounds_.clear(); }

  void SetMiniGameStart(int answer) { miniGameStart_ = answer; }
  int MiniGameStart() const { return miniGameStart_; }
  void SetBackScriptResult(int result) { backScriptResult_ = result; }
  int BackScriptResult() const { return backScriptResult_; }
  void SetVarNumber(const std::string& name, int number) { varNumbers_[name] = number; }
  // The number the test gave the name, without recording the look-up.
  int GivenVarNumber(const std::string& name) const {
    auto it = varNumbers_.find(name);
    return it == varNumbers_.end() ? -1 : it->second;
  }

  void Record(const char* op, std::initializer_list<std::string> args) {
    std::string line = op;
    for (const std::string& a : args) line += " " + a;
    calls_.push_back(line);
  }
  void RecordSound(const char* op, std::initializer_list<std::string> args) {
    Record(op, args);
    sounds_.push_back(calls_.back());
  }

 private:
  std::vector<std::string> calls_;
  std::vector<std::string> sounds_;
  int miniGameStart_ = 0;
  int backScriptResult_ = 0;
  std::map<std::string, int> varNumbers_;
};

// --- Sounds ---
template <typename Base>
class RecordedSound : public Base {
 public:
  using Base::Base;
  void PlayVoice(const char* name) override { Log().RecordSound("PlayVoice", {CallText(name)}); }
  void PlaySystemSe(int n, int asVoice) override { Log().RecordSound("PlaySystemSe", {Num(n), Num(asVoice)}); }
  void PlaySeFile(const char* name, int delta) override { Log().RecordSound("PlaySeFile", {CallText(name), Num(delta)}); }
  void PlaySystemVoiceFile(const char* name, int ignored, int sameBuffer) override {
    Log().RecordSound("PlaySystemVoiceFile", {CallText(name), Num(ignored), Num(sameBuffer)});
  }
  void PlayNote(int n) override { Log().RecordSound("PlayNote", {Num(n)}); }
  void PlayBgmNumber(int n, int loopCount, int delta, int fadeIn, int fadeOut) override {
    Log().RecordSound("PlayBgmNumber", {Num(n), Num(loopCount), Num(delta), Num(fadeIn), Num(fadeOut)});
  }
  void StopBgm(int fadeOut) override { Log().RecordSound("StopBgm", {Num(fadeOut)}); }

 protected:
  virtual CallLog& Log() = 0;
};

// --- The screen ---
template <typename Base>
class RecordedScreen : public Base {
 public:
  using Base::Base;
  void PrintWipeType(int progress, int length, int kind) override {
    Log().Record("PrintWipeType", {Num(progress), Num(length), Num(kind)});
  }
  CPicture* LoadSystemPicture(const char* name, int flag) override {
    Log().Record("LoadSystemPicture", {CallText(name), Num(flag)});
    return nullptr;
  }

 protected:
  virtual CallLog& Log() = 0;
};

// --- The back script ---
template <typename Base>
class RecordedBackScript : public Base {
 public:
  using Base::Base;
  int LoadBackScript(const char* name) override {
    Log().Record("LoadBackScript", {CallText(name)});
    return 1;
  }
  int CalcuBackScript(int loop) override {
    Log().Record("CalcuBackScript", {Num(loop)});
    return Log().BackScriptResult();
  }
  void PrintBackScript() override { Log().Record("PrintBackScript", {}); }
  void SetBackScriptMode(int mode) override { Log().Record("SetBackScriptMode", {Num(mode)}); }

 protected:
  virtual CallLog& Log() = 0;
};

// --- The mode flow: notices, hooks and the mini-games ---
template <typename Base>
class RecordedModeFlow : public Base {
 public:
  using Base::Base;
  int CheckMiniGameStart(int value) override {
    Log().Record("CheckMiniGameStart", {Num(value)});
    return Log().MiniGameStart();
  }
  void SetMiniGameAreaMode(int mode) override { Log().Record("SetMiniGameAreaMode", {Num(mode)}); }
  void PrintMiniGameButtons() override { Log().Record("PrintMiniGameButtons", {}); }
  void NotifyMode(int mode, int value) override { Log().Record("NotifyMode", {Num(mode), Num(value)}); }
  void OnModeEnter(int mode) override { Log().Record("OnModeEnter", {Num(mode)}); }
  void OnModeHook(int mode) override { Log().Record("OnModeHook", {Num(mode)}); }

 protected:
  virtual CallLog& Log() = 0;
};

// --- The floating layers ---
template <typename Base>
class RecordedFloating : public Base {
 public:
  using Base::Base;
  void RestoreFloatingLayers() override { Log().Record("RestoreFloatingLayers", {}); }

 protected:
  virtual CallLog& Log() = 0;
};

// --- Variables ---
template <typename Base>
class RecordedVariables : public Base {
 public:
  using Base::Base;
  int GetVarNumber(const char* name) override {
    Log().Record("GetVarNumber", {CallText(name)});
    return Log().GivenVarNumber(CallText(name));
  }

 protected:
  virtual CallLog& Log() = 0;
};

// Every recorded role over one base that plays them all.
template <typename Base>
using RecordedServices =
    RecordedSound<RecordedScreen<RecordedBackScript<RecordedModeFlow<RecordedFloating<RecordedVariables<Base>>>>>>;

}  // namespace testsupport
