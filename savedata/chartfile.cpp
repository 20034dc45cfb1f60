#include "savedata/chartfile.h"

#include <climits>
#include <cstdio>
#include <string>

#include "platform/files.h"
#include "platform/system.h"
#include "setup/namelist.h"
#include "setup/text.h"

namespace {

int g_descMax = CChartFile::kDefaultDescMax;

std::string ChartPath(int chart, const char* extension) {
  char path[64];
  std::snprintf(path, sizeof path, "chart\\chart%lld.%s", static_cast<long long>(chart) + 1, extension);
  return path;
}

bool StartsLink(char c) { return (c >= '0' && c <= '9') || c == '-'; }

int ClampToInt(int64_t v) {
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

}  // namespace

void CChartFile::SetChartDescMax(int n) { g_descMax = n < 0 ? 0 : n; }

int CChartFile::GetChartDescMax() { return g_descMax; }

CChartFile::CChartFile(int chart, int inverted, int range, const int* extra)
    : chart_(chart), range_(range < 0 ? 0 : (range == INT_MAX ? INT_MAX - 1 : range)) {
  base_ = static_cast<int64_t>(chart_) * range_;
  if (extra && extra[0] > 0) extra_.assign(extra + 1, extra + 1 + extra[0]);
  Read(inverted != 0);
}

CChartFile::~CChartFile() = default;

void CChartFile::Read(bool inverted) {
  CNameList list;
  list.Load(ChartPath(chart_, inverted ? "fxf" : "xtx").c_str(), inverted, true);
  const int count = list.GetCount();
  if (count > 0) {
    const int height = setup::ParseDecimal(list.GetName(0));
    height_ = height < kMinHeight ? kMinHeight : height;
  }

  const size_t descMax = static_cast<size_t>(g_descMax);
  Node* node = nullptr;
  int field = 0;  // tokens read since the node's start
  for (int t = 1; t < count; ++t) {
    const char* token = list.GetName(t);
    if (token[0] == '@') {
      nodes_.emplace_back();
      node = &nodes_.back();
      node->number = setup::ParseDecimal(token + 1);
      field = 0;
      continue;
    }
    // Tokens before the first node are not part of any node.
    if (!node) continue;
    if (field < 3) {
      const int value = setup::ParseDecimal(token);
      if (field == 0) node->size = value <= 0 ? 1 : value;
      if (field == 1) node->x = value;
      if (field == 2) node->y = value;
      ++field;
    } else if (StartsLink(token[0])) {
      node->links.push_back(setup::ParseDecimal(token));
    } else if (token[0] == '$') {
      node->hasLabel = true;
      node->label = token + 1;
    } else if (token[0] == '!') {
      if (node->texts[1].size() < descMax) node->texts[1].emplace_back(token + 1);
    } else if (node->texts[0].size() < descMax) {
      node->texts[0].emplace_back(token);
    }
  }

  // Numbers outside the chart's range stay in the node list (they are saved
  // back) but cannot be looked up; of two nodes with one number the later
  // one is found.
  for (size_t i = 0; i < nodes_.size(); ++i) {
    if (InRange(nodes_[i].number)) index_[nodes_[i].number] = static_cast<int>(i);
  }
}

bool CChartFile::InRange(int64_t number) const { return number >= base_ && number <= base_ + range_; }

const CChartFile::Node* CChartFile::Find(int number) const {
  if (!InRange(number)) return nullptr;
  const auto it = index_.find(number);
  return it == index_.end() ? nullptr : &nodes_[static_cast<size_t>(it->second)];
}

CChartFile::Node* CChartFile::Find(int number) {
  return const_cast<Node*>(static_cast<const CChartFile*>(this)->Find(number));
}

int CChartFile::GetNodeIndex(int number) const {
  if (!InRange(number)) return range_ + 1;
  const auto it = index_.find(number);
  return it == index_.end() ? 0 : it->second;
}

platform::Point CChartFile::GetNodePos(int number) const {
  const Node* node = Find(number);
  if (!node) return {};
  return {node->x, node->y};
}

void CChartFile::SetNodePos(int number, int x, int y) {
  Node* node = Find(number);
  if (!node) return;
  node->x = x;
  node->y = y;
}

int CChartFile::GetLinkCount(int number) const {
  const Node* node = Find(number);
  return node ? static_cast<int>(node->links.size()) : 0;
}

int CChartFile::GetLinkTarget(int number, int i) const {
  const Node* node = Find(number);
  if (!node || i < 0 || static_cast<size_t>(i) >= node->links.size()) return range_ + 1;
  return node->links[static_cast<size_t>(i)];
}

platform::Point CChartFile::GetLinkTargetPos(int number, int i) const {
  const Node* node = Find(number);
  if (!node || i < 0 || static_cast<size_t>(i) >= node->links.size()) return {};
  const int target = node->links[static_cast<size_t>(i)];
  // The upper end is open here: number base + range starts the next chart.
  if (target < base_ || target >= base_ + range_) return {node->x, kOtherChartY};
  return GetNodePos(target);
}

int CChartFile::GetTextCount(int number, int column) const {
  const Node* node = Find(number);
  if (!node || column < 0 || column > 1) return 0;
  return static_cast<int>(node->texts[column].size());
}

const char* CChartFile::GetText(int number, int i, int column) const {
  const Node* node = Find(number);
  if (!node || column < 0 || column > 1) return nullptr;
  const auto& texts = node->texts[column];
  if (i < 0 || static_cast<size_t>(i) >= texts.size()) return nullptr;
  return texts[static_cast<size_t>(i)].c_str();
}

int CChartFile::GetNodeSize(int number) const {
  const Node* node = Find(number);
  return node ? node->size : 0;
}

const char* CChartFile::GetNodeLabel(int number) const {
  const Node* node = Find(number);
  return node && node->hasLabel ? node->label.c_str() : nullptr;
}

void CChartFile::SetNodeState(int number, int state) {
  if (Node* node = Find(number)) node->state = state;
}

int CChartFile::GetNodeState(int number) const {
  const Node* node = Find(number);
  return node ? node->state : -1;
}

void CChartFile::SetNodeFlag(int number, int flag) {
  if (Node* node = Find(number)) node->flag = flag;
}

int CChartFile::GetNodeFlag(int number) const {
  const Node* node = Find(number);
  return node ? node->flag : 0;
}

int CChartFile::GetNodeNumber(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= nodes_.size()) return -1;
  return nodes_[static_cast<size_t>(index)].number;
}

