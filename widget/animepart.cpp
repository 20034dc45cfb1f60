#include "widget/animepart.h"

#include <algorithm>
#include <string>

#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "widget/anime.h"
#include "widget/floatinglayer.h"
#include "widget/listkeys.h"

namespace animepart {

void Setup::Read(const CNameList* list, const char* prefix) {
  fileName = ReadListString(list, "filename", prefix, fileName);
  pattern = ReadListInt(list, prefix, "Pattern", pattern);
  speed = ReadListInt(list, prefix, "Speed", speed);
  type = ReadListInt(list, prefix, "Type", type);
  sizeX = ReadListInt(list, prefix, "SizeX", sizeX);
  sizeY = ReadListInt(list, prefix, "SizeY", sizeY);
  printX = ReadListInt(list, prefix, "PrintX", printX);
  printY = ReadListInt(list, prefix, "PrintY", printY);
}

namespace {

int PerRow(const Setup& setup, const CPicture* picture) {
  if (!picture) return 1;
  return std::max(picture->GetWidth() / std::max(setup.sizeX, 1), 1);
}

// Frame i of the grid; false outside the picture (or without one).
bool Source(const Setup& setup, const CPicture* picture, int perRow, int64_t i, platform::Point* out) {
  if (!picture || i < 0 || setup.sizeX < 1 || setup.sizeY < 1) return false;
  const int64_t column = i % perRow, row = i / perRow;
  const int64_t rows = (int64_t{picture->GetHeight()} + setup.sizeY - 1) / setup.sizeY;
  const int64_t x = column * setup.sizeX;
  if (row >= rows || x >= picture->GetWidth()) return false;
  *out = {static_cast<int>(x), static_cast<int>(row * setup.sizeY)};
  return true;
}

// Frames base + current and base + next of tick `counter`, marked dirty.
void Draw(const Setup& setup, CPicture* picture, int perRow, int x, int y, int64_t base,
          int64_t counter) {
  CScreenBuffer::AddDirtyRect(x, y, setup.sizeX, setup.sizeY);
  const anime::Frame frame = anime::Calcu(setup.pattern, setup.speed, setup.type, counter);
  platform::Point current, next;
  const bool hasCurrent = Source(setup, picture, perRow, base + frame.current, &current);
  const bool hasNext = Source(setup, picture, perRow, base + frame.next, &next);
  if (frame.percent <= 0 ? !hasNext : !hasCurrent) return;
  if (!hasNext) next = current;
  anime::DrawFrame(picture, x, y, current, next, setup.sizeX, setup.sizeY, frame.percent, 1, true);
}

}  // namespace
}  // namespace animepart

// --- CAnimePart ---

CAnimePart::CAnimePart(const char* prefix, CNameList* list, int loadPicture) : list_(list) {
  setup_.Read(list, prefix);
  length_ = anime::Length(setup_.pattern, setup_.speed, setup_.type);
  stop_ = anime::IsStopping(setup_.type) ? 1 : 0;
  if (loadPicture) {
    ownPicture_ = new CPicture;
    floating::LoadSysPicture(ownPicture_, setup_.fileName);
    SetPicture(ownPicture_);
  }
}

CAnimePart::~CAnimePart() { CAnimePart::Release(); }

void CAnimePart::Release() {
  if (picture_ == ownPicture_) picture_ = nullptr;
  delete ownPicture_;
  ownPicture_ = nullptr;
}

void CAnimePart::SetPicture(CPicture* picture) {
  picture_ = picture;
  perRow_ = animepart::PerRow(setup_, picture);
}

void CAnimePart::Calcu(int step) {
  counter_ = anime::Add(counter_, step, setup_.pattern, setup_.speed, setup_.type);
}

void CAnimePart::Print() { PrintAt(setup_.printX, setup_.printY); }

void CAnimePart::Print(int dx, int dy) {
  PrintAt(floating::Offset(setup_.printX, dx), floating::Offset(setup_.printY, dy));
}

void CAnimePart::PrintAt(int x, int y) {
  animepart::Draw(setup_, picture_, perRow_, x, y, 0, counter_);
}

bool CAnimePart::FrameSource(int64_t i, platform::Point* out) const {
  return animepart::Source(setup_, picture_, perRow_, i, out);
}

// --- CVarAnimePart ---

CVarAnimePart::CVarAnimePart(CNameList* list, const char* prefix, CPicture* backPicture)
    : back_(backPicture), list_(list) {
  setup_.Read(list, prefix);
  varName_ = ReadListString(list, prefix, "VarName", nullptr);
  length_ = anime::Length(setup_.pattern, setup_.speed, setup_.type);
  // A screen that redraws everything each frame needs no restore.
  restore_ = back_ && !ReadListInt(list, "", "mustAllPrint", 0) &&
             !ReadListInt(list, "", "backScriptFlag", 0);
  Init();
}

CVarAnimePart::~CVarAnimePart() = default;

void CVarAnimePart::SetPicture(CPicture* picture) {
  picture_ = picture;
  perRow_ = animepart::PerRow(setup_, picture);
}

void CVarAnimePart::Init() {
  value_ = -1;
  counter_ = 0;
}

void CVarAnimePart::Print(int value, int noRestore) {
  PrintAt(setup_.printX, setup_.printY, value, noRestore);
}

void CVarAnimePart::PrintAt(int x, int y, int value, int noRestore) {
  if (value != value_) {
    value_ = value;
    counter_ = 0;
  }
  if (value_ <= 0) return;
  if (!noRestore && back_ && restore_) back_->Blt(x, y, x, y, setup_.sizeX, setup_.sizeY, 0);
  // Value v plays the v-th block of frames; any value fits in 64 bits.
  const int64_t base = (int64_t{value_} - 1) * std::max(setup_.pattern, 1);
  animepart::Draw(setup_, picture_, perRow_, x, y, base, counter_);
  counter_ = anime::Add(counter_, 1, setup_.pattern, setup_.speed, setup_.type);
}
