// CCommonButtonGroup: a row of buttons read from one settings list. It
// reports which member acted (the code's button number) and, once a member
// is pressed, gives input to that member alone until Init.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/types.h"

class CCommonButton;
class CCommonButtonSetup;
class CInputStatus;
class CNameList;
class CPicture;

class CCommonButtonGroup {
 public:
  // count buttons (at most 128, since numbers have 7 bits; below 0 none).
  // Button i reads the keys of names[i], else of name followed by i + 1,
  // else of "button" followed by i + 1; each setup inherits from the one
  // before, so an unset position lies diagonally after the previous button.
  CCommonButtonGroup(CNameList* list, int count, CPicture* backPicture = nullptr,
                     const char* name = nullptr, const char* const* names = nullptr);
  virtual ~CCommonButtonGroup();
  CCommonButtonGroup(const CCommonButtonGroup&) = delete;
  CCommonButtonGroup& operator=(const CCommonButtonGroup&) = delete;

  virtual void Release();
  virtual void Init();
  // -1 while the group is disabled, else CalcuButton.
  virtual int32_t Calcu(const CInputStatus* input);
  virtual int32_t CalcuButton(const CInputStatus* input);
  virtual void Print(int unused = 0);

  int GetCount() const { return static_cast<int>(buttons_.size()); }
  void SetEnable(int flag) { enable_ = flag; }
  int GetEnable() const { return enable_; }

  // Per member; an index outside the group does nothing, or answers null
  // (a position of (0, 0)).
  CCommonButton* GetButton(int i) const;
  CCommonButtonSetup* GetSetup(int i) const;
  void SetPicture(int i, CPicture* picture);
  CPicture* GetPicture(int i) const;
  const char* GetFilename(int i) const;
  void SetFilename(int i, const char* name);
  platform::Point GetPrintXY(int i) const;
  void SetPrintXY(int i, int x, int y);
  void SetCancelButton(int i, int flag);
  void SetExist(int i, int flag);
  void SetEnable(int i, int flag);
  void ResetAnime();

 private:
  std::vector<std::unique_ptr<CCommonButtonSetup>> setups_;
  std::vector<std::unique_ptr<CCommonButton>> buttons_;
  int latched_ = 0;
  int latchedIndex_ = -1;
  int enable_ = 1;
};
