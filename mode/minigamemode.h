// CCommonMiniGame: mode 40, the host of the mini-games. Other modes (the
// title, the extras menu) carry check areas, rectangles or the buttons of a
// group, one per game; a click on an active one leaves that mode for this
// one, which shows the game's description pages, deals the game with two of
// the player's seen pictures under an exit button, bounces a congratulation
// picture once the game is cleared, records the clear in a game variable,
// unlocks pictures, and returns to the calling mode (the parameter) by the
// exit button. The games live in the holder (minigame/allminigame.h).
#pragma once

#include <memory>
#include <span>
#include <vector>

#include "modebase/commongeneral.h"
#include "modebase/moderoles.h"
#include "modebase/modenumbers.h"
#include "modebase/minigamehost.h"
#include "minigame/allminigame.h"

class CCommonButton;
class CCommonButtonGroup;
class CFloatingLayerTable;

class CCommonMiniGame : public CCommonGeneral, public CMiniGameHost {
 public:
  static constexpr int kModeNumber = modenumber::kMiniGame;
  static constexpr int kMaxUnlocks = 127;
  static constexpr int kSounds = 16;
  static constexpr int kNoCGColor = 0x004080;

  // `types` replaces the engine's game table (tests, stand-in games).
  explicit CCommonMiniGame(const GameRoles& game,
                           std::span<const MiniGameType> types = DefaultMiniGameTypes());
  ~CCommonMiniGame() override;
  void RegisterRoles(ModeRoles* roles) override { roles->miniGameHost = this; }

  int Calcu() override;
  int Print() override;
  int Init() override;
  void Release();

  // --- What the game object calls ---
  // Stores the mode whose areas are checked (-1 none) and, with area
  // buttons, shows the group's buttons of the active areas.
  void SetCheckMode(int mode);
  int GetCheckMode() const { return checkMode_; }
  // The first active area of `mode` under the mouse, -1 for none.
  int CheckArea(int mode);
  // The area group's ButtonCode of this frame; -1 without a check mode.
  int CalcuMiniGameButtons();
  void PrintMiniGameButtons();
  int CreateGame(int type);

  // CMiniGameHost: with area buttons the group answers, else the areas.
  int IsMiniGameRunning() override;
  int GetMiniGameButtonCode() override;
  int CheckMiniGameValue(int value) override;
  void SetMiniGameCheckMode(int mode) override { SetCheckMode(mode); }
  void PrintMiniGameAreaButtons() override { PrintMiniGameButtons(); }

  // --- For tests ---
  struct Area {
    int x = 0, y = 0, w = 16, h = 16;
    int checkMode = modenumber::kOmake;
    int checkVar = -1;
    int setVar = -1, setType = 0;
    int pages = 0;
    int exitX = 0, exitY = 0;
    std::vector<std::pair<int, int>> cgs, scenes;
  };
  CAllMiniGame* GetHolder() const { return holder_.get(); }
  int GetAreaCount() const { return areaCount_; }
  const Area& GetArea(int i) const { return areas_[i]; }
  CCommonButton* GetExitButton() const { return exitButton_.get(); }
  CCommonButtonGroup* GetAreaButtons() const { return areaButtons_.get(); }
  const std::vector<int>& GetEligibleCGs() const { return eligible_; }
  int GetPage() const { return page_; }
  int GetPageCount() const { return pageCount_; }
  int GetRecorded() const { return recorded_; }
  CPicture* GetCongratulation() const { return congra_.get(); }
  void GetCongratulationMove(int* x, int* y, int* vx, int* vy) const {
    *x = congraX_, *y = congraY_, *vx = congraVX_, *vy = congraVY_;
  }
  void SetCongratulationMove(int x, int y, int vx, int vy) {
    congraX_ = x, congraY_ = y, congraVX_ = vx, congraVY_ = vy;
  }
  // One step of the bouncing congratulation picture.
  void MoveCongratulation();

 private:
  void ReadSounds();
  void ReadPictureSets();
  void ReadGames();
  void ReadAreas();
  void MakeExitButton();
  void MakeAreaButtons();
  const Area* CurrentArea() const;
  bool AreaActive(int i, int mode);
  void CollectEligibleCGs();
  void LoadVisitPictures();
  void ShowPage(int page);
  void RecordClear();

  std::unique_ptr<CAllMiniGame> holder_;
  int sabunOkFlag_ = 0;
  int allOkFlag_ = 1;
  int areaButtonMode_ = 0;
  const char* noCGFileName_ = "nnnlogo";
  const char* congraFileName_ = "ta_congra";
  std::unique_ptr<CPicture> congra_;
  int congraX_ = 0, congraY_ = 0, congraVX_ = 4, congraVY_ = 0;
  std::vector<int> eligible_;
  int gameNumber_ = -1;
  int page_ = 0, pageCount_ = 0;
  int recorded_ = 0;
  int gameCount_ = 0;
  int areaCount_ = 0;
  Area areas_[kMaxGames];
  std::unique_ptr<CCommonButton> exitButton_;
  std::unique_ptr<CFloatingLayerTable> layers_;
  int exitX_ = 0, exitY_ = 0;
  int sounds_[kSounds];
  std::unique_ptr<CCommonButtonGroup> areaButtons_;
  int checkMode_ = -1;
};
