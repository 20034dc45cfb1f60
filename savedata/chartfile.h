// CChartFile: one flow chart, "chart\\chart%d.xtx" (or its byte-inverted
// ".fxf"), read into nodes joined by links. The flow-chart menu asks it for
// node positions, links, texts and labels, keeps a state and a flag per node
// in it, and writes it back in edit mode.
//
// The file is a token list: the chart height, then per node "@<number>",
// size, x, y and any number of further tokens (a digit or '-' starts a link
// target, '$' a label, '!' a text of column 1, anything else a text of
// column 0). Chart i holds the node numbers i * range .. i * range + range.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/types.h"

class CChartFile {
 public:
  static constexpr int kMinHeight = 1800;
  // Where a link to another chart points: the node's own x at this y.
  static constexpr int kOtherChartY = 1600;
  static constexpr int kDefaultDescMax = 3;

  // Texts kept per node and column by every chart read afterwards
  // (the chart menu's "chartDescMax"); negative counts as 0.
  static void SetChartDescMax(int n);
  static int GetChartDescMax();

  // Reads chart `chart` (file number chart + 1). `extra`, when given, is a
  // count followed by that many values, kept for the owner.
  CChartFile(int chart, int inverted, int range, const int* extra = nullptr);
  virtual ~CChartFile();
  CChartFile(const CChartFile&) = delete;
  CChartFile& operator=(const CChartFile&) = delete;

  // The node's index; 0 for a number in range that no node has (also the
  // answer for the node at index 0: the other operations tell them apart),
  // range + 1 for a number out of range.
  int GetNodeIndex(int number) const;

  // "Out of range" below also covers numbers that no node has.
  platform::Point GetNodePos(int number) const;  // (0, 0) out of range
  void SetNodePos(int number, int x, int y);     // ignored out of range
  int GetLinkCount(int number) const;            // 0 out of range
  int GetLinkTarget(int number, int i) const;    // range + 1 out of range
  // The target's position; a target outside this chart lies at the node's
  // own x with y 1600.
  platform::Point GetLinkTargetPos(int number, int i) const;
  int GetTextCount(int number, int column) const;
  // Column 1 texts come without their '!'; null outside 0..count-1.
  const char* GetText(int number, int i, int column) const;
  int GetNodeSize(int number) const;           // 0 out of range
  const char* GetNodeLabel(int number) const;  // null without a label
  void SetNodeState(int number, int state);
  int GetNodeState(int number) const;  // -1 out of range
  void SetNodeFlag(int number, int flag);
  int GetNodeFlag(int number) const;  // 0 out of range

  int GetCount() const { return static_cast<int>(nodes_.size()); }
  int GetNodeNumber(int index) const;  // -1 outside 0..count-1
  int GetTotalNodeSize() const;
  int GetChartHeight() const { return height_; }
  // Highest node number of this chart, at least chart * range.
  int GetMaxNodeNumber() const;
  int GetRange() const { return range_; }
  int GetChartIndex() const { return chart_; }

  int GetExtraCount() const { return static_cast<int>(extra_.size()); }
  int GetExtraValue(int i) const;  // 0 outside 0..count-1

  // Writes "chart\\chart%d.xtx" in plain text whatever form was read; 1 when
  // written, 0 when not (the old file stays).
  int Save() const;
  // Copies the plain file to "chart\\bak\\chart%d_YYYYMMDD_hhmmss.bak"
  // (local time); the folder must exist. 1 when copied, else 0.
  int Backup() const;

 private:
  struct Node {
    int number = 0;
    int size = 1;
    int x = 0, y = 0;
    std::vector<int> links;
    bool hasLabel = false;
    std::string label;
    std::vector<std::string> texts[2];
    int state = -1;
    int flag = 1;
  };

  void Read(bool inverted);
  bool InRange(int64_t number) const;
  // The node with that number, or null for a number out of range or absent.
  const Node* Find(int number) const;
  Node* Find(int number);

  int chart_ = 0;
  int range_ = 0;
  int64_t base_ = 0;  // chart * range
  int height_ = kMinHeight;
  std::vector<Node> nodes_;
  // number - base -> node index; numbers no node has are absent.
  std::unordered_map<int, int> index_;
  std::vector<int> extra_;
};
