// CCommonButton: one clickable rectangle drawn from one picture. Four looks
// (0 normal, 1 hover, 2 clicked, 3 disabled), each with its own frame
// animation and place in the picture; click, bad-click, enter and leave
// sounds; clicks, the right button, the wheel and held accelerator keys as
// triggers; and a click time during which the click animation plays before
// the click counts. Calcu answers each frame with one ButtonCode
// (widget/buttoncode.h); the owner plays the sounds and acts on decisions.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/types.h"
#include "widget/anime.h"

class CCommonButtonSetup;
class CInputStatus;
class CNameList;
class CPicture;

class CCommonButton {
 public:
  static constexpr int kStates = 4;
  static constexpr int kAccelKeys = 3;
  enum State { kNormal = 0, kHover = 1, kClicked = 2, kDisabled = 3 };

  // With a list, the button reads its settings under `name` and takes the
  // back picture; without one it keeps the defaults and ignores it.
  CCommonButton(CNameList* list = nullptr, const char* name = nullptr,
                CPicture* backPicture = nullptr);
  virtual ~CCommonButton();
  CCommonButton(const CCommonButton&) = delete;
  CCommonButton& operator=(const CCommonButton&) = delete;
  // Deletes the setup the button made.
  virtual void Release();

  // State 0 (3 when disabled), counters and flags cleared.
  void Init();
  // One frame; a null input is an idle step.
  int32_t Calcu(const CInputStatus* input);
  // Draws the current look and advances its animation; the argument is not
  // used.
  void Print(int unused = 0);
  void StartClick();
  int CheckHitMouse(const CInputStatus* input) const;
  int CheckHitPoint(int x, int y) const;
  int CheckTrigger(const CInputStatus* input) const;

  // The size, the hit size and the four picture sources laid out side by
  // side (downwards with TateYoko).
  void SetSize(int w, int h);
  void ResetAnime();
  void CalcuAnime();
  void AddAnime(int step);
  // Where frame `frame` of look `state` lies in the picture.
  platform::Point GetFrameSource(int state, int frame) const;

  // Appearing draws of frame 0 of the current look, transparent; each
  // restarts the look's animation and marks what it draws.
  void PrintZoom(int percentX, int percentY, int dx, int dy, int percent);
  void PrintShift(int dx, int dy, int percent);
  void PrintSlideFromRight(int percent);
  void PrintSlideFromLeft(int percent);
  void PrintSlideFromTop(int percent);
  void PrintSlideFromBottom(int percent);
  void PrintOpenFromCentreY(int percent);
  void PrintOpenFromCentreX(int percent);

