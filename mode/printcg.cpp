#include "mode/printcg.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "services/saveservices.h"
#include "services/screenservices.h"
#include "services/soundservices.h"
#include "input/inputstatus.h"
#include "graphics/allgraphics.h"
#include "graphics/picture.h"
#include "graphics/picturepath.h"
#include "graphics/screenbuffer.h"
#include "platform/system.h"
#include "savedata/cglist.h"
#include "savedata/cgvoice.h"
#include "setup/text.h"

namespace {

int Screen(const GameRoles& game, bool horizontal) {
  if (game) return horizontal ? game.screen->GetScreenWidth() : game.screen->GetScreenHeight();
  return horizontal ? CScreenBuffer::GetWidth() : CScreenBuffer::GetHeight();
}

}  // namespace

CCommonPrintCG::CCommonPrintCG(const GameRoles& game) : CCommonGeneral(game) {
  SetModeNumber(kModeNumber);
  LoadSetupFile("PrintCG", 64);
  if (game_) {
    cgList_ = game_.saves->GetCGList();
    voiceList_ = game_.saves->GetCGVoiceList();
  }
  GetSetupInt(&x_.setting, "scrollDirectionX");
  GetSetupInt(&y_.setting, "scrollDirectionY");
  GetSetupInt(&scrollTimeX_, "scrollTimeX");
  GetSetupInt(&scrollTimeY_, "scrollTimeY");
  GetSetupInt(&scrollWaitX_, "scrollWaitX");
  GetSetupInt(&scrollWaitY_, "scrollWaitY");
  parameter_ = modenumber::kSelectCG;
  GetSetupMode("backMode", &parameter_);
  GetSetupInt(&taBGFlag_, "taBGFlag");
  GetSetupInt(&taBGR_, "taBGColorR");
  GetSetupInt(&taBGG_, "taBGColorG");
  GetSetupInt(&taBGB_, "taBGColorB");
  GetSetupString(&taBGFileName_, "taBGFileName");
  GetSetupInt(&nextSound_, "nextSound");
  GetSetupInt(&prevSound_, "prevSound");
  GetSetupInt(&backSound_, "backSound");
  GetSetupInt(&voiceWaitTime_, "cgVoiceWaitTime");
  LoadBgmSetup();
  LoadFadeSetup();
}

CCommonPrintCG::~CCommonPrintCG() { Release(); }

void CCommonPrintCG::Release() {}

int CCommonPrintCG::ScrollOffset(int size, int screen, int timer, int time, int direction) {
  const int64_t span = size > screen ? int64_t{size} - screen : 0;
  const int64_t t1 = std::max(time, 1);
  int64_t t = std::clamp<int64_t>(timer, 0, t1);
  if (direction == 1) t = t1 - t;
  return static_cast<int>(span * t / t1);
}

int CCommonPrintCG::Init() {
  voiceName_.clear();
  voicePlayed_ = 0;
  voiceCountdown_ = 0;
  LoadPicture();
  StartVoice();
  return -1;
}

