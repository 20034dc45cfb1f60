#include "game/messagewindowpart.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "effect/alleffect.h"
#include "game/floatingpart.h"
#include "game/gamehooks.h"
#include "game/gamelists.h"
#include "game/gameparts.h"
#include "game/inputpart.h"
#include "game/modeflowpart.h"
#include "game/savepart.h"
#include "game/screenpart.h"
#include "game/scriptpart.h"
#include "game/settingkeys.h"
#include "game/variablepart.h"
#include "graphics/screenbuffer.h"
#include "message/facecontrol.h"
#include "message/messagewindow.h"
#include "modebase/moderoles.h"
#include "modebase/modenumbers.h"
#include "platform/types.h"
#include "savedata/extnametable.h"
#include "savedata/systemfile.h"
#include "savedata/gamestatus.h"

namespace {

// SYSTEM DATA word of the configuration's message-window design.
constexpr int kWindowNumberOffset = 1920;

using Key = IntKey<CMessageWindowPart::Settings>;
using S = CMessageWindowPart::Settings;

const Key kWindowKeys[] = {
    {"facePrintMode", &S::facePrintMode},
    {"noMessageWindowFlag", &S::noMessageWindowFlag},
    {"windowOffMouseButton", &S::windowOffMouseButton},
    {"shiftSkipMessageOnly", &S::shiftSkipMessageOnly},
    {"autoMessageCheckKillShift", &S::autoMessageCheckKillShift},
    {"cannotSkipCheckKillShift", &S::cannotSkipCheckKillShift},
};

}  // namespace

CMessageWindowPart::CMessageWindowPart(const Links& links) : links_(links) {}

// The face control leaves the save's extension rows before it goes.
CMessageWindowPart::~CMessageWindowPart() {
  if (faceControl_ && links_.saves) links_.saves->ForgetExtSaveObject(faceControl_.get());
}

void CMessageWindowPart::ReadSettings() { ReadIntKeys(links_.list, &settings_, kWindowKeys); }

void CMessageWindowPart::InitFaceControl() {
  if (faceControl_ || !settings_.facePrintMode) return;
  faceControl_ = std::make_unique<CFaceControl>(links_.lists->GetFaceList());
  const CExtDataNameTable names;
  links_.saves->SetExtSaveObject(names.SearchName("face"), faceControl_.get());
}

void CMessageWindowPart::InitMessageWindow() {
  if (messageWindow_ || settings_.noMessageWindowFlag) return;
  messageWindow_ = std::make_unique<CCommonMessageWindow>();
  MessageWindowSetNumbers(GetWindowNumberConfig(), windowNumberScript_);
  SetMessageWindowMode(messageWindowMode_);
  ApplyWindowOpacity();
}

// --- The window: the one place it is reached ---

int CMessageWindowPart::MessageWindowPrint(int show, int showName, const platform::Point* offset) {
  if (!messageWindow_) return 0;
  messageWindow_->Print(show, showName, offset);
  return 1;
}

void CMessageWindowPart::MessageWindowSetNumbers(int config, int script) {
  if (!messageWindow_) return;
  messageWindow_->SetWindowNumberConfig(config);
  messageWindow_->SetWindowNumberScript(script);
}

int CMessageWindowPart::PrintMessageWindow(int show, int showName, const platform::Point* offset) {
  return MessageWindowPrint(show, showName, offset);
}

int CMessageWindowPart::PrintMessageWindowIfShown(int show, int showName, const platform::Point* offset) {
  return messageWindowOn_ ? MessageWindowPrint(show, showName, offset) : 0;
}

int CMessageWindowPart::CheckMessageWindow(int show, int showName, const platform::Point& position) {
  if (!messageWindow_) return 0;
  messageWindow_->PrintAt(show, showName, position);
  return 1;
}

int CMessageWindowPart::CheckMessageWindowHit(int x, int y) {
  return messageWindow_ ? messageWindow_->CheckHitLocal(x, y, 0) : 0;
}

void CMessageWindowPart::SetWindowNumberConfig(int n) {
  if (links_.systemFile) links_.systemFile->SetSystemData(kWindowNumberOffset, n);
  MessageWindowSetNumbers(n, windowNumberScript_);
}

int CMessageWindowPart::GetWindowNumberConfig() const {
  return links_.systemFile ? links_.systemFile->GetSystemData(kWindowNumberOffset) : 0;
}

