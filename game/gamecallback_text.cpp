// CGameCallBack: the text objects (renderer, text printer, the names the
// escape codes insert), the message window with its design numbers and
// opacity, the face pictures and their EXT save chunk.
#include <algorithm>
#include <cstring>

#include "game/deleteandclear.h"
#include "game/gamecallback.h"
#include "graphics/screenbuffer.h"
#include "message/facecontrol.h"
#include "message/fontprint.h"
#include "message/messagewindow.h"
#include "message/rendersettings.h"
#include "message/textprint.h"
#include "message/textstate.h"
#include "platform/types.h"
#include "savedata/extnametable.h"
#include "savedata/systemfile.h"
#include "setup/setuplist.h"
#include "setup/text.h"

namespace {

// SYSTEM DATA words.
constexpr int kFontKindOffset = 148;
constexpr int kChosenFaceOffset = 156;

}  // namespace

// --- Init's steps and the destroy step ---

void CGameCallBack::InitFaceControl() {
  if (faceControl_) return;
  if (!settings_.facePrintMode) return;
  faceControl_ = new CFaceControl(faceList_);
  const CExtDataNameTable names;
  SetExtSaveObject(names.SearchName("face"), faceControl_);
}

void CGameCallBack::InitText() {
  if (font_) return;
  int fontKind = 0;
  const char* chosenFace = nullptr;
  if (systemFile_) {
    fontKind = systemFile_->GetSystemData(kFontKindOffset);
    if (systemFile_->GetSystemData(kChosenFaceOffset)) chosenFace = systemFile_->GetFontFace();
  }
  if (setupList_) LoadRenderSettings(*setupList_, fontKind, chosenFace);
  font_ = new CFontPrint(nullptr);
  textBuffer_ = new CTextPrint(font_);
  if (setupList_) LoadUserFonts(*setupList_, font_);
}

void CGameCallBack::InitMessageWindow() {
  if (messageWindow_) return;
  int noWindow = 0;
  GetSetupInt(&noWindow, "noMessageWindowFlag");
  if (noWindow) return;
  messageWindow_ = new CCommonMessageWindow;
  MessageWindowSetNumbers(GetWindowNumberConfig(), windowNumberScript_);
  MessageWindowSetMode(messageWindowMode_);
  ApplyWindowOpacity();
}

void CGameCallBack::InitTextNames() {
  CTextState& state = GetTextState();
  GetSetupInt(&state.santenUseFlag, "santenUseFlag");
  GetSetupInt(&state.dashUseFlag, "dashUseFlag");
  // The stored names, or the settings' defaults when those are empty; a
  // clear flag shows the default without keeping it in the system data.
  struct Name {
    const char* stored;
    const char* initKey;
    const char* clearKey;
    bool family;
  };
  const Name names[] = {
      {GetFamilyName(), "seiInitData", "seiClearFlag", true},
      {GetGivenName(), "meiInitData", "meiClearFlag", false},
  };
  for (const Name& n : names) {
    if (*n.stored) {
      SetTextNames(n.family ? n.stored : nullptr, n.family ? nullptr : n.stored);
      continue;
    }
    const char* value = nullptr;
    int clear = 0;
    GetSetupInt(&clear, n.clearKey);
    if (!GetSetupString(&value, n.initKey) || !value) continue;
    SetNames(n.family ? value : nullptr, n.family ? nullptr : value);
    if (clear && systemFile_) {
      if (n.family)
        systemFile_->SetFamilyName("");
      else
        systemFile_->SetGivenName("");
    }
  }
}

void CGameCallBack::ReleaseText() {
  for (CAutoSaveSubData*& object : extSaveObjects_) {
    if (object == faceControl_) object = nullptr;
  }
  DeleteAndClear(faceControl_);
  DeleteAndClear(messageWindow_);
  DeleteAndClear(textBuffer_);
  DeleteAndClear(font_);
}

// --- Text ---

CFontPrint* CGameCallBack::GetFont() { return font_; }

CTextPrint* CGameCallBack::GetTextBuffer() { return textBuffer_; }

void CGameCallBack::ResetTextPosition() {
  if (font_) font_->ClearTextLayer();
}

// The names the player gave, as the system data keeps them: empty until a
// name is set (the text shows the placeholders meanwhile). A system file
// written with a placeholder as its name holds no name either.
const char* CGameCallBack::GetFamilyName() { return systemFile_ ? KeptName(systemFile_->GetFamilyName()) : ""; }

const char* CGameCallBack::GetGivenName() { return systemFile_ ? KeptName(systemFile_->GetGivenName()) : ""; }

void CGameCallBack::SetNames(const char* family, const char* given) {
  // One store: the text state's names, cut once on a character boundary,
  // are the ones the system data keeps; a placeholder is kept as no name.
  SetTextNames(family, given);
  if (!systemFile_) return;
  if (family) systemFile_->SetFamilyName(KeptName(GetTextState().familyName));
  if (given) systemFile_->SetGivenName(KeptName(GetTextState().givenName));
}

// --- Message window: the one place the window is reached ---

int CGameCallBack::MessageWindowPrint(int show, int showName, const platform::Point* offset) {
  if (!messageWindow_) return 0;
  messageWindow_->Print(show, showName, offset);
  return 1;
}

int CGameCallBack::MessageWindowPrintAt(int show, int showName,
                                        const platform::Point& position) {
  if (!messageWindow_) return 0;
  messageWindow_->PrintAt(show, showName, position);
  return 1;
}

int CGameCallBack::MessageWindowHitLocal(int x, int y) {
  return messageWindow_ ? messageWindow_->CheckHitLocal(x, y, 0) : 0;
}

void CGameCallBack::MessageWindowSetNumbers(int config, int script) {
  if (!messageWindow_) return;
  messageWindow_->SetWindowNumberConfig(config);
  messageWindow_->SetWindowNumberScript(script);
}

void CGameCallBack::MessageWindowSetPercent(int percent) {
  if (messageWindow_) messageWindow_->SetPercent(percent);
}

void CGameCallBack::MessageWindowSetMode(int value) {
  if (messageWindow_) messageWindow_->SetFontSizeType(value);
}

// The designs the options offer; one without a window.
int CGameCallBack::MessageWindowDesignCount() {
  return messageWindow_ ? messageWindow_->GetCount(0) : 1;
}

// --- Faces ---

void CGameCallBack::ChangeFace(int number, const char* speakerName) {
  if (number != settings_.facePrintMode || !faceControl_) return;
  CScreenBuffer::SetFullRedraw(0);
  faceControl_->Print(speakerName);
}

void CGameCallBack::SetFaceType(int face, int type) {
  if (faceControl_) faceControl_->SetFaceType(face, type);
}

void CGameCallBack::SetFaceNumber(int n) {
  if (faceControl_) faceControl_->SetFaceNumber(n);
}

void CGameCallBack::ResetFaces() {
  if (faceControl_) faceControl_->Reset();
}

// --- EXT chunks: the extension objects (their rows are the sub-entry rows
// of gamecallback_savedata.cpp) ---

void CGameCallBack::SetExtSaveObject(int key, CAutoSaveSubData* object) {
  if (key >= 1 && key < kExtObjectKeys) extSaveObjects_[key] = object;
}

