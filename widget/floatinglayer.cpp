#include "widget/floatinglayer.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "graphics/picture.h"
#include "widget/floatinglayertable.h"

CFloatingLayer::CFloatingLayer(CFloatingLayerTable* table, int firstSlot, int slots,
                               const char* listName, CNameList* list)
    : table_(table), first_(firstSlot) {
  SetSlotNumber(slots);
  if (list) {
    setup_ = std::make_unique<CSetupList>();
    setup_->AttachList(list);
  } else if (listName) {
    LoadSetupFile(listName, 64);
  }
}

CFloatingLayer::~CFloatingLayer() { CFloatingLayer::Release(); }

void CFloatingLayer::Release() {
  widths_.clear();
  heights_.clear();
  setup_.reset();
}

int CFloatingLayer::SaveUnder(int x, int y, int slot) {
  if (!table_ || slot < 0 || slot >= GetSlotCount()) return 0;
  return table_->SaveUnder(first_ + slot, x, y);
}

void CFloatingLayer::SetSize(int w, int h, int slot) {
  if (slot < 0 || slot >= GetSlotCount()) return;
  if (table_) table_->CreateBuffer(first_ + slot, w, h);
  widths_[slot] = w;
  heights_[slot] = h;
}

void CFloatingLayer::SetSlotNumber(int n) {
  // A layer cannot own more slots than the table has.
  n = n < 0 ? 0 : (n > 32 ? 32 : n);
  widths_.assign(n, 0);
  heights_.assign(n, 0);
}

int CFloatingLayer::LoadSetupFile(const char* name, int capacity) {
  if (!setup_) setup_ = std::make_unique<CSetupList>();
  return setup_->LoadSetupFile(name, capacity);
}

int CFloatingLayer::GetSetupInt(int* out, const char* key) const {
  return setup_ ? setup_->GetSetupInt(out, key) : 0;
}

int CFloatingLayer::GetSetupString(const char** out, const char* key) const {
  return setup_ ? setup_->GetSetupString(out, key) : 0;
}

namespace floating {

void FitDesignCounts(int* nc, int* ns, int perDesign) {
  if (*nc < 1) *nc = 1;
  if (*ns < 1) *ns = 1;
  if (static_cast<int64_t>(*nc) * *ns * perDesign > kMaxDesignNames) *nc = *ns = 1;
}

std::string DesignNameKey(const char* prefix, int nc, int ns, int s, int c) {
  std::string key = prefix;
  if (nc > 1 && ns > 1) return key + std::to_string(s) + "_" + std::to_string(c);
  return key + std::to_string(ns > 1 ? s : c);
}

int CellOffset(int index, int size) {
  const int64_t v = static_cast<int64_t>(index) * size;
  return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN / 2, INT32_MAX / 2));
}

int Offset(int64_t a, int64_t b) {
  return static_cast<int>(std::clamp<int64_t>(a + b, INT32_MIN / 2, INT32_MAX / 2));
}

int ClampIndex(int n, int count) { return n < 0 ? 0 : (n >= count ? count - 1 : n); }

int LoadSysPicture(CPicture* picture, const char* name, int number) {
  if (!picture || !name) return 0;
  char path[300];
  if (number >= 0)
    std::snprintf(path, sizeof path, "sys\\%.*s%d", 250, name, number);
  else
    std::snprintf(path, sizeof path, "sys\\%.*s", 250, name);
  return picture->LoadDWQ(path);
}

}  // namespace floating
