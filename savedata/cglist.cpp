#include "savedata/cglist.h"

#include <cstdint>
#include <cstdio>

#include "platform/codec.h"
#include "savedata/datautil.h"
#include "savedata/systemfile.h"

namespace {

// CP932 arrows.
constexpr int kArrowUp = 0x81AA;
constexpr int kArrowDown = 0x81AB;
constexpr int kArrowLeft = 0x81A9;
constexpr int kArrowRight = 0x81A8;

const char* SkipMarks(const char* entry) {
  if (*entry == '@') ++entry;
  if (*entry == '!') ++entry;
  return entry;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string CGListFileName(int n) {
  if (n < 1 || n > CCGList::kMaxLists) return {};
  char name[32];
  if (n <= 99)
    std::snprintf(name, sizeof name, "spt\\cglist%d%d.xtx", n / 10, n % 10);
  else
    std::snprintf(name, sizeof name, "spt\\cglist%c%d.xtx", 'A' + (n - 100) / 10, n % 10);
  return name;
}

CCGList::CCGList(CCommonSystemFile* systemFile) : systemFile_(systemFile) {
  if (GetCGListCount() > 0) Load(GetCGListCount());
}

CCGList::~CCGList() = default;

void CCGList::Load(int n) {
  if (loaded_ || n <= 0) return;
  loaded_ = true;
  if (n > kMaxLists) n = kMaxLists;
  for (int k = 1; k <= n; ++k) {
    auto list = std::make_unique<CNameList>();
    list->Load(CGListFileName(k).c_str(), false, true);
    lists_.push_back(std::move(list));
  }
}

int CCGList::GetCGCount(int c) const {
  if (c < 0 || c >= GetCharaCount()) return 0;
  return lists_[static_cast<size_t>(c)]->GetCount();
}

const char* CCGList::GetCGName(int c, int i, int strip) const {
  if (c < 0 || c >= GetCharaCount()) return nullptr;
  const char* entry = lists_[static_cast<size_t>(c)]->GetName(i);
  if (!entry || !strip) return entry;
  return StripPrefix(entry);
}

const char* CCGList::StripPrefix(const char* entry) {
  const char* p = SkipMarks(entry);
  if (*p != '[') return p;
  ++p;
  // Step by characters, not bytes: a trail byte may equal ']'.
  while (*p && *p != ']') {
    p += platform::IsCp932LeadByte(static_cast<unsigned char>(*p)) && p[1] ? 2 : 1;
  }
  return *p == ']' ? p + 1 : p;
}

int CCGList::ParseAttribute(const char* entry, int type) {
  if (type < kHorizontal || type > kVerticalUnderscore) return 1;
  int values[8] = {-1, -1, 1, 1, -1, -1, -1, -1};
  const char* p = entry ? SkipMarks(entry) : "";
  if (*p == '[') {
    ++p;
    enum { kPlain, kColon, kUnderscore } kind = kPlain;
    int direction = -1;  // 0 up, 1 down, 2 left, 3 right
    while (*p && *p != ']') {
      const auto b = static_cast<unsigned char>(*p);
      if (platform::IsCp932LeadByte(b)) {
        if (!p[1]) break;
        const int code = b << 8 | static_cast<unsigned char>(p[1]);
        p += 2;
        int arrow = -1;
        if (code == kArrowUp) arrow = 0;
        if (code == kArrowDown) arrow = 1;
        if (code == kArrowLeft) arrow = 2;
        if (code == kArrowRight) arrow = 3;
        if (arrow < 0) continue;
        direction = arrow;
        kind = kPlain;
        values[arrow < 2 ? kVertical : kHorizontal] = arrow % 2;
      } else if (b == ':') {
        kind = kColon;
        ++p;
      } else if (b == '_') {
        kind = kUnderscore;
        ++p;
      } else if (IsDigit(*p)) {
        uint32_t number = 0;
        while (IsDigit(*p)) number = number * 10u + static_cast<uint32_t>(*p++ - '0');
        if (direction < 0) continue;
        const bool vertical = direction < 2;
        int slot = vertical ? kVerticalCount : kHorizontalCount;
        if (kind == kColon) slot = vertical ? kVerticalColon : kHorizontalColon;
        if (kind == kUnderscore) slot = vertical ? kVerticalUnderscore : kHorizontalUnderscore;
        values[slot] = static_cast<int>(number);
      } else {
        ++p;
      }
    }
  }
  return values[type];
}

int CCGList::GetCGAttribute(int type, int c, int i) const { return ParseAttribute(GetCGName(c, i, 0), type); }

int CCGList::IsCGSeen(int c, int i) const { return systemFile_ ? systemFile_->GetCGFlag(c, i) : 0; }

int CCGList::GetSeenPercent(int c) const {
  const int total = GetCGCount(c);
  int seen = 0;
  for (int i = 0; i < total; ++i) seen += IsCGSeen(c, i);
  return savedata::SeenPercent(seen, total);
}

int CCGList::GetTotalSeenPercent() const {
  int64_t total = 0, seen = 0;
  for (int c = 0; c < GetCharaCount(); ++c) {
    const int count = GetCGCount(c);
    total += count;
    for (int i = 0; i < count; ++i) seen += IsCGSeen(c, i);
  }
  return savedata::SeenPercent(seen, total);
}

int CCGList::StepToSeen(int step) {
  int64_t count = GetCGCount(chara_);
  if (count == 0) count = 1;
  for (int64_t k = 1; k <= count; ++k) {
    const int64_t j = ((cg_ + step * k) % count + count) % count;
    if (IsCGSeen(chara_, static_cast<int>(j))) {
      cg_ = static_cast<int>(j);
      return cg_;
    }
  }
  return cg_;
}

int CCGList::NextSeenCG() { return StepToSeen(1); }

int CCGList::PrevSeenCG() { return StepToSeen(-1); }

CCGList* CCGList::SetCurrentChara(int c) {
  chara_ = c;
  return this;
}

CCGList* CCGList::SetCurrentCG(int i) {
  cg_ = i;
  return this;
}
