// CUpDownButton: the page buttons of a list screen, "up" (previous page) and
// "down" (next page), which also answer the mouse wheel, with the page and
// the page count. CCommonUpdownBack joins a back button and such a pair
// behind one calculation step: number 0 means back, number k >= 1 that page
// k - 1 is now the current one.
#pragma once

#include <cstdint>
#include <memory>

class CCommonButton;
class CCommonButtonSetup;
class CInputStatus;
class CNameList;
class CPicture;

class CUpDownButton {
 public:
  // Page numbers travel in a code's 7-bit number field, and the combined
  // control reports page + 1, so a pair holds at most 127 pages.
  static constexpr int kMaxPages = 127;
  static constexpr int kUp = 0;
  static constexpr int kDown = 1;

  // Reads the setups "up" and "down" (inheriting from "up"); both buttons
  // take the back picture when one is given. Page 0 of 2, enabled.
  CUpDownButton(CNameList* list, CPicture* backPicture);
  virtual ~CUpDownButton();
  CUpDownButton(const CUpDownButton&) = delete;
  CUpDownButton& operator=(const CUpDownButton&) = delete;
  virtual void Release();

  // Both clamp the page to 0..page count - 1; the count is held to
  // 0..kMaxPages.
  void SetPage(int n);
  int GetPage() const { return page_; }
  void SetPageMax(int n);
  int GetPageMax() const { return pageMax_; }

  void Init();
  // -1 when disabled. A decided click or wheel step moves the page and is
  // reported once, numbered with the new page; a press is numbered with
  // the button (0 up, 1 down).
  int32_t Calcu(const CInputStatus* input);
  void Print(int unused = 0);

  void SetEnable(int flag) { enable_ = flag; }
  int GetEnable() const { return enable_; }
  // Up is usable past the first page, down before the last (never with
  // fewer than two pages).
  int IsUsable(int index) const;

  void SetPrintXY(int upX, int upY, int downX, int downY);
  // index 0 up, 1 down, -1 both.
  void SetBackPicture(CPicture* picture, int index = -1);
  // Per button (0 up, 1 down); another index does nothing or answers null.
  void SetPicture(int index, CPicture* picture);
  CPicture* GetPicture(int index) const;
  const char* GetFilename(int index) const;
  CCommonButton* GetButton(int index) const;
  void ResetAnime();

 private:
  void UpdateUsable();
  // The page moved by a decided button; the latch cleared and both buttons
  // ready for the next click.
  void StepPage(int index);

  std::unique_ptr<CCommonButtonSetup> setups_[2];
  std::unique_ptr<CCommonButton> buttons_[2];
  int latched_ = 0;
  int latchedIndex_ = -1;
  int page_ = 0;
  int pageMax_ = 2;
  int enable_ = 1;
  int usable_[2] = {0, 0};
};

class CCommonUpdownBack {
 public:
  // Either part may be null; neither is owned.
  CCommonUpdownBack(CCommonButton* back, CUpDownButton* upDown);
  virtual ~CCommonUpdownBack();
  CCommonUpdownBack(const CCommonUpdownBack&) = delete;
  CCommonUpdownBack& operator=(const CCommonUpdownBack&) = delete;
  // Owns nothing, so frees nothing.
  virtual void Release();
  virtual void SetPageMax(int n);
  virtual int GetPageMax();
  virtual void SetPage(int n);
  virtual int GetPage();

  void Init();
  // Back decided: numbered 0 at once. A page decision: numbered page + 1.
  // While one part plays its click the other idles; the pair's enter and
  // leave codes are dropped while nothing is pressed.
  int32_t Calcu(const CInputStatus* input);
  void Print(int unused = 0);
  void ResetAnime();

  int GetPressedPart() const { return pressed_; }

 private:
  CCommonButton* back_;
  CUpDownButton* upDown_;
  int pressed_ = -1;  // -1 none, 0 back, 1 up, 2 down
};
