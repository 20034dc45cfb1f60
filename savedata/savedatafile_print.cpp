// CCommonDataFile: the slot display of the load and save screens. The
// layout values are copied from the game's save-slot layout when the slot
// is made; pictures and printers stay the layout's.
#include <algorithm>
#include <cstring>

#include "services/saveservices.h"
#include "services/screenservices.h"
#include "services/textservices.h"
#include "services/variableservices.h"
#include "graphics/allgeo.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "message/textprint.h"
#include "platform/bytes.h"
#include "platform/types.h"
#include "savedata/savedatafile.h"
#include "widget/animepart.h"
#include "widget/numberprint.h"
#include "widget/weekday.h"

namespace {

int32_t WordAt(const uint8_t* p) { return static_cast<int32_t>(platform::GetLE32(p)); }

// A text field of a peeked record (at most 256 bytes) as a string that ends
// within it, whether or not the field holds a NUL.
struct TextField {
  TextField(const uint8_t* field, size_t size) {
    size = std::min<size_t>(size, CCommonDataFile::kStatusTextSize);
    std::memcpy(text, field, size);
    text[size] = 0;
  }
  char text[CCommonDataFile::kStatusTextSize + 1];
};

bool IsOnce(int type) { return type == 2 || type == 4 || type == 6 || type == 8; }
bool IsBackAndForth(int type) { return type == 3 || type == 4 || type == 7 || type == 8; }

// Steps of one pass of the cursor animation.
int64_t Cycle(const SlotCursorAnime& a) {
  const int64_t n = a.pattern;
  return IsBackAndForth(a.type) ? std::max<int64_t>(2 * n - 2, 1) : n;
}

}  // namespace

CCommonDataFile::CCommonDataFile(const GameRoles& game, int x, int y, CPicture* backPicture)
    : CCommonDataFile(game) {
  x_ = x;
  y_ = y;
  back_ = backPicture;
  setup_ = game ? game.saves->GetSaveSlotLayout() : nullptr;
  if (setup_) layout_ = setup_->GetValues();
  const SlotLayoutValues& v = layout_;
  if (game && (v.gameYearPrintFlag || v.gameDatePrintFlag || v.gameWeekPrintFlag)) {
    yearVar_ = game.variables->GetVarNumber("year");
    dateVar_ = game.variables->GetVarNumber("date");
  }
}

int CCommonDataFile::HitTest(int x, int y) {
  const int dx = x - x_, dy = y - y_;
  return dx >= 0 && dx < layout_.areaSizeX && dy >= 0 && dy < layout_.areaSizeY ? 1 : 0;
}

void CCommonDataFile::ResetAnime() { std::fill(std::begin(anime_), std::end(anime_), 0); }

int64_t CCommonDataFile::StepCursor(const SlotCursorAnime& a, int64_t counter) {
  if (a.pattern <= 1) return counter;
  const int64_t length = Cycle(a) * std::max(a.speed, 1);
  const int64_t next = counter + 1;
  if (IsOnce(a.type)) return std::min(next, length);
  return next % length;
}

SlotCursorFrame CCommonDataFile::CursorFrame(const SlotCursorAnime& a, int64_t counter) {
  SlotCursorFrame frame;
  if (a.pattern <= 1) return frame;
  const int64_t n = a.pattern, s = std::max(a.speed, 1), cycle = Cycle(a);
  const int64_t k = std::max<int64_t>(counter, 0);
  int64_t pattern = k / s, next = pattern + 1;
  if (IsOnce(a.type)) {
    pattern = std::min(pattern, cycle - 1);
    next = std::min(next, cycle - 1);
  }
  pattern %= cycle;
  next %= cycle;
  auto mirror = [&](int64_t step) { return IsBackAndForth(a.type) && step >= n ? 2 * n - 2 - step : step; };
  frame.pattern = static_cast<int>(mirror(pattern));
  frame.next = static_cast<int>(mirror(next));
  frame.blend = a.type < 5 ? 100 : static_cast<int>((s - k % s) * 100 / s);
  return frame;
}

const SlotCursorAnime& CCommonDataFile::CursorAnime(int i) const {
  const SlotCursorAnime* sets[3] = {layout_.saveAnime, layout_.loadAnime, layout_.overwriteAnime};
  return sets[i % 3][i / 3];
}

void CCommonDataFile::AdvanceAnime(int i) {
  if (i < 0 || i >= kAnimeCount) return;
  anime_[i] = StepCursor(CursorAnime(i), anime_[i]);
}

