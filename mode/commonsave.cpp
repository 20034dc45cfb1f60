#include "mode/commonsave.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "services/saveservices.h"
#include "services/screenservices.h"
#include "services/soundservices.h"
#include "services/textservices.h"
#include "services/variableservices.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "graphics/systempicture.h"
#include "platform/system.h"
#include "savedata/datafilesetup.h"
#include "savedata/savedatafile.h"
#include "setup/random.h"
#include "setup/text.h"
#include "widget/buttongroup.h"
#include "widget/commonbutton.h"
#include "widget/numberprint.h"
#include "widget/textinputbox.h"
#include "widget/updownbutton.h"
#include "widget/radiobuttongroup.h"
#include "widget/backbutton.h"

namespace {
// The warning buttons draw into work pictures 3 and 4, the comment
// buttons into 5 and 6.
constexpr int kWarningButtonPicture = 3;
constexpr int kCommentButtonPicture = 5;
constexpr int kTextBoxStyle = 2;
constexpr int kSlashGlyph = 11;
constexpr int kColonGlyph = 10;
}  // namespace

// --- Voices ---

void CModeVoices::Load(const CCommonGeneral& mode, const char* countKey, const char* nameKey) {
  names_.clear();
  int count = 0;
  mode.GetSetupInt(&count, countKey);
  count = std::clamp(count, 0, 256);
  for (int i = 0; i < count; ++i) {
    char key[64];
    std::snprintf(key, sizeof key, "%.40s%d", nameKey, i + 1);
    const char* name = nullptr;
    mode.GetSetupString(&name, key);
    names_.emplace_back(name ? name : "");
  }
}

void CModeVoices::Play(const GameRoles& game, int fixVar) const {
  if (names_.empty() || !game) return;
  int i = crt::rand() % Count();
  if (fixVar >= 0) {
    const int v = game.variables->GetVar(fixVar);
    if (v >= 1 && v <= Count()) i = v - 1;
  }
  if (!names_[i].empty()) game.sound->PlayVoice(names_[i].c_str());
}

// --- The save screen ---

CCommonLoadSave::Dialog& CCommonSave::MakeDialog(int dialog, const char* suffix, int firstPicture) {
  Dialog& d = dialogs_[dialog];
  auto key = [suffix](const char* name) { return std::string(name) + suffix; };
  d.fileName = "ta_dialog_4";
  GetSetupString(&d.fileName, key("fileNameDialog").c_str());
  GetSetupIntDefault(&d.x, key("dialogX").c_str(), 236);
  GetSetupIntDefault(&d.y, key("dialogY").c_str(), 160);
  GetSetupIntDefault(&d.sizeX, key("dialogSizeX").c_str(), 340);
  GetSetupIntDefault(&d.sizeY, key("dialogSizeY").c_str(), 145);
  const std::string ok = key("dialogOk"), cancel = key("dialogCancel");
  const char* const names[] = {ok.c_str(), cancel.c_str()};
  auto& group = buttons_[dialog];
  group = std::make_unique<CCommonButtonGroup>(GetSetupList(), 2, nullptr, nullptr, names);
  for (int i = 0; i < 2; ++i) {
    const platform::Point p = group->GetPrintXY(i);
    group->SetPrintXY(i, p.x + d.x, p.y + d.y);
    group->SetPicture(i, CPicturePool::GetPicture(firstPicture + i));
  }
  group->SetCancelButton(1, 1);
  d.buttons = group.get();
  d.exists = 1;
  return d;
}

