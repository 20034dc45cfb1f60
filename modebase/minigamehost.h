// What the mini-game mode (40) offers the modes that host a mini-game
// through CModeFlowServices::CheckMiniGameStart. The mode implements it beside
// CCommonGeneral; the game finds it in its mode table and keeps the number
// of a started game for it (GetMiniGameResult).
#pragma once

class CMiniGameHost {
 public:
  // The most games the host holds, and so the most check areas.
  static constexpr int kMaxGames = 32;
  virtual ~CMiniGameHost() = default;
  // 1 while a mini-game runs.
  virtual int IsMiniGameRunning() = 0;
  // While a mini-game runs: its buttons' ButtonCode of this frame (-1
  // nothing).
  virtual int GetMiniGameButtonCode() = 0;
  // The number of the mini-game that `value` starts, -1 for none.
  virtual int CheckMiniGameValue(int value) = 0;
  // The mode whose check areas are live (-1 none; SetMiniGameAreaMode).
  virtual void SetMiniGameCheckMode(int) {}
  // Draws the area buttons of the live mode (PrintMiniGameButtons).
  virtual void PrintMiniGameAreaButtons() {}
};
