#include "widget/commonbuttonsetup.h"

#include <cstdio>
#include <cstring>
#include <iterator>

#include "setup/setuplist.h"
#include "setup/text.h"
#include "setup/wrap.h"
#include "widget/commonbutton.h"

namespace {

// Name (at most 254 bytes) + suffix + a state number always fit.
constexpr int kKeySize = CCommonButtonSetup::kNameSize + 32;

void MakeKey(char (&key)[kKeySize], const char* name, const char* suffix, int index) {
  if (index >= 0)
    std::snprintf(key, sizeof key, "%s%s%d", name, suffix, index);
  else
    std::snprintf(key, sizeof key, "%s%s", name, suffix);
}

}  // namespace

int AccelKeyFromText(const char* text) {
  if (!text) return 0;
  const int value = setup::ParseDecimal(text);
  if (value != 0) return value;
  if (text[0] == '0') return 0;
  return static_cast<unsigned char>(text[0]);
}

CCommonButtonSetup::CCommonButtonSetup(CNameList* list, const char* name,
                                       const CCommonButtonSetup* previous,
                                       const platform::Point* delta)
    : setupList_(std::make_unique<CSetupList>()) {
  setupList_->AttachList(list);
  if (name) {
    const size_t length = strnlen(name, kMaxName);
    std::memcpy(name_, name, length);
    name_[length] = '\0';
  }
  if (previous) {
    const int dx = delta ? delta->x : previous->sizeX;
    const int dy = delta ? delta->y : previous->sizeY;
    CopyFrom(*previous, dx, dy);
  }
  Read(previous != nullptr);
}

CCommonButtonSetup::~CCommonButtonSetup() = default;

int CCommonButtonSetup::ReadInt(int* out, const char* suffix, int index) const {
  if (!setupList_) return 0;
  char key[kKeySize];
  MakeKey(key, name_, suffix, index);
  return setupList_->GetSetupInt(out, key);
}

const char* CCommonButtonSetup::ReadString(const char* suffix, int index) const {
  if (!setupList_) return nullptr;
  char key[kKeySize];
  MakeKey(key, name_, suffix, index);
  const char* value = nullptr;
  return setupList_->GetSetupString(&value, key) ? value : nullptr;
}

namespace {

using S = CCommonButtonSetup;
using IntKey = CCommonButtonSetup::IntKey;

// The plain integer keys, in reading order.
constexpr IntKey kPlaceKeys[] = {
    {"ClickTime", &S::clickTime},     {"SizeX", &S::sizeX},           {"SizeY", &S::sizeY},
    {"PrintX", &S::printX},           {"PrintY", &S::printY},         {"checkDeltaX", &S::checkDeltaX},
    {"checkDeltaY", &S::checkDeltaY}, {"checkPicX", &S::checkPicX},   {"checkPicY", &S::checkPicY},
};
constexpr IntKey kHitKeys[] = {
    {"checkSizeX", &S::checkSizeX}, {"checkSizeY", &S::checkSizeY}, {"PrintMode", &S::printMode},
};
// Triggers are never inherited.
constexpr IntKey kTriggerKeys[] = {
    {"IsCancelButton", &S::isCancelButton},
    {"IsUpButton", &S::isUpButton},
    {"IsDownButton", &S::isDownButton},
    {"UpDownReverse", &S::upDownReverse},
};
constexpr IntKey kSoundKeys[] = {
    {"TateYoko", &S::tateYoko},     {"ClickSound", &S::clickSound}, {"BadSound", &S::badSound},
    {"EnterSound", &S::enterSound}, {"ExitSound", &S::exitSound},   {"VolumeType", &S::volumeType},
    {"EnterWait", &S::enterWait},   {"ExitWait", &S::exitWait},
};

}  // namespace

void CCommonButtonSetup::ReadKeys(const IntKey* keys, size_t count) {
  for (size_t i = 0; i < count; ++i) ReadInt(&(this->*keys[i].field), keys[i].suffix);
}

