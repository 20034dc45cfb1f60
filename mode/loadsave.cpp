#include "mode/loadsave.h"

#include <algorithm>
#include <cstdio>

#include "services/floatingservices.h"
#include "services/modeflowservices.h"
#include "services/saveservices.h"
#include "services/soundservices.h"
#include "services/textservices.h"
#include "input/inputstatus.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "graphics/systempicture.h"
#include "platform/types.h"
#include "savedata/datafilesetup.h"
#include "savedata/savedatafile.h"
#include "setup/text.h"
#include "widget/animepart.h"
#include "widget/backbutton.h"
#include "widget/buttoncode.h"
#include "widget/buttongroup.h"
#include "widget/pageprint.h"
#include "widget/radiobuttongroup.h"
#include "widget/textinputbox.h"
#include "widget/updownbutton.h"

namespace {
constexpr int kListPairs = 32;
// The tabs draw into work pictures 7, 8, ... of the pool.
constexpr int kFirstTabPicture = 7;
// The page controls decided nothing this frame.
constexpr int kNoDecision = -2;
}  // namespace

CCommonLoadSave::CCommonLoadSave(const GameRoles& game, const char* listName, int saveScreen)
    : CCommonGeneral(game), saveScreen_(saveScreen ? 1 : 0) {
  SetModeNumber(saveScreen_ ? modenumber::kSave : modenumber::kLoad);
  const char* name = listName ? listName : "";
  LoadSetupFile(name, kListPairs);

  char bg[64];
  std::snprintf(bg, sizeof bg, "%.50s_bg", name);
  backgroundName_ = bg;
  const char* bgKey = nullptr;
  if (GetSetupString(&bgKey, "fileNameBG") && bgKey) backgroundName_ = bgKey;
  backgroundFileName_ = backgroundName_.c_str();

  // A page count, grid or blink below 1 counts as 1; the arrows hold at
  // most kMaxPages pages.
  GetSetupIntDefault(&pages_, "page", 10);
  pages_ = std::clamp(pages_, 1, CUpDownButton::kMaxPages);
  GetSetupIntDefault(&pageMode_, "pageMode", pages_ > 1 ? 1 : 0);
  if (pageMode_ < 0 || pageMode_ > 2) pageMode_ = 0;
  GetSetupIntDefault(&lastSelectFlag_, "lastSelectFlag", 0);
  GetSetupIntDefault(&warningUpDownBackPrintFlag_, "warningUpDownBackPrintFlag", 1);
  GetSetupIntDefault(&blockX_, "blockNumberX", 4);
  GetSetupIntDefault(&blockY_, "blockNumberY", 3);
  blockX_ = std::clamp(blockX_, 1, kMaxBlocks);
  blockY_ = std::clamp(blockY_, 1, kMaxBlocks);
  int printX = 85, printY = 113, nextX = 166, nextY = 124, custom = 0;
  GetSetupInt(&printX, "printX");
  GetSetupInt(&printY, "printY");
  GetSetupInt(&nextX, "nextX");
  GetSetupInt(&nextY, "nextY");
  GetSetupInt(&custom, "dataPrintCustomFlag");
  GetSetupIntDefault(&clickTime_, "clickTime", 8);

  LoadBackScriptSetup();
  LoadMustAllPrintFlag();
  LoadBackButtonSetup();
  if (pageMode_ == 1) {
    LoadUpDownButtonSetup();
    CreateUpdownBack();
  }
  LoadBgmSetup();
  // Leaving the load screen for the title captures the exit screen; a
  // special fade runs only when the list gives one.
  if (setup::EqualNoCase(name, "load")) {
    exitFadeOutSpecialMode_ = modenumber::kTitle;
    exitSpecial_.createScreen = 1;
  }
  LoadFadeSetup();
  LoadEnterExitVoiceSetup();
  LoadDialogVoiceSetup();

  if (game_) {
    layout_ = game_.saves->GetSaveSlotLayout();
    game_.saves->GetMiniCGSize(&miniCGSizeX_, &miniCGSizeY_);
  }
  if (layout_) {
    quickLoadSlot_ = quickSaveSlot_ = layout_->GetQuickSlotNumber();
    if (lastSelectFlag_) lastSave_ = layout_->GetLastSaveAnime();
  }

  CPicture* back = backScriptFlag_ ? nullptr : screenPicture_;
  pagePrint_ = std::make_unique<CPagePrint>(GetSetupList(), back);
  if (pageMode_ == 2) {
    tabs_ = std::make_unique<CCommonRadioButtonGroup>(GetSetupList(), "tab", back, pages_);
    for (int i = 0; i < tabs_->GetCount(); ++i)
      tabs_->SetPicture(CPicturePool::GetPicture(kFirstTabPicture + i), i, -1);
  }
  const int count = blockX_ * blockY_;
  for (int i = 0; i < count; ++i) {
    int x = i % blockX_ * nextX + printX;
    int y = i / blockX_ * nextY + printY;
    if (custom) {
      char key[32];
      std::snprintf(key, sizeof key, "dataPrintX%d", i + 1);
      GetSetupInt(&x, key);
      std::snprintf(key, sizeof key, "dataPrintY%d", i + 1);
      GetSetupInt(&y, key);
    }
    slots_.push_back(std::make_unique<CCommonDataFile>(game_, x, y, back));
  }
}

