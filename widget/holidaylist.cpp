#include "widget/holidaylist.h"

#include <new>

#include "setup/namelist.h"
#include "setup/text.h"

CHolidayList::CHolidayList() : list_(new (std::nothrow) CNameList()) {
  if (list_) list_->Load("mok\\saijitsu.xtx", false, false);
  Convert();
}

CHolidayList::CHolidayList(std::unique_ptr<CNameList> list) : list_(std::move(list)) {
  Convert();
}

CHolidayList::~CHolidayList() { Release(); }

void CHolidayList::Convert() {
  count_ = list_ ? list_->GetCount() / 3 : 0;
  dates_.assign(static_cast<size_t>(count_) * 3, 0);
  for (int i = 0; i < count_ * 3; ++i) dates_[static_cast<size_t>(i)] = setup::ParseDecimal(list_->GetName(i));
}

int CHolidayList::CheckHoliday(int year, int month, int day) const {
  for (int i = 0; i < count_; ++i) {
    const int* d = &dates_[static_cast<size_t>(i) * 3];
    if (d[0] == year && d[1] == month && d[2] == day) return 1;
  }
  return 0;
}

void CHolidayList::Release() {
  dates_.clear();
  count_ = 0;
  list_.reset();
}
