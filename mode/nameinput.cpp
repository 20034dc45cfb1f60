#include "mode/nameinput.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "mode/screensetvars.h"
#include "services/messagewindowservices.h"
#include "services/textservices.h"
#include "services/variableservices.h"
#include "graphics/picture.h"
#include "graphics/systempicture.h"
#include "message/textprint.h"
#include "platform/system.h"
#include "setup/text.h"
#include "widget/commonbutton.h"
#include "widget/textinputbox.h"

namespace {

// The fixed names a game without "seiFixData" / "meiFixData" gets: Yamada
// and Taro in CP932.
constexpr char kFixFamily[] = "\x8E\x52\x93\x63";
constexpr char kFixGiven[] = "\x91\xBE\x98\x59";
constexpr const char* kPrefixes[2] = {"sei", "mei"};

std::string Key(const char* prefix, const char* suffix) { return std::string(prefix) + suffix; }

}  // namespace

CCommonNameInput::CCommonNameInput(const GameRoles& game) : CCommonGeneral(game) {
  SetModeNumber(kModeNumber);
  LoadSetupFile("nameInput", 2048);
  LoadBackScriptSetup();
  LoadMustAllPrintFlag();
  LoadFadeSetup();
  LoadEnterExitVoiceSetup();
  LoadBgmSetup();

  Field family;
  family.fixData = kFixFamily;
  family.dialog = "ta_sei_dialog";
  ReadField(0, "sei", family);
  Field given = fields_[0];
  given.fixData = kFixGiven;
  given.dialog = "ta_mei_dialog";
  given.dontPrint = 1;
  given.entered = 1;
  given.fix = 0;
  given.align = 0;
  // The given name's colours, position and font follow the family name's.
  for (int c = 0; c < 3; ++c) {
    given.color[c] = fields_[0].color[c];
    given.fixColor[c] = fields_[0].fixColor[c];
  }
  ReadField(1, "mei", given);
  // The given name's alignment width is "MeiMax", 4 when missing (not the
  // family name's). Keys compare without case, so it is the same pair as
  // the box's limit "meiMax": one value serves both.
  fields_[1].maxChars = 4;
  GetSetupInt(&fields_[1].maxChars, "MeiMax");

  GetSetupInt(&reverse_, "seimeiReverse");
  GetSetupInt(&returnOk_, "returnOk");
  GetSetupInt(&nullNameOk_, "nullNameOk");
  GetSetupInt(&fields_[0].nullIsDefault, "nullSeiIsDefault");
  GetSetupInt(&fields_[1].nullIsDefault, "nullMeiIsDefault");
  if (nullNameOk_) fields_[0].nullIsDefault = fields_[1].nullIsDefault = 1;
  GetSetupInt(&dialogX_, "dialogPrintX");
  GetSetupInt(&dialogY_, "dialogPrintY");
  GetSetupInt(&dialogW_, "dialogSizeX");
  GetSetupInt(&dialogH_, "dialogSizeY");
  for (auto [key, var] : {std::pair{screensetvars::kNameInputStatus, &statusVar_}, std::pair{screensetvars::kNameInputTime, &timeVar_}}) {
    const char* name = nullptr;
    if (!GetSetupString(&name, key) || !name || !game_) continue;
    *var = game_.variables->GetVarNumber(name);
    if (*var < 0) platform::DebugOutput(("nameInput: no variable \"" + std::string(name) + "\" for " + key).c_str());
  }

  const int first = reverse_ ? 1 : 0;
  fieldCount_ = 0;
  for (int f : {first, 1 - first})
    if (fields_[f].entered) order_[fieldCount_++] = f;

  CPicture* back = backScriptFlag_ ? nullptr : screenPicture_;
  ok_ = std::make_unique<CCommonButton>(GetSetupList(), "ok", back);
  cancel_ = std::make_unique<CCommonButton>(GetSetupList(), "cancel", back);
  ok_->SetPicture(CPicturePool::GetPicture(0));
  cancel_->SetPicture(CPicturePool::GetPicture(1));
}

CCommonNameInput::~CCommonNameInput() { Release(); }

void CCommonNameInput::Release() {
  ok_.reset();
  cancel_.reset();
}

