#include "mode/selectheroin.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "mode/screensetvars.h"
#include "services/floatingservices.h"
#include "services/messagewindowservices.h"
#include "services/modeflowservices.h"
#include "services/saveservices.h"
#include "services/screenservices.h"
#include "services/variableservices.h"
#include "graphics/picture.h"
#include "graphics/systempicture.h"
#include "mode/modekeys.h"
#include "setup/namelist.h"
#include "widget/backbutton.h"
#include "widget/buttoncode.h"
#include "widget/commonbutton.h"
#include "widget/updownbutton.h"

namespace selectheroin {

Placement PlaceOnCircle(const Circle& c, int s, int n, int t, int d) {
  const int64_t step = n > 0 ? 360 / n : 360;
  const int64_t turn = t * step / std::max(c.turnFrame, 1) * d;
  int64_t a = (c.deltaAngle + s * step + 90 + turn + 720) % 360;
  if (a < 0) a += 360;
  Placement p;
  p.angle = static_cast<int>(a);
  // The circle's own constant for a full turn.
  const double r = static_cast<double>(a) * 6.28318 / 360.0;
  const double sine = std::sin(r);
  p.depth = static_cast<int>(sine * 100.0 + 0.5);
  p.x = static_cast<int>(std::cos(r) * c.circleX + 0.5);
  p.y = static_cast<int>((1.0 - sine) / 2.0 * c.circleY + 0.5);
  const int opacity = static_cast<int>((sine + 1.0) / 2.0 * (c.percent2 - c.percent1)) + c.percent1;
  p.opacity = std::clamp(opacity, 1, 100);
  return p;
}

std::vector<int> DrawOrder(const std::vector<int>& depths) {
  std::vector<int> order(depths.size());
  std::vector<int> keys = depths;
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  for (size_t i = 0; i < keys.size(); ++i)
    for (size_t j = i + 1; j < keys.size(); ++j)
      if (keys[j] < keys[i]) {
        std::swap(keys[i], keys[j]);
        std::swap(order[i], order[j]);
      }
  return order;
}

}  // namespace selectheroin

namespace {

// The turn pair rests on page 2 of 5, so both of its buttons stay usable;
// a decided up click reports page 1, a down click page 3.
constexpr int kTurnPages = 5, kTurnPage = 2, kTurnUp = 1, kTurnDown = 3;
// Effect channels of entries 0..9, then of entries 10 and 11.
constexpr int kEntryChannels[CCommonSelectHeroin::kMaxHeroines] = {6, 7, 8, 9, 10, 11,
                                                                   12, 13, 14, 15, 2, 3};

}  // namespace

CCommonSelectHeroin::CCommonSelectHeroin(const GameRoles& game) : CCommonGeneral(game) {
  SetModeNumber(kModeNumber);
  LoadSetupFile("SelectHeroin", 128);
  LoadBackScriptSetup();
  LoadMustAllPrintFlag();
  LoadFadeSetup();
  LoadBgmSetup();
  LoadEnterExitVoiceSetup();
  LoadUpDownButtonSetup();

  printMax_ = ReadCount(*this, "heroinPrintMax", 4, kMaxHeroines);
  // A missing name names no variable.
  auto var = [&](const std::string& key) {
    const char* name = nullptr;
    return GetSetupString(&name, key.c_str()) && game_ ? game_.variables->GetVarNumber(name) : -1;
  };
  for (int p = 0; p < printMax_; ++p) heroinVars_[p] = var(Numbered("heroinVarName", p + 1));
  returnVar_ = var(screensetvars::kHeroinReturn);
  nextVar_ = var("nextButtonVarName");
  GetSetupInt(&okFlag_, "okButtonFlag");
  GetSetupInt(&nextFlag_, "nextButtonFlag");
  GetSetupInt(&createBuffer_, "createBufferFlag");
  GetSetupInt(&minTurn_, "minTurnNumber");
  GetSetupInt(&circle_.turnFrame, "turnFrame");
  circle_.turnFrame = std::max(circle_.turnFrame, 1);
  GetSetupInt(&circle_.deltaAngle, "deltaAngle");
  circle_.deltaAngle = std::clamp(circle_.deltaAngle, -1000000, 1000000);
  GetSetupInt(&circle_.percent1, "percent1");
  GetSetupInt(&circle_.percent2, "percent2");
  circle_.percent1 = std::clamp(circle_.percent1, -1000000, 1000000);
  circle_.percent2 = std::clamp(circle_.percent2, -1000000, 1000000);
  GetSetupInt(&circle_.circleX, "circleX");
  GetSetupInt(&circle_.circleY, "circleY");
  HoldCoordinates({&circle_.circleX, &circle_.circleY});
  backgroundFileName_ = "bg_selectheroin";
  GetSetupString(&backgroundFileName_, "filenameBG");
  GetSetupString(&plateName_, "filenamePlate");
  GetSetupInt(&plateX_, "plateX");
  GetSetupInt(&plateY_, "plateY");
  HoldCoordinates({&plateX_, &plateY_});

  if (okFlag_) {
    okButton_ = std::make_unique<CCommonButton>(GetSetupList(), "ok", nullptr);
    okButton_->SetPicture(CPicturePool::GetPicture(kOkPicture));
  }
  if (nextFlag_) {
    nextButton_ = std::make_unique<CCommonButton>(GetSetupList(), "next", nullptr);
    nextButton_->SetPicture(CPicturePool::GetPicture(kNextPicture));
  }
  heroinList_ = std::make_unique<CNameList>();
  heroinList_->Load("mok\\heroin.xtx", false, false);
}