void CMessageWindowPart::SetWindowNumberScript(int n) {
  windowNumberScript_ = n;
  MessageWindowSetNumbers(GetWindowNumberConfig(), n);
}

void CMessageWindowPart::ApplyWindowOpacity() {
  // Widened first: a stored word far below 0 must not overflow.
  const int64_t percent = 100 - static_cast<int64_t>(links_.vars->GetSystemSetting(106));
  if (messageWindow_) messageWindow_->SetPercent(static_cast<int>(std::clamp<int64_t>(percent, 0, 100)));
}

void CMessageWindowPart::SetMessageWindowMode(int value) {
  messageWindowMode_ = value;
  if (messageWindow_) messageWindow_->SetFontSizeType(value);
}

// The designs the options offer; one without a window.
int CMessageWindowPart::GetConfigHelperValue() { return messageWindow_ ? messageWindow_->GetCount(0) : 1; }

void CMessageWindowPart::ShowMessageWindow(int flag) {
  if (CStoryMessageMode* printMessage = links_.modes->GetPrintMessage()) printMessage->SetWindowPrint(flag);
}

// --- Words of the message modes ---

void CMessageWindowPart::SetMessageModeFlag(int flag) {
  messageModeFlag_ = flag;
  if (CStoryMessageMode* printMessage = links_.modes->GetPrintMessage()) printMessage->SetGeneral(flag);
}

void CMessageWindowPart::SetStoredOption(int value) {
  storedOption_ = value;
  links_.vars->SetSystemSetting(6, value);
}

void CMessageWindowPart::ApplyPendingSwitch() {
  if (pendingSwitch_ == 0 || pendingSwitch_ == 1) messageWindowOn_ = pendingSwitch_;
  pendingSwitch_ = -1;
}

int CMessageWindowPart::SetMessageParam(int kind, int value) {
  // The print-message mode passes its "noVoiceIsDefaultWait" here.
  if (kind == 1) noVoiceIsDefaultWait_ = value;
  return -1;
}

void CMessageWindowPart::OnMessageClick() { links_.hooks->OnMessageClick(); }

void CMessageWindowPart::OnMessageCursor(int a) { links_.hooks->OnMessageCursor(a); }

void CMessageWindowPart::SetMessageCursorKind(int kind) { links_.floating->SetMessageCursorKind(kind); }

void CMessageWindowPart::SetMessageCursor(int x, int y, int kind) {
  links_.floating->SetMessageCursor(x, y, kind);
}

int CMessageWindowPart::IsBackLogDisabled() const { return links_.input->IsBackLogDisabled(); }

// --- The back log: the lines go to mode 7's store when the mode exists ---

void CMessageWindowPart::AddBackLog(const char* text, int r, int g, int b) {
  if (CStoryBackLogMode* log = links_.modes->GetBackLog()) log->AddLine(text, r, g, b);
}

void CMessageWindowPart::SetBackLogColor(int linesBack, int r, int g, int b) {
  if (CStoryBackLogMode* log = links_.modes->GetBackLog()) log->SetLineColor(linesBack, r, g, b);
}

void CMessageWindowPart::ClearBackLog() {
  if (CStoryBackLogMode* log = links_.modes->GetBackLog()) log->ClearLog();
}

// --- Read marks: -1 stands for the running script ---

void CMessageWindowPart::SetMessageReadFlag(int message, int script) {
  if (script == -1) script = links_.scripts->GetRunningScriptNumber(script);
  if (links_.systemFile) links_.systemFile->SetMesFlag(script, message);
}

int CMessageWindowPart::CheckMessageReadFlag(int message, int script) {
  if (script == -1) script = links_.scripts->GetRunningScriptNumber(script);
  return links_.systemFile ? links_.systemFile->GetMesFlag(script, message) : 0;
}

// --- Skipping ---

void CMessageWindowPart::ToggleShiftSkip() {
  if (GetShiftSkipState()) {
    SetShiftSkipState(0);
  } else if (!settings_.shiftSkipMessageOnly || links_.modes->GetCurrentMode() == modenumber::kPrintMessage) {
    SetShiftSkipState(1);
  }
}

void CMessageWindowPart::StartFilmSkip() {
  skipFilm_[0] = 0;
  skipFilm_[1] = 1;
  skipFilm_[2] = skipFilm_[3] = skipFilm_[4] = 1;
}

