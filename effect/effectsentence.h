// Prepared text pictures: #133 reveals a picture of text one character cell
// at a time, in rows or in right-to-left columns; #80 draws a staff roll of
// stacked pictures through a per-row opacity profile while the channel's
// draw rectangle moves it.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "effect/effectstart.h"

// p0 duration (20), p1, p2 cell size (32; below 1 draws nothing), p3
// vertical writing, p4 appearance of the cell being written (0..6), p5
// frames per character (1, at least 1), p6 curve, p7 ramp.
class CEffectSentence : public CTableStartEffect {
 public:
  static constexpr int kNumber = 133;
  static constexpr const char* kClassName = "CEffectSentence";
  explicit CEffectSentence(CEffectManager* manager);
  int Finish(EffectChannel*, int) override { return 0; }
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
};

// p0 duration (20), p1 blend mode (1; 2 blends through the mask), p2..p7
// opacities in percent at the top edge, boundaries 1..4 and the bottom edge
// (0, 50, 100, 100, 50, 0), p8..p11 the boundaries as screen rows (100,
// 200, 280, 380; rising, 0..H), p12 pieces (1), p13 piece channels (0; 1
// for two pieces, at least 2 for more). Piece i >= 1 is the picture
// "<own name>_<i + 1>", loaded into channel + 1 + (i - 1) mod piece
// channels.
class CEffectStaffRoll : public CTableStartEffect {
 public:
  static constexpr int kNumber = 80;
  static constexpr const char* kClassName = "CEffectStaffRoll";
  explicit CEffectStaffRoll(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel*, int) override { return 0; }
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  void Restore(EffectChannel* record, int channel) override;

  // The row opacities (0..256) of the last start or draw.
  const std::vector<int>& GetTable() const { return table_; }
  // The channel whose picture piece i (>= 1) of a roll on `channel` uses,
  // or -1 when the piece is skipped.
  static int PieceChannel(int channel, int piece, int pieceChannels);

 private:
  void BuildTable(const EffectChannel& record);
  void DrawPiece(const CPicture& piece, int x, int y, int mode);

  std::vector<int> table_;
  // Piece names that failed to load since the roll last started.
  std::set<std::string> failed_;
};
