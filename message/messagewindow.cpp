#include "message/messagewindow.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "graphics/picture.h"
#include "graphics/pictureloader.h"
#include "message/syspicture.h"

namespace {
const std::string kNone;
}  // namespace

CCommonMessageWindow::CCommonMessageWindow() {
  LoadSetupFile("messageWindow", 64);
  GetSetupInt(&counts_[0], "windowNumberConfig");
  GetSetupInt(&counts_[1], "windowNumberScript");
  GetSetupInt(&counts_[2], "windowNumberFontSizeType");
  for (int& count : counts_) count = std::max(count, 1);
  const int64_t entries = static_cast<int64_t>(counts_[0]) * counts_[1] * counts_[2];
  if (entries > kMaxEntries) counts_[0] = counts_[1] = counts_[2] = 1;

  FillNames(&windowFace_, "filenameWindow", "ta_meswin", "filenameWindow");
  Reload(&windowFace_);
  GetSetupInt(&printX_, "printX");
  GetSetupInt(&printY_, "printY");
  GetSetupInt(&sizeX_, "sizeX");
  GetSetupInt(&sizeY_, "sizeY");
  GetSetupInt(&nameWindowFlag_, "nameWindowFlag");
  if (nameWindowFlag_) {
    GetSetupInt(&namePrintX_, "namePrintX");
    GetSetupInt(&namePrintY_, "namePrintY");
    GetSetupInt(&nameSizeX_, "nameSizeX");
    GetSetupInt(&nameSizeY_, "nameSizeY");
    FillNames(&nameFace_, "filenameNameWindow", "ta_namewin", "filenameNameWindow");
    Reload(&nameFace_);
  }
}

CCommonMessageWindow::~CCommonMessageWindow() {
  Release();
  CBasicSetup::Release();
}

void CCommonMessageWindow::Release() {
  for (Face* face : {&windowFace_, &nameFace_}) {
    face->names.clear();
    face->picture.reset();
  }
}

void CCommonMessageWindow::FillNames(Face* face, const char* defaultKey, const char* defaultName,
                                     const char* numberedKey) {
  const char* fallback = defaultName;
  GetSetupString(&fallback, defaultKey);
  face->names.assign(static_cast<size_t>(counts_[0]) * counts_[1] * counts_[2], fallback);
  for (int f = 0; f < counts_[2]; ++f) {
    for (int s = 0; s < counts_[1]; ++s) {
      for (int c = 0; c < counts_[0]; ++c) {
        char base[96], key[128];
        if (counts_[1] > 1 && counts_[0] > 1)
          std::snprintf(base, sizeof base, "%s%d_%d", numberedKey, s + 1, c + 1);
        else if (counts_[1] > 1)
          std::snprintf(base, sizeof base, "%s%d", numberedKey, s + 1);
        else
          std::snprintf(base, sizeof base, "%s%d", numberedKey, c + 1);
        if (f == 0)
          std::snprintf(key, sizeof key, "%s", base);
        else
          std::snprintf(key, sizeof key, "%s_Font%d", base, f);
        const char* value = nullptr;
        if (GetSetupString(&value, key) && value) face->names[Index(c, s, f)] = value;
      }
    }
  }
}

int CCommonMessageWindow::Index(int config, int script, int type) const {
  if (config < 0 || config >= counts_[0] || script < 0 || script >= counts_[1] || type < 0 ||
      type >= counts_[2])
    return -1;
  return config + counts_[0] * (script + counts_[1] * type);
}

const std::string& CCommonMessageWindow::GetWindowName(int config, int script, int type) const {
  const int i = Index(config, script, type);
  return i >= 0 && i < static_cast<int>(windowFace_.names.size()) ? windowFace_.names[i] : kNone;
}

const std::string& CCommonMessageWindow::GetNameWindowName(int config, int script, int type) const {
  const int i = Index(config, script, type);
  return i >= 0 && i < static_cast<int>(nameFace_.names.size()) ? nameFace_.names[i] : kNone;
}

void CCommonMessageWindow::SetWindowNumberConfig(int n) {
  config_ = std::clamp(n, 0, counts_[0] - 1);
}

void CCommonMessageWindow::SetWindowNumberScript(int n) {
  script_ = std::clamp(n, 0, counts_[1] - 1);
}

void CCommonMessageWindow::SetFontSizeType(int n) {
  fontSizeType_ = std::clamp(n, 0, counts_[2] - 1);
}

void CCommonMessageWindow::Reload(Face* face) {
  const int selected[3] = {config_, script_, fontSizeType_};
  if (face->picture && std::equal(selected, selected + 3, face->loaded)) return;
  const int i = Index(config_, script_, fontSizeType_);
  const bool named = i >= 0 && i < static_cast<int>(face->names.size());
  // The story's text is read in the window: its picture is needed.
  std::optional<CNeededPictures> needed;
  if (face == &windowFace_) needed.emplace("the message window");
  LoadSysPicture(&face->picture, named ? face->names[i].c_str() : nullptr);
  std::copy(selected, selected + 3, face->loaded);
}

void CCommonMessageWindow::Draw(Face* face, int x, int y, int w, int h) {
  if (percent_ <= 0) return;
  Reload(face);
  if (percent_ >= 100)
    face->picture->Blt(x, y, 0, 0, w, h, 1);
  else
    face->picture->TransLucentBlt3(x, y, 0, 0, w, h, percent_);
}

void CCommonMessageWindow::Print(int show, int showName, const platform::Point* offset) {
  if (!show) return;
  const int dx = offset ? offset->x : 0, dy = offset ? offset->y : 0;
  Draw(&windowFace_, printX_ + dx, printY_ + dy, sizeX_, sizeY_);
  if (showName && nameWindowFlag_)
    Draw(&nameFace_, namePrintX_ + dx, namePrintY_ + dy, nameSizeX_, nameSizeY_);
}

void CCommonMessageWindow::PrintAt(int show, int showName, const platform::Point& position) {
  const platform::Point offset{position.x - printX_, position.y - printY_};
  Print(show, showName, &offset);
}

int CCommonMessageWindow::CheckHit(int x, int y, int withName) const {
  return HitAt(x, y, withName);
}

int CCommonMessageWindow::HitAt(int64_t x, int64_t y, int withName) const {
  auto inside = [x, y](int64_t left, int64_t top, int64_t w, int64_t h) {
    return x >= left && x - left < w && y >= top && y - top < h;
  };
  if (inside(printX_, printY_, sizeX_, sizeY_)) return 1;
  if (nameWindowFlag_ && withName && inside(namePrintX_, namePrintY_, nameSizeX_, nameSizeY_))
    return 1;
  return 0;
}

int CCommonMessageWindow::CheckHitLocal(int x, int y, int withName) const {
  return HitAt(static_cast<int64_t>(x) + printX_, static_cast<int64_t>(y) + printY_, withName);
}
