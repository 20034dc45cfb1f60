// CChartSlots: the flow-chart menu's per-node arrays and the files that
// carry them.
//
// Node numbers run 0 .. charts * block - 1 (chart = number / block). Per node:
//   flag bytes  0, or k + 1 when link k was the branch taken last
//               (count rounded up to 16);
//   open bits   one bit per node in int32 words, least significant first
//               (words rounded up to 4; all set at start: every node open);
//   passed      bit j: link j has been passed ("tsuka.dat", one byte a node);
//   seen        bit k: sub-item k + 1 has been seen ("mita.dat", one byte a
//               node, count rounded up to 4).
//
// A chart slot file "<save folder>\\chart<c + 1>\\slot<n>.dat" is the game
// status record (7088 bytes, the GAMESTATUS chunk of a save slot) followed
// by three run-length blocks, each behind its byte length: the variables
// 0..999 (a run of k zeros as 0, k), the flag bytes (a run of zeros as 0, k
// with k at most 255) and the open-bit words (a run of -1 as -1, k).
//
// Every file is built whole in memory and written through the whole-file
// writer: a failed write leaves the previous file as it was and is named on
// stderr. "tsuka.dat" and
// "mita.dat" are read only when they hold exactly their array; any other is
// damaged: said on stderr and in a box, kept aside, and its array starts at
// 0. A slot file is
// checked whole before anything changes (record header, length words, the
// blocks ending the file, the game's own check of the status); a file that
// fails counts as missing. Runs stop at the end of their block and array.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "services/gameroles.h"

class CSaveServices;
class CVariableServices;

class CChartSlots {
 public:
  static constexpr int kVarCount = 1000;
  // Variables the system file keeps across games: a slot load leaves them.
  static constexpr int kKeptVarFirst = 200;
  static constexpr int kKeptVarLast = 299;
  static constexpr int kDefaultCharts = 1;
  static constexpr int kDefaultBlock = 1000;
  // More nodes than this are not a chart of ours.
  static constexpr int64_t kMaxNodes = 1 << 22;
  // The record's header words and name.
  static constexpr int kRecordType = 2;

  // charts (N) and block (B) below 1, or N * B beyond kMaxNodes, keep the
  // defaults.
  CChartSlots(const GameRoles& game, int charts, int block);

  int GetChartCount() const { return charts_; }
  int GetBlockSize() const { return block_; }
  int GetNodeCount() const { return charts_ * block_; }
  bool IsNode(int n) const { return n >= 0 && n < GetNodeCount(); }

  // The extension chunk's body size: F + 4 * W.
  size_t ExtSize() const { return flags_.size() + 4 * open_.size(); }
  void SaveExtData(uint8_t* buffer, size_t size) const;
  // A body of another size resets the flag bytes to 0 and opens every node.
  void LoadExtData(const uint8_t* buffer, size_t size);

  // "<save folder>\\chart<c + 1>" for every chart (existing ones are fine).
  void CreateChartFolders() const;
  static std::string SlotPath(int charts1Based, int node);
  std::string SlotPathOf(int node) const;

  // Writes node n's slot file (the game status as the game fills it now).
  // A node outside the range writes nothing. 1 when written.
  int SaveSlot(int n);
  // Restores node n's slot file; 1 when read, 0 when it is missing, outside
  // the range or refused (nothing changed then; a line on stderr names the
  // file and the reason of a refusal).
  int LoadSlot(int n);
  // Builds the slot file's bytes (tests and the writer).
  std::vector<uint8_t> BuildSlotFile() const;
  // Null when the bytes form a slot file this game accepts, else the reason.
  const char* CheckSlotFile(const std::vector<uint8_t>& bytes) const;
  // The longest slot file this chart's sizes allow; a longer one is refused
  // unread.
  size_t MaxSlotFileSize() const;

  void LoadPassedBits();
  int SavePassedBits() const;
  void LoadSeenBits();
  int SaveSeenBits() const;

  // --- The arrays ---
  int GetFlag(int n) const { return IsNode(n) ? flags_[static_cast<size_t>(n)] : 0; }
  void SetFlag(int n, int v) {
    if (IsNode(n)) flags_[static_cast<size_t>(n)] = static_cast<uint8_t>(v);
  }
  void ClearFlags();
  bool GetOpenBit(int n) const;
  void SetOpenBit(int n, bool on);
  int GetPassed(int n) const { return IsNode(n) ? passed_[static_cast<size_t>(n)] : 0; }
  int GetSeen(int n) const { return IsNode(n) ? seen_[static_cast<size_t>(n)] : 0; }
  void SetSeen(int n, int bits) {
    if (IsNode(n)) seen_[static_cast<size_t>(n)] = static_cast<uint8_t>(bits);
  }
  const std::vector<uint8_t>& Flags() const { return flags_; }
  const std::vector<int32_t>& OpenWords() const { return open_; }
  const std::vector<uint8_t>& Passed() const { return passed_; }
  const std::vector<uint8_t>& Seen() const { return seen_; }

  // --- Run-length blocks (the length word first) ---
  static void AppendWords(std::vector<uint8_t>* out, const int32_t* v, size_t n, int32_t run);
  static void AppendBytes(std::vector<uint8_t>* out, const uint8_t* v, size_t n);
  // Decode a block body into out[0..n-1]; stops at the end of either.
  static void DecodeWords(const uint8_t* body, size_t size, int32_t run, int32_t* out, size_t n);
  static void DecodeBytes(const uint8_t* body, size_t size, uint8_t* out, size_t n);

 private:
  // Reads a side file of exactly the array's size into it; a missing file
  // leaves it. A file of the length a game with fewer charts of the same
  // block writes (its node count rounded up to roundTo, as the array is)
  // is that game's progress: its marks are kept and the file is written
  // whole at once. A damaged one (any other length, a folder, unreadable)
  // clears the array and is kept aside (keptaside.h); hold is set when it
  // could not be moved, so that it is not written over.
  void ReadSideFile(const char* name, size_t roundTo, std::vector<uint8_t>* bytes, bool* hold);
  // The node count of the fewer charts whose side file has this length, or
  // 0 when no count of charts writes it.
  size_t OlderSideFileNodes(size_t length, size_t roundTo) const;
  // 0 when held or not written (stderr, and a box for a failed write).
  static int WriteSideFile(const char* name, const std::vector<uint8_t>& bytes, bool hold);

  // The game status check and the variables a slot keeps (null: none).
  CSaveServices* saves_;
  CVariableServices* vars_;
  int charts_ = kDefaultCharts;
  int block_ = kDefaultBlock;
  std::vector<uint8_t> flags_;
  std::vector<int32_t> open_;
  std::vector<uint8_t> passed_;
  std::vector<uint8_t> seen_;
  bool holdPassed_ = false;
  bool holdSeen_ = false;
};