CCommonLoadSave::~CCommonLoadSave() { Release(); }

void CCommonLoadSave::Release() {
  if (tabs_) tabs_->Release();
  tabs_.reset();
  for (auto& slot : slots_)
    if (slot) slot->Release();
  slots_.clear();
  if (pagePrint_) pagePrint_->Release();
  pagePrint_.reset();
}

int CCommonLoadSave::QuickLoadSwitch() { return game_ ? game_.floating->IsQuickLoadEnable() : 0; }

int CCommonLoadSave::QuickSaveSwitch() { return game_ ? game_.floating->GetQuickSaveEnable() : 0; }

int CCommonLoadSave::CalcuWarningDialog() { return -1; }

int CCommonLoadSave::CalcuCommentDialog() { return -1; }

void CCommonLoadSave::PrintDialogExtra() {}

void CCommonLoadSave::SetExtSizeAll(int index, int size) {
  for (auto& slot : slots_) slot->SetExtSize(index, size);
}

CCommonDataFile* CCommonLoadSave::GetSlot(int i) const {
  return i >= 0 && i < GetSlotCount() ? slots_[i].get() : nullptr;
}

void CCommonLoadSave::SetPage(int n) {
  page_ = std::clamp(n, 0, pages_ - 1);
  CScreenBuffer::SetFullRedraw(0);
  Init();
}

int CCommonLoadSave::Init() {
  // No slot chosen yet; the last save is read again and every sound stops.
  loadChosen_ = 0;
  if (lastSave_) lastSave_->Init();
  if (game_) game_.sound->StopAllSound();
  quickLoadEnable_ = QuickLoadSwitch();
  quickSaveEnable_ = QuickSaveSwitch();
  // The background and the dialog picture.
  LoadBackgroundPicture();
  if (dialogs_[0].exists && dialogs_[0].fileName && workPicture_)
    workPicture_->LoadDWQ((std::string("sys\\") + dialogs_[0].fileName).c_str());
  // The page buttons for the slot pages.
  if (pageMode_ == 1 && updownBack_) {
    updownBack_->SetPageMax(pages_);
    updownBack_->SetPage(page_);
    updownBack_->Init();
  }
  if (pageMode_ == 2 && tabs_) tabs_->SetSelect(page_);
  // Every slot on the page reads its file; one listing of the save folder
  // settles the slots that have none.
  const CCommonDataFile::FolderListing listing = CCommonDataFile::ListSaveFolder();
  for (int i = 0; i < GetSlotCount(); ++i) {
    slots_[i]->SetQuickEnable(quickLoadEnable_, quickSaveEnable_);
    slots_[i]->Peek(GetAbsoluteSlot(i), listing);
    slots_[i]->ResetAnime();
  }
  // The back button and the page switcher.
  ReloadBackButtonPicture();
  SetBackButtonPos();
  if (pageMode_ == 1) {
    ReloadUpDownButtonPicture();
    SetUpDownButtonPos();
    if (updownBack_) updownBack_->Init();
  } else if (backButton_) {
    backButton_->Init();
  }
  if (pageMode_ == 2 && tabs_) {
    for (int i = 0; i < tabs_->GetCount(); ++i)
      if (CPicture* picture = tabs_->GetPicture(i, -1))
        if (const char* file = tabs_->GetFilename(i, -1))
          picture->LoadDWQ((std::string("sys\\") + file).c_str());
    tabs_->SetSelect(page_);
  }
  // The dialogs' buttons start idle.
  for (Dialog& d : dialogs_)
    if (d.exists && d.buttons) d.buttons->Init();
  // No slot under the pointer; nothing waits.
  current_ = previous_ = -1;
  waiting_ = 0;
  blinkCounter_ = 0;
  dialogState_ = 0;
  return -1;
}

