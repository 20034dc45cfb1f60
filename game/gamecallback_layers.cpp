// CGameCallBack: the message cursor, floating layers, the floating
// buttons (gamecallback_floating.cpp) and the common button setups.
#include "game/gamecallback.h"

#include "input/inputstatus.h"
#include "graphics/screenbuffer.h"
#include "platform/types.h"
#include "widget/floatinglayertable.h"
#include "widget/gamemouse.h"
#include "widget/messagecursor.h"
#include "widget/notice.h"
#include "widget/sceneoptionbutton.h"

void CGameCallBack::OnMessageClick() {}

CCommonButtonSetup* CGameCallBack::GetCommonBackSetup() { return commonBackSetup_; }

int CGameCallBack::GetCommonSetupSecond() { return commonSetupSecond_; }

int CGameCallBack::GetCommonSetupThird() { return commonSetupThird_; }

void CGameCallBack::RestoreFloatingLayers() {
  if (floatingLayers_) floatingLayers_->RestoreAll();
}

void CGameCallBack::ResetFloatingLayers() {
  if (floatingLayers_) floatingLayers_->ResetSaveAll();
}

CCommonButtonSetup* CGameCallBack::GetCommonUpDownSetup() { return commonUpDownSetup_; }

void CGameCallBack::OnMessageCursor(int) {}

void CGameCallBack::SetMessageCursorKind(int kind) {
  SetMessageCursor(messageCursorX_, messageCursorY_, kind);
}

// The frame refreshes the cursor when it finds the request. Kinds 2 and up
// (from 0) follow the text's end: they hand the position to the message
// cursor.
void CGameCallBack::SetMessageCursor(int x, int y, int kind) {
  messageCursorX_ = x;
  messageCursorY_ = y;
  messageCursorKind_ = kind;
  messageCursorRequest_ = 1;
  if (kind >= 2 && messageCursor_) messageCursor_->SetPrintXY(x, y);
}

void CGameCallBack::ShowMessageWindow(int flag) {
  if (CStoryMessageMode* printMessage = GetPrintMessage()) printMessage->SetWindowPrint(flag);
}

int CGameCallBack::QueryCommonBackSetup() { return -1; }

void CGameCallBack::ApplyCommonBackSetup(int, int, int, int) {}

int CGameCallBack::QueryCommonUpDownSetup() { return -1; }

void CGameCallBack::ApplyCommonUpDownSetup(int, int, int, int) {}

void CGameCallBack::ResetCommonSetups() {}

// --- The game's floating layers ---

void CGameCallBack::InitFloatingLayers() {
  floatingLayers_ = new CFloatingLayerTable;
  if (settings_.gameMouseCreateFlag) {
    gameMouse_ = new CGameMouse(floatingLayers_, 0);
    gameMouse_->SetConfigNumber(GetMouseNumberConfig());
    gameMouse_->SetScriptNumber(mouseNumberScript_);
  }
  if (settings_.messageCursorCreateFlag) {
    messageCursor_ = new CMessageCursor(floatingLayers_, 2);
    messageCursor_->SetConfigNumber(GetCursorNumberConfig());
    messageCursor_->SetScriptNumber(cursorNumberScript_);
  }
  // The floating buttons, each over the list of its name at its first
  // slot; the scene button also needs bit 0 of "sceneButtonMode".
  const GameSettings& s = settings_;
  const struct {
    int index;
    const char* name;
    int slot;
    bool create;
  } buttons[] = {
      {1, "optionButton", 4, s.optionButtonCreateFlag != 0},
      {0, "sceneButton", 8, s.sceneButtonCreateFlag && (s.sceneButtonMode & 1)},
      {2, "skipFilmButton", 12, s.skipFilmButtonCreateFlag != 0},
      {3, "quickSaveButton", 14, s.quickSaveButtonCreateFlag != 0},
      {4, "quickLoadButton", 15, s.quickLoadButtonCreateFlag != 0},
      {5, "quickConfigButton", 16, s.quickConfigButtonCreateFlag != 0},
      {6, "quickBacklogButton", 18, s.quickBacklogButtonCreateFlag != 0},
  };
  for (const auto& b : buttons)
    if (b.create) floatingButtons_[b.index] = new CSceneOptionButton(b.name, floatingLayers_, b.slot);
  if (floatingButtons_[4]) floatingButtons_[4]->SetBlockWhenDisabled(1);
  if (settings_.noticeFlag) notice_ = new CNotice(floatingLayers_, 20);
}

// A sound number n above 0 is system sound n - 1.
void CGameCallBack::ServeNotice() {
  if (!settings_.noticeFlag || !notice_) return;
  const int sound = notice_->CalcuPrint(1);
  if (sound > 0) PlaySystemSe(sound - 1, 0);
}

// Kind 1 (from 0) while system setting 6 is on; two more while the printed
// message continues.
void CGameCallBack::ServeMessageCursor() {
  if (!messageCursorRequest_) return;
  messageCursorRequest_ = 0;
  if (!messageCursor_) return;
  const CStoryMessageMode* printMessage = GetPrintMessage();
  const int kind = (GetSystemSetting(6) ? 1 : 0) +
                   (printMessage && printMessage->CheckContinue() ? 2 : 0);
  messageCursor_->Print(kind, 1);
  messageCursor_->Calcu(1);
}

// Drawn at the mouse position, cursor row 0, saving what it covers; a
// pointer outside the screen shows no cursor.
void CGameCallBack::ServeGameMouse() {
  if (!gameMouse_ || !mouseStatus_ || !CScreenBuffer::GetBuffer()) return;
  platform::Point at{};
  mouseStatus_->GetPos(&at);
  if (at.x < 0 || at.y < 0 || at.x >= CScreenBuffer::GetWidth() || at.y >= CScreenBuffer::GetHeight())
    return;
  gameMouse_->Print(at.x, at.y, 0, 1);
  gameMouse_->Calcu(1);
}