CCommonSave::CCommonSave(const GameRoles& game) : CCommonLoadSave(game, "save", 1) {
  GetSetupInt(&miniCGPrint_, "miniCGPrintFlag");
  GetSetupInt(&miniCGX_, "miniCGPrintX");
  GetSetupInt(&miniCGY_, "miniCGPrintY");
  GetSetupInt(&warningPrint_, "warningPrintFlag");
  GetSetupInt(&commentInput_, "commentInputFlag");
  GetSetupInt(&textBoxX_, "textBoxPrintX");
  GetSetupInt(&textBoxY_, "textBoxPrintY");
  GetSetupInt(&commentLine_, "saveCommentLineNumber");
  GetSetupInt(&specialLimit_, "textBoxSpecialNumberPrintLimit");
  GetSetupInt(&saveSound_, "saveSound");
  GetSetupInt(&warningSound_, "warningSound");
  saveVoices_.Load(*this, "saveVoiceNumber", "saveVoice");
  warningVoices_.Load(*this, "warningVoiceNumber", "warningVoice");
  GetSetupInt(&quickSaveSelectOk_, "quickSaveSelectOk");
  GetSetupInt(&quickSetLast_, "quickSetLastFlag");
  const char* fix = nullptr;
  if (game_ && GetSetupString(&fix, "saveVoiceFixVar") && fix) saveFixVar_ = game_.variables->GetVarNumber(fix);
  fix = nullptr;
  if (game_ && GetSetupString(&fix, "warningVoiceFixVar") && fix)
    warningFixVar_ = game_.variables->GetVarNumber(fix);

  if (warningPrint_) MakeDialog(0, "", kWarningButtonPicture);
  if (!commentInput_) return;

  Dialog& d = MakeDialog(1, "2", kCommentButtonPicture);
  commentPicture_.reset(NewSysPicture(d.fileName));
  d.picture = commentPicture_.get();
  if (miniCGPrint_) {
    // The layout's thumbnail size, its defaults when the game has none.
    const SlotLayoutValues v = layout_ ? layout_->GetValues() : SlotLayoutValues{};
    miniCG_ = std::make_unique<CPicture>(std::max(v.picSizeX, 1), std::max(v.picSizeY, 1), 0);
  }
  if (CTextInputBox* box = game_ ? game_.text->GetTextInputBox() : nullptr) {
    box->SetSetupList(GetSetupList());
    box->LoadStyle("", kTextBoxStyle);
    box->LoadStyle("textInput", kTextBoxStyle);
  }

  // A printer of one field: its font (owned), glyph size and advance.
  auto printer = [&](const char* prefix, const char* fontKey, int keta, int upZero, int* nextX,
                     const char* inheritFont = nullptr, int inheritW = 8, int inheritH = 8,
                     int leftFlag = 0) {
    char key[80];
    const char* font = inheritFont;
    GetSetupString(&font, fontKey);
    int w = inheritW, h = inheritH;
    std::snprintf(key, sizeof key, "%sFontSizeX", prefix);
    GetSetupInt(&w, key);
    std::snprintf(key, sizeof key, "%sFontSizeY", prefix);
    GetSetupInt(&h, key);
    *nextX = w;
    std::snprintf(key, sizeof key, "%sFontNextX", prefix);
    GetSetupInt(nextX, key);
    CPicture* picture = nullptr;
    if (font) {
      fonts_.emplace_back(NewSysPicture(font));
      picture = fonts_.back().get();
    }
    return std::make_unique<CNumberPrint>(picture, w, h, keta, *nextX, upZero, 1, leftFlag);
  };
  GetSetupInt(&ex_.date, "textBoxDatePrintFlag");
  GetSetupInt(&ex_.dateX, "textBoxDatePrintX");
  GetSetupInt(&ex_.dateY, "textBoxDatePrintY");
  int upZero = 1;
  GetSetupInt(&upZero, "textBoxDateUpZeroFlag");
  date4_ = printer("textBoxDate", "filenameTextBoxDate", 4, 1, &ex_.dateNextX);
  date2_ = std::make_unique<CNumberPrint>(date4_->GetFont(), date4_->GetFontWidth(),
                                          date4_->GetFontHeight(), 2, ex_.dateNextX, upZero, 1, 0);

  GetSetupInt(&ex_.year, "textBoxGameYearPrintFlag");
  GetSetupInt(&ex_.yearX, "textBoxGameYearPrintX");
  GetSetupInt(&ex_.yearY, "textBoxGameYearPrintY");
  const char* yearFont = nullptr;
  GetSetupString(&yearFont, "filenameTextBoxGameYear");
  // The key of the year's advance is spelled with a small "y".
  year4_ = printer("textBoxGameYear", "filenameTextBoxGameYear", 4, 1, &ex_.yearNextX);
  GetSetupInt(&ex_.yearNextX, "textBoxGameyearFontNextX");
  GetSetupInt(&ex_.gameDate, "textBoxGameDatePrintFlag");
  ex_.gameDateX = ex_.yearNextX * 5 + ex_.yearX;
  ex_.gameDateY = ex_.yearY;
  GetSetupInt(&ex_.gameDateX, "textBoxGameDatePrintX");
  GetSetupInt(&ex_.gameDateY, "textBoxGameDatePrintY");
  int monthZero = 0, monthLeft = 0;
  GetSetupInt(&monthZero, "textBoxGameDateUpZeroFlag");
  GetSetupInt(&monthLeft, "textBoxGameDateLeftFlag");
  int dayZero = monthZero, dayLeft = monthLeft;
  GetSetupInt(&dayZero, "textBoxGameDateUpZeroFlag2");
  GetSetupInt(&dayLeft, "textBoxGameDateLeftFlag2");
  month_ = printer("textBoxGameDate", "filenameTextBoxGameDate", 2, monthZero, &ex_.gameDateNextX,
                   yearFont, year4_->GetFontWidth(), year4_->GetFontHeight(), monthLeft);
  day_ = std::make_unique<CNumberPrint>(month_->GetFont(), month_->GetFontWidth(),
                                        month_->GetFontHeight(), 2, ex_.gameDateNextX, dayZero, 1,
                                        dayLeft);

  GetSetupInt(&ex_.addPic, "textBoxAddPicPrintFlag");
  GetSetupInt(&ex_.addPicWithSpecial, "textBoxAddPicWithSpecialFlag");
  GetSetupInt(&ex_.addPicX, "textBoxAddPicPrintX");
  GetSetupInt(&ex_.addPicY, "textBoxAddPicPrintY");
  GetSetupInt(&ex_.addPicW, "textBoxAddPicSizeX");
  GetSetupInt(&ex_.addPicH, "textBoxAddPicSizeY");
  GetSetupInt(&ex_.addPicMulti, "textBoxAddPicMultiFlag");
  GetSetupInt(&ex_.addPicPerRow, "textBoxAddPicMultiNumberX");
  if (ex_.addPicPerRow <= 0) ex_.addPicPerRow = 1;
  const char* addName = nullptr;
  if (ex_.addPic && GetSetupString(&addName, "filenameTextBoxAddPic") && addName && game_)
    addPicture_ = game_.screen->LoadSystemPicture(addName, 0);

  GetSetupInt(&ex_.special, "textBoxSpecialNumberPrintFlag");
  GetSetupInt(&ex_.specialX, "textBoxSpecialNumberPrintX");
  GetSetupInt(&ex_.specialY, "textBoxSpecialNumberPrintY");
  int specialKeta = 2, specialNext = 16;
  GetSetupInt(&specialKeta, "textBoxSpecialNumberKeta");
  special_ = printer("textBoxSpecialNumber", "filenameTextBoxSpecialNumberFont", specialKeta, 0,
                     &specialNext, nullptr, 16, 16);
  if (game_) {
    ex_.yearVar = game_.variables->GetVarNumber("year");
    ex_.dateVar = game_.variables->GetVarNumber("date");
  }
}