void CCommonButtonSetup::Read(bool inherited) {
  ReadKeys(kPlaceKeys, std::size(kPlaceKeys));
  // The hit size follows this button's own size unless the list says.
  checkSizeX = sizeX;
  checkSizeY = sizeY;
  ReadKeys(kHitKeys, std::size(kHitKeys));
  for (const IntKey& key : kTriggerKeys) this->*key.field = 0;
  ReadKeys(kTriggerKeys, std::size(kTriggerKeys));
  for (int i = 0; i < kAccelKeys; ++i) accelKey[i] = AccelKeyFromText(ReadString("AccelKey", i + 1));
  for (int s = 0; s < kStates; ++s) {
    // A first setup's state takes the state before it; an inherited one
    // keeps the previous setup's value of the same state.
    if (!inherited && s > 0) {
      animePattern[s] = animePattern[s - 1];
      animeSpeed[s] = animeSpeed[s - 1];
      animeType[s] = animeType[s - 1];
    }
    ReadInt(&animePattern[s], "AnimePattern", s + 1);
    ReadInt(&animeSpeed[s], "AnimeSpeed", s + 1);
    ReadInt(&animeType[s], "AnimeType", s + 1);
  }
  for (int s = 0; s < kStates; ++s) {
    if (!inherited) picSrc[s] = {static_cast<int>(static_cast<unsigned>(sizeX) * s), 0};
    ReadInt(&picSrc[s].x, "PicSrcX", s + 1);
    ReadInt(&picSrc[s].y, "PicSrcY", s + 1);
  }
  ReadKeys(kSoundKeys, std::size(kSoundKeys));
  if (const char* file = ReadString("Filename")) fileName = file;
}

void CCommonButtonSetup::CopyFrom(const CCommonButtonSetup& previous, int dx, int dy) {
  // Every plain value but the triggers.
  auto copy = [&](const IntKey* first, const IntKey* last) {
    for (const IntKey* key = first; key != last; ++key) this->*key->field = previous.*key->field;
  };
  copy(std::begin(kPlaceKeys), std::end(kPlaceKeys));
  copy(std::begin(kHitKeys), std::end(kHitKeys));
  copy(std::begin(kSoundKeys), std::end(kSoundKeys));
  printX = setup::WrapAdd(previous.printX, dx);
  printY = setup::WrapAdd(previous.printY, dy);
  fileName = previous.fileName;
  for (int s = 0; s < kStates; ++s) {
    animePattern[s] = previous.animePattern[s];
    animeSpeed[s] = previous.animeSpeed[s];
    animeType[s] = previous.animeType[s];
    picSrc[s] = previous.picSrc[s];
  }
}

void CCommonButtonSetup::ReadPrintXY(int defaultX, int defaultY) {
  printX = defaultX;
  printY = defaultY;
  ReadInt(&printX, "PrintX");
  ReadInt(&printY, "PrintY");
}

void CCommonButtonSetup::Release() { setupList_.reset(); }

void CCommonButtonSetup::SetToButton(CCommonButton* button) const {
  if (!button) return;
  button->SetPrintPos(printX, printY);
  button->SetSize(sizeX, sizeY);
  button->SetClickTime(clickTime);
  button->SetPrintMode(printMode);
  button->SetCancelButton(isCancelButton);
  button->SetUpButton(isUpButton);
  button->SetDownButton(isDownButton);
  button->SetUpDownReverse(upDownReverse);
  for (int i = 0; i < kAccelKeys; ++i) button->SetAccelKey(accelKey[i], i);
  for (int s = 0; s < kStates; ++s) {
    button->SetAnimePattern(s, animePattern[s]);
    button->SetAnimeSpeed(s, animeSpeed[s]);
    button->SetAnimeType(s, animeType[s]);
    button->SetPicSrc(s, picSrc[s].x, picSrc[s].y);
  }
  button->SetFilename(fileName);
  button->SetCheckSize(checkSizeX, checkSizeY);
  button->SetCheckPic(checkPicX, checkPicY);
  button->SetCheckDelta(checkDeltaX, checkDeltaY);
  button->SetTateYoko(tateYoko);
  button->SetClickSound(clickSound);
  button->SetBadSound(badSound);
  button->SetEnterSound(enterSound);
  button->SetExitSound(exitSound);
  button->SetEnterWait(enterWait);
  button->SetExitWait(exitWait);
  button->SetVolumeType(volumeType);
}
