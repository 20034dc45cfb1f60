#include "widget/dateprint.h"

#include <cstdint>
#include <cstdio>
#include <new>

#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "widget/listkeys.h"
#include "widget/numberprint.h"
#include "widget/weekday.h"

namespace {

// A separator value v > 0 is glyph v + 9 of the font.
constexpr int kSymbolBase = 9;

CNumberPrint* NewPrinter(CPicture* font, int w, int h, int keta, int nextX, int upZero) {
  return new (std::nothrow) CNumberPrint(font, w, h, keta, nextX, upZero, 1, 0);
}

void PrintSeparator(CNumberPrint* printer, int x, int y, int value) {
  if (printer && value) printer->PrintChar(x, y, PlaceAt(value, 1, kSymbolBase), 0);
}

}  // namespace

CDatePrint::CDatePrint(CNameList* list, const char* prefix, CPicture* backPicture)
    : backPicture_(backPicture), restore_(backPicture ? 1 : 0) {
  auto key = [&](const char* name, int fallback) { return ReadListInt(list, prefix, name, fallback); };
  yearPrint_ = key("YearPrintFlag", 0);
  monthPrint_ = key("MonthPrintFlag", 1);
  dayPrint_ = key("DayPrintFlag", 1);
  weekPrint_ = key("WeekPrintFlag", 1);
  dateSlash_ = key("DateSlashPrintFlag", 1);
  yearSlash_ = key("YearSlashPrintFlag", PlaceAt(0, int64_t{yearPrint_} * 2, dateSlash_));
  monthSlash_ = key("MonthSlashPrintFlag", PlaceAt(0, int64_t{monthPrint_} * 2, dateSlash_));
  daySlash_ = key("DaySlashPrintFlag", 0);
  weekYou_ = key("WeekYouPrintFlag", 1);
  weekBi_ = key("WeekBiPrintFlag", 2);

  const bool timeDrawn = yearPrint_ || monthPrint_ || dayPrint_;
  if (timeDrawn) {
    char fontKey[200];
    std::snprintf(fontKey, sizeof fontKey, "%sTimeFont", prefix ? prefix : "");
    timeFont_.reset(NewSysPicture(ReadListString(list, "filename", fontKey, "ta_font")));
    timeFontSize_ = {key("TimeFontSizeX", 16), key("TimeFontSizeY", 16)};
    timeNextX_ = key("TimeFontNextX", timeFontSize_.x);
  }
  Pos p{key("TimePrintX", 0), key("TimePrintY", 0)};
  if (yearPrint_) {
    yearUpZero_ = key("YearUpZeroPrintFlag", 1);
    yearPos_ = {key("YearPrintX", p.x), key("YearPrintY", p.y)};
    yearPrinter_.reset(NewPrinter(timeFont_.get(), timeFontSize_.x, timeFontSize_.y, 4, timeNextX_,
                                  yearUpZero_));
    p = {PlaceAt(yearPos_.x, 5, timeNextX_), yearPos_.y};
  }
  if (monthPrint_) {
    monthUpZero_ = key("MonthUpZeroPrintFlag", 1);
    monthPos_ = {key("MonthPrintX", p.x), key("MonthPrintY", p.y)};
    monthPrinter_.reset(NewPrinter(timeFont_.get(), timeFontSize_.x, timeFontSize_.y, 2,
                                   timeNextX_, monthUpZero_));
    p = {PlaceAt(monthPos_.x, 3, timeNextX_), monthPos_.y};
  }
  if (dayPrint_) {
    dayUpZero_ = key("DayUpZeroPrintFlag", 1);
    dayPos_ = {key("DayPrintX", p.x), key("DayPrintY", p.y)};
    dayPrinter_.reset(NewPrinter(timeFont_.get(), timeFontSize_.x, timeFontSize_.y, 2, timeNextX_,
                                 dayUpZero_));
    p = {PlaceAt(dayPos_.x, daySlash_ ? 3 : 2, timeNextX_), dayPos_.y};
  }
  if (weekPrint_) {
    char fontKey[200];
    std::snprintf(fontKey, sizeof fontKey, "%sWeekFont", prefix ? prefix : "");
    weekFont_.reset(NewSysPicture(ReadListString(list, "filename", fontKey, "ta_font")));
    // The time font's sizes as read, when there is a time font.
    weekFontSize_ = {key("WeekFontSizeX", timeDrawn ? timeFontSize_.x : 16),
                     key("WeekFontSizeY", timeDrawn ? timeFontSize_.y : 16)};
    weekNextX_ = key("WeekFontNextX", weekFontSize_.x);
    weekPos_ = {key("WeekPrintX", p.x), key("WeekPrintY", p.y)};
    weekPrinter_.reset(
        NewPrinter(weekFont_.get(), weekFontSize_.x, weekFontSize_.y, 1, weekNextX_, 0));
  }
  datePos_ = {key("DatePrintX", 0), key("DatePrintY", 0)};
  if (restore_ && ReadListInt(list, "", "mustAllPrint", 0)) restore_ = 0;
}

