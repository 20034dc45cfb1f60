// CCommonSystemMenu: mode 13, the menu the player opens during the story.
// A column of option buttons appears over a base picture on the frozen
// (optionally filtered) game screen and leads to save, load, configuration,
// the back log, hiding the window, skipping, automatic reading, back to the
// story or, after a confirmation dialog, to the title. Scene replays get a
// variant whose exit goes back to the scene gallery.
#pragma once

#include <memory>

#include "modebase/commongeneral.h"
#include "modebase/moderoles.h"
#include "modebase/modenumbers.h"

class CCommonButtonGroup;
class CMenuButtonPanel;
class CMenuButtonSetup;

// The menu's pure rules, shared by the mode and its tests.
namespace systemmenu {

constexpr int kBuiltIn = CSystemMenuOptions::kBuiltInOptions;
constexpr int kMaxOptions = 20;
constexpr int kScale = 10000;
// "optionNumber" held to 1..20.
int ClampOptionNumber(int n);
// The appear step per frame for "menuPrintTime" and "menuPrintType": at
// least 1.
int AppearStep(int time, int type);
// Puts `key` into the first empty (0 or -1) of three slots unless one
// already holds it; whether it went in.
bool AddDefaultKey(int slots[3], int key);

}  // namespace systemmenu

class CCommonSystemMenu : public CCommonGeneral, public CSystemMenuOptions {
 public:
  static constexpr int kModeNumber = modenumber::kSystemMenu;
  static constexpr int kCancelOption = 7, kExitOption = 8;
  static constexpr int kFirstPoolPicture = 5, kDialogPoolPicture = 3;

  explicit CCommonSystemMenu(const GameRoles& game);
  ~CCommonSystemMenu() override;
  void RegisterRoles(ModeRoles* roles) override { roles->systemMenu = this; }

  int Calcu() override;
  int Print() override;
  int Init() override;
  int Leave() override { return -1; }
  void AtExit() override;
  void BeforeInit() override;
  int PrintEnterScreen() override { return Print(); }
  virtual void Release();

  void SetSceneMode(int flag) override;
  int GetSceneMode() const { return sceneMode_; }
  // The first accelerator key of option i's button; -1 without one.
  int GetOptionAccelKey(int option) const override;
  int GetOptionNumber() const override { return optionNumber_; }
  // Added option i's mode and quick command (0 for the built-in ones).
  int GetOptionMode(int option) const override;
  int GetOptionCommand(int option) const override;

  // For tests.
  CMenuButtonPanel* GetPanel() const { return panel_.get(); }
  int IsShown() const { return shown_; }
  int IsDialogOpen() const { return dialogOpen_; }
  int GetStep() const { return step_; }
  int GetDelay(int i) const { return i >= 0 && i < optionNumber_ ? delay_[i] : 0; }
  int GetSpeed(int i) const { return i >= 0 && i < optionNumber_ ? speed_[i] : 0; }

 private:
  int Decide(int option);
  int ReturnToStory();
  int LeaveGame();
  int OpenDialog();
  void FilterScreen();
  void LoadOptionPictures();
  void EnableOptions();

  std::unique_ptr<CMenuButtonSetup> setup_;
  std::unique_ptr<CMenuButtonPanel> panel_;
  std::unique_ptr<CCommonButtonGroup> dialog_;
  int optionNumber_ = systemmenu::kBuiltIn;
  int expMode_[systemmenu::kMaxOptions] = {};
  int expCommand_[systemmenu::kMaxOptions] = {};
  const char* sceneBackName_ = nullptr;
  const char* sceneEndName_ = nullptr;
  int setDefaultShortCut_ = 1, menuPrintType_ = 1, menuPrintTime_ = 20;
  const char* baseName_ = "ta_menulistbase";
  int baseX_ = 536, baseY_ = 10, baseW_ = 205, baseH_ = 300;
  int outClickReturn_ = 0, warningPrint_ = 1, warningMenuPrint_ = 1, exitWarningSound_ = -1;
  const char* dialogName_ = "ta_dialog3";
  int dialogX_ = 236, dialogY_ = 160, dialogW_ = 340, dialogH_ = 145;
  int backScreenType_ = 2;
  const char* backScreenName_ = "bg_sysmenu";
  int nega_ = 0, grey_ = 0, multi_ = 0, addSub_ = 0;
  int multiRGB_[3] = {100, 100, 100}, addRGB_[3] = {0, 0, 0};
  int screenToGetPut_ = 0, getWithMessage_ = 1;

  int step_ = systemmenu::kScale / 20;
  int overall_ = 0;
  int delay_[systemmenu::kMaxOptions] = {}, speed_[systemmenu::kMaxOptions] = {};
  int sceneRequest_ = 0, sceneMode_ = 0, shown_ = 0, dialogOpen_ = 0, returning_ = 0;
};
