#include "message/cutin.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "graphics/picture.h"
#include "message/syspicture.h"
#include "message/textstate.h"
#include "platform/system.h"
#include "setup/namelist.h"
#include "setup/text.h"

namespace {

const char kErrorName[] = "\x83\x47\x83\x89\x81\x5B";  // エラー
const char kErrorTag[] = "ta_errortagname";
constexpr uint32_t kWhite = MakeColourWord(255, 255, 255);

// A token read as a decimal number, as every list value is read (a token
// that is not a number is 0); the fallback for a missing one.
int TokenInt(const CNameList& list, int token, int fallback) {
  const char* text = list.GetName(token);
  return text ? setup::ParseDecimal(text) : fallback;
}

int Clamp32(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

}  // namespace

// --- CCutinWindow ---

CCutinWindow::CCutinWindow(const char* base, int slots) {
  base_ = base ? base : "ta_cutinwindow";
  if (base_.size() > 255) base_.resize(255);
  if (slots < 1 || slots > kMaxSlots) slots = 1;
  slots_.resize(static_cast<size_t>(slots));
  numbers_.assign(static_cast<size_t>(slots), -1);
  slots_[0] = std::make_unique<CPicture>();
}

CCutinWindow::~CCutinWindow() { Release(); }

void CCutinWindow::Release() {
  slots_.clear();
  numbers_.clear();
  current_ = -1;
}

int CCutinWindow::GetSlotNumber(int slot) const {
  return slot >= 0 && slot < GetSlotCount() ? numbers_[slot] : -1;
}

int CCutinWindow::SetNumber(int n) {
  if (numbers_.empty()) return 0;
  const auto held = std::find(numbers_.begin(), numbers_.end(), n);
  if (n >= 0 && held != numbers_.end()) {
    current_ = static_cast<int>(held - numbers_.begin());
    return 1;
  }
  const auto free = std::find(numbers_.begin(), numbers_.end(), -1);
  const int slot = free != numbers_.end() ? static_cast<int>(free - numbers_.begin())
                   : current_ >= 0        ? (current_ + 1) % GetSlotCount()
                                          : 0;
  char name[300];
  std::snprintf(name, sizeof name, "%s%d", base_.c_str(), n);
  if (!LoadSysPicture(&slots_[slot], name)) {
    numbers_[slot] = -1;
    current_ = -1;
    return 0;
  }
  numbers_[slot] = n;
  current_ = slot;
  return 1;
}

void CCutinWindow::Print(int x, int y) {
  if (current_ < 0 || !slots_[current_]) return;
  CPicture* p = slots_[current_].get();
  if (percent_ >= 100)
    p->Blt(x, y, 0, 0, p->GetWidth(), p->GetHeight(), 1);
  else
    p->TransLucentBlt3(x, y, 0, 0, p->GetWidth(), p->GetHeight(), percent_);
}

// --- CCutinChara ---

CCutinChara::CCutinChara(const char* file) : list_(std::make_unique<CNameList>()) {
  if (!list_->Load(file ? file : "spt\\cutinChara.xtx", false, true)) list_->Free();
  rowCount_ = list_->GetCount() / kColumns;
  rows_.assign(static_cast<size_t>(rowCount_), Row());
  for (int r = 1; r < rowCount_; ++r) {
    Row& row = rows_[r];
    int* fields[] = {&row.textX, &row.textY,   &row.stepX,   &row.stepY,
                     &row.kind,  &row.marginX, &row.marginY, &row.red,
                     &row.green, &row.blue,    &row.percent, &row.sizeChange};
    for (int k = 0; k < 12; ++k) *fields[k] = TokenInt(*list_, r * kColumns + 2 + k, *fields[k]);
  }
}

CCutinChara::~CCutinChara() { Release(); }

void CCutinChara::Release() {
  if (list_) list_->Free();
  rows_.clear();
  rowCount_ = 0;
}

const CCutinChara::Row& CCutinChara::At(int row) const {
  static const Row kDefaults;
  return Exists(row) ? rows_[row] : kDefaults;
}

const char* CCutinChara::GetName(int row) const {
  return Exists(row) ? list_->GetName(row * kColumns) : kErrorName;
}

const char* CCutinChara::GetTag(int row) const {
  return Exists(row) ? list_->GetName(row * kColumns + 1) : kErrorTag;
}

int CCutinChara::IsNamed(int row) const {
  if (!Exists(row)) return 1;
  const char* name = GetName(row);
  return name && name[0] == '*' ? 0 : 1;
}

platform::Point CCutinChara::GetTextPos(int row) const { return {At(row).textX, At(row).textY}; }
platform::Point CCutinChara::GetLineStep(int row) const { return {At(row).stepX, At(row).stepY}; }
int CCutinChara::GetKind(int row) const { return At(row).kind; }
platform::Point CCutinChara::GetMargin(int row) const { return {At(row).marginX, At(row).marginY}; }
int CCutinChara::GetBoxRed(int row) const { return At(row).red; }
int CCutinChara::GetBoxGreen(int row) const { return At(row).green; }
int CCutinChara::GetBoxBlue(int row) const { return At(row).blue; }
int CCutinChara::GetBoxPercent(int row) const { return At(row).percent; }
int CCutinChara::GetSizeChange(int row) const { return At(row).sizeChange; }

platform::Point CCutinChara::GetWindowPos(int row) const {
  const Row& r = At(row);
  return {Clamp32(static_cast<int64_t>(r.textX) - r.marginX),
          Clamp32(static_cast<int64_t>(r.textY) - r.marginY)};
}

platform::Point CCutinChara::GetWindowSize(int row, int fontSize, int lines, int longest) const {
  // Each term is held to 32 bits before they are added, so no sum overflows.
  const Row& r = At(row);
  const int64_t cell = Clamp32(static_cast<int64_t>(fontSize) + r.sizeChange + 1);
  const int64_t steps = Clamp32(static_cast<int64_t>(lines) - 1);
  const int64_t width = r.kind > 1 ? r.kind
                                   : static_cast<int64_t>(Clamp32(longest * cell)) +
                                         Clamp32(2 * static_cast<int64_t>(r.marginX)) +
                                         Clamp32(steps * r.stepX);
  const int64_t height = static_cast<int64_t>(Clamp32(steps * r.stepY)) + cell +
                         Clamp32(2 * static_cast<int64_t>(r.marginY));
  return {Clamp32(width), Clamp32(height)};
}

int CCutinChara::FindFirst(const char* name) {
  findName_ = name ? name : "";
  findRow_ = 0;
  return FindNext();
}

int CCutinChara::FindNext() {
  if (findRow_ < 0) return -1;
  for (int r = findRow_ + 1; r < rowCount_; ++r) {
    const char* name = list_->GetName(r * kColumns);
    if (name && (name[0] == '*' || findName_ == name)) {
      findRow_ = r;
      return r;
    }
  }
  findRow_ = -1;
  return -1;
}

// --- CNameColorList ---

CNameColorList::CNameColorList() = default;

CNameColorList::~CNameColorList() { Release(); }

void CNameColorList::Release() {
  list_.reset();
  colours_.clear();
  count_ = 0;
}

int CNameColorList::Load(const char* file) {
  Release();
  auto list = std::make_unique<CNameList>();
  if (!file || !list->Load(file, false, true)) return 0;
  if (list->GetCount() < 4) {
    if (list->GetCount() > 0)
      platform::ErrorOutput((std::string(file) + ": " + std::to_string(list->GetCount()) +
                             " values hold no whole row (a name and three colours); no names are coloured")
                                .c_str());
    return 0;
  }
  list_ = std::move(list);
  count_ = list_->GetCount() / 4;
  ReportDamage(file);
  colours_.resize(static_cast<size_t>(count_));
  for (int i = 0; i < count_; ++i) {
    colours_[i] = MakeColourWord(TokenInt(*list_, 4 * i + 1, 255), TokenInt(*list_, 4 * i + 2, 255),
                                 TokenInt(*list_, 4 * i + 3, 255));
  }
  return 1;
}

// Rows are a name and three colour values 0..255; what does not fit gets a
// line on stderr naming the file and the row (a colour that is not a number
// reads as 0, one past 255 keeps its low 8 bits).
void CNameColorList::ReportDamage(const char* file) const {
  const int tokens = list_->GetCount();
  if (tokens % 4 != 0)
    platform::ErrorOutput((std::string(file) + ": row " + std::to_string(count_ + 1) + " has " +
                           std::to_string(tokens % 4) + " of its 4 values (a name and three colours); it is left out")
                              .c_str());
  for (int i = 0; i < count_; ++i)
    for (int k = 1; k <= 3; ++k) {
      const char* text = list_->GetName(4 * i + k);
      const char* p = text;
      if (*p == '+') ++p;
      bool digits = *p != '\0' && std::strlen(p) <= 3;
      for (const char* q = p; *q; ++q) digits &= *q >= '0' && *q <= '9';
      if (digits && setup::ParseDecimal(text) <= 255) continue;
      platform::ErrorOutput((std::string(file) + ": row " + std::to_string(i + 1) + " (" + list_->GetName(4 * i) +
                             "): the colour value \"" + text + "\" is not a number 0..255")
                                .c_str());
    }
}

int CNameColorList::Find(const char* name) const {
  if (!list_ || !name) return -1;
  for (int i = 0; i < count_; ++i) {
    const char* entry = list_->GetName(4 * i);
    if (entry && std::strcmp(entry, name) == 0) return i;
  }
  return -1;
}

uint32_t CNameColorList::GetColor(int entry) const {
  return entry >= 0 && entry < count_ ? colours_[entry] : kWhite;
}
