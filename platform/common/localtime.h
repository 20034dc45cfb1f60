// Calendar time for the backends: a broken-down time as the engine sees it.
#pragma once

#include <ctime>

#include "platform/backend.h"

namespace platform {

inline LocalTime ToLocalTime(const std::tm& t, int millisecond) {
  LocalTime out;
  out.year = t.tm_year + 1900;
  out.month = t.tm_mon + 1;
  out.day = t.tm_mday;
  out.weekday = t.tm_wday;
  out.hour = t.tm_hour;
  out.minute = t.tm_min;
  out.second = t.tm_sec;
  out.millisecond = millisecond;
  return out;
}

}  // namespace platform
