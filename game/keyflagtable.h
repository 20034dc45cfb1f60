// CKeyFlagTable: for each of 100 rows a short packed list of keys with eight
// flag bits each (entry = key << 8 | flags, 0 = empty). The game uses row r
// as the companion modes of mode r: modes calculated, drawn, entered and
// left together with mode r while it is current. The table travels with a
// saved game (3,200 words, row-major).
//
// Keys are mode numbers, so only 1..99 are taken; rows and entry indexes
// outside the table are refused rather than written beyond it, and a table
// read from a saved game is put back into shape before use.
#pragma once

#include <cstddef>
#include <cstdint>

class CKeyFlagTable {
 public:
  static constexpr int kRows = 100;
  static constexpr int kEntries = 32;
  static constexpr int kWords = kRows * kEntries;
  static constexpr int kBytes = kWords * 4;
  static constexpr int kMinKey = 1;
  static constexpr int kMaxKey = 99;

  // Flag bits as the game reads them for a companion mode.
  static constexpr int kCalcuBit = 1;       // calculated each frame
  static constexpr int kPrintBit = 2;       // drawn each frame
  static constexpr int kCalcuFadeBit = 5;   // calculated while the mode fades
  static constexpr int kPrintFadeBit = 6;   // drawn while the mode fades

  explicit CKeyFlagTable(int modeWord);

  void ClearAll();
  void ClearRow(int row);

  // The 3,200 words row by row. Load repairs what it reads (see Sanitize).
  void Load(const int32_t* words);
  void Save(int32_t* words) const;
  // The same as little-endian bytes; LoadBytes refuses (0) fewer than
  // kBytes bytes and leaves the table unchanged then.
  int LoadBytes(const uint8_t* data, size_t size);
  int SaveBytes(uint8_t* out, size_t size) const;

  // 0 outside the table.
  int GetEntry(int row, int i) const;
  int GetModeWord() const { return modeWord_; }
  // Key of an entry (0 for an empty one).
  static int KeyOf(int entry) { return entry >> 8; }

  // Index of the first entry with this key, -1 when none. Key 0 finds the
  // first empty entry.
  int Find(int row, int key) const;
  // 1 done, 0 refused: a key already in the row or outside 1..99, a full
  // row, or a position outside -1 (the first empty entry) .. the used count.
  int Insert(int row, int key, int flags, int position);
  // 1 done, 0 when the key is absent.
  int Remove(int row, int key);
  // -1 for an absent key; bit -1 gives the flag byte, bit b its bit b
  // (bit 0 and below: bit 0).
  int GetFlag(int row, int key, int bit) const;
  // On every entry with this key (-1: every used entry): bit -1 replaces the
  // flag byte, otherwise sets (value != 0) or clears one flag bit (0 and
  // below: bit 0). Bits above 7 would reach the key and change nothing.
  void SetFlag(int row, int value, int key, int bit);

  // Keeps of each row, in order, the entries before its first empty one
  // whose keys lie in 1..99 and were not listed earlier, packed at the front.
  void Sanitize();

 private:
  static bool ValidRow(int row) { return row >= 0 && row < kRows; }
  int UsedCount(int row) const;

  int32_t entries_[kRows][kEntries];
  int modeWord_;
};