CDatePrint::~CDatePrint() { Release(); }

void CDatePrint::Release() {
  yearPrinter_.reset();
  monthPrinter_.reset();
  dayPrinter_.reset();
  weekPrinter_.reset();
  timeFont_.reset();
  weekFont_.reset();
}

void CDatePrint::RestoreUnder(int x, int y, int w, int h) {
  if (!restore_ || !backPicture_) return;
  backPicture_->Blt(x, y, x, y, w, h, 0);
  CScreenBuffer::AddDirtyRect(x, y, w, h);
}

void CDatePrint::PrintAt(int x, int y, int year, int month, int day) {
  const int next = timeNextX_, sizeY = timeFontSize_.y;
  // A part's area: its glyphs plus one place for its separator.
  auto width = [&](int places, int separator) {
    return PlaceAt(PlaceAt(timeFontSize_.x, places, next), separator ? 1 : 0, next);
  };
  auto at = [&](Pos pos) { return Pos{PlaceAt(x, 1, pos.x), PlaceAt(y, 1, pos.y)}; };
  const Pos yearAt = at(yearPos_), monthAt = at(monthPos_), dayAt = at(dayPos_), weekAt = at(weekPos_);
  // Every part's background goes back before any part draws, so parts
  // whose areas overlap keep each other's glyphs.
  if (yearPrinter_) RestoreUnder(yearAt.x, yearAt.y, width(3, yearSlash_), sizeY);
  if (monthPrinter_) RestoreUnder(monthAt.x, monthAt.y, width(1, monthSlash_), sizeY);
  if (dayPrinter_) RestoreUnder(dayAt.x, dayAt.y, width(1, daySlash_), sizeY);
  if (weekPrinter_)
    RestoreUnder(weekAt.x, weekAt.y, PlaceAt(weekFontSize_.x, 2, weekNextX_), weekFontSize_.y);

  if (yearPrinter_) {
    yearPrinter_->Print(yearAt.x, yearAt.y, year);
    PrintSeparator(yearPrinter_.get(), PlaceAt(yearAt.x, 4, next), yearAt.y, yearSlash_);
  }
  if (monthPrinter_) {
    monthPrinter_->Print(monthAt.x, monthAt.y, month);
    PrintSeparator(monthPrinter_.get(), PlaceAt(monthAt.x, 2, next), monthAt.y, monthSlash_);
  }
  if (dayPrinter_) {
    dayPrinter_->Print(dayAt.x, dayAt.y, day);
    PrintSeparator(dayPrinter_.get(), PlaceAt(dayAt.x, 2, next), dayAt.y, daySlash_);
  }
  if (weekPrinter_) {
    weekPrinter_->Print(weekAt.x, weekAt.y, Weekday(year, month, day));
    PrintSeparator(weekPrinter_.get(), PlaceAt(weekAt.x, 1, weekNextX_), weekAt.y, weekYou_);
    PrintSeparator(weekPrinter_.get(), PlaceAt(weekAt.x, 2, weekNextX_), weekAt.y, weekBi_);
  }
}

void CDatePrint::Print(int year, int month, int day) {
  PrintAt(datePos_.x, datePos_.y, year, month, day);
}

void CDatePrint::Print(int month, int day) { PrintAt(datePos_.x, datePos_.y, 2000, month, day); }

void CDatePrint::Print(int monthDay) { Print(monthDay / 100, monthDay % 100); }

void CDatePrint::PrintAt(int x, int y, int month, int day) { PrintAt(x, y, 2000, month, day); }

void CDatePrint::PrintAt(int x, int y, int monthDay) {
  PrintAt(x, y, 2000, monthDay / 100, monthDay % 100);
}
