// Prepared text pictures: #133 CEffectSentence reveals a picture of text one
// character cell at a time, in rows or in right-to-left columns;
// #80 CEffectStaffRoll draws a staff roll of stacked pictures through a per-row
// opacity profile while the channel's draw rectangle moves it. Each names its
// values in its class; their defaults and clamps are its start table in
// effectsentence.cpp.
#pragma once

#include <array>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "effect/effectstart.h"

// A cell size below 1 draws nothing; the appearance (0..6) is how the cell
// being written shows.
class CEffectSentence : public CTableStartEffect {
 public:
  static constexpr int kNumber = 133;
  static constexpr const char* kClassName = "CEffectSentence";
  enum : int {
    kDuration,
    kCellWidth,
    kCellHeight,
    kVertical,
    kAppearance,
    kFramesPerChar,
    kCurve,
    kRamp
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::ParamClamp kClamps[];
  static const effectstart::StartTable kTable;
  explicit CEffectSentence(CEffectManager* manager);
  int Finish(EffectChannel*, int) override { return 0; }
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
};

// The blend mode 2 blends through the mask. The row opacities run through
// the values at the top edge, four boundary rows and the bottom edge.
// Piece i >= 1 is the picture "<own name>_<i + 1>", loaded into channel +
// 1 + (i - 1) mod piece channels every frame, in piece order, whether it
// shows or not: a piece channel ends each frame holding the last piece
// that loaded into it.
class CEffectStaffRoll : public CTableStartEffect {
 public:
  static constexpr int kNumber = 80;
  static constexpr const char* kClassName = "CEffectStaffRoll";
  // The most pieces a roll has: each is a picture file tried every frame.
  static constexpr int kMostPieces = 1000;
  enum : int {
    kDuration,
    kBlendMode,
    kTopOpacity,
    kOpacity1,
    kOpacity2,
    kOpacity3,
    kOpacity4,
    kBottomOpacity,
    kBoundary1,
    kBoundary2,
    kBoundary3,
    kBoundary4,
    kPieces,
    kPieceChannels
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectStaffRoll(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel*, int) override { return 0; }
  void Print(EffectChannel* record, int channel) override;
  // Print drawing its pieces pixel by pixel: the reference for its rows.
  void PrintPlain(EffectChannel* record, int channel);
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  void Restore(EffectChannel* record, int channel) override;

  // The row opacities (0..256) of the last start or draw.
  const std::vector<int>& GetTable() const { return table_; }
  // The channel whose picture piece i (>= 1) of a roll on `channel` uses,
  // or -1 when the piece is skipped.
  static int PieceChannel(int channel, int piece, int pieceChannels);

 private:
  // The piece channels' loads still to make this frame (empty: none).
  using Pending = std::array<std::string, 16>;

  void BuildTable(const EffectChannel& record);
  void DrawPiece(const CPicture& piece, int x, int y, int mode);
  // Loads `name` into `piece` after the load waiting for that channel; 0
  // when it failed (the channel then holds the waiting piece, as if it had
  // loaded first).
  int LoadPiece(CPicture* piece, const std::string& name, std::string* waiting);
  // The waiting load made now.
  void LoadWaiting(CPicture* piece, std::string* waiting);

  std::vector<int> table_;
  bool plain_ = false;
  // Piece names that failed to load since the roll last started.
  std::set<std::string> failed_;
  // Piece names that loaded since the roll last started, with their heights.
  std::map<std::string, int> loaded_;
};
