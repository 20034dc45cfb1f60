#include "game/textpart.h"

#include "game/gameparts.h"
#include "game/settingkeys.h"
#include "message/fontprint.h"
#include "message/rendersettings.h"
#include "message/textprint.h"
#include "savedata/systemfile.h"
#include "setup/setuplist.h"
#include "widget/textinputbox.h"

namespace {

// SYSTEM DATA words.
constexpr int kFontKindOffset = 148;
constexpr int kChosenFaceOffset = 156;

using Key = IntKey<CTextPart::Settings>;
using S = CTextPart::Settings;

const Key kTextKeys[] = {
    {"imeAutoOpenFlag", &S::imeAutoOpenFlag},
    {"imeAutoCloseFlag", &S::imeAutoCloseFlag, true},
};

}  // namespace

CTextPart::CTextPart(const Links& links) : links_(links) {}

// The text entry first: it writes through the text printer.
CTextPart::~CTextPart() {
  textInputBox_.reset();
  textBuffer_.reset();
  font_.reset();
}

void CTextPart::ReadSettings() { ReadIntKeys(links_.list, &settings_, kTextKeys); }

void CTextPart::Init() {
  if (font_) return;
  int fontKind = 0;
  const char* chosenFace = nullptr;
  if (CCommonSystemFile* file = links_.systemFile) {
    fontKind = file->GetSystemData(kFontKindOffset);
    if (file->GetSystemData(kChosenFaceOffset)) chosenFace = file->GetFontFace();
  }
  if (links_.list) LoadRenderSettings(*links_.list, fontKind, chosenFace);
  font_ = std::make_unique<CFontPrint>(nullptr);
  textBuffer_ = std::make_unique<CTextPrint>(font_.get());
  if (links_.list) LoadUserFonts(*links_.list, font_.get());
}

void CTextPart::MakeTextInputBox() {
  textInputBox_ = std::make_unique<CTextInputBox>(links_.window, textBuffer_.get());
  textInputBox_->SetImeFlags(settings_.imeAutoOpenFlag, settings_.imeAutoCloseFlag);
}

void CTextPart::ResetTextPosition() {
  if (font_) font_->ClearTextLayer();
}
