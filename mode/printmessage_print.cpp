// CCommonPrintMessage: the drawing of a frame: the effect passes around the
// face, the message window, the speaker's name, the typed text, the cut-in
// boxes and the message cursor; the waits' screens; the full-screen text
// background.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "services/floatingservices.h"
#include "services/messagewindowservices.h"
#include "services/modeflowservices.h"
#include "services/screenservices.h"
#include "services/variableservices.h"
#include "graphics/allgeo.h"
#include "graphics/allgraphics.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "message/cutin.h"
#include "message/rendersettings.h"
#include "message/textprint.h"
#include "mode/printmessage.h"

namespace {

constexpr int kOptionWindowPercent = 106;

}  // namespace

void CCommonPrintMessage::ApplyFontSizeType() {
  if (s_.fontSizeTypeNumber <= 0 || s_.layouts.empty()) return;
  const int t = std::clamp(game_.messageWindow->GetMessageSpeed(), 0, s_.fontSizeTypeNumber);
  cur_ = s_.layouts[t];
  curNameX_ = s_.nameXs[t];
  curNameY_ = s_.nameYs[t];
  curNameSpace_ = s_.nameSpaces[t];
}

int CCommonPrintMessage::Print() {
  if (!game_) return -1;
  // The font size of the current page.
  ApplyFontSizeType();
  // Cut-in boxes are drawn whole every frame.
  if (cutinNumber_) CScreenBuffer::SetFullRedraw(0);
  // A screen wait draws its own page; every other page the window and its lines.
  if (pageCode_ == kCodeScreenWait) {
    PrintScreenWait();
  } else {
    game_.screen->RefreshEffect(0);
    if (pageCode_ == kCodeWait)
      PrintWait();
    else
      PrintText(0);
    game_.screen->RefreshEffect(1);
    game_.screen->AddEffectFrame(effectFrames_);
  }
  // The floating buttons.
  if (FloatingAllowed()) {
    const bool wait = pageCode_ == kCodeWait || pageCode_ == kCodeScreenWait;
    if (!wait && !windowHidden_) game_.floating->RequestFloatingButtons();
    if (wait && s_.drawOverrapOptionFlag && !game_.modeFlow->GetScriptStartFlag())
      game_.floating->RequestFloatingButtons();
  }
  game_.floating->RequestSkipFilmButton();
  return -1;
}

int CCommonPrintMessage::NameShown() const {
  return s_.nameFlag && !cutinNumber_ &&
                 (!s_.autoNameWindowFlag || (nameColors_ && nameColors_->Find(lines_[0]) >= 0))
             ? 1
             : 0;
}

int CCommonPrintMessage::PrintText(int forceNewPage) {
  if (!game_) return -1;
  // Whether the whole screen is drawn again, and which page is drawn.
  const int full = CScreenBuffer::CheckFullRedraw();
  const int code = forceNewPage ? kCodeWindow : pageCode_;
  // Face and window, or the full-screen background.
  if (!cutinNumber_) {
    if (code == kCodeWindow && !windowHidden_) {
      const int nameKnown =
          s_.autoNameWindowFlag && nameColors_ && nameColors_->Find(lines_[0]) >= 0 ? 1 : 0;
      game_.messageWindow->ChangeFace(1, lines_[0]);
      game_.messageWindow->PrintMessageWindow(full, nameKnown, nullptr);
      game_.messageWindow->ChangeFace(2, lines_[0]);
    } else if ((code == kCodeFull || code == kCodeContinue) && s_.lPrintBGMode && !windowHidden_) {
      PrintLprintBG();
    }
  }
  // Nothing while the window is hidden; the name when it is shown and changed.
  if (windowHidden_) return -1;
  const int withName = code == kCodeWindow && NameShown();
  if (withName && (full || !nameDrawn_) && lineCount_ > 0) PrintName(full);
  // The lines of the page.
  PrintLines(full, code, withName ? 1 : 0);
  // The cursor once the page is complete and waits for the player.
  if (!typing_ && !forceNewPage && code != kCodeWait && !InAutoCheck()) PlaceCursor(code);
  return -1;
}