void CMessageWindowPart::ClearSkipFilm() { std::fill(std::begin(skipFilm_), std::end(skipFilm_), 0); }

void CMessageWindowPart::SkipByKey(int kind) {
  SetMessageReadFlag(words_.messageKey, -1);
  skipKind_[0] = kind == 0 ? 1 : 0;
  skipKind_[1] = kind == 1 ? 1 : 0;
  if (kind == 1)
    if (CAllEffect* effect = links_.screen->GetEffect()) effect->ResetAll();
  SetSkipFilmFlag(1);
}

void CMessageWindowPart::SetCannotSkipFlag(int value) {
  cannotSkipFlag_ = value;
  if (value > 0 && settings_.cannotSkipCheckKillShift) {
    SetShiftSkipState(0);
    EndSkipFilm();
  }
}

void CMessageWindowPart::SetAutoMessageCheckFlag(int value) {
  autoMessageCheckFlag_ = value;
  if (value > 0 && settings_.autoMessageCheckKillShift) {
    SetShiftSkipState(0);
    EndSkipFilm();
  }
}

// --- Faces ---

void CMessageWindowPart::ChangeFace(int number, const char* speakerName) {
  if (number != settings_.facePrintMode || !faceControl_) return;
  CScreenBuffer::SetFullRedraw(0);
  faceControl_->Print(speakerName);
}

void CMessageWindowPart::SetFaceType(int face, int type) {
  if (faceControl_) faceControl_->SetFaceType(face, type);
}

void CMessageWindowPart::SetFaceNumber(int n) {
  if (faceControl_) faceControl_->SetFaceNumber(n);
}

void CMessageWindowPart::ResetFaces() {
  if (faceControl_) faceControl_->Reset();
}

// --- Its share of the saved game ---

void CMessageWindowPart::PutStatus(uint8_t* status) const {
  namespace gs = gamestatus;
  const StoryWords& words = words_;
  gs::Set(status, gs::kMessageKey, words.messageKey);
  gs::Set(status, gs::kLineCount, words.savedLineCount);
  gs::Set(status, gs::kMessageCode, words.messageCode);
  gs::Set(status, gs::kChoiceKey, words.choiceKey);
  gs::Set(status, gs::kChoiceEnd, words.savedChoiceEnd);
  gs::Set(status, gs::kChoiceStart, words.savedChoiceStart);
  gs::Set(status, gs::kWindowShown, keptMessageWindowOn_);
  gs::Set(status, gs::kWindowMode, GetMessageSpeed());
  gs::Set(status, gs::kWindowDesign, GetWindowNumberScript());
  if (gs::Get(status, gs::kReturnMode) == modenumber::kSelectMessage)
    for (int i = 0; i < 4; ++i) gs::Set(status, gs::kChoiceWords + i, words.choiceWords[i]);
  gs::Set(status, gs::kAutoMessageCheck, autoMessageCheckFlag_);
  gs::Set(status, gs::kMessageSwitchWord, messageSwitch_);
  gs::Set(status, gs::kCannotSkip, cannotSkipFlag_);
}

void CMessageWindowPart::GetStatus(const uint8_t* status) {
  namespace gs = gamestatus;
  SetWindowWords(gs::Get(status, gs::kWindowShown), gs::Get(status, gs::kWindowMode));
  SetWindowNumberScript(gs::Get(status, gs::kWindowDesign));
  SetProhibitWords(gs::Get(status, gs::kAutoMessageCheck), gs::Get(status, gs::kMessageSwitchWord),
                   gs::Get(status, gs::kCannotSkip));
  StoryWords& words = words_;
  words.savedLineCount = gs::Get(status, gs::kLineCount);
  words.savedChoiceEnd = gs::Get(status, gs::kChoiceEnd);
  words.savedChoiceStart = gs::Get(status, gs::kChoiceStart);
  words.messageKey = gs::Get(status, gs::kMessageKey);
  words.choiceKey = gs::Get(status, gs::kChoiceKey);
  words.messageCode = gs::Get(status, gs::kMessageCode);
  if (gs::Get(status, gs::kReturnMode) == modenumber::kSelectMessage)
    for (int i = 0; i < 4; ++i) words.choiceWords[i] = gs::Get(status, gs::kChoiceWords + i);
}
