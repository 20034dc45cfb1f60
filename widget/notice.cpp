#include "widget/notice.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "graphics/picture.h"
#include "graphics/screenbuffer.h"

CNotice::CNotice(CFloatingLayerTable* table, int firstSlot, CNameList* list)
    : CFloatingLayer(table, firstSlot, 1, "notice", list) {
  int n = 1;
  GetSetupInt(&n, "noticeNumber");
  if (n < 1 || n > kMaxNotices) n = 1;
  GetSetupInt(&sameDontSet_, "sameDontSetFlag");
  notices_.resize(n);
  for (int i = 0; i < n; ++i) ReadNotice(i);
  GetSetupString(&tag_, "filenameNoticeTag");
  GetSetupInt(&sizeX_, "sizeX");
  GetSetupInt(&sizeY_, "sizeY");
  GetSetupInt(&blockX_, "blockX");
  GetSetupInt(&blockY_, "blockY");
  GetSetupInt(&bufferMax_, "bufferMax");
  // The grid's sides are divisors: below 1 they count as 1.
  blockX_ = std::max(blockX_, 1);
  blockY_ = std::max(blockY_, 1);
  if (bufferMax_ < 1 || bufferMax_ > kMaxNotices) bufferMax_ = 1;
  SetSize(sizeX_, sizeY_, 0);
  picture_ = std::make_unique<CPicture>();
}

CNotice::~CNotice() = default;

// A missing key takes the previous notice's value; notice 1 chains its
// wait and end values to its start values.
void CNotice::ReadNotice(int i) {
  Data& d = notices_[i];
  if (i > 0) d = notices_[i - 1];
  const std::string n = std::to_string(i + 1);
  auto read = [&](int* out, const char* key) { GetSetupInt(out, (key + n).c_str()); };
  read(&d.startX, "startX");
  read(&d.startY, "startY");
  if (i == 0) d.waitX = d.startX, d.waitY = d.startY;
  read(&d.waitX, "waitX");
  read(&d.waitY, "waitY");
  if (i == 0) d.endX = d.waitX, d.endY = d.waitY;
  read(&d.endX, "endX");
  read(&d.endY, "endY");
  read(&d.startTime, "startTime");
  if (i == 0) d.waitTime = d.startTime;
  read(&d.waitTime, "waitTime");
  if (i == 0) d.endTime = d.waitTime;
  read(&d.endTime, "endTime");
  read(&d.startPercent, "startPercent");
  if (i == 0) d.waitPercent = d.startPercent;
  read(&d.waitPercent, "waitPercent");
  if (i == 0) d.endPercent = d.waitPercent;
  read(&d.endPercent, "endPercent");
  read(&d.sound[0], "startSound");
  read(&d.sound[1], "waitSound");
  read(&d.sound[2], "EndSound");
}

void CNotice::GetCell(int n, int* picture, int* column, int* row) const {
  const int64_t perPicture = int64_t{blockX_} * blockY_;
  *picture = static_cast<int>(n / perPicture);
  *column = n % blockX_;
  *row = (n / blockX_) % blockY_;
}

const char* CNotice::GetLoadedName() const { return picture_->GetName(); }

void CNotice::SetNotice(int n) {
  if (n < 0 || n >= static_cast<int>(notices_.size())) return;
  if (sameDontSet_ && std::find(queue_.begin(), queue_.end(), n) != queue_.end()) return;
  bool newHead = queue_.empty();
  if (static_cast<int>(queue_.size()) >= bufferMax_) {
    queue_.erase(queue_.begin());
    newHead = true;
  }
  queue_.push_back(n);
  if (newHead) PrepareHead();
}

void CNotice::Clear() { queue_.clear(); }

void CNotice::PrepareHead() {
  int q = 0, column = 0, row = 0;
  GetCell(queue_[0], &q, &column, &row);
  if (q != loaded_) {
    floating::LoadSysPicture(picture_.get(), tag_, q > 0 ? q + 1 : -1);
    loaded_ = q;
  }
  phase_ = 0;
  count_ = 0;
}

int CNotice::CalcuPrint(int saveUnder) {
  if (queue_.empty() || queue_[0] < 0) return -1;
  const Data& d = notices_[queue_[0]];
  const int a = ++count_;
  if (phase_ == 0 && a == 1) return d.sound[0];

  const Phase start{d.startX, d.startY, d.startPercent};
  const Phase wait{d.waitX, d.waitY, d.waitPercent};
  const Phase end{d.endX, d.endY, d.endPercent};
  const Phase& from = phase_ == 0 ? start : wait;
  const Phase& to = phase_ == 0 ? wait : (phase_ == 1 ? wait : end);
  const int time = phase_ == 0 ? d.startTime : (phase_ == 1 ? d.waitTime : d.endTime);
  const int64_t t = std::max(time, 1);
  const int64_t dx = (int64_t{to.x} - from.x) * a / t;
  const int64_t dy = (int64_t{to.y} - from.y) * a / t;
  const int64_t dp = (int64_t{to.percent} - from.percent) * a / t;

  int result = -1;
  if (a >= t) {
    count_ = 0;
    if (++phase_ > 2) {
      queue_.erase(queue_.begin());
      if (queue_.empty())
        Clear();
      else
        PrepareHead();
      return -1;
    }
    result = d.sound[phase_];
  }
  const int x = floating::Offset(from.x, dx), y = floating::Offset(from.y, dy);
  if (saveUnder) SaveUnder(x, y, 0);
  CScreenBuffer::AddDirtyRect(x, y, sizeX_, sizeY_);
  const int64_t opacity = from.percent + dp;
  int q = 0, column = 0, row = 0;
  GetCell(queue_[0], &q, &column, &row);
  const int sx = floating::CellOffset(column, sizeX_), sy = floating::CellOffset(row, sizeY_);
  if (opacity >= 100)
    picture_->Blt(x, y, sx, sy, sizeX_, sizeY_, 1);
  else if (opacity > 0)
    picture_->TransLucentBlt3(x, y, sx, sy, sizeX_, sizeY_, static_cast<int>(opacity));
  return result;
}
