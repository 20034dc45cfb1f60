// CHolidayList: the calendar's holidays, read from "mok\\saijitsu.xtx" as
// decimal tokens three at a time (year, month, day); a remainder is ignored.
// A missing file is reported by the list reader and leaves no holidays.
#pragma once

#include <memory>
#include <vector>

class CNameList;

class CHolidayList {
 public:
  CHolidayList();
  // From a list already read (tests, other files); the list is owned.
  explicit CHolidayList(std::unique_ptr<CNameList> list);
  ~CHolidayList();
  CHolidayList(const CHolidayList&) = delete;
  CHolidayList& operator=(const CHolidayList&) = delete;

  // 1 when the date is listed, else 0.
  int CheckHoliday(int year, int month, int day) const;
  int GetCount() const { return count_; }
  void Release();

 private:
  void Convert();

  std::unique_ptr<CNameList> list_;
  int count_ = 0;
  std::vector<int> dates_;
};