void CCommonNameInput::ReadField(int i, const char* prefix, const Field& defaults) {
  Field& f = fields_[i];
  f = defaults;
  GetSetupInt(&f.entered, Key(prefix, "Flag").c_str());
  GetSetupInt(&f.fix, Key(prefix, "FixFlag").c_str());
  GetSetupString(&f.fixData, Key(prefix, "FixData").c_str());
  GetSetupInt(&f.dontPrint, Key(prefix, "DontPrint").c_str());
  GetSetupInt(&f.printX, Key(prefix, "PrintX").c_str());
  GetSetupInt(&f.printY, Key(prefix, "PrintY").c_str());
  GetSetupInt(&f.maxChars, Key(prefix, "Max").c_str());
  GetSetupInt(&f.align, Key(prefix, "AlignMode").c_str());
  const char* rgb[3] = {"R", "G", "B"};
  for (int c = 0; c < 3; ++c) {
    GetSetupInt(&f.color[c], Key(prefix, ("Color" + std::string(rgb[c])).c_str()).c_str());
    GetSetupInt(&f.fixColor[c], Key(prefix, ("FixColor" + std::string(rgb[c])).c_str()).c_str());
  }
  GetSetupString(&f.dialog, Key(prefix, "DialogFileName").c_str());
  GetSetupInt(&f.fontSize, Key(prefix, "FontSize").c_str());
  GetSetupInt(&f.spacing, Key(prefix, "FontSukima").c_str());
}

CTextInputBox* CCommonNameInput::Box() const { return game_ ? game_.text->GetTextInputBox() : nullptr; }

void CCommonNameInput::SelectField(int field) {
  CTextInputBox* box = Box();
  if (!box) return;
  box->SetStyle(field);
  box->SetPrintXY(dialogX_ + fields_[field].printX, dialogY_ + fields_[field].printY, field);
  box->Clear();
  box->SetText(names_[field]);
}

void CCommonNameInput::LoadDialog() {
  if (fieldCount_ == 0 || !workPicture_) return;
  if (const char* name = fields_[order_[position_]].dialog) workPicture_->LoadDWQ(("sys\\" + std::string(name)).c_str());
}

void CCommonNameInput::UpdateButtons(bool force) {
  CTextInputBox* box = Box();
  const bool hasText = box && box->GetText() && box->GetText()[0];
  const int enable[2] = {hasText || nullNameOk_ ? 1 : 0, position_ > 0 || returnOk_ ? 1 : 0};
  CCommonButton* buttons[2] = {ok_.get(), cancel_.get()};
  for (int i = 0; i < 2; ++i) {
    if (!buttons[i]) continue;
    if (!force && enable[i] == lastEnable_[i]) continue;
    lastEnable_[i] = enable[i];
    buttons[i]->SetEnable(enable[i]);
    buttons[i]->Init();
  }
}

int CCommonNameInput::Init() {
  position_ = 0;
  frames_ = 0;
  CTextInputBox* box = Box();
  if (box) {
    box->SetSetupList(GetSetupList());
    for (int f = 0; f < 2; ++f) {
      box->LoadStyle("", f);
      box->LoadStyle(kPrefixes[f], f);
    }
  }
  if (game_) {
    setup::CopyCp932Cut(names_[0], game_.variables->GetFamilyName(), kMaxNameBytes);
    setup::CopyCp932Cut(names_[1], game_.variables->GetGivenName(), kMaxNameBytes);
  }
  for (int f = 0; f < 2; ++f)
    if (!fields_[f].entered && fields_[f].fix) setup::CopyCp932Cut(names_[f], fields_[f].fixData, kMaxNameBytes);
  if (fieldCount_ > 0) SelectField(order_[0]);
  LoadDialog();
  if (box) {
    box->Start();
    box->Clear();
  }
  if (ok_ && ok_->GetPicture() && ok_->GetFilename())
    ok_->GetPicture()->LoadDWQ(("sys\\" + std::string(ok_->GetFilename())).c_str());
  if (cancel_ && cancel_->GetPicture() && cancel_->GetFilename())
    cancel_->GetPicture()->LoadDWQ(("sys\\" + std::string(cancel_->GetFilename())).c_str());
  if (box && fieldCount_ > 0) box->SetText(names_[order_[0]]);
  UpdateButtons(true);
  confirmed_ = 0;
  finished_ = 0;
  return -1;
}

