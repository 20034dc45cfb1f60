#include "game/backscriptrunner.h"

#include <algorithm>
#include <string>

#include "game/framepart.h"
#include "game/gamelists.h"
#include "game/screenpart.h"
#include "game/scriptpart.h"
#include "platform/types.h"
#include "platform/system.h"
#include "script/codes.h"
#include "script/script.h"
#include "setup/namelist.h"

CBackScriptRunner::CBackScriptRunner(const Links& links)
    : links_(links), script_(std::make_unique<CScript>(links.callback, kCapacity)) {
  script_->SetStepLimit(kRecordsPerRun);
}

CBackScriptRunner::~CBackScriptRunner() = default;

int CBackScriptRunner::Load(const char* name) {
  const CNameList* projects = links_.lists.GetProjectList();
  const int n = projects && name ? projects->Search(name, 0) : -1;
  if (n < 0) {
    platform::MessageBox(nullptr, name ? name : "", "LOAD BACK SCRIPT ERROR", MB_OK);
    return 0;
  }
  if (n != project_) {
    script_->Load(("spt\\" + std::string(projects->GetName(n)) + ".spt").c_str());
    project_ = n;
  }
  Rewind();
  Run(0, 0);
  Advance();
  return 1;
}

void CBackScriptRunner::Rewind() {
  script_->SetPC(0);
  script_->SetCallDepth(0);
  countDown_ = 0;
  step_ = length_;
}

void CBackScriptRunner::Restart() {
  if (project_ < 0) return;
  mode_ = kCountDown;
  Rewind();
}

int CBackScriptRunner::Run(int force, int loop) {
  if (project_ < 0) return 0;
  const bool due = force || (mode_ == kCountDown && countDown_ <= 0) ||
                   (mode_ == kTransition && step_ >= length_);
  if (!due) return 0;
  for (int pass = 0; pass < 2; ++pass) {
    links_.scripts.SetBackScriptRunning(1);
    const int result = script_->Run(-1);
    links_.scripts.SetBackScriptRunning(0);
    if (result != script::kStopHere6) return 0;
    if (!loop) return 1;
    // Once round again from the start; a script that only stops comes back
    // in the next frame.
    Rewind();
  }
  return 0;
}

void CBackScriptRunner::Advance() {
  int frames = std::max(links_.frame.CalcuWaitCount(0), 1);
  frames = std::min(frames, std::max(links_.scripts.GetSettings().maxSkipFrameBackScript, 1));
  if (mode_ == kTransition) {
    frames = std::clamp(length_ - step_, 0, frames);
    step_ += frames;
  } else {
    // The effect channels go on by the whole step; the count-down stops
    // at 0.
    countDown_ -= std::min(frames, std::max(countDown_, 0));
  }
  advanced_ = frames;
}

int CBackScriptRunner::Calcu(int loop) {
  const int result = Run(0, loop);
  Advance();
  return result;
}

void CBackScriptRunner::Print() {
  if (mode_ == kTransition) {
    links_.screen.PrintWipeType(step_, length_, kind_);
    return;
  }
  links_.screen.PrintEffect(0, CScreenPart::kEffectChannels - 1);
  links_.screen.AddEffectFrame(advanced_);
}

void CBackScriptRunner::PrintRange(int first, int last) { links_.screen.PrintEffect(first, last); }

void CBackScriptRunner::StartCountDown(int frames) {
  mode_ = kCountDown;
  countDown_ = std::max(frames, 0);
  if (countDown_ == 0) Print();
}

void CBackScriptRunner::StartTransition(int kind, int length) {
  mode_ = kTransition;
  kind_ = kind;
  length_ = std::max(length, 0);
  step_ = 0;
}
