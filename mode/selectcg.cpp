#include "mode/selectcg.h"

#include <algorithm>
#include <string>

#include "services/saveservices.h"
#include "services/screenservices.h"
#include "services/soundservices.h"
#include "input/inputstatus.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "mode/gallerygrid.h"
#include "platform/system.h"
#include "savedata/cglist.h"
#include "widget/buttoncode.h"
#include "widget/pageprint.h"
#include "widget/updownbutton.h"

CCommonSelectCG::CCommonSelectCG(const GameRoles& game) : CCommonGeneral(game) {
  SetModeNumber(kModeNumber);
  LoadSetupFile("SelectCG", 256);
  if (game_) cgList_ = game_.saves->GetCGList();
  LoadBackScriptSetup();
  LoadBackButtonSetup();
  LoadUpDownButtonSetup();
  CreateUpdownBack();
  LoadBgmSetup();
  LoadFadeSetup();
  LoadEnterExitVoiceSetup();
  GetSetupInt(&cgPianoSoundFlag_, "cgPianoSoundFlag");
  backgroundFileName_ = "cg_bg";
  GetSetupString(&backgroundFileName_, "filenameBG");
  GetSetupInt(&selectSound_, "selectSound");
  grid_ = std::make_unique<CGalleryGrid>(*this);

  // Entries: a name not beginning with '@' starts one.
  const int charas = cgList_ ? std::max(cgList_->GetCharaCount(), 1) : 1;
  entryStarts_.resize(static_cast<size_t>(charas));
  for (int c = 0; c < charas; ++c) {
    const int count = cgList_ ? cgList_->GetCGCount(c) : 0;
    auto& starts = entryStarts_[static_cast<size_t>(c)];
    for (int i = 0; i < count; ++i) {
      const char* name = cgList_->GetCGName(c, i, 0);
      if (name && *name != '@') starts.push_back(i);
      // A list starting with a variation: its first pictures form an entry.
      if (i == 0 && name && *name == '@') starts.push_back(0);
    }
    starts.push_back(count);
  }

  header_ = std::make_unique<CGalleryHeader>(*this, "cgbg_title");
  pagePrinter_ = std::make_unique<CPagePrint>(GetSetupList(), backScriptFlag_ ? nullptr : screenPicture_);
}

CCommonSelectCG::~CCommonSelectCG() { Release(); }

void CCommonSelectCG::Release() {
  grid_.reset();
  pagePrinter_.reset();
  header_.reset();
}

int CCommonSelectCG::GetEntryCount(int c) const {
  if (c < 0 || c >= static_cast<int>(entryStarts_.size())) return 0;
  return static_cast<int>(entryStarts_[static_cast<size_t>(c)].size()) - 1;
}

int CCommonSelectCG::EntryBegin(int e) const { return entryStarts_[static_cast<size_t>(chara_)][static_cast<size_t>(e)]; }

int CCommonSelectCG::EntryEnd(int e) const {
  return entryStarts_[static_cast<size_t>(chara_)][static_cast<size_t>(e) + 1];
}

int CCommonSelectCG::FirstSeen(int e) const {
  for (int i = EntryBegin(e); i < EntryEnd(e); ++i)
    if (seen_[static_cast<size_t>(i)]) return i;
  return -1;
}

int CCommonSelectCG::Init() {
  // The pictures of the grid and the percentage: on the first entry, so a
  // game without a gallery never reads them.
  grid_->LoadPictures();
  header_->LoadPictures();
  chara_ = cgList_ ? cgList_->GetCurrentChara() : 0;
  cg_ = cgList_ ? cgList_->GetCurrentCG() : 0;
  // A character or picture set outside the list by another screen is 0.
  if (chara_ < 0 || chara_ >= static_cast<int>(entryStarts_.size())) chara_ = 0;
  const int count = entryStarts_[static_cast<size_t>(chara_)].back();
  if (cg_ < 0 || cg_ >= count) cg_ = 0;
  if (game_) {
    game_.sound->StopAllSound();
    game_.screen->ResetFrameTime();
  }
  const int entries = GetEntryCount(chara_);
  int entry = 0;
  for (int e = 0; e < entries; ++e)
    if (EntryBegin(e) <= cg_ && cg_ < EntryEnd(e)) entry = e;
  page_ = entry / grid_->GetCells();
  pageCount_ = grid_->PageCount(entries);
  SetUpDownButtonPos();
  if (upDownButtons_) {
    upDownButtons_->SetPageMax(std::min(pageCount_, CUpDownButton::kMaxPages));
    upDownButtons_->SetPage(page_);
  }
  seen_.assign(static_cast<size_t>(count), 0);
  int seen = 0;
  for (int i = 0; i < count; ++i) seen += seen_[static_cast<size_t>(i)] = cgList_->IsCGSeen(chara_, i) ? 1 : 0;
  seenPercent_ = GalleryPercent(seen, count);
  BuildPage();
  ReloadUpDownButtonPicture();
  ReloadBackButtonPicture();
  pick_.Enter();
  if (updownBack_) updownBack_->Init();
  SetBackButtonPos();
  return -1;
}

