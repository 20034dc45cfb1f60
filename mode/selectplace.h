// CCommonSelectPlace: the map-style choice screen. The script shows places
// (buttons of the group "place" over a background), optionally each with the
// character that can be met there, and the player picks one; the place
// number + 1 reaches the script in a variable, written in AtExit only when a
// place was chosen. Variant 0 is mode 22 ("SelectPlace"), variant v > 0 is
// mode 34 + v ("SelectPlace<v + 1>"); the factory makes variants 0 and 1.
// The script opens it through the game's registered system call.
#pragma once

#include <memory>
#include <vector>

#include "modebase/commongeneral.h"
#include "modebase/modenumbers.h"

class CCommonButtonGroup;
class CPicture;

namespace selectplace {

// The pattern drawn, the pattern it fades to and the percent of the first.
struct AnimeFrame {
  int pattern = 0, next = 0, percent = 100;
};

// The character animation with P patterns, S frames per pattern and type T
// (1..8; patterns and speed below 1 count as 1, another type as 1): the
// counter after one step, and the frame a counter shows.
int StepAnimeCounter(int counter, int patterns, int speed, int type);
AnimeFrame AnimeFrameAt(int counter, int patterns, int speed, int type);

}  // namespace selectplace

class CCommonSelectPlace : public CCommonGeneral {
 public:
  static constexpr int kModeNumber = modenumber::kSelectPlace;
  static constexpr int kSecondModeNumber = modenumber::kSelectPlace2;
  static constexpr int kAutoPicLayers = 16;

  explicit CCommonSelectPlace(const GameRoles& game, int variant = 0);
  ~CCommonSelectPlace() override;

  int Calcu() override;
  int Print() override;
  int Init() override;
  int Leave() override;
  void AtExit() override;
  void BeforeExit() override;
  // Frees the button group, the tables and the pictures.
  virtual void Release();
  // Called before and after the places are drawn; empty here.
  virtual void BeforePrintPlaces();
  virtual void AfterPrintPlaces();
  virtual void PrintCharas();

  // For tests.
  int GetPlaceNumber() const { return static_cast<int>(places_.size()); }
  int IsPlaceEnabled(int i) const { return Valid(i) ? places_[i].enabled : 0; }
  int GetCharaNumber(int i) const { return Valid(i) ? places_[i].chara : -1; }
  int GetHovered() const { return hovered_; }
  int GetChosen() const { return chosenFlag_ ? chosen_ : -1; }
  int GetKeyCursor() const { return keyCursor_; }
  int GetAnimeCounter() const { return animeCounter_; }
  int GetLastAutoPicture() const { return lastAutoPic_; }
  CCommonButtonGroup* GetButtons() const { return buttons_.get(); }

 private:
  struct Place {
    int appearVar = -1, selectVar = -1, charaVar = -1;
    int areaX = 0, areaY = 0, charaX = 0, charaY = 0;
    int appear = 1, selectOk = 1, chara = -1;
    int enabled = 0;
    std::unique_ptr<CPicture> picture;
  };

  bool Valid(int i) const { return i >= 0 && i < GetPlaceNumber(); }
  int IsShown(int i) const;
  // The picture button i draws from.
  CPicture* Holder(int i) const;
  // The place whose button holds (x, y) (-1 none), enabled ones only unless
  // `anyShown`.
  int PlaceAt(int x, int y, int anyShown) const;
  void LoadAutoPictures(int number, int restartAllowed);
  // Leaves for mode m as the floating buttons ask (keeps the game state).
  int LeaveFor(int m);
  // The arrow keys: one step of the key cursor; 1 when it moved.
  int StepKeyCursor(int step);
  void MovePointerToPlace(int i);
  void PrintLayers(int first);

  int variant_ = 0;
  std::vector<Place> places_;
  std::unique_ptr<CCommonButtonGroup> buttons_;
  std::unique_ptr<CPicture> allChara_;
  int selectedVar_ = -1, onButtonVar_ = -1;
  int placeAppearFlag_ = 0, selectFlag_ = 0, charaFlag_ = 0, charaOnlyFlag_ = 1;
  int charaPrintUpper_ = 1, allCharaFlag_ = 0;
  const char* charaBase_ = "ta_chara";
  const char* allCharaName_ = "ta_allchara";
  int charaSizeX_ = 32, charaSizeY_ = 32;
  int animePattern_ = 1, animeSpeed_ = 1, animeType_ = 1;
  int onButtonRestart_ = 0, backLogOk_ = 0;
  int autoPicLoad_ = 0, autoPicCannotOk_ = 0, autoPicRestart_ = 0;
  const char* autoPicTags_[kAutoPicLayers] = {};

  int hovered_ = -1, chosen_ = -1, chosenFlag_ = 0, keyCursor_ = 0;
  int entryCountdown_ = 0, animeCounter_ = 0, lastAutoPic_ = -1;
};
