// CCommonTitle: mode 4, the title screen. The start-up chain ends here and
// the game comes back here when a game is closed. It shows its background
// and one menu of picture buttons, optionally after a wait and an appear
// animation, and turns a decided button into a new game (with the start
// value of the button), the load or configuration screen, the extras menu,
// quitting, or a further mode named by the list. It can restart the
// start-up chain by itself after a set time or when its back script ends.
#pragma once

#include <memory>

#include "modebase/commongeneral.h"
#include "modebase/modenumbers.h"

class CMenuButtonPanel;
class CMenuButtonSetup;

class CCommonTitle : public CCommonGeneral {
 public:
  static constexpr int kModeNumber = modenumber::kTitle;
  // Column c's picture is pool picture kFirstPoolPicture + c (after the
  // mini-game area buttons' pictures when those are on).
  static constexpr int kFirstPoolPicture = 3;

  explicit CCommonTitle(const GameRoles& game);
  ~CCommonTitle() override;

  int Calcu() override;
  int Print() override;
  int Init() override;
  int Leave() override;
  void AtExit() override;
  void BeforeCreateExitScreen() override;
  int PrintEnterScreen() override;
  void Release();

  // 0 menu active, 1 waiting, 2 appearing.
  int GetMenuPhase() const;
  // Ends the wait and the appear animation at once.
  void SkipMenuStart();

  // For tests.
  CMenuButtonPanel* GetMenu() const { return menu_.get(); }
  CMenuButtonSetup* GetMenuSetup() const { return setup_.get(); }
  int GetShownMenu() const { return shownMenu_; }
  int GetStartChosen() const { return startChosen_; }
  int GetStartValue() const { return startValue_; }
  int GetCheckVar() const { return checkVar_; }
  int GetReturnVar() const { return returnVar_; }

 private:
  // The action of decided button f; the mode's result.
  int Decide(int f);
  // Leaves with no next mode; the new game starts in AtExit.
  int ChooseStart(int value);

  std::unique_ptr<CMenuButtonSetup> setup_;
  std::unique_ptr<CMenuButtonPanel> menu_;
  int extModeNumber_ = 0, basicNumber_ = 5, extNumber_ = 0;
  int checkVar_ = -1, returnVar_ = -1;
  int shownMenu_ = 0;
  int menuStartWaitTime_ = 0, menuStartEffectTime_ = 0, menuStartEffectType_ = 0;
  int menuStartDeltaX_ = 0, menuStartDeltaY_ = 0;
  int autoRestartTime_ = 0;
  int scriptEndIsModeEnd_ = 0;
  int restartNextMode_ = modenumber::kNothing;
  const char* bgName_ = "title_bg";
  int startCounter_ = 0, idleCounter_ = 0;
  int startChosen_ = 0, startValue_ = 0;
  // A new game or quitting was chosen in this entry: the menu takes no
  // more input until the title is entered again.
  int left_ = 0;
  // The new game has started: the story draws from now on.
  int started_ = 0;
};