SlotCursorFrame CCommonDataFile::CalcuAnimeFrame(int i) const {
  if (i < 0 || i >= kAnimeCount) return {};
  return CursorFrame(CursorAnime(i), anime_[i]);
}

void CCommonDataFile::Print(int cursorState, int mode, int slotLabel, int loadOrSave,
                            int lastSaved) {
  const SlotLayoutValues& v = layout_;
  const int x = x_, y = y_;
  // Background and base.
  if (back_) back_->Blt(x, y, x, y, v.areaSizeX, v.areaSizeY, 0);
  if (v.basePrintFlag && setup_) {
    const int quickOn = loadOrSave ? quickSaveEnable_ : quickLoadEnable_;
    const int quick = quickOn && GetPeekedSlot() == v.quickSlotNumber ? 1 : 0;
    if (CPicture* base = setup_->GetBasePicture(loadOrSave, quick))
      base->Blt(x, y, 0, 0, v.areaSizeX, v.areaSizeY, 1);
  }
  // What the slot holds.
  if (HasData() && setup_) {
    PrintThumbnail(x, y);
    if (v.numberPrintFlag && slotLabel >= 0)
      if (CNumberPrint* p = setup_->GetNumberPrinter())
        p->Print(x + v.numberPrintX, y + v.numberPrintY, slotLabel);
    if (v.serialPrintFlag)
      if (CNumberPrint* p = setup_->GetSerialPrinter())
        p->Print(x + v.serialPrintX, y + v.serialPrintY, GetPeekedSlot() + 1);
    if (v.kazariPrintFlag)
      if (CPicture* kazari = setup_->GetKazariPicture())
        kazari->Blt(x + v.kazariPrintX, y + v.kazariPrintY, 0, 0, v.kazariSizeX, v.kazariSizeY, 1);
    const int special = WordAt(GetPeekedStatus() + kSpecialNumberOffset);
    PrintExtraPicture(x, y, special);
    if (v.specialNumberPrintFlag && special >= v.specialNumberPrintLimit)
      if (CNumberPrint* p = setup_->GetSpecialNumberPrinter())
        p->Print(x + v.specialNumberPrintX, y + v.specialNumberPrintY, special);
    if (v.saveTimePrintFlag) PrintSaveTime(x, y);
    PrintGameDate(x, y);
    PrintTexts(x, y);
    if (lastSaved > 0)
      if (CAnimePart* anime = setup_->GetLastSaveAnime()) anime->PrintAt(x, y);
    PrintMark(x, y);
  } else if (IsDamaged() && setup_) {
    // A file the slot cannot use is never shown as an empty slot: it takes
    // the layout's bad mark, and a layout without one gets the damaged line.
    if (setup_->GetBadPicture())
      PrintMark(x, y);
    else
      PrintDamagedLine(x, y);
  }
  // The cursor.
  if (cursorState > 0) PrintCursor(x, y, cursorState, mode);
  if (screen_)
    screen_->AddUpdateRect(platform::Rect{x, y, x + v.areaSizeX, y + v.areaSizeY});
  else
    CScreenBuffer::AddDirtyRect(x, y, v.areaSizeX, v.areaSizeY);
}

void CCommonDataFile::PrintThumbnail(int x, int y) {
  const SlotLayoutValues& v = layout_;
  const int width = GetThumbnailWidth(), height = GetThumbnailHeight();
  if (width <= 0 || height <= 0) return;
  if (thumbnailStale_ || !thumbnailPicture_) {
    thumbnailPicture_ = std::make_unique<CPicture>(width, height, 0);
    uint32_t* pixels = thumbnailPicture_->GetPixelBuffer();
    if (!pixels) return;
    std::copy(GetThumbnail().begin(), GetThumbnail().end(), pixels);
    thumbnailStale_ = false;
  }
  // The area shows the peeked picture, never more than it holds.
  const int w = std::min(v.picSizeX, width), h = std::min(v.picSizeY, height);
  if (w <= 0 || h <= 0) return;
  if (v.picPrintType == 1)
    thumbnailPicture_->TransLucentBlt(x + v.picPrintX, y + v.picPrintY, 0, 0, w, h, 100);
  else
    thumbnailPicture_->Blt(x + v.picPrintX, y + v.picPrintY, 0, 0, w, h, 0);
}

