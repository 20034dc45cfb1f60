// CMiniGameBase: one small game run by the mini-game mode (40). A game
// reaches pictures, picture sets, cell sizes and sounds only through its
// holder (CAllMiniGame); it draws on the host's screen picture and asks for
// one sound a frame through the holder's request.
#pragma once

class CAllMiniGame;
class CInputStatus;
class CMouseStatus;
class CPicture;

class CMiniGameBase {
 public:
  explicit CMiniGameBase(CAllMiniGame* holder);
  virtual ~CMiniGameBase();
  CMiniGameBase(const CMiniGameBase&) = delete;
  CMiniGameBase& operator=(const CMiniGameBase&) = delete;

  // --- Virtual operations, in their fixed order ---
  // Frees what the game allocated; every game's destructor runs it too.
  virtual void Release();
  // Deals a new game; -1.
  virtual int Init();
  // One frame of input and rules; -1 to stay.
  virtual int Calcu();
  // Draws the game on the screen picture; -1.
  virtual int Print();
  virtual int GetClearFlag();
  virtual int GetGameOverFlag();

  // Takes the holder's game, input and pictures again, clears both flags and
  // deals (Init's result).
  int Start();
  int CallCalcu() { return Calcu(); }
  int CallPrint() { return Print(); }

 protected:
  CAllMiniGame* holder_;
  CInputStatus* keyStatus_ = nullptr;
  CMouseStatus* mouseStatus_ = nullptr;
  CPicture* picture_[3] = {};
  CPicture* screenPicture_ = nullptr;
  CPicture* workPicture_ = nullptr;
  int clearFlag_ = 0;
  int gameOverFlag_ = 0;
};