CCommonSelectHeroin::~CCommonSelectHeroin() { Release(); }

void CCommonSelectHeroin::Release() {
  okButton_.reset();
  nextButton_.reset();
  for (auto& p : ownPictures_) p.reset();
  plate_.reset();
  heroinList_.reset();
  entries_.clear();
}

void CCommonSelectHeroin::SetCallArgs(int, const int*) {}

int CCommonSelectHeroin::GetEntryPosition(int k) const {
  return k >= 0 && k < GetEntryCount() ? entries_[k].position : -1;
}

CPicture* CCommonSelectHeroin::Holder(int k) const {
  if (k < 0 || k >= kMaxHeroines) return nullptr;
  if (createBuffer_) return ownPictures_[k].get();
  return game_ ? game_.screen->GetEffectPicture(kEntryChannels[k]) : nullptr;
}

CPicture* CCommonSelectHeroin::GetEntryPicture(int k) const {
  return k >= 0 && k < static_cast<int>(loaded_.size()) && loaded_[k] ? Holder(k) : nullptr;
}

bool CCommonSelectHeroin::CanTurn() const {
  return GetEntryCount() > 0 && GetEntryCount() >= minTurn_;
}

void CCommonSelectHeroin::ResetButtons() {
  if (upDownButtons_) {
    upDownButtons_->SetPage(kTurnPage);
    upDownButtons_->Init();
  }
  if (okButton_) okButton_->Init();
  if (nextButton_) nextButton_->Init();
}

int CCommonSelectHeroin::Init() {
  if (!game_) return -1;
  game_.screen->ResetFrameTime();
  nextOffered_ = nextButton_ && nextVar_ != -1 && game_.variables->GetVar(nextVar_) != 0;
  entries_.clear();
  for (int p = 0; p < printMax_; ++p) {
    if (heroinVars_[p] == -1) continue;
    const int v = game_.variables->GetVar(heroinVars_[p]);
    if (v > 0) entries_.push_back({p, v - 1});
  }
  if (upDownButtons_) {
    ReloadUpDownButtonPicture();
    SetUpDownButtonPos();
    upDownButtons_->SetPageMax(kTurnPages);
    upDownButtons_->SetPage(kTurnPage);
  }
  const int n = GetEntryCount();
  step_ = n > 0 ? 360 / n : 360;

  loaded_.assign(n, 0);
  for (int k = 0; k < n; ++k) {
    if (createBuffer_ && !ownPictures_[k]) ownPictures_[k] = std::make_unique<CPicture>();
    CPicture* holder = Holder(k);
    // A variant past the list has no picture.
    const int64_t index = int64_t{entries_[k].variant} * printMax_ + entries_[k].position;
    const char* name = index < heroinList_->GetCount() ? heroinList_->GetName(static_cast<int>(index))
                                                       : nullptr;
    if (holder && name) loaded_[k] = holder->LoadDWQ((std::string("ta\\") + name).c_str()) ? 1 : 0;
  }
  if (plateName_) {
    if (!plate_) plate_ = std::make_unique<CPicture>();
    plate_->LoadDWQ((std::string("sys\\") + plateName_).c_str());
  }
  LoadBackgroundPicture();
  if (okButton_) ReloadButtonPicture(okButton_.get(), nullptr);
  if (nextButton_) ReloadButtonPicture(nextButton_.get(), nullptr);

  front_ = 0;
  for (int k = 0; k < n; ++k)
    if (entries_[k].position == game_.variables->GetMusicRoomValue()) {
      front_ = k;
      break;
    }
  direction_ = turnCounter_ = 0;
  chosen_ = 0;
  ResetButtons();
  return -1;
}