void CCommonDataFile::PrintExtraPicture(int x, int y, int special) {
  const SlotLayoutValues& v = layout_;
  if (!v.addPicPrintFlag) return;
  if (v.addPicWithSpecialFlag && special < v.specialNumberPrintLimit) return;
  CPicture* picture = setup_->GetAddPicture();
  if (!picture || v.addPicSizeX <= 0 || v.addPicSizeY <= 0) return;
  int64_t sx = 0, sy = 0;
  if (v.addPicMultiFlag) {
    // A row of 0 or fewer cells counts as one.
    const int columns = std::max(v.addPicMultiNumberX, 1);
    if (special < 0) return;
    sx = static_cast<int64_t>(special % columns) * v.addPicSizeX;
    sy = static_cast<int64_t>(special / columns) * v.addPicSizeY;
  }
  // A cell outside the picture draws nothing.
  if (sx + v.addPicSizeX > picture->GetWidth() || sy + v.addPicSizeY > picture->GetHeight()) return;
  picture->Blt(x + v.addPicPrintX, y + v.addPicPrintY, static_cast<int>(sx), static_cast<int>(sy),
               v.addPicSizeX, v.addPicSizeY, 1);
}

void CCommonDataFile::PrintSaveTime(int x, int y) {
  const SlotLayoutValues& v = layout_;
  CNumberPrint* four = setup_->GetSaveTimePrinter4();
  CNumberPrint* two = setup_->GetSaveTimePrinter2();
  if (!four || !two) return;
  const uint8_t* t = GetPeekedStatus() + kSaveTimeOffset;
  const int X = x + v.saveTimePrintX, Y = y + v.saveTimePrintY, N = v.saveTimeFontNextX;
  four->Print(X, Y, WordAt(t));
  two->PrintChar(X + 4 * N, Y, 11);
  two->Print(X + 5 * N, Y, WordAt(t + 4));
  two->PrintChar(X + 7 * N, Y, 11);
  two->Print(X + 8 * N, Y, WordAt(t + 8));
  two->Print(X + 11 * N, Y, WordAt(t + 16));
  two->PrintChar(X + 13 * N, Y, 10);
  two->Print(X + 14 * N, Y, WordAt(t + 20));
}

void CCommonDataFile::PrintGameDate(int x, int y) {
  const SlotLayoutValues& v = layout_;
  if (!v.gameYearPrintFlag && !v.gameDatePrintFlag && !v.gameWeekPrintFlag) return;
  auto var = [&](int n) {
    return n >= 0 && n < CVariableServices::kVarCount ? WordAt(GetPeekedGameVar() + 32 + 4 * n) : 0;
  };
  const int year = var(yearVar_), date = var(dateVar_);
  const int month = date / 100, day = date % 100;
  if (v.gameYearPrintFlag)
    if (CNumberPrint* p = setup_->GetGameYearPrinter())
      p->Print(x + v.gameTimePrintX, y + v.gameTimePrintY, year);
  if (v.gameDatePrintFlag) {
    CNumberPrint* m = setup_->GetGameMonthPrinter();
    CNumberPrint* d = setup_->GetGameDayPrinter();
    if (m) {
      m->Print(x + v.gameMonthPrintX, y + v.gameMonthPrintY, month);
      if (v.gameDateSlashPrintFlag)
        m->PrintChar(x + v.gameMonthPrintX + 2 * v.gameTimeFontNextX, y + v.gameMonthPrintY, 11);
    }
    if (d) d->Print(x + v.gameDayPrintX, y + v.gameDayPrintY, day);
  }
  if (v.gameWeekPrintFlag)
    if (CNumberPrint* w = setup_->GetGameWeekPrinter()) {
      const int wx = x + v.gameWeekPrintX, wy = y + v.gameWeekPrintY, next = v.gameWeekFontSizeX;
      w->Print(wx, wy, Weekday(year, month, day));
      // The suffix glyphs: a flag v > 0 draws symbol v + 9, as the date printer does.
      if (v.gameWeekYouPrintFlag > 0) w->PrintChar(wx + next, wy, v.gameWeekYouPrintFlag + 9);
      if (v.gameWeekBiPrintFlag > 0) w->PrintChar(wx + 2 * next, wy, v.gameWeekBiPrintFlag + 9);
    }
}