CCommonSave::~CCommonSave() { Release(); }

void CCommonSave::Release() {
  for (auto& group : buttons_) group.reset();
  for (Dialog& d : dialogs_) d = Dialog{};
  date4_.reset();
  date2_.reset();
  year4_.reset();
  month_.reset();
  day_.reset();
  special_.reset();
  fonts_.clear();
  commentPicture_.reset();
  miniCG_.reset();
  CCommonLoadSave::Release();
}

int CCommonSave::Calcu() { return CCommonLoadSave::Calcu(); }

int CCommonSave::Print() { return CCommonLoadSave::Print(); }

void CCommonSave::ReloadButtonPictures(CCommonButtonGroup* group) {
  for (int i = 0; group && i < group->GetCount(); ++i)
    if (CPicture* picture = group->GetPicture(i); picture && group->GetFilename(i))
      picture->LoadDWQ((std::string("sys\\") + group->GetFilename(i)).c_str());
}

int CCommonSave::Init() {
  const int result = CCommonLoadSave::Init();
  for (auto& group : buttons_) ReloadButtonPictures(group.get());
  return result;
}

int CCommonSave::PrintEnterScreen() { return Print(); }

void CCommonSave::PlaySaveSound() {
  if (saveSound_ != -1 && game_) game_.sound->PlaySystemSe(saveSound_ - 1, 0);
  saveVoices_.Play(game_, saveFixVar_);
}

void CCommonSave::OpenWarning() {
  dialogState_ = 1;
  if (buttons_[0]) buttons_[0]->Init();
  if (warningSound_ != -1 && game_) game_.sound->PlaySystemSe(warningSound_ - 1, 0);
  warningVoices_.Play(game_, warningFixVar_);
  CScreenBuffer::SetFullRedraw(0);
}

int CCommonSave::OnEmptySlot(int index) {
  overwrite_ = 0;
  chosen_ = index;
  if (commentInput_) {
    OpenCommentDialog(-1);
    return -1;
  }
  blinkCounter_ = 0;
  waiting_ = 1;
  PlaySaveSound();
  return -1;
}