void CCommonPrintCG::LoadPicture() {
  dragFlag_ = dragging_ = 0;
  chara_ = cgList_ ? cgList_->GetCurrentChara() : 0;
  cg_ = cgList_ ? cgList_->GetCurrentCG() : 0;
  // A character or picture set outside the list by another screen is 0.
  if (cgList_ && (chara_ < 0 || chara_ >= cgList_->GetCharaCount())) cgList_->SetCurrentChara(chara_ = 0);
  if (cgList_ && (cg_ < 0 || cg_ >= cgList_->GetCGCount(chara_))) cgList_->SetCurrentCG(cg_ = 0);
  const auto attribute = [&](int type) { return cgList_ ? cgList_->GetCGAttribute(type, chara_, cg_) : -1; };
  x_.direction = attribute(CCGList::kHorizontal);
  y_.direction = attribute(CCGList::kVertical);
  // Each count at least 1, together at most the 16 effect pictures.
  x_.tiles = std::clamp(x_.direction != -1 ? attribute(CCGList::kHorizontalCount) : 1, 1, kMaxTiles);
  y_.tiles = std::clamp(y_.direction != -1 ? attribute(CCGList::kVerticalCount) : 1, 1, kMaxTiles / x_.tiles);
  const int timeX = attribute(CCGList::kHorizontalColon), timeY = attribute(CCGList::kVerticalColon);
  const int waitX = attribute(CCGList::kHorizontalUnderscore), waitY = attribute(CCGList::kVerticalUnderscore);
  x_.time = std::max(timeX > 0 ? timeX : scrollTimeX_, 1);
  y_.time = std::max(timeY > 0 ? timeY : scrollTimeY_, 1);
  x_.wait = std::max(waitX >= 0 ? waitX : scrollWaitX_, 0);
  y_.wait = std::max(waitY >= 0 ? waitY : scrollWaitY_, 0);

  const char* name = cgList_ ? cgList_->GetCGName(chara_, cg_, 1) : nullptr;
  const int n = x_.tiles * y_.tiles;
  std::fill(std::begin(transparent_), std::end(transparent_), 0);
  std::fill(std::begin(tileLoaded_), std::end(tileLoaded_), 0);
  const std::string base = name ? name : "";
  for (int i = 0; i < n; ++i) {
    CPicture* tile = game_ ? game_.screen->GetEffectPicture(i) : nullptr;
    if (!tile) continue;
    // A name too short for its folder is a missing picture; the loader
    // reports a missing file.
    const std::string path = PicturePath((i == 0 ? base : base + "_" + std::to_string(i + 1)).c_str());
    tileLoaded_[i] = !path.empty() && tile->LoadDWQ(path.c_str()) ? 1 : 0;
    if (!tileLoaded_[i]) tile->ClearName();
    transparent_[i] = base.size() >= 2 && platform::EqualNoCase(base.substr(0, 2).c_str(), "ta") ? 1 : 0;
  }
  const auto size = [&](int i, bool horizontal) {
    const CPicture* tile = Tile(i);
    return tile ? (horizontal ? tile->GetWidth() : tile->GetHeight()) : 0;
  };
  x_.size = y_.size = 0;
  for (int j = 0; j < x_.tiles; ++j) x_.size += size(j, true);
  for (int i = 0; i < y_.tiles; ++i) y_.size += size(i * x_.tiles, false);

  for (Axis* a : {&x_, &y_}) {
    const int screen = Screen(game_, a == &x_);
    a->scrolling = a->size > screen ? 1 : 0;
    a->timer = a->scrolling ? a->time + a->wait : 0;
  }
  UpdateOffsets();

  if (taBGFlag_ != 0 && AnyTransparent() && screenPicture_) {
    const char* bg = taBGFileName_;
    if (taBGFlag_ != 1) {
      char key[48];
      std::snprintf(key, sizeof key, "taBGCharaFileName%d", chara_ + 1);
      bg = "bg_cgcharaback";
      GetSetupString(&bg, key);
    }
    screenPicture_->LoadDWQ(("bg\\" + std::string(bg)).c_str());
  }
}

CPicture* CCommonPrintCG::Tile(int k) const {
  if (k < 0 || k >= kMaxTiles || !tileLoaded_[k] || !game_) return nullptr;
  return game_.screen->GetEffectPicture(k);
}

int CCommonPrintCG::AnyTransparent() const {
  return std::any_of(std::begin(transparent_), std::begin(transparent_) + x_.tiles * y_.tiles,
                     [](int t) { return t != 0; });
}

void CCommonPrintCG::StartVoice() {
  const char* v = voiceList_ ? voiceList_->GetVoice(chara_, cg_) : nullptr;
  if (!v || platform::EqualNoCase(v, voiceName_.c_str())) return;
  voiceName_.assign(v, std::min<size_t>(std::strlen(v), kVoiceNameSize - 1));
  voicePlayed_ = 0;
  voiceCountdown_ = voiceWaitTime_;
}

void CCommonPrintCG::StepVoice() {
  if (voiceName_.empty() || voicePlayed_) return;
  if (voiceCountdown_ > 0 && --voiceCountdown_ > 0) return;
  if (!game_) return;
  if (voiceName_[0] == '-')
    game_.sound->StopAllSound();
  else
    game_.sound->PlayVoice(voiceName_.c_str());
  voicePlayed_ = 1;
}

