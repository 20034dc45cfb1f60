#include "minigame/minigamebase.h"

#include "minigame/allminigame.h"

CMiniGameBase::CMiniGameBase(CAllMiniGame* holder) : holder_(holder) {
  if (!holder_) return;
  keyStatus_ = holder_->GetKeyStatus();
  mouseStatus_ = holder_->GetMouseStatus();
}

CMiniGameBase::~CMiniGameBase() = default;

void CMiniGameBase::Release() {}
int CMiniGameBase::Init() { return -1; }
int CMiniGameBase::Calcu() { return -1; }
int CMiniGameBase::Print() { return -1; }
int CMiniGameBase::GetClearFlag() { return clearFlag_; }
int CMiniGameBase::GetGameOverFlag() { return gameOverFlag_; }

int CMiniGameBase::Start() {
  if (holder_) {
      keyStatus_ = holder_->GetKeyStatus();
    mouseStatus_ = holder_->GetMouseStatus();
    for (int i = 0; i < 3; ++i) picture_[i] = holder_->GetPicture(i);
    screenPicture_ = holder_->GetScreenPicture();
    workPicture_ = holder_->GetWorkPicture();
  }
  clearFlag_ = 0;
  gameOverFlag_ = 0;
  return Init();
}
