#include "message/facecontrol.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "graphics/picture.h"
#include "message/syspicture.h"
#include "platform/bytes.h"
#include "setup/namelist.h"
#include "setup/random.h"
#include "setup/text.h"

namespace {

int ReadKey(const CSetupList& s, int* out, const char* format, int a, int b = 0) {
  char key[96];
  std::snprintf(key, sizeof key, format, a, b);
  return s.GetSetupInt(out, key);
}

int DrawPauseLength(const CFaceControl::AnimeRecord& r) {
  const int64_t spread = std::max<int64_t>(static_cast<int64_t>(r.waitMax) - r.waitMin, 0) + 1;
  return static_cast<int>(std::min<int64_t>(r.waitMin + crt::rand() % spread, INT32_MAX));
}

}  // namespace

CFaceControl::CFaceControl(CNameList* faceList) : faceList_(faceList) {
  settings_.LoadSetupFile("face", 256);
  faceCount_ = faceList_ ? faceList_->GetCount() / 2 : 0;
  types_.assign(static_cast<size_t>(faceCount_) + 1, 0);
  Reset();
  picture_ = std::make_unique<CPicture>();

  settings_.GetSetupInt(&printX_, "printX");
  settings_.GetSetupInt(&printY_, "printY");
  settings_.GetSetupInt(&sizeX_, "sizeX");
  settings_.GetSetupInt(&sizeY_, "sizeY");
  const char* tag = nullptr;
  if (settings_.GetSetupString(&tag, "filenameTag") && tag) tag_ = tag;
  settings_.GetSetupInt(&customFaceNameFlag_, "customFaceNameFlag");
  customNames_.assign(static_cast<size_t>(faceCount_) + 1, std::string());
  if (customFaceNameFlag_) {
    for (int f = 1; f <= faceCount_; ++f) {
      char key[32];
      std::snprintf(key, sizeof key, "filenameFace%d", f);
      const char* name = nullptr;
      if (settings_.GetSetupString(&name, key) && name) customNames_[f] = name;
    }
  }

  // Type counts: a face without its keys takes the previous face's count.
  typeCounts_.assign(static_cast<size_t>(faceCount_) + 1, 1);
  int running = 1;
  int64_t records = 1 + 1;
  for (int f = 1; f <= faceCount_; ++f) {
    ReadKey(settings_, &running, "faceType%d", f);
    ReadKey(settings_, &running, "face%dTypeNumber", f);
    running = std::max(running, 1);
    typeCounts_[f] = running;
    records += static_cast<int64_t>(running) + 1;
  }
  if (records > kMaxRecords) std::fill(typeCounts_.begin(), typeCounts_.end(), 1);

  // Animation records: a missing key repeats the previous type's value.
  records_.resize(static_cast<size_t>(faceCount_) + 1);
  for (int f = 0; f <= faceCount_; ++f) {
    AnimeRecord r;
    records_[f].resize(static_cast<size_t>(typeCounts_[f]) + 1);
    for (int t = 0; t <= typeCounts_[f]; ++t) {
      char key[96];
      std::snprintf(key, sizeof key, "face%dType%danimePattern", f, t);
      settings_.GetSetupInt(&r.patterns, key);
      if (r.patterns > 1) {
        std::snprintf(key, sizeof key, "face%dType%danimeType", f, t);
        settings_.GetSetupInt(&r.type, key);
        std::snprintf(key, sizeof key, "face%dType%danimeSpeed", f, t);
        settings_.GetSetupInt(&r.speed, key);
        std::snprintf(key, sizeof key, "face%dType%dWaitMin", f, t);
        settings_.GetSetupInt(&r.waitMin, key);
        std::snprintf(key, sizeof key, "face%dType%dWaitMax", f, t);
        settings_.GetSetupInt(&r.waitMax, key);
      }
      records_[f][t] = r;
    }
  }

  settings_.GetSetupInt(&maxSave_, "maxSave");
  maxSave_ = std::max(std::min(maxSave_, kMaxSaveCapacity), faceCount_ + 1);
  SetDataSize(maxSave_ * 4);
}

CFaceControl::~CFaceControl() { Release(); }

void CFaceControl::Release() {
  records_.clear();
  typeCounts_.clear();
  customNames_.clear();
  picture_.reset();
  types_.clear();
  settings_.Release();
  faceCount_ = 0;
}

void CFaceControl::Reset() {
  forcedFace_ = 0;
  std::fill(types_.begin(), types_.end(), 0);
  pauseCounter_ = pauseLength_ = 0;
  counter_.SetCount(0);
  ready_ = 0;
}

int CFaceControl::GetFaceType(int face) const {
  return face >= 0 && face < static_cast<int>(types_.size()) ? types_[face] : 0;
}

