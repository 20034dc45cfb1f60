#include "widget/sceneoptionbutton.h"

#include <algorithm>
#include <cstdio>

#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "widget/buttoncode.h"
#include "widget/commonbutton.h"
#include "widget/floatinglayertable.h"

int CSceneOptionButton::FreeSlotsAfter(int firstSlot) {
  int next = CFloatingLayerTable::kSlots;
  for (int slot : kLayerFirstSlots)
    if (slot > firstSlot) {
      next = slot;
      break;
    }
  return std::max(next - firstSlot - 1, 0);
}

CSceneOptionButton::CSceneOptionButton(const char* name, CFloatingLayerTable* table, int firstSlot,
                                       CNameList* list)
    : CFloatingLayer(table, firstSlot, 0, name, list) {
  GetSetupInt(&parts_, "addPartsNumber");
  // Decorations past the free slots would save over another layer's.
  parts_ = std::clamp(parts_, 0, FreeSlotsAfter(firstSlot));
  SetSlotNumber(parts_ + 1);
  partList_.resize(parts_ + 1);
  for (Part& part : partList_) part.picture = std::make_unique<CPicture>();

  button_ = std::make_unique<CCommonButton>(GetList(), name);
  Part& face = partList_[0];
  face.pos = button_->GetPrintXY();
  face.size = button_->GetSize();
  SetSize(face.size.x, face.size.y, 0);
  floating::LoadSysPicture(face.picture.get(), button_->GetFileName());
  button_->SetPicture(face.picture.get());

  char key[64];
  for (int i = 1; i <= parts_; ++i) {
    Part& part = partList_[i];
    const auto read = [&](const char* suffix, int fallback) {
      std::snprintf(key, sizeof key, "kazari%d%s", i, suffix);
      int value = fallback;
      GetSetupInt(&value, key);
      return value;
    };
    part.pos = {floating::Offset(read("PrintX", 0), face.pos.x),
                floating::Offset(read("PrintY", 0), face.pos.y)};
    part.size = {read("SizeX", 16), read("SizeY", 16)};
    std::snprintf(key, sizeof key, "kazari%dFileName", i);
    const char* file = "ta_scene_bt1";
    GetSetupString(&file, key);
    floating::LoadSysPicture(part.picture.get(), file);
    SetSize(part.size.x, part.size.y, i);
  }
}

CSceneOptionButton::~CSceneOptionButton() { CSceneOptionButton::Release(); }

void CSceneOptionButton::Release() {
  if (button_) button_->Release();
  button_.reset();
  partList_.clear();
  parts_ = 0;
  CFloatingLayer::Release();
}

void CSceneOptionButton::Init() {
  if (button_) button_->Init();
}

int32_t CSceneOptionButton::Calcu(const CInputStatus* input) {
  return button_ ? button_->Calcu(input) : buttoncode::kNothing;
}

void CSceneOptionButton::Print(int saveUnder) {
  if (!button_) return;
  for (int i = parts_; i >= 1; --i) {
    const Part& part = partList_[i];
    if (saveUnder) SaveUnder(part.pos.x, part.pos.y, i);
    CScreenBuffer::AddDirtyRect(part.pos.x, part.pos.y, part.size.x, part.size.y);
    part.picture->Blt(part.pos.x, part.pos.y, 0, 0, part.size.x, part.size.y, 1);
  }
  if (saveUnder) SaveUnder(button_->GetPrintX(), button_->GetPrintY(), 0);
  button_->Print();
}

void CSceneOptionButton::SetEnable(int flag) {
  if (button_) button_->SetEnable(flag);
}

void CSceneOptionButton::SetBlockWhenDisabled(int flag) {
  if (button_) button_->SetBlockWhenDisabled(flag);
}

void CSceneOptionButton::SetExist(int flag) {
  if (button_) button_->SetExist(flag);
}