void CCommonDataFile::PrintTexts(int x, int y) {
  const SlotLayoutValues& v = layout_;
  CTextPrint* text = text_ ? text_->GetTextBuffer() : nullptr;
  if (!text) return;
  auto shade = [](int value) { return value != 0 ? value : -1; };
  if (v.commentPrintFlag) {
    const TextField comment(GetPeekedStatus() + kCommentOffset, kCommentSize);
    if (comment.text[0])
      text->Print(x + v.commentPrintX, y + v.commentPrintY, comment.text, v.commentFontSize,
                  v.commentColorR, v.commentColorG, v.commentColorB, v.commentSpaceX, -1,
                  shade(v.commentColorShade));
  }
  if (!v.textPrintFlag) return;
  for (int i = 0; i < v.textPrintNumber && i < 256; ++i) {
    // Lines past the fourth repeat the first.
    const int line = i < 4 ? i : 0;
    const TextField status(GetPeekedStatus() + kStatusTextOffset + kStatusTextSize * line,
                           kStatusTextSize);
    if (!status.text[0]) continue;
    text->Print(x + v.textPrintX, y + v.textPrintY + i * v.textNextY, status.text, v.textFontSize,
                v.textColorR, v.textColorG, v.textColorB, v.textSpaceX, -1,
                shade(v.textColorShade));
  }
}

void CCommonDataFile::PrintDamagedLine(int x, int y) {
  const SlotLayoutValues& v = layout_;
  CTextPrint* text = text_ ? text_->GetTextBuffer() : nullptr;
  if (!text) return;
  auto shade = [](int value) { return value != 0 ? value : -1; };
  // In the comment's place and look; else in the first status line's; else
  // over the thumbnail's place in the comment's look.
  if (v.commentPrintFlag || !v.textPrintFlag) {
    const int px = v.commentPrintFlag ? v.commentPrintX : v.picPrintX;
    const int py = v.commentPrintFlag ? v.commentPrintY : v.picPrintY;
    text->Print(x + px, y + py, kDamagedText, v.commentFontSize, v.commentColorR, v.commentColorG,
                v.commentColorB, v.commentSpaceX, -1, shade(v.commentColorShade));
  } else {
    text->Print(x + v.textPrintX, y + v.textPrintY, kDamagedText, v.textFontSize, v.textColorR,
                v.textColorG, v.textColorB, v.textSpaceX, -1, shade(v.textColorShade));
  }
}

void CCommonDataFile::PrintMark(int x, int y) {
  const SlotLayoutValues& v = layout_;
  CPicture* mark = nullptr;
  int mx = 0, my = 0;
  switch (CheckVersion()) {
    case -1:
      mark = setup_->GetErrorPicture();
      mx = v.errorPrintX;
      my = v.errorPrintY;
      if (!mark) {
        mark = setup_->GetBadPicture();
        mx = v.badPrintX;
        my = v.badPrintY;
      }
      break;
    case 2:
      mark = setup_->GetBadPicture();
      mx = v.badPrintX;
      my = v.badPrintY;
      break;
    case 1:
      mark = setup_->GetOldPicture();
      mx = v.oldPrintX;
      my = v.oldPrintY;
      break;
    default: break;
  }
  if (mark) mark->Put(x + mx, y + my, 1);
}

void CCommonDataFile::PrintCursor(int x, int y, int cursorState, int mode) {
  const SlotLayoutValues& v = layout_;
  const int cx = x + v.selectPrintX, cy = y + v.selectPrintY;
  switch (v.selectPrintMode) {
    case 0:
      if (mode % 2 == 0)
        CAllGeo::TransBoxFill(cx, cy, v.selectSizeX, v.selectSizeY, v.selectColorR, v.selectColorG,
                              v.selectColorB, v.selectPercent);
      break;
    case 1:
      if (mode % 2 == 0 && setup_)
        if (CPicture* p = setup_->GetSelectPicture()) p->Put(cx, cy, 1);
      break;
    case 2: {
      if (cursorState > 3 || !setup_) break;
      const int i = mode > 0 ? cursorState + 2 : cursorState - 1;
      AdvanceAnime(i);
      const SlotCursorFrame f = CalcuAnimeFrame(i);
      CPicture* picture = cursorState == 1   ? setup_->GetSaveCursorPicture()
                          : cursorState == 2 ? setup_->GetLoadCursorPicture()
                                             : setup_->GetOverwriteCursorPicture();
      if (!picture) break;
      const int column = mode > 0 ? v.selectSizeX : 0;
      const int w = v.selectSizeX, h = v.selectSizeY;
      if (f.blend < 100 && picture->GetMaskFlag())
        picture->ChangeTransLucentBlt(cx, cy, column, f.pattern * h, w, h, f.blend, 100 - f.blend,
                                      picture, column, f.next * h);
      else
        picture->Blt(cx, cy, column, f.pattern * h, w, h, 1);
      break;
    }
    default: break;
  }
}