void CCommonPrintCG::UpdateOffsets() {
  if (dragFlag_) return;
  for (Axis* a : {&x_, &y_}) {
    const int screen = Screen(game_, a == &x_);
    const int direction = a->direction != -1 ? a->direction : a->setting;
    a->offset = a->scrolling || a->size > screen ? ScrollOffset(a->size, screen, a->timer, a->time, direction) : 0;
  }
}

int CCommonPrintCG::Calcu() {
  if (GetClick(1)) {
    if (game_) game_.sound->PlaySystemSeAlt(backSound_ - 1);
    return ExitToMode(parameter_);
  }
  StepVoice();
  int step = 0;
  const int wheel = mouse_ ? mouse_->GetWheel() : 0;
  if (wheel > 0) step = -1;
  if (wheel < 0) step = 1;
  const bool ctrl = platform::IsKeyHeld(kControlKey);
  platform::Point p{};
  if (mouse_) mouse_->GetPos(&p);
  if (GetClick(0)) {
    if (ctrl) {
      // Ctrl + click: the picture stops where it is and follows the mouse.
      x_.scrolling = x_.timer = y_.scrolling = y_.timer = 0;
      dragFlag_ = dragging_ = 1;
      lastX_ = p.x;
      lastY_ = p.y;
      CScreenBuffer::SetFullRedraw(0);
    } else {
      step = 1;
    }
  } else if (mouse_ && !mouse_->GetTrig(0)) {
    dragging_ = 0;
  } else if (dragging_) {
    x_.offset = std::clamp(x_.offset - (p.x - lastX_), 0, x_.Max(Screen(game_, true)));
    y_.offset = std::clamp(y_.offset - (p.y - lastY_), 0, y_.Max(Screen(game_, false)));
    dragFlag_ = 1;
    lastX_ = p.x;
    lastY_ = p.y;
    CScreenBuffer::SetFullRedraw(0);
  }
  if (mouse_ && mouse_->GetTrig(2)) step = 1;
  if (step != 0 && cgList_) {
    const int before = cgList_->GetCurrentCG();
    const int now = step < 0 ? cgList_->PrevSeenCG() : cgList_->NextSeenCG();
    if (now != before) {
      if (game_) game_.sound->PlaySystemSe((step < 0 ? prevSound_ : nextSound_) - 1, 0);
      LoadPicture();
      StartVoice();
      CScreenBuffer::SetFullRedraw(0);
      return -1;
    }
  }
  for (Axis* a : {&x_, &y_}) {
    if (!a->scrolling) continue;
    if (--a->timer <= 0) a->timer = a->scrolling = 0;
  }
  UpdateOffsets();
  return -1;
}

void CCommonPrintCG::Draw() const {
  if (AnyTransparent()) {
    if (taBGFlag_ != 0 && screenPicture_)
      screenPicture_->Put(0, 0, 0);
    else
      CAllGraphics::FillScreen(taBGR_, taBGG_, taBGB_);
  }
  const CPicture* first = Tile(0);
  if (!first) return;
  const int w0 = first->GetWidth(), h0 = first->GetHeight();
  for (int i = 0; i < y_.tiles; ++i) {
    for (int j = 0; j < x_.tiles; ++j) {
      const int k = i * x_.tiles + j;
      CPicture* tile = Tile(k);
      if (!tile) continue;
      tile->Blt(j * w0 - x_.offset, i * h0 - y_.offset, 0, 0, tile->GetWidth(), tile->GetHeight(), transparent_[k]);
    }
  }
}

int CCommonPrintCG::Print() {
  if (!CScreenBuffer::CheckFullRedraw() && !IsScrolling()) return -1;
  Draw();
  if (IsScrolling()) CScreenBuffer::SetFullRedraw(0);
  return -1;
}

void CCommonPrintCG::GetEnterScreen() {
  Draw();
  if (fadeToPicture_) fadeToPicture_->GetScreen();
  FillEnterFadeStart();
}