int CCommonSave::OnSlotWithData(int index) {
  if (!commentInput_ && !warningPrint_) {
    OnEmptySlot(index);
    overwrite_ = 1;
    return -1;
  }
  overwrite_ = 1;
  chosen_ = index;
  if (commentInput_)
    OpenCommentDialog(GetAbsoluteSlot(index));
  else
    OpenWarning();
  return -1;
}

void CCommonSave::OpenCommentDialog(int n) {
  dialogState_ = 2;
  if (buttons_[1]) buttons_[1]->Init();
  // The comment comes back from the line the save writes it to.
  char text[kCommentBytes + 2] = {};
  CCommonDataFile* slot = GetSlot(chosen_);
  if (n >= 0 && slot) setup::CopyCp932Cut(text, slot->GetStatusText(commentLine_ - 1), kCommentBytes);
  if (CTextInputBox* box = game_ ? game_.text->GetTextInputBox() : nullptr) {
    box->SetStyle(kTextBoxStyle);
    box->SetPrintXY(dialogs_[1].x + textBoxX_, dialogs_[1].y + textBoxY_, kTextBoxStyle);
    box->Start();
    box->Clear();
    box->SetText(text, 1);
  }
  if (miniCGPrint_ && miniCG_ && game_) {
    // The game copies its own thumbnail size; only what fits the picture
    // is taken.
    int w = 0, h = 0;
    game_.saves->GetMiniCGSize(&w, &h);
    if (w > 0 && h > 0) {
      std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
      game_.saves->GetMiniCG(pixels.data(), -2, w, h);
      uint32_t* dst = miniCG_->GetPixelBuffer();
      const int cw = std::min(w, miniCG_->GetWidth()), ch = std::min(h, miniCG_->GetHeight());
      for (int y = 0; dst && y < ch; ++y)
        std::copy_n(pixels.data() + static_cast<size_t>(y) * w, cw,
                    dst + static_cast<size_t>(y) * miniCG_->GetWidth());
    }
  }
}

void CCommonSave::SetControlsBack() {
  if (pageMode_ == 1 && updownBack_) {
    updownBack_->SetPageMax(pages_);
    updownBack_->SetPage(page_);
    updownBack_->Init();
  } else if (pageMode_ == 2) {
    if (backButton_) backButton_->Init();
    if (tabs_) tabs_->SetSelect(page_);
  }
  for (int i = 0; i < GetSlotCount(); ++i) GetSlot(i)->ResetAnime();
  CScreenBuffer::SetFullRedraw(0);
}

int CCommonSave::CalcuCommentDialog() {
  if (!buttons_[1]) return -1;
  const int32_t code = buttons_[1]->Calcu(input_);
  if (code == -1) return -1;
  // Either button ends the entry and turns text input off, whatever
  // "imeAutoCloseFlag" says; the typed comment stays in the box for the save.
  CTextInputBox* box = game_ ? game_.text->GetTextInputBox() : nullptr;
  const int v = CheckButtonResult2(code);
  if (v == 0) {
    if (box) box->Stop();
    if (overwrite_ && dialogs_[0].exists) {
      OpenWarning();
      return -1;
    }
    blinkCounter_ = 0;
    waiting_ = 1;
    dialogState_ = 0;
    PlaySaveSound();
  } else if (v == 1) {
    if (box) box->Stop();
    dialogState_ = 0;
    SetControlsBack();
  }
  return -1;
}

int CCommonSave::CalcuWarningDialog() {
  if (!buttons_[0]) return -1;
  const int32_t code = buttons_[0]->Calcu(input_);
  if (code == -1) return -1;
  const int v = CheckButtonResult2(code);
  if (v == 0) {
    WriteSave();
    dialogState_ = 0;
    waiting_ = 0;
    SetControlsBack();
  } else if (v == 1) {
    dialogState_ = 0;
    SetControlsBack();
  }
  return -1;
}

int CCommonSave::OnSlotDecided(int) {
  WriteSave();
  waiting_ = 0;
  SetControlsBack();
  return -1;
}

void CCommonSave::WriteSave() {
  CCommonDataFile* slot = GetSlot(chosen_);
  if (!slot || !game_) return;
  const int absolute = GetAbsoluteSlot(chosen_);
  game_.saves->SaveSystemFile();
  if (commentInput_)
    if (CTextInputBox* box = game_.text->GetTextInputBox()) game_.saves->SetSaveComment(box->GetText(), commentLine_ - 1);
  const int written = slot->Save(absolute);
  slot->Peek(absolute);
  // A slot that could not be written is not the last saved one.
  if (written == 0) game_.saves->SetLastSaveSlot(absolute);
}

