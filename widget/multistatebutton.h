// CCommonMultiStateButton: one button place whose look is one of several
// state buttons (a check box, a radio choice, a toggle with more states).
// Only the current state's button is calculated and drawn; its codes carry
// the current state as their number.
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

class CCommonMultiStateButton {
 public:
  // State button n (1-based) reads the keys of name followed by n (name
  // "button" when null). State 1 inherits from previous and, with a
  // position, takes it unless its keys say otherwise; each further state
  // inherits from the one before at state 1's position. At most 128 states.
  CCommonMultiStateButton(CNameList* list, CPicture* backPicture, const char* name, int stateCount,
                          const platform::Point* position = nullptr,
                          const CCommonButtonSetup* previous = nullptr);
  virtual ~CCommonMultiStateButton();
  CCommonMultiStateButton(const CCommonMultiStateButton&) = delete;
  CCommonMultiStateButton& operator=(const CCommonMultiStateButton&) = delete;

  virtual void Release();

  // Only state s exists afterwards; callers follow with Init. A state the
  // button lacks changes nothing.
  void SetState(int s);
  int GetState() const { return state_; }
  int GetStateCount() const { return static_cast<int>(buttons_.size()); }
  void Init();
  // -1 when the button or its current state does not exist.
  int32_t Calcu(const CInputStatus* input);
  void Print(int unused = 0);
  void SetEnable(int flag);
  int GetEnable() const { return enable_; }
  void SetExist(int flag) { exist_ = flag; }
  int GetExist() const { return exist_; }

  // Per state; a state outside the button answers null ((0, 0) for a size)
  // or does nothing; s = -1 sets every state.
  CPicture* GetPicture(int s) const;
  void SetPicture(CPicture* picture, int s);
  const char* GetFilename(int s) const;
  platform::Point GetSize(int s) const;
  void SetPrintXY(int x, int y, int s);
  void ResetAnime();
  CCommonButton* GetStateButton(int s) const;
  CCommonButtonSetup* GetStateSetup(int s) const;
  CNameList* GetList() const { return list_; }

 private:
  bool ValidState(int s) const { return s >= 0 && s < GetStateCount(); }
  // The current state's button when it may be used, else null.
  CCommonButton* Current() const;

  std::vector<std::unique_ptr<CCommonButton>> buttons_;
  std::vector<std::unique_ptr<CCommonButtonSetup>> setups_;
  CNameList* list_ = nullptr;
  int state_ = 0;
  std::vector<int> stateExist_;
  std::vector<int> stateEnable_;
  int exist_ = 1;
  int enable_ = 1;
};

// Two states: 0 off, 1 on. The owner switches the state (SetState, Init)
// when the box reports a decision.
class CCommonCheckButton : public CCommonMultiStateButton {
 public:
  CCommonCheckButton(CNameList* list, CPicture* backPicture, const char* name,
                     const platform::Point* position = nullptr,
                     const CCommonButtonSetup* previous = nullptr)
      : CCommonMultiStateButton(list, backPicture, name, 2, position, previous) {}
};

// One choice of a radio group: 0 off, 1 on.
class CCommonRadioButton : public CCommonMultiStateButton {
 public:
  CCommonRadioButton(CNameList* list, CPicture* backPicture, const char* name,
                     const platform::Point* position = nullptr,
                     const CCommonButtonSetup* previous = nullptr)
      : CCommonMultiStateButton(list, backPicture, name, 2, position, previous) {}
};