void CCommonPrintMessage::PrintName(int) {
  const char* name = lines_[0];
  int x = curNameX_;
  const int y = curNameY_;
  if (s_.nameCenterFlag) {
    const int pad = std::max(0, s_.nameLengthMax - CTextPrint::GetTextLength(name));
    const int cell = GetRenderSettings().codeByte == 1 ? s_.nameFontSize / 2 : s_.nameFontSize;
    x += static_cast<int>(static_cast<int64_t>(pad) * (cell + curNameSpace_) / 2);
  }
  const int entry = nameColors_ ? nameColors_->Find(name) : -1;
  if (s_.namePicFlag && namePicture_ && entry >= 0) {
    const int columns = std::max(1, namePicture_->GetWidth() / s_.namePicSizeX);
    namePicture_->Blt(curNameX_ + s_.namePicDeltaX, curNameY_ + s_.namePicDeltaY,
                      entry % columns * s_.namePicSizeX, entry / columns * s_.namePicSizeY,
                      s_.namePicSizeX, s_.namePicSizeY, 1);
  } else if (text_) {
    uint32_t colour = static_cast<uint32_t>(s_.nameColorR & 0xFF) << 16 |
                      static_cast<uint32_t>(s_.nameColorG & 0xFF) << 8 | (s_.nameColorB & 0xFF);
    if (nameColors_) colour = nameColors_->GetColor(entry);
    text_->Print(x, y, name, s_.nameFontSize, colour >> 16 & 0xFF, colour >> 8 & 0xFF,
                 colour & 0xFF, curNameSpace_, s_.nameFontSize, s_.nameShadeColor, 1);
  }
  nameDrawn_ = 1;
}

void CCommonPrintMessage::PrintCutinWindow(int line, int lines, int fontSize) {
  const int c = cutin_[2 * line];
  const int kind = cutinChara_->GetKind(c);
  const platform::Point at = cutinChara_->GetWindowPos(c);
  if (kind > 0) {
    int longest = 0;
    for (int i = line; i < line + lines && i < lineCount_; ++i)
      longest = std::max(longest, CTextPrint::GetTextLength(lines_[i]));
    const platform::Point size = cutinChara_->GetWindowSize(c, fontSize, lines, longest);
    CAllGeo::TransBoxFill(at.x, at.y, size.x, size.y, cutinChara_->GetBoxRed(c),
                          cutinChara_->GetBoxGreen(c), cutinChara_->GetBoxBlue(c),
                          cutinChara_->GetBoxPercent(c));
  } else if (kind < 0 && cutinWindow_ && kind != INT32_MIN) {
    if (cutinWindow_->SetNumber(-kind))
      cutinWindow_
          ->SetPercent(100 - std::clamp(game_.variables->GetSystemSetting(kOptionWindowPercent), 0, 100))
          .Print(at.x, at.y);
  }
}

void CCommonPrintMessage::PrintLines(int full, int code, int first) {
  int budget = cellsThisFrame_;
  // The cut-in group being drawn: its first line and whether the previous
  // marked line closed its group.
  int groupStart = -1;
  bool groupClosed = true;
  for (int i = first; i < lineCount_; ++i) {
    const int row = i - first;
    int64_t x, y;
    if (code == kCodeFull) {
      x = s_.lPrintX + static_cast<int64_t>(row) * s_.lNextX;
      y = s_.lPrintY + static_cast<int64_t>(row) * s_.lNextY;
    } else {
      x = cur_.printX + static_cast<int64_t>(row) * cur_.nextX;
      y = cur_.printY + static_cast<int64_t>(row) * cur_.nextY;
    }
    int size = cur_.fontSize;
    const int c = cutin_[2 * i], k = cutin_[2 * i + 1];
    if (cutinNumber_ && c > 0 && cutinChara_) {
      // A group starts at its first marked line, or after a line that
      // closed the group before it; its lines stand by their row in it.
      if (groupClosed) {
        groupStart = i;
        PrintCutinWindow(i, k, size);
      }
      groupClosed = k <= 1;
      const platform::Point at = cutinChara_->GetTextPos(c);
      const platform::Point step = cutinChara_->GetLineStep(c);
      x = at.x + static_cast<int64_t>(i - groupStart) * step.x;
      y = at.y + static_cast<int64_t>(i - groupStart) * step.y;
      size = std::clamp(size + cutinChara_->GetSizeChange(c), 1, 72);
    }
    const int px = static_cast<int>(std::clamp<int64_t>(x, INT32_MIN / 2, INT32_MAX / 2));
    const int py = static_cast<int>(std::clamp<int64_t>(y, INT32_MIN / 2, INT32_MAX / 2));
    const char* line = lines_[i];
    const bool complete = total_[i] != -1 && typed_[i] >= total_[i];
    if (!complete) {
      if (full) {
        budget += typed_[i];
        typed_[i] = 0;
      }
      if (budget > 0) {
        const int rest =
            text_ ? text_->PrintMessage(typed_[i], budget, px, py, line, size, s_.colorR, s_.colorG,
                                        s_.colorB, cur_.space, cur_.nextY, s_.shadeColor, 1)
                  : CTextPrint::GetTextLength(line) - (typed_[i] + budget);
        if (rest == 0) {
          typed_[i] = total_[i] = typed_[i] + budget;
          budget = 0;
        } else if (rest < 0) {
          typed_[i] = total_[i] = typed_[i] + budget + rest;
          budget = -rest;
        } else {
          typed_[i] += budget;
          total_[i] = typed_[i] + rest;
          budget = 0;
        }
      }
    } else if (full && text_) {
      text_->Print(px, py, line, size, s_.colorR, s_.colorG, s_.colorB, cur_.space, cur_.nextY,
                   s_.shadeColor, 1);
    }
  }
  // The page is complete when every line is: also for a page without body
  // lines, or one whose new lines were all dropped.
  if (typing_) {
    bool all = true;
    for (int i = first; i < lineCount_ && all; ++i) all = total_[i] != -1 && typed_[i] >= total_[i];
    if (all) typing_ = 0;
  }
}