bool CCommonSave::IsSaveConfirmed() const {
  auto okClicked = [](const std::unique_ptr<CCommonButtonGroup>& group) {
    const CCommonButton* ok = group ? group->GetButton(0) : nullptr;
    return ok && ok->GetState() == CCommonButton::kClicked;
  };
  switch (dialogState_) {
    case 1: return okClicked(buttons_[0]);
    // The comment's OK over a slot with data leads to the warning first.
    case 2: return okClicked(buttons_[1]) && !(overwrite_ && dialogs_[0].exists);
    default: return waiting_ && chosen_ >= 0;
  }
}

int CCommonSave::WriteConfirmedSave() {
  if (!IsSaveConfirmed()) return 0;
  if (dialogState_ == 2 && game_)
    if (CTextInputBox* box = game_.text->GetTextInputBox()) box->Stop();
  WriteSave();
  waiting_ = 0;
  dialogState_ = 0;
  return 1;
}

int CCommonSave::QuickSave() {
  CCommonDataFile* slot = GetSlot(0);
  if (!slot) return 1;
  const int written = slot->Save(quickSaveSlot_);
  slot->Peek(quickSaveSlot_);
  // A quick slot that could not be written (the slot reported it) does not
  // become the last saved one.
  if (game_ && quickSetLast_ == -1)
    game_.saves->SetLastSaveSlot(-1);
  else if (game_ && quickSetLast_ != 0 && written == 0)
    game_.saves->SetLastSaveSlot(quickSaveSlot_);
  return 1;
}

void CCommonSave::PrintDialogExtra() {
  const int x2 = dialogs_[1].x, y2 = dialogs_[1].y;
  // The thumbnail.
  if (miniCGPrint_ && miniCG_) miniCG_->Put(x2 + miniCGX_, y2 + miniCGY_, 0);
  // Today's date and time.
  if (ex_.date && date4_) {
    const platform::LocalTime t = platform::GetLocalTime();
    const int x = x2 + ex_.dateX, y = y2 + ex_.dateY, n = ex_.dateNextX;
    date4_->Print(x, y, t.year);
    date2_->PrintChar(x + n * 4, y, kSlashGlyph);
    date2_->Print(x + n * 5, y, t.month);
    date2_->PrintChar(x + n * 7, y, kSlashGlyph);
    date2_->Print(x + n * 8, y, t.day);
    date2_->Print(x + n * 11, y, t.hour);
    date2_->PrintChar(x + n * 13, y, kColonGlyph);
    date2_->Print(x + n * 14, y, t.minute);
  }
  // The in-game year and date.
  if (ex_.year && year4_ && game_) {
    const int x = x2 + ex_.yearX, y = y2 + ex_.yearY;
    year4_->Print(x, y, ex_.yearVar >= 0 ? game_.variables->GetVar(ex_.yearVar) : 0);
    if (ex_.gameDate) year4_->PrintChar(x + ex_.yearNextX * 4, y, kSlashGlyph);
  }
  if (ex_.gameDate && month_ && game_) {
    const int d = ex_.dateVar >= 0 ? game_.variables->GetVar(ex_.dateVar) : 0;
    const int x = x2 + ex_.gameDateX, y = y2 + ex_.gameDateY, n = ex_.gameDateNextX;
    month_->Print(x, y, d / 100);
    month_->PrintChar(x + n * 2, y, kSlashGlyph);
    day_->Print(x + n * 3, y, d % 100);
  }
  const int special = game_ ? game_.variables->GetModeVariable() : 0;
  // The extra picture.
  if (ex_.addPic && addPicture_ && !(ex_.addPicWithSpecial && special < specialLimit_)) {
    int sx = 0, sy = 0;
    if (ex_.addPicMulti && special >= 0) {
      sx = special % ex_.addPicPerRow * ex_.addPicW;
      sy = special / ex_.addPicPerRow * ex_.addPicH;
    }
    addPicture_->Blt(x2 + ex_.addPicX, y2 + ex_.addPicY, sx, sy, ex_.addPicW, ex_.addPicH, 1);
  }
  // The special number.
  if (ex_.special && special_ && special >= specialLimit_)
    special_->Print(x2 + ex_.specialX, y2 + ex_.specialY, special);
}