int CCommonLoadSave::CalcuPageControls(bool withInput) {
  const CInputStatus* input = withInput ? input_ : nullptr;
  auto pressed = [](int32_t code) { return GetButtonCodeKind(code) == buttoncode::kPressed; };
  auto back = [&] {
    if (game_) game_.modeFlow->SetReturnFlag();
    return ExitToMode(parameter_);
  };
  auto press = [&] {
    waiting_ = 1;
    blinkCounter_ = 0;
    chosen_ = -2;
    return -1;
  };
  if (pageMode_ == 2) {
    const int32_t backCode = backButton_ ? backButton_->Calcu(input) : -1;
    const int32_t tabCode = tabs_ ? tabs_->Calcu(input) : -1;
    if (backCode != -1) {
      if (CheckButtonResult(backCode) == 0) return back();
      if (pressed(backCode)) return press();
    }
    if (tabCode != -1) {
      const int v = CheckButtonResult2(tabCode);
      if (v >= 0) {
        SetPage(v);
        return -1;
      }
      if (pressed(tabCode)) return press();
    }
    return kNoDecision;
  }
  int32_t code = -1;
  if (pageMode_ == 1)
    code = updownBack_ ? updownBack_->Calcu(input) : -1;
  else
    code = backButton_ ? backButton_->Calcu(input) : -1;
  if (code == -1) return kNoDecision;
  const int v = pageMode_ == 1 ? CheckButtonResult3(code) : CheckButtonResult(code);
  if (v == 0) return back();
  if (v > 0) {
    SetPage(v - 1);
    return -1;
  }
  if (pressed(code)) return press();
  return kNoDecision;
}

int CCommonLoadSave::Calcu() {
  // An open dialog takes the frame.
  if (dialogState_ == 1) {
    CScreenBuffer::SetFullRedraw(0);
    return CalcuWarningDialog();
  }
  if (dialogState_ == 2) {
    CScreenBuffer::SetFullRedraw(0);
    return CalcuCommentDialog();
  }
  // A page control is held.
  if (waiting_ && chosen_ == -2) {
    const int r = CalcuPageControls(true);
    return r == kNoDecision ? -1 : r;
  }
  // A chosen slot blinks, then is acted on.
  if (waiting_) {
    CalcuPageControls(false);
    if (chosen_ < 0) {
      waiting_ = 0;
      return -1;
    }
    if (++blinkCounter_ < clickTime_) return -1;
    if (saveScreen_) return OnSlotDecided(chosen_);
    loadChosen_ = 1;
    return ExitToMode(-1);
  }
  // The page controls.
  if (lastSave_) lastSave_->Calcu(1);
  const int r = CalcuPageControls(true);
  if (r != kNoDecision) return r;
  // The slot under the mouse.
  platform::Point p{};
  if (mouse_) mouse_->GetPos(&p);
  int hovered = -1, selectable = -1;
  for (int i = 0; i < GetSlotCount(); ++i) {
    CCommonDataFile* slot = slots_[i].get();
    if (!slot->HitTest(p.x, p.y)) continue;
    const int absolute = GetAbsoluteSlot(i);
    if (saveScreen_) {
      const bool quickBlocked = quickSaveEnable_ && absolute == quickSaveSlot_ && !quickSaveSelectOk_;
      selectable = quickBlocked ? -1 : i;
      break;
    }
    hovered = i;
    if (!slot->HasData() || !slot->IsLoadable()) continue;
    const bool quickBlocked = quickLoadEnable_ && absolute == quickLoadSlot_ && !quickLoadSelectOk_;
    selectable = quickBlocked ? -1 : i;
    break;
  }
  // The slot under the pointer becomes the current one.
  previous_ = current_;
  current_ = selectable;
  if (previous_ != current_) {
    if (CCommonDataFile* slot = GetSlot(previous_)) slot->ResetAnime();
    if (CCommonDataFile* slot = GetSlot(current_)) slot->ResetAnime();
  }
  // A click on a slot acts on it.
  if (!GetClick(0)) return -1;
  if (CCommonDataFile* slot = GetSlot(current_)) {
    // A damaged file is overwritten as a slot with data is.
    if (slot->HoldsFile()) return OnSlotWithData(current_);
    if (saveScreen_) return OnEmptySlot(current_);
    return -1;
  }
  if (!saveScreen_ && hovered >= 0) return OnEmptySlot(hovered);
  return -1;
}