int CChartFile::GetTotalNodeSize() const {
  uint32_t total = 0;
  for (const Node& node : nodes_) total += static_cast<uint32_t>(node.size == 0 ? 1 : node.size);
  return static_cast<int>(total);
}

int CChartFile::GetMaxNodeNumber() const {
  int64_t highest = base_;
  for (const auto& [number, index] : index_) {
    if (number > highest) highest = number;
  }
  return ClampToInt(highest);
}

int CChartFile::GetExtraValue(int i) const {
  if (i < 0 || static_cast<size_t>(i) >= extra_.size()) return 0;
  return extra_[static_cast<size_t>(i)];
}

int CChartFile::Save() const {
  platform::WholeFileWriter writer;
  FILE* out = writer.Open(ChartPath(chart_, "xtx"));
  if (!out) return 0;
  std::fprintf(out, "%d\r\n", height_);
  for (const Node& node : nodes_) {
    std::fprintf(out, "@%d %d %d %d", node.number, node.size, node.x, node.y);
    for (int link : node.links) std::fprintf(out, " %d", link);
    if (node.hasLabel) std::fprintf(out, " $%s", node.label.c_str());
    for (const std::string& text : node.texts[0]) std::fprintf(out, " %s", text.c_str());
    for (const std::string& text : node.texts[1]) std::fprintf(out, " !%s", text.c_str());
    std::fputs("\r\n", out);
  }
  return writer.Commit() ? 1 : 0;
}

int CChartFile::Backup() const {
  const platform::LocalTime now = platform::GetLocalTime();
  // Zero-padded, so that two moments never share a name.
  char target[128];
  std::snprintf(target, sizeof target, "chart\\bak\\chart%lld_%d%02d%02d_%02d%02d%02d.bak",
                static_cast<long long>(chart_) + 1, now.year, now.month, now.day, now.hour, now.minute,
                now.second);
  return platform::CopyFile(ChartPath(chart_, "xtx"), target) ? 1 : 0;
}
