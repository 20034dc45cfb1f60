// CCommonOmake: mode 15, the extras menu the title leads to. One row of
// the menu panel is shown (chosen by a game variable when the list has
// extension rows), optionally after a wait and an appear animation; its
// buttons open the picture gallery, the scene gallery, the music room, the
// title, a mode named per button or a special new game.
#pragma once

#include <memory>

#include "modebase/commongeneral.h"
#include "modebase/modenumbers.h"

class CCGList;
class CMenuButtonPanel;
class CMenuButtonSetup;
class CSceneList;

class CCommonOmake : public CCommonGeneral {
 public:
  static constexpr int kModeNumber = modenumber::kOmake;
  // Column c's picture is pool picture kFirstPoolPicture + c (after the
  // mini-game area buttons' pictures when those are on).
  static constexpr int kFirstPoolPicture = 3;
  static constexpr int kCancelColumn = 3;

  explicit CCommonOmake(const GameRoles& game);
  ~CCommonOmake() override;

  int Calcu() override;
  int Print() override;
  int Init() override;
  int PrintEnterScreen() override;
  virtual void Release();

  // 0 menu, 1 waiting, 2 appearing.
  int GetPhase() const;

  // For tests.
  CMenuButtonPanel* GetPanel() const { return panel_.get(); }
  int GetCurrentMenu() const { return currentMenu_; }
  int GetCheckVar() const { return checkVar_; }
  int GetReturnVar() const { return returnVar_; }

 private:
  // Ends the wait and the appear animation.
  void EndAnime();
  // The action of decided button n; the mode's result.
  int Decide(int n);
  // A button's special mode m, or a new game with `value` when m is none.
  int SpecialOrNewGame(int m, int value);

  int cgCharaAuto_ = 0, sceneCharaAuto_ = 0;
  int modeExist_[4] = {1, 1, 1, 1};
  std::unique_ptr<CMenuButtonSetup> setup_;
  std::unique_ptr<CMenuButtonPanel> panel_;
  int currentMenu_ = 0;
  int extModeNumber_ = 0, basicButtonNumber_ = 4, extButtonNumber_ = 0;
  int checkVar_ = -1, returnVar_ = -1;
  int timer_ = 0;
  int menuStartWaitTime_ = 0, menuStartEffectTime_ = 0, menuStartEffectType_ = 0;
  int menuStartDeltaX_ = 0, menuStartDeltaY_ = 0;
  CCGList* cgList_ = nullptr;
  CSceneList* sceneList_ = nullptr;
};