void CCommonPrintMessage::PlaceCursor(int code) {
  game_.messageWindow->OnMessageCursor(1);
  if (code == kCodeWindow) {
    game_.messageWindow->SetMessageCursorKind(0);
    return;
  }
  const int last = lineCount_ > 0 ? std::max(total_[lineCount_ - 1], 0) : 0;
  const int64_t x = static_cast<int64_t>(cur_.fontSize + cur_.space) * last + s_.lPrintX;
  const int64_t y = static_cast<int64_t>(std::max(lineCount_ - 1, 0)) * s_.lNextY + s_.lPrintY;
  game_.messageWindow->SetMessageCursor(static_cast<int>(std::clamp<int64_t>(x, INT32_MIN, INT32_MAX)),
                          static_cast<int>(std::clamp<int64_t>(y, INT32_MIN, INT32_MAX)), 2);
}

int CCommonPrintMessage::PrintWait() {
  if (game_.modeFlow->GetScriptStartFlag()) return -1;
  const int type = game_.messageWindow->GetAutoModeType();
  if (type == 0 || type == 3) {
    if (s_.drawWindowWithMessageFlag && game_.messageWindow->GetAutoModeFlag())
      PrintText(1);
    else
      game_.messageWindow->PrintMessageWindowIfShown(CScreenBuffer::CheckFullRedraw(), 0, nullptr);
  } else if (type == 1 || type == 2) {
    if (s_.lPrintBGMode && !windowHidden_) PrintLprintBG();
  }
  return -1;
}

int CCommonPrintMessage::PrintScreenWait() {
  CScreenBuffer::SetFullRedraw(0);
  game_.screen->PrintWipe(screenWaitCounter_);
  return -1;
}

void CCommonPrintMessage::PrintLprintBG() {
  CScreenBuffer::SetFullRedraw(0);
  const Settings& s = s_;
  if (s.lPrintBGMode & 2) {
    const auto& c = s.clips;
    if (s.nega) CAllGraphics::NegaRect(c[1][0], c[1][1], c[1][2], c[1][3]);
    if (s.grey) CAllGraphics::GreyRect(c[2][0], c[2][1], c[2][2], c[2][3]);
    if (s.multiR != 100 || s.multiG != 100 || s.multiB != 100)
      CAllGraphics::MultiRect(c[3][0], c[3][1], c[3][2], c[3][3], s.multiR, s.multiG, s.multiB);
    if (s.deltaR || s.deltaG || s.deltaB)
      CAllGraphics::AddSubRect(c[4][0], c[4][1], c[4][2], c[4][3], s.deltaR, s.deltaG, s.deltaB);
  }
  if ((s.lPrintBGMode & 1) && lPrintBGPicture_)
    lPrintBGPicture_->Put(s.lPrintBGPrintX, s.lPrintBGPrintY, 1);
}
