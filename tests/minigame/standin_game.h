// A stand-in mini-game for the framework and mode tests: it records its
// calls in a shared log and, on demand, raises sounds, flags and a Calcu
// result. Type 0 of StandInTypes() makes one; the other types have no line.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "minigame/allminigame.h"
#include "minigame/minigamebase.h"

namespace minigame_test {

struct StandInControl {
  std::vector<std::string> log;
  // Applied in the next Calcu: the sounds in order, then the flags.
  std::vector<int> sounds;
  int clear = 0, gameOver = 0;
  int calcuResult = -1;
  int made = 0;
};

inline StandInControl& Control() {
  static StandInControl control;
  return control;
}

class StandInGame : public CMiniGameBase {
 public:
  explicit StandInGame(CAllMiniGame* holder) : CMiniGameBase(holder), id_(Control().made++) {}
  ~StandInGame() override {
    Release();
    Note("Delete");
  }
  void Release() override { Note("Release"); }
  int Init() override {
    Note("Init");
    return -1;
  }
  int Calcu() override {
    Note("Calcu");
    StandInControl& c = Control();
    for (int s : c.sounds) {
      switch (s) {
        case CAllMiniGame::kClick: holder_->RequestClickSound(); break;
        case CAllMiniGame::kGood: holder_->RequestGoodSound(); break;
        case CAllMiniGame::kBad: holder_->RequestBadSound(); break;
        case CAllMiniGame::kClear: holder_->RequestClearSound(); break;
        case CAllMiniGame::kGameOver: holder_->RequestGameOverSound(); break;
        default: break;
      }
    }
    if (c.clear) clearFlag_ = 1;
    if (c.gameOver) gameOverFlag_ = 1;
    return c.calcuResult;
  }
  int Print() override {
    Note("Print");
    return -1;
  }
  CPicture* Picture(int i) const { return picture_[i]; }
  CPicture* Screen() const { return screenPicture_; }
  CPicture* Work() const { return workPicture_; }

 private:
  void Note(const char* what) { Control().log.push_back(std::string(what) + " " + std::to_string(id_)); }
  int id_;
};

inline CMiniGameBase* MakeStandIn(CAllMiniGame* holder) { return new StandInGame(holder); }

inline std::span<const MiniGameType> StandInTypes() {
  static constexpr MiniGameType kTypes[] = {{0, &MakeStandIn}};
  return kTypes;
}

inline void ResetControl() { Control() = StandInControl{}; }

}  // namespace minigame_test