void CCommonSelectCG::BuildPage() {
  const int entries = GetEntryCount(chara_);
  const int first = page_ * grid_->GetCells();
  grid_->BuildPage([&](int k) {
    CGalleryGrid::CellInfo info;
    const int e = first + k;
    if (e >= entries) return info;
    info.total = EntryEnd(e) - EntryBegin(e);
    for (int i = EntryBegin(e); i < EntryEnd(e); ++i) info.seen += seen_[static_cast<size_t>(i)];
    const int shown = FirstSeen(e);
    info.state = shown >= 0 ? CGalleryGrid::CellState::kSeen : CGalleryGrid::CellState::kUnseenShown;
    info.thumbnail = cgList_->GetCGName(chara_, shown >= 0 ? shown : EntryBegin(e), 1);
    return info;
  });
  if (backScriptFlag_ || !screenPicture_) return;
  LoadBackgroundPicture();
  screenPicture_->Put(0, 0, 0);
  PrintStatic();
  screenPicture_->GetScreen();
}

void CCommonSelectCG::PrintStatic() {
  for (int k = 0; k < grid_->GetCells(); ++k) grid_->PrintCell(k);
  header_->Print(chara_, seenPercent_);
  if (pagePrinter_) pagePrinter_->Print(page_ + 1, pageCount_);
}

void CCommonSelectCG::ChangePage(int page) {
  page_ = std::clamp(page, 0, pageCount_ - 1);
  if (upDownButtons_) upDownButtons_->SetPage(page_);
  pick_.PageTurned();
  BuildPage();
  CScreenBuffer::SetFullRedraw(0);
}

int CCommonSelectCG::Calcu() {
  if (pick_.GetSelected() >= 0) {
    if (!pick_.BlinkOver()) return -1;
    const int e = page_ * grid_->GetCells() + pick_.GetSelected();
    const int shown = FirstSeen(e);
    pick_.ClearSelected();
    if (cgList_ && shown >= 0) cgList_->SetCurrentCG(shown);
    if (game_) game_.screen->ResetFrameTime();
    return ExitToMode(modenumber::kPrintCG);
  }
  if (updownBack_) {
    const int32_t code = updownBack_->Calcu(input_);
    const int v = CheckButtonResult3(code);
    if (v == 0) return ExitToMode(parameter_);
    if (v > 0) {
      ChangePage(v - 1);
      return -1;
    }
    pick_.PageButton(GetButtonCodeKind(code) == buttoncode::kPressed);
  }
  platform::Point p{};
  if (mouse_) mouse_->GetPos(&p);
  pick_.Step(*grid_, p.x, p.y, GetClick(0) != 0, selectSound_, cgPianoSoundFlag_ != 0, game_);
  return -1;
}

int CCommonSelectCG::Print() {
  const int full = CScreenBuffer::CheckFullRedraw();
  PrintBackScreen();
  if (backScriptFlag_) PrintStatic();
  if (updownBack_) updownBack_->Print();
  CPicture* page = backScriptFlag_ ? nullptr : screenPicture_;
  for (int k = 0; k < grid_->GetCells(); ++k)
    if (grid_->GetState(k) == CGalleryGrid::CellState::kSeen) pick_.PrintSeenCell(*grid_, k, full, page);
  return -1;
}

int CCommonSelectCG::PrintEnterScreen() {
  CScreenBuffer::SetFullRedraw(0);
  return Print();
}
