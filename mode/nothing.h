// CCommonNothing: mode 1, the first mode of every run. It fills the screen
// with one colour and then decides where the run goes: straight into a new
// game ("startupJumpScriptFlag"), to the codec dialog (mode 32) when the
// movie codec check made once per run finds too low a level, or to
// "nextMode" (the logos by default). Shift and Ctrl held at that moment
// count as a codec level of 3 without a check.
#pragma once

#include "modebase/commongeneral.h"
#include "modebase/modenumbers.h"
#include "mode/modekeys.h"

class CCommonNothing : public CCommonGeneral {
 public:
  static constexpr int kModeNumber = modenumber::kNothing;

  explicit CCommonNothing(const GameRoles& game);
  ~CCommonNothing() override;

  int Calcu() override;
  int Print() override;
  int Init() override;

  // For tests: the codec level this mode saw (-1 before its check).
  int GetCodecLevel() const { return codecLevel_; }

 private:
  Rgb fill_{255, 255, 255};
  int nextMode_ = modenumber::kLogo;
  int codecCheckFlag_ = 0;
  int codecLimit_ = 4;
  int startupJumpScriptFlag_ = 0;
  int codecLevel_ = -1;
  // The new game started in this entry: the mode then stays until the
  // script asks for another one.
  int gameStarted_ = 0;
};
