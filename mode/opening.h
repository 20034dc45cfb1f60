// CCommonOpening: mode 3, an optional opening in the start-up chain. It
// runs the mode's back script once and leaves for "nextMode" (the title by
// default) on a click or when the script has ended.
#pragma once

#include "modebase/commongeneral.h"
#include "modebase/modenumbers.h"

class CCommonOpening : public CCommonGeneral {
 public:
  static constexpr int kModeNumber = modenumber::kOpening;

  explicit CCommonOpening(const GameRoles& game);
  ~CCommonOpening() override;

  int Calcu() override;
  int Print() override;
  int Init() override;

 private:
  int nextMode_ = modenumber::kTitle;
};