int CCommonNameInput::Finish(int confirmed) {
  confirmed_ = confirmed;
  finished_ = 1;
  if (CTextInputBox* box = Box()) box->Stop();
  return ExitToMode(-1);
}

int CCommonNameInput::ConfirmField() {
  CTextInputBox* box = Box();
  const int field = order_[position_];
  const char* text = box && box->GetText() ? box->GetText() : "";
  if (!text[0]) {
    if (!nullNameOk_) return -1;
    if (fields_[field].nullIsDefault && game_) text = game_.variables->GetDefaultName(field);
  }
  setup::CopyCp932Cut(names_[field], text, kMaxNameBytes);
  if (position_ + 1 >= fieldCount_) return Finish(1);
  ++position_;
  if (box) box->Clear();
  SelectField(order_[position_]);
  LoadDialog();
  UpdateButtons(true);
  return -1;
}

int CCommonNameInput::GoBack() {
  if (position_ == 0) {
    if (returnOk_) return Finish(0);
    UpdateButtons(true);
    return -1;
  }
  // The field left keeps what was typed in it, shown again when the
  // player comes back to it.
  CTextInputBox* box = Box();
  if (box && box->GetText()) setup::CopyCp932Cut(names_[order_[position_]], box->GetText(), kMaxNameBytes);
  --position_;
  if (box) box->Clear();
  SelectField(order_[position_]);
  LoadDialog();
  UpdateButtons(true);
  return -1;
}

int CCommonNameInput::Calcu() {
  if (finished_) return -1;
  // With no field to enter, the fixed (or current) names stand at once.
  if (fieldCount_ == 0) return Finish(1);
  if (frames_ < kMaxFrames) ++frames_;
  // Return typed into the box confirms the field as "ok" does.
  CTextInputBox* box = Box();
  const bool returnTyped = box && box->GetEnteredFlag();
  if (returnTyped) box->ClearEnteredFlag();
  const bool okDecided = ok_ && CheckButtonResult(ok_->Calcu(input_)) >= 0;
  if (okDecided || returnTyped) {
    const int result = ConfirmField();
    if (!finished_) UpdateButtons(true);
    return result;
  }
  if (cancel_ && CheckButtonResult(cancel_->Calcu(input_)) >= 0) return GoBack();
  UpdateButtons(false);
  return -1;
}

int CCommonNameInput::Print() {
  PrintBackScreen();
  if (fieldCount_ > 0 && workPicture_)
    workPicture_->Blt(dialogX_, dialogY_, 0, 0, dialogW_, dialogH_, 1);
  CTextInputBox* box = Box();
  CTextPrint* printer = game_ ? game_.text->GetTextBuffer() : nullptr;
  const int current = fieldCount_ > 0 ? order_[position_] : -1;
  for (int f = 0; f < 2; ++f) {
    const Field& field = fields_[f];
    if (f == current || field.dontPrint || !printer || !names_[f][0]) continue;
    platform::Point p{dialogX_ + field.printX, dialogY_ + field.printY};
    if (box) p = box->GetAlignedPrintXY(p.x, p.y, names_[f], field.maxChars, field.align);
    printer->PrintLine(p.x, p.y, names_[f], field.fontSize, field.fixColor[0], field.fixColor[1], field.fixColor[2],
                       field.spacing, -1, -1, 0);
  }
  if (box && !finished_) box->Print();
  if (ok_) ok_->Print();
  if (cancel_) cancel_->Print();
  return -1;
}

void CCommonNameInput::AtExit() {
  if (confirmed_ && game_) game_.variables->SetNames(names_[0], names_[1]);
  if (game_) {
    if (statusVar_ >= 0) game_.variables->SetVar(statusVar_, confirmed_ ? 1 : 0);
    if (timeVar_ >= 0) game_.variables->SetVar(timeVar_, frames_);
    game_.text->ResetTextPosition();
    game_.messageWindow->SetSkipFilmFlag(1);
  }
}