int CFaceControl::GetTypeCount(int face) const {
  return face >= 0 && face < static_cast<int>(typeCounts_.size()) ? typeCounts_[face] : 0;
}

const CFaceControl::AnimeRecord* CFaceControl::GetRecord(int face, int type) const {
  if (face < 1 || face > faceCount_ || type < 1 || type > GetTypeCount(face)) return nullptr;
  return &records_[face][type];
}

void CFaceControl::SetFaceType(int face, int type) {
  pauseCounter_ = pauseLength_ = 0;
  int patterns = 1, speed = 1, animeType = 1;
  if (face >= 1 && face <= faceCount_) {
    types_[face] = type;
    if (const AnimeRecord* r = GetRecord(face, type)) {
      patterns = r->patterns;
      animeType = r->type;
      speed = r->speed;
      pauseLength_ = DrawPauseLength(*r);
    }
  }
  counter_.Set(animeType, patterns, speed);
  counter_.SetCount(0);
  ready_ = 1;
}

int CFaceControl::GetFaceNumber(const char* speakerName) const {
  if (forcedFace_ > 0) return forcedFace_;
  if (!faceList_ || !speakerName) return -1;
  for (int row = 0; row < faceCount_; ++row) {
    const char* name = faceList_->GetName(2 * row + 1);
    if (name && setup::EqualNoCase(name, speakerName)) return row;
  }
  return -1;
}

std::string CFaceControl::GetPictureName(int face, int type) const {
  char name[320];
  const bool custom = customFaceNameFlag_ && face >= 0 &&
                      face < static_cast<int>(customNames_.size()) && !customNames_[face].empty();
  if (custom) {
    if (type > 1)
      std::snprintf(name, sizeof name, "%s__%d", customNames_[face].c_str(), type);
    else
      std::snprintf(name, sizeof name, "%s", customNames_[face].c_str());
  } else if (type > 1) {
    std::snprintf(name, sizeof name, "%s%d__%d", tag_.c_str(), face, type);
  } else {
    std::snprintf(name, sizeof name, "%s%d", tag_.c_str(), face);
  }
  return name;
}

void CFaceControl::Print(const char* speakerName) {
  const int face = GetFaceNumber(speakerName);
  if (face < 1 || face > faceCount_ || types_[face] <= 0) return;
  currentFace_ = face;
  const int type = types_[face];
  if (face != loadedFace_ || type != loadedType_) {
    LoadSysPicture(&picture_, GetPictureName(face, type).c_str());
    loadedFace_ = face;
    loadedType_ = type;
  }
  if (!ready_) SetFaceType(face, type);

  int pattern = 0, next = 0, percent = 100;
  if (pauseCounter_ < pauseLength_) {
    ++pauseCounter_;
  } else {
    pattern = counter_.GetPattern();
    next = counter_.GetNextPattern();
    percent = counter_.GetPercent();
    const AnimeRecord* record = GetRecord(face, type);
    if (counter_.Calcu(1) && record && record->waitMax > 0) {
      pauseLength_ = DrawPauseLength(*record);
      pauseCounter_ = 0;
      counter_.SetCount(0);
    }
  }

  // Patterns stand in rows of as many as the picture's width holds.
  const int w = std::max(sizeX_, 1), h = std::max(sizeY_, 1);
  const int columns = std::max(picture_->GetWidth() / w, 1);
  auto at = [&](int p, int* x, int* y) {
    *x = p % columns * w;
    *y = p / columns * h;
  };
  int sx = 0, sy = 0, nx = 0, ny = 0;
  at(pattern, &sx, &sy);
  at(next, &nx, &ny);
  if (percent >= 100)
    picture_->Blt(printX_, printY_, sx, sy, sizeX_, sizeY_, 1);
  else if (percent >= 1)
    picture_->ChangeTransLucentBlt(printX_, printY_, sx, sy, sizeX_, sizeY_, percent, 100 - percent,
                                   picture_.get(), nx, ny);
  else
    picture_->Blt(printX_, printY_, nx, ny, sizeX_, sizeY_, 1);
}

void CFaceControl::SaveData(uint8_t* buffer, size_t size) {
  if (!buffer || types_.empty()) return;
  types_[0] = forcedFace_;
  const size_t words = std::min(size / 4, types_.size());
  for (size_t i = 0; i < words; ++i)
    platform::SetLE32(buffer + 4 * i, static_cast<uint32_t>(types_[i]));
}

void CFaceControl::LoadData(const uint8_t* buffer, size_t size) {
  if (types_.empty()) return;
  std::fill(types_.begin(), types_.end(), 0);
  const size_t words = buffer ? std::min(size / 4, types_.size()) : 0;
  for (size_t i = 0; i < words; ++i) types_[i] = platform::GetLE32Signed(buffer + 4 * i);
  forcedFace_ = types_[0];
  ready_ = 0;
}
