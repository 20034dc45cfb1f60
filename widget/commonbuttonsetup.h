// CCommonButtonSetup: the settings of one picture button, read once from a
// settings list under keys built from the button's name ("%sClickTime",
// "%sPrintX", ...). A setup made after another one inherits its values, so
// a list states only what differs from the previous button.
#pragma once

#include <cstddef>
#include <memory>

#include "platform/types.h"

class CCommonButton;
class CNameList;
class CSetupList;

class CCommonButtonSetup {
 public:
  static constexpr int kStates = 4;
  static constexpr int kAccelKeys = 3;
  static constexpr int kNameSize = 256;
  // Longest name kept; longer ones are cut.
  static constexpr int kMaxName = 254;

  // Reads the keys of `name` in `list` (either may be null: then every value
  // keeps its default). With a previous setup every value starts as the
  // previous one's, the position moved by delta or, without a delta, by the
  // previous width and height.
  CCommonButtonSetup(CNameList* list, const char* name, const CCommonButtonSetup* previous = nullptr,
                     const platform::Point* delta = nullptr);
  virtual ~CCommonButtonSetup();
  CCommonButtonSetup(const CCommonButtonSetup&) = delete;
  CCommonButtonSetup& operator=(const CCommonButtonSetup&) = delete;

  // Copies every setting into the button; its number and pictures stay.
  void SetToButton(CCommonButton* button) const;
  // Everything but the accelerator keys and the cancel, up, down and
  // reversal flags, with the position moved by (dx, dy).
  void CopyFrom(const CCommonButtonSetup& previous, int dx, int dy);
  // "%sPrintX" and "%sPrintY" again, with these defaults.
  void ReadPrintXY(int defaultX, int defaultY);
  // Deletes the owned list reader.
  void Release();

  const char* GetName() const { return name_; }

  int clickTime = 8;
  int sizeX = 16, sizeY = 16;
  int printX = 0, printY = 0;
  const char* fileName = nullptr;  // the value text in the list, not owned
  int checkPicX = 0, checkPicY = 0;
  int checkDeltaX = 0, checkDeltaY = 0;
  int checkSizeX = 16, checkSizeY = 16;
  int animePattern[kStates] = {1, 1, 1, 1};
  int animeSpeed[kStates] = {1, 1, 1, 1};
  int animeType[kStates] = {1, 1, 1, 1};
  platform::Point picSrc[kStates] = {{0, 0}, {16, 0}, {32, 0}, {48, 0}};
  int accelKey[kAccelKeys] = {};
  int clickSound = 0, badSound = 0, enterSound = 0, exitSound = 0;
  int enterWait = 0, exitWait = 0;
  int printMode = 2;
  int isCancelButton = 0;
  int isUpButton = 0, isDownButton = 0, upDownReverse = 0;
  int tateYoko = 0;
  int volumeType = 0;

  // A key suffix and the field it fills.
  struct IntKey {
    const char* suffix;
    int CCommonButtonSetup::*field;
  };

 private:
  void Read(bool inherited);
  void ReadKeys(const IntKey* keys, size_t count);
  int ReadInt(int* out, const char* suffix, int index = -1) const;
  const char* ReadString(const char* suffix, int index = -1) const;

  std::unique_ptr<CSetupList> setupList_;
  char name_[kNameSize] = {};
};

// The key code an accelerator text names: its number when that is not 0,
// else the byte of its first character unless that is "0" (then 0).
int AccelKeyFromText(const char* text);
