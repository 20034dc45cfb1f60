// CAllMiniGame: the holder of the mini-games. It makes them by type number
// from a type-to-constructor table (minigamefactory.cpp: each game family
// adds its line; a type without a line makes nothing), keeps them, hands
// them the pictures, picture sets, cell sizes and set flags the host loaded,
// and carries the one sound request a game may raise per frame.
#pragma once

#include <memory>
#include <span>
#include <vector>

class CAllMiniGame;
class CInputStatus;
class CMiniGameBase;
class CMouseStatus;
class CPicture;

// One line of the factory: the game type and its constructor.
struct MiniGameType {
  int type;
  CMiniGameBase* (*make)(CAllMiniGame* holder);
};

// The engine's own table.
std::span<const MiniGameType> DefaultMiniGameTypes();

class CAllMiniGame {
 public:
  static constexpr int kTypes = 10;
  static constexpr int kSets = 16;
  static constexpr int kSetCount = 7;
  static constexpr int kSoundCount = 6;
  enum Sound { kClick = 0, kGood = 1, kBad = 2, kStart = 3, kClear = 4, kGameOver = 5 };

  // The games read the host's key and mouse state (null: no input).
  // `types` replaces the engine's table (tests and stand-in games).
  CAllMiniGame(CInputStatus* keyStatus, CMouseStatus* mouseStatus, int capacity,
               std::span<const MiniGameType> types = DefaultMiniGameTypes());
  virtual ~CAllMiniGame();
  CAllMiniGame(const CAllMiniGame&) = delete;
  CAllMiniGame& operator=(const CAllMiniGame&) = delete;
  // Each game's Release, then the game deleted, in creation order.
  virtual void Release();

  // 1 when a game of `type` was made and appended; 0 for a full array, a
  // negative type, a type above 9 or without a constructor.
  int CreateGame(int type);
  // Appends an entry without a game (nothing runs there); 0 when full.
  int AddEmptyGame();
  int GetCapacity() const { return capacity_; }
  int GetCount() const { return static_cast<int>(games_.size()); }
  // The game of entry i, null for an empty entry or outside.
  CMiniGameBase* GetGame(int i) const;

  int StartGame();
  int Calcu();
  int Print();
  int IsCleared();
  int IsGameOver();

  CInputStatus* GetKeyStatus() const { return keyStatus_; }
  CMouseStatus* GetMouseStatus() const { return mouseStatus_; }
  // Picture 0..2 (another index is taken as 0).
  CPicture* GetPicture(int i) const;
  int SetPicture(CPicture* picture, int i);
  CPicture* GetScreenPicture() const { return screenPicture_; }
  CPicture* GetWorkPicture() const { return workPicture_; }
  void SetScreenPicture(CPicture* picture) { screenPicture_ = picture; }
  void SetWorkPicture(CPicture* picture) { workPicture_ = picture; }
  void SetCurrentGame(int i) { current_ = i; }
  int GetCurrentGame() const { return current_; }

  // --- Picture sets (index 0..15; setters ignore another index) ---
  int GetPictureSetCount() const { return setCount_; }
  // Null outside 0..15; the sets above the named ones have an empty name.
  static const char* GetPictureSetName(int i);
  CPicture* GetSetPicture(int i) const;
  void SetSetPicture(int i, CPicture* picture);
  // 16 x 16 outside the table.
  void GetCellSize(int i, int* w, int* h) const;
  void SetCellSize(int i, int w, int h);
  int GetSetFlag(int i) const;
  void SetSetFlag(int i, int value);

  // --- Sounds ---
  int GetSoundCount() const { return soundCount_; }
  // Null outside 0..15 (the names above 5 are empty).
  static const char* GetSoundName(int i);
  void RequestClickSound() { soundRequest_ = kClick; }
  void RequestGoodSound() { soundRequest_ = kGood; }
  void RequestBadSound() { soundRequest_ = kBad; }
  void RequestClearSound() { soundRequest_ = kClear; }
  void RequestGameOverSound() { soundRequest_ = kGameOver; }
  int GetSoundRequest() const { return soundRequest_; }

 private:
  static bool InSets(int i) { return i >= 0 && i < kSets; }
  CMiniGameBase* Current() const { return GetGame(current_); }

  int capacity_;
  std::span<const MiniGameType> types_;
  std::vector<std::unique_ptr<CMiniGameBase>> games_;
  int current_ = -1;
  CInputStatus* keyStatus_ = nullptr;
  CMouseStatus* mouseStatus_ = nullptr;
  CPicture* pictures_[3] = {};
  int soundRequest_ = -1;
  CPicture* screenPicture_ = nullptr;
  CPicture* workPicture_ = nullptr;
  int setCount_ = kSetCount;
  CPicture* setPictures_[kSets] = {};
  int cellSize_[kSets][2] = {};
  int soundCount_ = kSoundCount;
  int setFlags_[kSets] = {};
};
