#include "widget/floatinglayertable.h"

#include "graphics/picture.h"
#include "graphics/screenbuffer.h"

CFloatingLayerTable::CFloatingLayerTable() = default;

CFloatingLayerTable::~CFloatingLayerTable() { Release(); }

void CFloatingLayerTable::Release() {
  for (auto& p : pictures_) p.reset();
  saved_.fill(0);
  count_ = 0;
}

int CFloatingLayerTable::CreateBuffer(int slot, int w, int h) {
  if (!InTable(slot) || w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide) return 0;
  auto& picture = pictures_[slot];
  if (!picture || allocated_[slot].w < w || allocated_[slot].h < h) {
    picture.reset();
    saved_[slot] = 0;
    auto made = std::make_unique<CPicture>(w, h, 0);
    if (!made->GetBuffer()) return 0;
    picture = std::move(made);
    allocated_[slot] = {w, h};
  }
  current_[slot] = {w, h};
  saved_[slot] = 0;
  return 1;
}

int CFloatingLayerTable::SaveUnder(int slot, int x, int y) {
  if (!InTable(slot) || !pictures_[slot]) return 0;
  const Size s = current_[slot];
  if (s.w <= 0 || s.h <= 0 || s.w > pictures_[slot]->GetWidth() || s.h > pictures_[slot]->GetHeight())
    return 0;
  if (!pictures_[slot]->GetScreenRect(x, y, s.w, s.h)) return 0;
  saved_[slot] = 1;
  savedAt_[slot] = {x, y};
  return 1;
}

int CFloatingLayerTable::Restore(int slot) {
  if (!InTable(slot) || !pictures_[slot] || !saved_[slot]) return 0;
  const Size s = current_[slot];
  if (s.w <= 0 || s.h <= 0) return 0;
  const Point at = savedAt_[slot];
  pictures_[slot]->Blt(at.x, at.y, 0, 0, s.w, s.h, 0);
  CScreenBuffer::AddDirtyRect(at.x, at.y, s.w, s.h);
  saved_[slot] = 0;
  return 1;
}

int CFloatingLayerTable::ResetSave(int slot) {
  if (!InTable(slot)) return 0;
  saved_[slot] = 0;
  return 1;
}

void CFloatingLayerTable::RestoreAll() {
  for (int i = 0; i < count_; ++i) Restore(i);
}

void CFloatingLayerTable::ResetSaveAll() {
  for (int i = 0; i < count_; ++i) ResetSave(i);
}
