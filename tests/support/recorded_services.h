// RecordedServices<Base>: the recorded and scripted services both test
// doubles share, over either the real game (FakeGame) or the bare role
// interfaces (FakeServices).
//
// - Calls(): one text per recorded call, the operation's name and its
//   arguments ("PlaySeFile click -30"), in order, with the test's own
//   Note()s between them.
// - Sounds(): the sound calls alone, in the same form; nothing is played.
// - Scripted answers: the mini-game start, the back script's result and the
//   variable numbers by name (-1 for a name the test did not give).
// - LoadSystemPicture answers null.
//
// A double that also needs the service's effect calls the recording here
// and then its own (FakeGame passes some on to the game).
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

template <typename Base>
class RecordedServices : public Base {
 public:
  using Base::Base;

  const std::vector<std::string>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  void Note(const std::string& text) { calls_.push_back(text); }
  const std::vector<std::string>& Sounds() const { return sounds_; }
  void ClearSounds() { sounds_.clear(); }

  void SetMiniGameStart(int answer) { miniGameStart_ = answer; }
  void SetBackScriptResult(int result) { backScriptResult_ = result; }
  void SetVarNumber(const std::string& name, int number) { varNumbers_[name] = number; }

  // --- Sounds ---
  void PlayVoice(const char* name) override { Sound("PlayVoice", {CallText(name)}); }
  void PlaySystemSe(int n, int asVoice) override { Sound("PlaySystemSe", {Num(n), Num(asVoice)}); }
  void PlaySeFile(const char* name, int delta) override {
    Sound("PlaySeFile", {CallText(name), Num(delta)});
  }
  void PlaySystemVoiceFile(const char* name, int ignored, int sameBuffer) override {
    Sound("PlaySystemVoiceFile", {CallText(name), Num(ignored), Num(sameBuffer)});
  }
  void PlayNote(int n) override { Sound("PlayNote", {Num(n)}); }
  void PlayBgmNumber(int n, int loopCount, int delta, int fadeIn, int fadeOut) override {
    Sound("PlayBgmNumber", {Num(n), Num(loopCount), Num(delta), Num(fadeIn), Num(fadeOut)});
  }
  void StopBgm(int fadeOut) override { Sound("StopBgm", {Num(fadeOut)}); }

  // --- The screen, the back script and the mini-games ---
  void PrintWipeType(int progress, int length, int kind) override {
    Record("PrintWipeType", {Num(progress), Num(length), Num(kind)});
  }
  int LoadBackScript(const char* name) override {
    Record("LoadBackScript", {CallText(name)});
    return 1;
  }
  int CalcuBackScript(int loop) override {
    Record("CalcuBackScript", {Num(loop)});
    return backScriptResult_;
  }
  void PrintBackScript() override { Record("PrintBackScript", {}); }
  void SetBackScriptMode(int mode) override { Record("SetBackScriptMode", {Num(mode)}); }
  int CheckMiniGameStart(int value) override {
    Record("CheckMiniGameStart", {Num(value)});
    return miniGameStart_;
  }
  void SetMiniGameAreaMode(int mode) override { Record("SetMiniGameAreaMode", {Num(mode)}); }
  void PrintMiniGameButtons() override { Record("PrintMiniGameButtons", {}); }
  void RestoreFloatingLayers() override { Record("RestoreFloatingLayers", {}); }
  CPicture* LoadSystemPicture(const char* name, int flag) override {
    Record("LoadSystemPicture", {CallText(name), Num(flag)});
    return nullptr;
  }

  // --- Modes and variables ---
  void NotifyMode(int mode, int value) override { Record("NotifyMode", {Num(mode), Num(value)}); }
  void OnModeEnter(int mode) override { Record("OnModeEnter", {Num(mode)}); }
  void OnModeHook(int mode) override { Record("OnModeHook", {Num(mode)}); }
  int GetVarNumber(const char* name) override {
    Record("GetVarNumber", {CallText(name)});
    return GivenVarNumber(CallText(name));
  }

 protected:
  // The number the test gave the name, without recording the look-up.
  int GivenVarNumber(const std::string& name) const {
    auto it = varNumbers_.find(name);
    return it == varNumbers_.end() ? -1 : it->second;
  }
  static std::string Num(int n) { return std::to_string(n); }
  void Record(const char* op, std::initializer_list<std::string> args) {
    std::string line = op;
    for (const std::string& a : args) line += " " + a;
    calls_.push_back(line);
  }
  void Sound(const char* op, std::initializer_list<std::string> args) {
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

}  // namespace testsupport
