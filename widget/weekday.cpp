#include "widget/weekday.h"

#include <cstdint>

int Weekday(int year, int month, int day) {
  // 64 bits and a non-negative remainder: the values come from scripts.
  const int64_t y = month < 3 ? int64_t{year} - 1 : year;
  const int64_t m = month > 2 ? int64_t{month} : int64_t{month} + 12;
  const int64_t w = y + y / 4 + y / 400 + day + (13 * m + 8) / 5 - y / 100;
  return static_cast<int>(((w % 7) + 7) % 7);
}

int Weekday2000(int month, int day) { return Weekday(2000, month, day); }

int Weekday2000(int monthDay) { return Weekday(2000, monthDay / 100, monthDay % 100); }
