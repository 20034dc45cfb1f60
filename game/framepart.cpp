#include "game/framepart.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "game/frameskip.h"
#include "game/modeflowpart.h"
#include "game/settingkeys.h"
#include "game/variablepart.h"
#include "modebase/moderoles.h"
#include "savedata/gamestatus.h"

namespace {

using Key = IntKey<CFramePart::Settings>;
using S = CFramePart::Settings;

const Key kFrameKeys[] = {
    {"frameTime", &S::frameTime},
    {"maxSkipFrame", &S::maxSkipFrame},
    {"skipAdjustFrame", &S::skipAdjustFrame},
};

}  // namespace

CFramePart::CFramePart(const Links& links) : links_(links) {}

CFramePart::~CFramePart() = default;

void CFramePart::ReadSettings() {
  ReadIntKeys(links_.list, &settings_, kFrameKeys);
  if (settings_.frameTime < 1 || settings_.frameTime > 1000) settings_.frameTime = kDefaultFrameTime;
  if (settings_.maxSkipFrame < 1) settings_.maxSkipFrame = 1;
  frameTime_ = defaultFrameTime_ = settings_.frameTime;
}

void CFramePart::Init() {
  frameSkip_ = std::make_unique<CFrameSkip>();
  frameSkip_->SetMaxSkip(links_.vars->CheckFrameSkipOff() ? 1 : settings_.maxSkipFrame);
  frameSkip_->SetAdjust(settings_.skipAdjustFrame);
  frameSkip_->SetPeriod(frameTime_);
}

void CFramePart::SetFrameTime(int ms) {
  frameTime_ = ms;
  if (frameSkip_) frameSkip_->SetPeriod(ms);
}

int CFramePart::ConvertWaitCount(int n) const {
  if (n < 0) return -1;
  if (!frameSkip_) return n == 0 ? 1 : std::min(n, 1);
  return frameSkip_->GetSkipCount(n == 0 ? -1 : n);
}

int CFramePart::CalcuWaitCount(int n) {
  if (n < 0) {
    if (frameSkip_) frameSkip_->Reset();
    return -1;
  }
  const int frames = ConvertWaitCount(n);
  if (frameSkip_) frameSkip_->Consume(frames);
  return frames;
}

void CFramePart::CalcuFrameSkip(int elapsed) {
  elapsed = std::max(elapsed, 0);
  frameElapsed_ = elapsed;
  DecreaseCountdown(elapsed);
  // In 64 bits: a frame period or lateness from the settings may be large.
  const int64_t period = frameTime_;
  int64_t late = lateness_;
  if (elapsed < period) late = std::max<int64_t>(late - (period - elapsed), 0);
  if (elapsed > period) late += elapsed - period;
  if (holdCount_ > 0) {
    --holdCount_;
    late = std::min<int64_t>(late, period - 1);
  }
  late = std::clamp<int64_t>(late, 0, INT32_MAX);
  lateness_ = static_cast<int>(late);
  if (!links_.vars->CheckFrameSkipOff())
    skipAllowance_ = static_cast<int>(std::min<int64_t>(late, period * std::max(settings_.maxSkipFrame, 1)));
}

void CFramePart::ResetFrameSkip() {
  lateness_ = 0;
  skipAllowance_ = 0;
  if (CStoryMessageMode* printMessage = links_.modes->GetPrintMessage()) printMessage->ClearState();
  holdCount_ = 2;
}

void CFramePart::DecreaseCountdown(int n) {
  if (!voiceCountdownFlag_) return;
  voiceCountdown_ = n > 0 && voiceCountdown_ < INT_MIN + n ? INT_MIN : voiceCountdown_ - n;
  if (voiceCountdown_ <= 0) {
    voiceCountdown_ = 0;
    voiceCountdownFlag_ = 0;
  }
}

void CFramePart::Advance(int elapsed) {
  if (frameSkip_) frameSkip_->Advance(elapsed);
}

void CFramePart::ResetSkip() {
  if (frameSkip_) frameSkip_->Reset();
}

void CFramePart::Close() {
  if (frameSkip_) frameSkip_->Close();
}

// --- Its share of the saved game ---

void CFramePart::PutStatus(uint8_t* status) const {
  gamestatus::Set(status, gamestatus::kFrameTime, GetFrameTime());
}

void CFramePart::GetStatus(const uint8_t* status) {
  const int frameTime = gamestatus::Get(status, gamestatus::kFrameTime);
  if (frameTime > 0) SetFrameTime(frameTime);
}
