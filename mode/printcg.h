// CCommonPrintCG: mode 23, the picture viewer. It shows the CG list's
// current picture of the current character full screen, made of up to 16
// tiles ("__\\name", "__\\name_2" ...). A picture larger than the screen
// scrolls from one end to the other after a wait; Ctrl with the left button
// drags it. The wheel, a click or the middle button step to the next or
// previous seen picture; a picture's voice starts after a short wait; a
// right click returns to the mode held in the parameter.
#pragma once

#include <string>

#include "modebase/commongeneral.h"
#include "modebase/modenumbers.h"

class CCGList;
class CCGVoiceList;
class CPicture;

class CCommonPrintCG : public CCommonGeneral {
 public:
  static constexpr int kModeNumber = modenumber::kPrintCG;
  static constexpr int kMaxTiles = 16;
  static constexpr int kVoiceNameSize = 1024;
  // The Control key as the held-key query numbers it.
  static constexpr int kControlKey = 17;

  explicit CCommonPrintCG(const GameRoles& game);
  ~CCommonPrintCG() override;

  int Calcu() override;
  int Print() override;
  int Init() override;
  void GetEnterScreen() override;
  virtual void Release();

  // The view's offset into a picture of `size` on a screen of `screen` with
  // `timer` frames left of a movement of `time` (below 1 counts as 1) in
  // direction 0 (from the far end) or 1 (from the near edge).
  static int ScrollOffset(int size, int screen, int timer, int time, int direction);

  // For tests.
  int GetOffsetX() const { return x_.offset; }
  int GetOffsetY() const { return y_.offset; }
  int IsScrolling() const { return x_.scrolling || y_.scrolling; }
  int GetTilesX() const { return x_.tiles; }
  int GetTilesY() const { return y_.tiles; }
  int GetPictureWidth() const { return x_.size; }
  int GetPictureHeight() const { return y_.size; }
  const std::string& GetVoiceName() const { return voiceName_; }

 private:
  struct Axis {
    int scrolling = 0, timer = 0, time = 30, wait = 10;
    int direction = -1;  // the picture's own, -1 for the setting
    int setting = 0;     // "scrollDirectionX/Y"
    int tiles = 1;
    int size = 0;    // the whole picture's
    int offset = 0;  // shown, also while dragged
    int Max(int screen) const { return size > screen ? size - screen : 0; }
  };

  void LoadPicture();
  void StartVoice();
  void StepVoice();
  void UpdateOffsets();
  void Draw() const;
  int AnyTransparent() const;
  // Loaded tile k, else null.
  CPicture* Tile(int k) const;

  CCGList* cgList_ = nullptr;
  CCGVoiceList* voiceList_ = nullptr;
  int chara_ = 0, cg_ = 0;
  Axis x_, y_;
  int scrollTimeX_ = 30, scrollTimeY_ = 30, scrollWaitX_ = 10, scrollWaitY_ = 10;
  int transparent_[kMaxTiles] = {};
  int tileLoaded_[kMaxTiles] = {};
  int dragFlag_ = 0, dragging_ = 0, lastX_ = 0, lastY_ = 0;
  int taBGFlag_ = 0, taBGR_ = 0, taBGG_ = 0, taBGB_ = 0;
  const char* taBGFileName_ = "bg_cgcharaback";
  int nextSound_ = 3, prevSound_ = 3, backSound_ = 2;
  int voiceWaitTime_ = 10;
  std::string voiceName_;
  int voiceCountdown_ = 0, voicePlayed_ = 0;
};
