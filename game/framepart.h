// CFramePart: the frame's timing: the frame period and its default, the
// frame-skip controller the waits consume from, the lateness and skip
// allowance of the message modes, the voice count-down that the effects see
// as their speed, and the time the current frame took.
#pragma once

#include <cstdint>
#include <memory>

class CModeFlowPart;
class CSetupList;
class CVariablePart;
class CFrameSkip;

class CFramePart {
 public:
  // The keys of the list "game" this part reads.
  struct Settings {
    int frameTime = 50;
    int maxSkipFrame = 2;
    int skipAdjustFrame = 10;
  };
  static constexpr int kDefaultFrameTime = 50;

  // What the part uses: the parts it calls (their slots in the game's set,
  // so a part made later or replaced by a test's double is found) and what
  // the game was given.
  struct Links {
    std::unique_ptr<CVariablePart>& vars;
    std::unique_ptr<CModeFlowPart>& modes;
    const CSetupList* const& list;  // null before the list loads
  };

  explicit CFramePart(const Links& links);
  virtual ~CFramePart();
  CFramePart(const CFramePart&) = delete;
  CFramePart& operator=(const CFramePart&) = delete;
  const Settings& GetSettings() const { return settings_; }
  Settings& GetSettings() { return settings_; }

  // The keys; a period outside 1..1000 ms would stop or stall the loop and
  // keeps 50, a maximum skip below 1 is 1.
  void ReadSettings();
  // The frame-skip controller with the period and the maximum skip (1
  // while the player switched skipping off).
  void Init();

  int GetFrameTime() const { return frameTime_; }
  int GetDefaultFrameTime() const { return defaultFrameTime_; }
  // Sets the frame period and hands it to the frame-skip controller.
  void SetFrameTime(int ms);
  void ResetFrameTime() { SetFrameTime(defaultFrameTime_); }

  // The frames that waits and effects advance this frame: the controller's
  // skip count, or n when n is below it; 0 gives the skip count; a negative
  // n resets the controller and gives -1. What it gives is consumed.
  int CalcuWaitCount(int n);
  // The same answer without consuming it.
  int ConvertWaitCount(int n) const;
  // The message modes' lateness against the period, the skip allowance (at
  // most "maxSkipFrame" periods) and the voice count-down.
  virtual void CalcuFrameSkip(int elapsed);
  void ResetFrameSkip();
  int GetSkipFrameCount() const { return skipAllowance_; }
  int GetLateness() const { return lateness_; }
  void SetLateness(int ms) { lateness_ = ms; }
  // The elapsed ms of the current frame.
  int GetMessageWaitTime() const { return frameElapsed_; }

  // The script's voice command: the voice count-down runs for ms.
  void StartVoiceCountdown(int ms) {
    voiceCountdown_ = ms;
    voiceCountdownFlag_ = ms > 0 ? 1 : 0;
  }
  // Lowers the voice count-down by n ms; at 0 it is switched off.
  void DecreaseCountdown(int n);
  int GetEffectSpeed() const { return voiceCountdownFlag_; }

  // The controller's steps of a frame: advanced at the start, reset when a
  // mode change forgets the lag, closed at the end.
  CFrameSkip* GetFrameSkip() const { return frameSkip_.get(); }
  void Advance(int elapsed);
  void ResetSkip();
  void Close();

 private:
  const Links links_;
  Settings settings_;
  std::unique_ptr<CFrameSkip> frameSkip_;
  int frameTime_ = kDefaultFrameTime;
  int defaultFrameTime_ = kDefaultFrameTime;
  int frameElapsed_ = 0;
  // Lateness and skip allowance in ms, and the frames the lateness is held
  // below a period.
  int lateness_ = 0, skipAllowance_ = 0, holdCount_ = 0;
  // The voice count-down: running flag and remaining ms.
  int voiceCountdownFlag_ = 0, voiceCountdown_ = 0;

 public:
  // --- Its share of the saved game (savedata/gamestatus.h) ---
  // The frame time; a saved time of 0 or less leaves the current one.
  void PutStatus(uint8_t* status) const;
  void GetStatus(const uint8_t* status);
};