int CCommonSelectHeroin::Leave() { return -1; }

void CCommonSelectHeroin::StartTurn(int direction) {
  if (!CanTurn() || direction_ != 0 || direction == 0) return;
  direction_ = direction > 0 ? 1 : -1;
  turnCounter_ = 0;
  if (upDownButtons_) {
    upDownButtons_->SetPage(kTurnPage);
    upDownButtons_->Init();
  }
}

int CCommonSelectHeroin::Choose(int value) {
  // Without a return variable nothing is written.
  if (returnVar_ != -1) game_.variables->SetVar(returnVar_, value);
  chosen_ = 1;
  return ExitToMode(-1);
}

int CCommonSelectHeroin::Calcu() {
  if (!game_) return -1;
  const int n = GetEntryCount();
  // A running turn takes no input.
  if (direction_ != 0) {
    if (++turnCounter_ >= circle_.turnFrame) {
      front_ = n < 1 ? 0 : (front_ + direction_ + n) % n;
      if (n > 0) game_.variables->SetMusicRoomValue(entries_[front_].position);
      turnCounter_ = direction_ = 0;
      ResetButtons();
    }
    return -1;
  }
  // The floating buttons: the system menu opens at once.
  const int code = game_.floating->CheckFloatingButtons();
  const int kind = GetButtonCodeKind(code);
  if (CheckButtonResult(code) == 0) {
    game_.saves->KeepGameState();
    game_.modeFlow->SetReturnMode(kModeNumber);
    game_.saves->MakeMiniCG();
    game_.modeFlow->NotifyMode(modenumber::kSystemMenu, kModeNumber);
    return modenumber::kSystemMenu;
  }
  if (kind == buttoncode::kPressed || kind == buttoncode::kBusy) return -1;
  // The turn buttons.
  if (CanTurn() && upDownButtons_) {
    const int page = CheckButtonResult(upDownButtons_->Calcu(input_));
    if (page == kTurnUp || page == kTurnDown) {
      StartTurn(page == kTurnUp ? 1 : -1);
      return -1;
    }
  }
  // OK: the front heroine's position + 1.
  if (n > 0 && okButton_ && CheckButtonResult(okButton_->Calcu(input_)) == 0)
    return Choose(entries_[front_].position + 1);
  // Next.
  if (nextOffered_ && CheckButtonResult(nextButton_->Calcu(input_)) == 0) return Choose(1);
  // Short-cut keys.
  const int shortcut = game_.floating->CheckShortCut(kModeNumber);
  if (shortcut != -1) {
    chosen_ = 0;
    return ExitToMode(shortcut);
  }
  return -1;
}

std::vector<selectheroin::Placement> CCommonSelectHeroin::Placements() const {
  const int n = GetEntryCount();
  std::vector<selectheroin::Placement> out;
  for (int q = 0; q < n; ++q) {
    const int s = ((front_ + 10 * n - q) % n + n) % n;
    out.push_back(selectheroin::PlaceOnCircle(circle_, s, n, turnCounter_, direction_));
  }
  return out;
}

int CCommonSelectHeroin::Print() {
  PrintBackScreen();
  const std::vector<selectheroin::Placement> places = Placements();
  std::vector<int> depths;
  for (const auto& p : places) depths.push_back(p.depth);
  for (int k : selectheroin::DrawOrder(depths)) {
    CPicture* picture = GetEntryPicture(k);
    if (!picture || !picture->IsLoaded()) continue;
    const selectheroin::Placement& p = places[k];
    if (p.opacity >= 100)
      picture->Put(p.x, p.y, 1);
    else
      picture->TransLucentBlt3(p.x, p.y, 0, 0, picture->GetWidth(), picture->GetHeight(), p.opacity);
  }
  if (plate_ && plate_->IsLoaded()) plate_->Put(plateX_, plateY_, 1);
  if (CanTurn() && upDownButtons_) upDownButtons_->Print();
  if (GetEntryCount() > 0 && direction_ == 0 && okButton_) okButton_->Print();
  if (nextOffered_ && direction_ == 0) nextButton_->Print();
  if (game_) game_.floating->RequestFloatingButtons();
  return -1;
}

void CCommonSelectHeroin::AtExit() {
  if (chosen_ && game_) game_.messageWindow->SetSkipFilmFlag(1);
  chosen_ = 0;
}
