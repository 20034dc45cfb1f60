// CCommonSelectHeroin: mode 31, the heroine selection ("SelectHeroin"). Up
// to twelve heroines stand on a turning circle, the front one opaque, those
// behind fainter and higher; the turn buttons (the mode's up/down pair, kept
// on page 2 of 5) turn it one place with a short animation, OK writes the
// front heroine's position + 1 into the return variable and the optional
// next button writes 1. The front heroine's position survives between
// visits in the game's shared music-room word. The script opens the mode
// through the game's registered system call.
#pragma once

#include <memory>
#include <vector>

#include "modebase/commongeneral.h"
#include "modebase/modenumbers.h"

class CCommonButton;
class CNameList;
class CPicture;

namespace selectheroin {

struct Placement {
  int angle = 0, depth = 0, x = 0, y = 0, opacity = 100;
};

struct Circle {
  int turnFrame = 10, deltaAngle = 15;
  int percent1 = 20, percent2 = 110;
  int circleX = 250, circleY = 120;
};

// The place of the entry at circle place s (0 the front) of n entries, turn
// counter t and direction d.
Placement PlaceOnCircle(const Circle& circle, int s, int n, int t, int d);
// The drawing order of keys: an exchange sort by ascending key that keeps
// equal keys in their order.
std::vector<int> DrawOrder(const std::vector<int>& depths);

}  // namespace selectheroin

class CCommonSelectHeroin : public CCommonGeneral {
 public:
  static constexpr int kModeNumber = modenumber::kSelectHeroin;
  static constexpr int kMaxHeroines = 12;
  static constexpr int kOkPicture = 4;
  static constexpr int kNextPicture = 3;

  explicit CCommonSelectHeroin(const GameRoles& game);
  ~CCommonSelectHeroin() override;

  void SetCallArgs(int count, const int* values) override;
  int Calcu() override;
  int Print() override;
  int Init() override;
  int Leave() override;
  void AtExit() override;
  void Release();

  // Starts a turn by one place (+1 the next entry comes to the front, -1
  // the previous one) when the circle may turn and none runs.
  void StartTurn(int direction);

  // For tests.
  int GetEntryCount() const { return static_cast<int>(entries_.size()); }
  // Entry k's position (-1 outside).
  int GetEntryPosition(int k) const;
  CPicture* GetEntryPicture(int k) const;
  int GetFront() const { return front_; }
  int GetDirection() const { return direction_; }
  int GetTurnCounter() const { return turnCounter_; }
  int IsNextOffered() const { return nextOffered_; }
  // The placements of the entries this frame, in entry order.
  std::vector<selectheroin::Placement> Placements() const;
  CCommonButton* GetOkButton() const { return okButton_.get(); }
  CCommonButton* GetNextButton() const { return nextButton_.get(); }

 private:
  struct Entry {
    int position = 0, variant = 0;
  };

  bool CanTurn() const;
  CPicture* Holder(int k) const;
  void ResetButtons();
  int Choose(int value);

  int printMax_ = 4;
  int heroinVars_[kMaxHeroines] = {};
  int returnVar_ = -1, nextVar_ = -1;
  int okFlag_ = 1, nextFlag_ = 0, createBuffer_ = 0, minTurn_ = 1;
  selectheroin::Circle circle_;
  const char* plateName_ = nullptr;
  int plateX_ = 0, plateY_ = 0;

  std::unique_ptr<CNameList> heroinList_;
  std::unique_ptr<CPicture> ownPictures_[kMaxHeroines];
  std::unique_ptr<CPicture> plate_;
  std::unique_ptr<CCommonButton> okButton_, nextButton_;
  std::vector<Entry> entries_;
  std::vector<int> loaded_;  // per entry: its picture loaded
  int nextOffered_ = 0, chosen_ = 0;
  int front_ = 0, direction_ = 0, turnCounter_ = 0, step_ = 360;
};
