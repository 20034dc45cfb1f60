// CCommonRadioButtonGroup: a row of radio buttons of which one is selected.
// The selected button takes no input; once another one is pressed only it
// does, and after its decision the group waits for SetSelect.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class CCommonButtonSetup;
class CCommonRadioButton;
class CInputStatus;
class CNameList;
class CPicture;

class CCommonRadioButtonGroup {
 public:
  // Radio button n (1-based) reads the keys of name followed by n and
  // "Button" (its states: that name followed by 1 and 2). Button 1 inherits
  // from previous; each further one from the on state of the one before,
  // placed by default right of it. At most 128 buttons; nothing is selected
  // on screen until SetSelect.
  CCommonRadioButtonGroup(CNameList* list, const char* name, CPicture* backPicture, int count,
                          const CCommonButtonSetup* previous = nullptr);
  virtual ~CCommonRadioButtonGroup();
  CCommonRadioButtonGroup(const CCommonRadioButtonGroup&) = delete;
  CCommonRadioButtonGroup& operator=(const CCommonRadioButtonGroup&) = delete;

  virtual void Release();

  // Button i shows on, the others off, all initialised; the pending press
  // is forgotten.
  void SetSelect(int i);
  void ChangeSelect(int i) { SetSelect(i); }
  int GetSelect() const { return selected_; }
  int GetCount() const { return static_cast<int>(items_.size()); }
  // A decision (numbered with the button) before a press before any other
  // code.
  int32_t Calcu(const CInputStatus* input);
  void Print(int unused = 0);

  void SetEnableAll(int flag);
  void SetExistAll(int flag);
  void SetEnable(int i, int flag);
  void SetExist(int i, int flag);
  // i = -1: every button; s = -1: both states (for GetFilename: the state
  // the button shows, on for the selected one).
  CPicture* GetPicture(int i, int s) const;
  void SetPicture(CPicture* picture, int i, int s);
  const char* GetFilename(int i, int s) const;
  void ResetAnime();
  // Button i, or null outside the group.
  CCommonRadioButton* GetItem(int i) const;
  CNameList* GetList() const { return list_; }

 private:
  CNameList* list_ = nullptr;
  int selected_ = 0;
  int pressed_ = -1;
  std::vector<std::unique_ptr<CCommonRadioButton>> items_;
};