  // --- Settings ---
  void SetExist(int flag) { exist_ = flag; }
  int GetExist() const { return exist_; }
  // 0 also shows the disabled look at once; 1 leaves it until Init or an
  // idle step.
  void SetEnable(int flag);
  int GetEnable() const { return enable_; }
  void SetPrintPos(int x, int y) {
    printX_ = x;
    printY_ = y;
  }
  platform::Point GetPrintXY() const { return {printX_, printY_}; }
  int GetPrintX() const { return printX_; }
  int GetPrintY() const { return printY_; }
  platform::Point GetSize(platform::Point* out = nullptr) const;
  int GetSizeX() const { return sizeX_; }
  int GetSizeY() const { return sizeY_; }
  void SetCancelButton(int flag) { cancel_ = flag; }
  int IsCancelButton() const { return cancel_; }
  void SetUpButton(int flag) { up_ = flag; }
  int IsUpButton() const { return up_; }
  void SetDownButton(int flag) { down_ = flag; }
  int IsDownButton() const { return down_; }
  void SetUpDownReverse(int flag) { upDownReverse_ = flag; }
  int GetUpDownReverse() const { return upDownReverse_; }
  void SetCheckPic(int x, int y) {
    checkPicX_ = x;
    checkPicY_ = y;
  }
  void SetCheckDelta(int x, int y) {
    checkDeltaX_ = x;
    checkDeltaY_ = y;
  }
  void SetCheckSize(int w, int h) {
    checkSizeX_ = w;
    checkSizeY_ = h;
  }
  void SetBlockWhenDisabled(int flag) { blockWhenDisabled_ = flag; }
  int GetBlockWhenDisabled() const { return blockWhenDisabled_; }
  void SetVolumeType(int type) { volumeType_ = type; }
  int GetVolumeType() const { return volumeType_; }
  void SetClickTime(int frames) { clickTime_ = frames; }
  int GetClickTime() const { return clickTime_; }
  // Look outside 0..3: nothing.
  void SetAnimePattern(int state, int n);
  void SetAnimeSpeed(int state, int n);
  void SetAnimeType(int state, int n);
  void SetPicSrc(int state, int x, int y);
  // (0, 0) for a look outside 0..3.
  platform::Point GetPicSrc(int state) const {
    return ValidState(state) ? picSrc_[state] : platform::Point{0, 0};
  }
  void SetClickSound(int n) { clickSound_ = n; }
  void SetBadSound(int n) { badSound_ = n; }
  void SetEnterSound(int n) { enterSound_ = n; }
  void SetExitSound(int n) { exitSound_ = n; }
  int GetClickSound() const { return clickSound_; }
  int GetBadSound() const { return badSound_; }
  int GetEnterSound() const { return enterSound_; }
  int GetExitSound() const { return exitSound_; }
  void SetEnterWait(int frames) { enterWait_ = frames; }
  void SetExitWait(int frames) { exitWait_ = frames; }
  int GetEnterWait() const { return enterWait_; }
  int GetExitWait() const { return exitWait_; }
  void SetPrintMode(int mode) { printMode_ = mode; }
  int GetPrintMode() const { return printMode_; }
  // i outside 0..2: nothing, and -1 (no key) back.
  void SetAccelKey(int key, int i);
  int GetAccelKey(int i) const;
  void SetPicture(CPicture* picture) { picture_ = picture; }
  CPicture* GetPicture() const { return picture_; }
  void SetBackPicture(CPicture* picture) { backPicture_ = picture; }
  CPicture* GetBackPicture() const { return backPicture_; }
  void SetTateYoko(int flag) { tateYoko_ = flag; }
  int GetTateYoko() const { return tateYoko_; }
  void SetButtonNumber(int n) { number_ = n; }
  int GetButtonNumber() const { return number_; }
  void SetFilename(const char* name) { fileName_ = name; }
  const char* GetFileName() const { return fileName_; }
  const char* GetFilename() const { return fileName_; }
  CNameList* GetList() const { return list_; }
  CCommonButtonSetup* GetSetup() const { return setup_.get(); }

  // --- State, for owners and tests ---
  int GetState() const { return state_; }
  int GetCounter() const { return counter_; }
  int GetAnimeCounter(int state) const;
  const anime::Frame& GetAnimeFrame() const { return frame_; }

 private:
  static bool ValidState(int s) { return s >= 0 && s < kStates; }
  // The animation counters of the looks other than the current one to 0.
  void ResetOthers();
  // A sound code of `kind` with the button's volume type.
  int32_t SoundCode(int32_t kind, int sound) const;
  int32_t CalcuHover(bool hit);
  // Frame 0 of the current look, its animation restarted.
  platform::Point StartAppear();
  // A transparent draw of part of frame 0, marked dirty.
  void AppearBlt(int64_t x, int64_t y, int64_t srcX, int64_t srcY, int64_t w, int64_t h);

  int exist_ = 1;
  int enable_ = 1;
  int printX_ = 0, printY_ = 0;
  int sizeX_ = 1, sizeY_ = 1;
  int cancel_ = 0;
  int up_ = 0, down_ = 0;
  int checkPicX_ = 0, checkPicY_ = 0;
  int checkDeltaX_ = 0, checkDeltaY_ = 0;
  int checkSizeX_ = 1, checkSizeY_ = 1;
  int blockWhenDisabled_ = 0;
  int volumeType_ = 0;
  int clickTime_ = 1;
  int animePattern_[kStates] = {1, 1, 1, 1};
  int animeSpeed_[kStates] = {1, 1, 1, 1};
  int animeType_[kStates] = {1, 1, 1, 1};
  int clickSound_ = 0, badSound_ = 0, enterSound_ = 0, exitSound_ = 0;
  int enterWait_ = 0, exitWait_ = 0;
  int printMode_ = 2;
  int accelKey_[kAccelKeys] = {-1, -1, -1};
  CPicture* picture_ = nullptr;
  CPicture* backPicture_ = nullptr;
  platform::Point picSrc_[kStates] = {};
  int tateYoko_ = 0;
  int state_ = kNormal;
  int counter_ = 0;
  int entered_ = 0, left_ = 0;
  int animeCounter_[kStates] = {};
  anime::Frame frame_;
  int upDownReverse_ = 0;
  int number_ = 0;
  const char* fileName_ = nullptr;
  CNameList* list_ = nullptr;
  std::unique_ptr<CCommonButtonSetup> setup_;
};
