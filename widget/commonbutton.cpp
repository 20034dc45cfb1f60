#include "widget/commonbutton.h"

#include <algorithm>
#include <climits>

#include "input/inputstatus.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "widget/buttoncode.h"
#include "widget/commonbuttonsetup.h"

namespace {

int Saturate(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

// Counters run for years of frames; they stop at the top instead of wrapping.
int Increment(int counter) { return counter == INT_MAX ? counter : counter + 1; }

void MarkDirty(int64_t x, int64_t y, int64_t w, int64_t h) {
  CScreenBuffer::AddDirtyRect(Saturate(x), Saturate(y), Saturate(w), Saturate(h));
}

}  // namespace

CCommonButton::CCommonButton(CNameList* list, const char* name, CPicture* backPicture) {
  if (list) {
    list_ = list;
    setup_ = std::make_unique<CCommonButtonSetup>(list, name);
    setup_->SetToButton(this);
    backPicture_ = backPicture;
  }
  Init();
}

CCommonButton::~CCommonButton() = default;

void CCommonButton::Release() {
  if (setup_) setup_->Release();
  setup_.reset();
}

void CCommonButton::Init() {
  state_ = enable_ ? kNormal : kDisabled;
  counter_ = 0;
  entered_ = left_ = 0;
  ResetAnime();
}

void CCommonButton::ResetAnime() {
  for (int& counter : animeCounter_) counter = 0;
}

void CCommonButton::ResetOthers() {
  for (int s = 0; s < kStates; ++s)
    if (s != state_) animeCounter_[s] = 0;
}

void CCommonButton::StartClick() {
  state_ = kClicked;
  counter_ = 0;
}

void CCommonButton::SetEnable(int flag) {
  enable_ = flag;
  if (!flag) state_ = kDisabled;
}

int32_t CCommonButton::SoundCode(int32_t kind, int sound) const {
  return MakeButtonCode(kind, sound, -1, -1, volumeType_);
}

int32_t CCommonButton::Calcu(const CInputStatus* input) {
  if (!exist_) return buttoncode::kNothing;
  if (!input) {
    state_ = enable_ ? kNormal : kDisabled;
    ResetOthers();
    return buttoncode::kNothing;
  }
  if (!enable_) {
    state_ = kDisabled;
    ResetOthers();
    if (!CheckTrigger(input)) return buttoncode::kNothing;
    if (blockWhenDisabled_) return MakeButtonCode(buttoncode::kBusy, -1, -1, -1, -1);
    if (badSound_ > 0) return SoundCode(buttoncode::kSoundOnly, badSound_);
    return buttoncode::kNothing;
  }
  if (state_ == kClicked) {
    counter_ = Increment(counter_);
    ResetOthers();
    if (counter_ < clickTime_) return MakeButtonCode(buttoncode::kBusy, -1, -1, -1, -1);
    // Stays decided until the owner starts the button again.
    return MakeButtonCode(buttoncode::kDecided, -1, -1, number_, -1);
  }
  // Enabled again without Init: inert, clicks included, until Init or an
  // idle step, so a press taken before it was disabled cannot act again.
  if (state_ == kDisabled) return buttoncode::kNothing;
  if (CheckTrigger(input)) {
    StartClick();
    ResetOthers();
    if (clickTime_ <= 0) return MakeButtonCode(buttoncode::kDecided, clickSound_, -1, number_, volumeType_);
    return SoundCode(buttoncode::kPressed, clickSound_);
  }
  const bool hit = CheckHitMouse(input) != 0;
  counter_ = Increment(counter_);
  return CalcuHover(hit);
}

int32_t CCommonButton::CalcuHover(bool hit) {
  if (state_ != kNormal && state_ != kHover) return buttoncode::kNothing;
  // Entering and leaving mirror each other: from normal the mouse may enter
  // and the leave sound may be due; from hover the other way round.
  struct Edge {
    int* flag;
    int wait, sound;
    int32_t kind;
    int to;
  };
  const Edge enter{&entered_, enterWait_, enterSound_, buttoncode::kEntered, kHover};
  const Edge leave{&left_, exitWait_, exitSound_, buttoncode::kLeft, kNormal};
  const bool normal = state_ == kNormal;
  const Edge& cross = normal ? enter : leave;
  const Edge& due = normal ? leave : enter;
  if (hit == normal) {
    *cross.flag = 1;
    state_ = cross.to;
    counter_ = 0;
    ResetOthers();
    return SoundCode(cross.kind, cross.wait != 0 ? 0 : cross.sound);
  }
  // The counter was moved on before this test, so a wait of 0 never gives a
  // delayed sound and a wait of n gives it n frames after the edge.
  if (*due.flag && counter_ == due.wait && due.sound > 0)
    return SoundCode(buttoncode::kSoundOnly, due.sound);
  return buttoncode::kNothing;
}

int CCommonButton::CheckTrigger(const CInputStatus* input) const {
  if (!input) return 0;
  const CMouseStatus* mouse = input->GetMouseStatus();
  if (mouse) {
    if (cancel_ && mouse->GetClick(1)) return 1;
    int64_t wheel = mouse->GetWheel();
    if (upDownReverse_) wheel = -wheel;
    if (up_ && wheel > 0) return 1;
    if (down_ && wheel < 0) return 1;
    if (mouse->GetClick(0) && CheckHitMouse(input)) return 1;
  }
  if (const CMyKeyStatus* keys = input->GetKeyStatus()) {
    for (int key : accelKey_)
      if (key != -1 && key != 0 && keys->CheckKey(key, 0)) return 1;
  }
  return 0;
}

int CCommonButton::CheckHitMouse(const CInputStatus* input) const {
  const CMouseStatus* mouse = input ? input->GetMouseStatus() : nullptr;
  if (!mouse) return 0;
  platform::Point at;
  mouse->GetPos(&at);
  return CheckHitPoint(at.x, at.y);
}

int CCommonButton::CheckHitPoint(int x, int y) const {
  const int64_t rx = int64_t{x} - (int64_t{printX_} + checkDeltaX_);
  const int64_t ry = int64_t{y} - (int64_t{printY_} + checkDeltaY_);
  if (rx < 0 || ry < 0 || rx >= checkSizeX_ || ry >= checkSizeY_) return 0;
  if (printMode_ == 0) return 1;
  if (!picture_) return 0;
  return picture_->HitCheck(Saturate(checkPicX_ + rx), Saturate(checkPicY_ + ry), 0, 0) ? 1 : 0;
}

void CCommonButton::SetSize(int w, int h) {
  sizeX_ = w;
  sizeY_ = h;
  checkSizeX_ = w;
  checkSizeY_ = h;
  for (int s = 0; s < kStates; ++s) {
    const int64_t step = tateYoko_ ? int64_t{h} * s : int64_t{w} * s;
    picSrc_[s] = tateYoko_ ? platform::Point{0, Saturate(step)} : platform::Point{Saturate(step), 0};
  }
}

platform::Point CCommonButton::GetSize(platform::Point* out) const {
  const platform::Point size{sizeX_, sizeY_};
  if (out) *out = size;
  return size;
}

void CCommonButton::SetAnimePattern(int state, int n) {
  if (ValidState(state)) animePattern_[state] = n;
}
void CCommonButton::SetAnimeSpeed(int state, int n) {
  if (ValidState(state)) animeSpeed_[state] = n;
}
void CCommonButton::SetAnimeType(int state, int n) {
  if (ValidState(state)) animeType_[state] = n;
}
void CCommonButton::SetPicSrc(int state, int x, int y) {
  if (ValidState(state)) picSrc_[state] = {x, y};
}
int CCommonButton::GetAnimeCounter(int state) const {
  return ValidState(state) ? animeCounter_[state] : 0;
}

void CCommonButton::SetAccelKey(int key, int i) {
  if (i >= 0 && i < kAccelKeys) accelKey_[i] = key;
}

int CCommonButton::GetAccelKey(int i) const {
  return i >= 0 && i < kAccelKeys ? accelKey_[i] : -1;
}

void CCommonButton::CalcuAnime() {
  const int s = state_;
  frame_ = anime::Calcu(animePattern_[s], animeSpeed_[s], animeType_[s], animeCounter_[s]);
}

void CCommonButton::AddAnime(int step) {
  const int s = state_;
  animeCounter_[s] =
      Saturate(anime::Add(animeCounter_[s], step, animePattern_[s], animeSpeed_[s], animeType_[s]));
}

platform::Point CCommonButton::GetFrameSource(int state, int frame) const {
  if (!ValidState(state)) return {0, 0};
  // Frames run down the picture (right with TateYoko); those that would pass
  // its edge continue in the next columns (rows), from the top (left).
  const bool across = tateYoko_ != 0;
  const int64_t along = across ? std::max(sizeX_, 1) : std::max(sizeY_, 1);
  const int64_t side = across ? std::max(sizeY_, 1) : std::max(sizeX_, 1);
  int64_t extent = 1;
  if (picture_) extent = std::max(across ? picture_->GetWidth() : picture_->GetHeight(), 1);
  const int64_t start = across ? picSrc_[state].x : picSrc_[state].y;
  const int64_t base = across ? picSrc_[state].y : picSrc_[state].x;
  int64_t pos = start + int64_t{frame} * along;
  int64_t cross = base;
  if (pos + along > extent) {
    // A frame only partly past the edge counts as the first one past it.
    const int64_t past = std::max<int64_t>((pos + along - extent) / along - 1, 0);
    const int64_t lines = std::max<int64_t>(extent / along, 1);
    const int64_t column = std::min<int64_t>(past / lines, INT_MAX);
    cross = base + side * (1 + column);
    pos = along * (past % lines);
  }
  return across ? platform::Point{Saturate(pos), Saturate(cross)}
                : platform::Point{Saturate(cross), Saturate(pos)};
}

void CCommonButton::Print(int) {
  if (!picture_) return;
  CalcuAnime();
  const platform::Point current = GetFrameSource(state_, frame_.current);
  const platform::Point next = GetFrameSource(state_, frame_.next);
  MarkDirty(printX_, printY_, sizeX_, sizeY_);
  if (backPicture_) backPicture_->Blt(printX_, printY_, printX_, printY_, sizeX_, sizeY_, 0);
  // Print mode 2 cross-fades; modes 0 and 1 show the current frame.
  anime::DrawFrame(picture_, printX_, printY_, current, next, sizeX_, sizeY_, frame_.percent,
                   printMode_ != 0, printMode_ >= 2);
  AddAnime(1);
}

platform::Point CCommonButton::StartAppear() {
  animeCounter_[state_] = 0;
  CalcuAnime();
  return GetFrameSource(state_, frame_.current);
}

void CCommonButton::AppearBlt(int64_t x, int64_t y, int64_t srcX, int64_t srcY, int64_t w,
                              int64_t h) {
  if (w <= 0 || h <= 0) return;
  MarkDirty(x, y, w, h);
  picture_->Blt(Saturate(x), Saturate(y), Saturate(srcX), Saturate(srcY), Saturate(w),
                Saturate(h), 1);
}

void CCommonButton::PrintZoom(int percentX, int percentY, int dx, int dy, int percent) {
  if (!picture_) return;
  const platform::Point src = StartAppear();
  const int64_t hw = sizeX_ / 2, hh = sizeY_ / 2;
  const int64_t zw = int64_t{percentX} * hw / 100, zh = int64_t{percentY} * hh / 100;
  const int64_t x = int64_t{printX_} + hw - zw + dx, y = int64_t{printY_} + hh - zh + dy;
  if (zw <= 0 || zh <= 0) return;
  MarkDirty(x, y, 2 * zw, 2 * zh);
  picture_->StretchBlt(Saturate(x), Saturate(y), Saturate(2 * zw), Saturate(2 * zh), src.x, src.y,
                       sizeX_, sizeY_, percent, 1);
}

void CCommonButton::PrintShift(int dx, int dy, int percent) {
  if (!picture_) return;
  const platform::Point src = StartAppear();
  const int x = Saturate(int64_t{printX_} + dx), y = Saturate(int64_t{printY_} + dy);
  MarkDirty(x, y, sizeX_, sizeY_);
  if (percent == 100)
    picture_->Blt(x, y, src.x, src.y, sizeX_, sizeY_, 1);
  else
    picture_->TransLucentBlt3(x, y, src.x, src.y, sizeX_, sizeY_, percent);
}

namespace {
// The part of a size cut away at percent p (0..100): (100 - p) x size / 100.
int64_t Cut(int percent, int size, int divisor) {
  return (100 - int64_t{std::clamp(percent, 0, 100)}) * size / divisor;
}
}  // namespace

void CCommonButton::PrintSlideFromRight(int percent) {
  if (!picture_) return;
  const platform::Point src = StartAppear();
  const int64_t cut = Cut(percent, sizeX_, 100);
  AppearBlt(int64_t{printX_} + cut, printY_, src.x, src.y, sizeX_ - cut, sizeY_);
}

void CCommonButton::PrintSlideFromLeft(int percent) {
  if (!picture_) return;
  const platform::Point src = StartAppear();
  const int64_t cut = Cut(percent, sizeX_, 100);
  AppearBlt(printX_, printY_, src.x + cut, src.y, sizeX_ - cut, sizeY_);
}

void CCommonButton::PrintSlideFromTop(int percent) {
  if (!picture_) return;
  const platform::Point src = StartAppear();
  const int64_t cut = Cut(percent, sizeY_, 100);
  AppearBlt(printX_, printY_, src.x, src.y + cut, sizeX_, sizeY_ - cut);
}

void CCommonButton::PrintSlideFromBottom(int percent) {
  if (!picture_) return;
  const platform::Point src = StartAppear();
  const int64_t cut = Cut(percent, sizeY_, 100);
  AppearBlt(printX_, int64_t{printY_} + cut, src.x, src.y, sizeX_, sizeY_ - cut);
}

void CCommonButton::PrintOpenFromCentreY(int percent) {
  if (!picture_) return;
  const platform::Point src = StartAppear();
  const int64_t a = Cut(percent, sizeY_, 200);
  AppearBlt(printX_, int64_t{printY_} + a, src.x, src.y + a, sizeX_, sizeY_ - 2 * a);
}

void CCommonButton::PrintOpenFromCentreX(int percent) {
  if (!picture_) return;
  const platform::Point src = StartAppear();
  const int64_t a = Cut(percent, sizeX_, 200);
  AppearBlt(int64_t{printX_} + a, printY_, src.x + a, src.y, sizeX_ - 2 * a, sizeY_);
}