void CCommonLoadSave::PrintPageControls(bool idle) {
  if (idle) {
    if (pageMode_ == 1 && updownBack_) updownBack_->ResetAnime();
    else if (backButton_) backButton_->ResetAnime();
    if (pageMode_ == 2 && tabs_) tabs_->ResetAnime();
  }
  if (pageMode_ == 1 && updownBack_) {
    updownBack_->Print();
  } else if (backButton_) {
    backButton_->Print();
  }
  if (pageMode_ == 2 && tabs_) tabs_->Print();
}

int CCommonLoadSave::Print() {
  // The back screen; the whole screen when it is drawn again.
  PrintBackScreen();
  const int last = game_ ? game_.saves->GetLastSaveSlot() : -1;
  const bool whole = CScreenBuffer::CheckFullRedraw() != 0;
  const bool script = backScriptFlag_ != 0;
  const Dialog* open = dialogState_ == 1 ? &dialogs_[0] : dialogState_ == 2 ? &dialogs_[1] : nullptr;
  // Under an open dialog only its own rectangle is restored.
  if (open && !whole && !script && screenPicture_)
    screenPicture_->Blt(open->x, open->y, open->x, open->y, open->sizeX, open->sizeY, 0);
  // The slots, unless a dialog is open over a screen that stays.
  if (!open || script || whole) {
    for (int i = 0; i < GetSlotCount(); ++i) {
      CCommonDataFile* slot = slots_[i].get();
      const int absolute = GetAbsoluteSlot(i);
      const bool chosen = waiting_ && i == chosen_;
      int state = 0;
      if (i == current_ || chosen)
        state = !saveScreen_ ? 2 : slot->HoldsFile() ? 3 : 1;
      if (!saveScreen_ && !slot->HasData()) state = 0;
      const int blink = chosen && !open ? blinkCounter_ + 1 : 0;
      const int lastSaved = lastSave_ && absolute == last ? 1 : 0;
      if (whole || script || i == current_ || i == previous_ || chosen || lastSaved)
        slot->Print(state, blink, absolute, saveScreen_, lastSaved);
    }
  }
  // The open dialog.
  if (open) {
    if (dialogState_ == 1) {
      if (workPicture_) workPicture_->Put(open->x, open->y, 1);
    } else if (open->picture) {
      open->picture->Put(open->x, open->y, 1);
    }
    if (open->buttons) open->buttons->Print();
    CScreenBuffer::AddDirtyRect(open->x, open->y, open->sizeX, open->sizeY);
    if (dialogState_ == 2) {
      PrintDialogExtra();
      if (CTextInputBox* box = game_ ? game_.text->GetTextInputBox() : nullptr) box->Print();
    }
    if (warningUpDownBackPrintFlag_) PrintPageControls(true);
  } else {
    PrintPageControls(false);
  }
  // The page number.
  if (pagePrint_) pagePrint_->Print(page_ + 1, pages_);
  return -1;
}
