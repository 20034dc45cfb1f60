// The day of the week of a date: 0 Sunday .. 6 Saturday. The one rule of the
// date printer, the calendar and the game's "week" value. Any integers are
// accepted (dates are not validated) and the answer is always 0..6.
#pragma once

int Weekday(int year, int month, int day);
// The same in the year 2000.
int Weekday2000(int month, int day);
int Weekday2000(int monthDay);  // month * 100 + day
