// CDatePrint: a date in picture-font digits: year, month, day, each with an
// optional separator glyph after it, then the weekday glyph and two symbol
// glyphs. Every key is the prefix ("game" for the modes' date layer) plus a
// name; a separator value v > 0 draws glyph v + 9 of the part's font (2 is
// the slash).
#pragma once

#include <memory>

class CNameList;
class CPicture;
class CNumberPrint;

class CDatePrint {
 public:
  // backPicture (borrowed, may be null): drawn parts are restored from it
  // first, unless "mustAllPrint" is set.
  CDatePrint(CNameList* list, const char* prefix, CPicture* backPicture);
  ~CDatePrint();
  CDatePrint(const CDatePrint&) = delete;
  CDatePrint& operator=(const CDatePrint&) = delete;

  void PrintAt(int x, int y, int year, int month, int day);
  // The date at its own position ("<prefix>DatePrintX", "...Y").
  void Print(int year, int month, int day);
  // The forms without a year use the year 2000.
  void Print(int month, int day);
  void Print(int monthDay);
  void PrintAt(int x, int y, int month, int day);
  void PrintAt(int x, int y, int monthDay);
  void Release();

 private:
  struct Pos {
    int x = 0, y = 0;
  };
  void RestoreUnder(int x, int y, int w, int h);

  int yearPrint_ = 0, monthPrint_ = 1, dayPrint_ = 1, weekPrint_ = 1;
  int dateSlash_ = 1;
  int yearSlash_ = 0, monthSlash_ = 0, daySlash_ = 0, weekYou_ = 1, weekBi_ = 2;
  Pos yearPos_, monthPos_, dayPos_, weekPos_;
  Pos timeFontSize_{16, 16}, weekFontSize_{16, 16};
  int timeNextX_ = 16, weekNextX_ = 16;
  int yearUpZero_ = 1, monthUpZero_ = 1, dayUpZero_ = 1;
  std::unique_ptr<CPicture> timeFont_, weekFont_;
  std::unique_ptr<CNumberPrint> yearPrinter_, monthPrinter_, dayPrinter_, weekPrinter_;
  CPicture* backPicture_;
  int restore_ = 0;
  Pos datePos_;
};
