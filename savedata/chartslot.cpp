#include "savedata/chartslot.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/bytereader.h"
#include "platform/bytes.h"
#include "platform/files.h"
#include "platform/system.h"
#include "savedata/keptaside.h"
#include "savedata/savedatafile.h"
#include "savedata/savefolder.h"
#include "services/saveservices.h"
#include "services/variableservices.h"

namespace {

constexpr size_t kRecordSize = CCommonDataFile::kGameStatusSize;
constexpr size_t kNameOffset = 16;
constexpr int32_t kOpenRun = -1;

size_t RoundUp(size_t n, size_t m) { return (n + m - 1) / m * m; }

void AppendWord(std::vector<uint8_t>* out, int32_t v) {
  const size_t at = out->size();
  out->resize(at + 4);
  platform::SetLE32(out->data() + at, static_cast<uint32_t>(v));
}

int32_t WordAt(const uint8_t* p) { return platform::GetLE32Signed(p); }

// The length word of a block about to be filled; the caller sets it after.
size_t BeginBlock(std::vector<uint8_t>* out) {
  AppendWord(out, 0);
  return out->size();
}
void EndBlock(std::vector<uint8_t>* out, size_t body) {
  platform::SetLE32(out->data() + body - 4, static_cast<uint32_t>(out->size() - body));
}

std::string SideFilePath(const char* name) { return std::string(GetSaveFolder()) + "\\" + name; }

}  // namespace

CChartSlots::CChartSlots(const GameRoles& game, int charts, int block) : saves_(game.saves), vars_(game.variables) {
  if (charts >= 1 && block >= 1 && static_cast<int64_t>(charts) * block <= kMaxNodes) {
    charts_ = charts;
    block_ = block;
  }
  const size_t nodes = static_cast<size_t>(GetNodeCount());
  flags_.assign(RoundUp(nodes, 16), 0);
  open_.assign(RoundUp((nodes + 31) / 32, 4), -1);
  passed_.assign(nodes, 0);
  seen_.assign(RoundUp(nodes, 4), 0);
}

void CChartSlots::ClearFlags() { std::fill(flags_.begin(), flags_.end(), 0); }

bool CChartSlots::GetOpenBit(int n) const {
  if (!IsNode(n)) return false;
  return (static_cast<uint32_t>(open_[static_cast<size_t>(n) / 32]) >> (n % 32) & 1) != 0;
}

void CChartSlots::SetOpenBit(int n, bool on) {
  if (!IsNode(n)) return;
  uint32_t word = static_cast<uint32_t>(open_[static_cast<size_t>(n) / 32]);
  const uint32_t bit = 1u << (n % 32);
  word = on ? word | bit : word & ~bit;
  open_[static_cast<size_t>(n) / 32] = static_cast<int32_t>(word);
}

// --- Extension chunk ---

void CChartSlots::SaveExtData(uint8_t* buffer, size_t size) const {
  if (!buffer || size < ExtSize()) return;
  for (size_t i = 0; i < open_.size(); ++i)
    platform::SetLE32(buffer + 4 * i, static_cast<uint32_t>(open_[i]));
  std::memcpy(buffer + 4 * open_.size(), flags_.data(), flags_.size());
}

void CChartSlots::LoadExtData(const uint8_t* buffer, size_t size) {
  if (!buffer || size != ExtSize()) {
    // A body of another chart's settings: start this game's chart afresh.
    platform::DebugPrintf("chart: extension body of %zu bytes, %zu expected\n", size, ExtSize());
    ClearFlags();
    std::fill(open_.begin(), open_.end(), -1);
    return;
  }
  for (size_t i = 0; i < open_.size(); ++i) open_[i] = WordAt(buffer + 4 * i);
  std::memcpy(flags_.data(), buffer + 4 * open_.size(), flags_.size());
}

// --- Run-length blocks ---

void CChartSlots::AppendWords(std::vector<uint8_t>* out, const int32_t* v, size_t n, int32_t run) {
  const size_t body = BeginBlock(out);
  int32_t pending = 0;
  auto flush = [&] {
    if (!pending) return;
    AppendWord(out, run);
    AppendWord(out, pending);
    pending = 0;
  };
  for (size_t i = 0; i < n; ++i) {
    if (v[i] == run) {
      ++pending;
      continue;
    }
    flush();
    AppendWord(out, v[i]);
  }
  flush();
  EndBlock(out, body);
}

void CChartSlots::AppendBytes(std::vector<uint8_t>* out, const uint8_t* v, size_t n) {
  const size_t body = BeginBlock(out);
  int pending = 0;
  auto flush = [&] {
    if (!pending) return;
    out->push_back(0);
    out->push_back(static_cast<uint8_t>(pending));
    pending = 0;
  };
  for (size_t i = 0; i < n; ++i) {
    if (v[i] == 0) {
      if (++pending == 255) flush();
      continue;
    }
    flush();
    out->push_back(v[i]);
  }
  flush();
  EndBlock(out, body);
}

void CChartSlots::DecodeWords(const uint8_t* body, size_t size, int32_t run, int32_t* out,
                              size_t n) {
  size_t at = 0, put = 0;
  while (at + 4 <= size && put < n) {
    const int32_t v = WordAt(body + at);
    at += 4;
    int64_t count = 1;
    if (v == run) {
      if (at + 4 > size) break;
      count = WordAt(body + at);
      at += 4;
    }
    for (; count > 0 && put < n; --count) out[put++] = v;
  }
}

void CChartSlots::DecodeBytes(const uint8_t* body, size_t size, uint8_t* out, size_t n) {
  size_t at = 0, put = 0;
  while (at < size && put < n) {
    const uint8_t v = body[at++];
    int count = 1;
    if (v == 0) {
      if (at >= size) break;
      count = body[at++];
    }
    for (; count > 0 && put < n; --count) out[put++] = v;
  }
}

// --- Slot files ---

std::string CChartSlots::SlotPath(int chart1Based, int node) {
  char name[64];
  std::snprintf(name, sizeof name, "\\chart%d\\slot%d.dat", chart1Based, node);
  return GetSaveFolder() + std::string(name);
}

std::string CChartSlots::SlotPathOf(int node) const { return SlotPath(node / block_ + 1, node); }

void CChartSlots::CreateChartFolders() const {
  for (int c = 1; c <= charts_; ++c) {
    char name[32];
    std::snprintf(name, sizeof name, "\\chart%d", c);
    platform::CreateDirectory(GetSaveFolder() + std::string(name));
  }
}

std::vector<uint8_t> CChartSlots::BuildSlotFile() const {
  std::vector<uint8_t> file(kRecordSize, 0);
  if (saves_) saves_->PutGameStatus(file.data(), kRecordSize);
  CCommonDataFile::StampGameStatus(file.data());
  int32_t vars[kVarCount];
  for (int i = 0; i < kVarCount; ++i) vars[i] = vars_ ? vars_->GetVar(i) : 0;
  AppendWords(&file, vars, kVarCount, 0);
  AppendBytes(&file, flags_.data(), flags_.size());
  AppendWords(&file, open_.data(), open_.size(), kOpenRun);
  return file;
}

int CChartSlots::SaveSlot(int n) {
  if (!IsNode(n)) return 0;
  const std::vector<uint8_t> file = BuildSlotFile();
  const std::string path = SlotPathOf(n);
  std::string error;
  if (!platform::WriteWholeFile(path, file.data(), file.size(), &error)) {
    // The story goes on, and only a later jump back to this node finds the
    // previous state (or none): the player is told once a run, stderr
    // every time.
    ReportUnsavedFile("the chart slot", path, error, FirstRoutineSaveFailure(RoutineSave::kChartSlot));
    return 0;
  }
  return 1;
}

const char* CChartSlots::CheckSlotFile(const std::vector<uint8_t>& bytes) const {
  if (bytes.size() < kRecordSize) return "the file is shorter than its game status";
  const uint8_t* p = bytes.data();
  if (WordAt(p) != static_cast<int32_t>(kRecordSize) || WordAt(p + 4) != kRecordType ||
      std::memcmp(p + kNameOffset, "GAMESTATUS", 11) != 0)
    return "the game status header is not ours";
  size_t at = kRecordSize;
  for (int block = 0; block < 3; ++block) {
    if (bytes.size() - at < 4) return "a block length is missing";
    const int32_t length = WordAt(p + at);
    at += 4;
    if (length < 0 || static_cast<size_t>(length) > bytes.size() - at)
      return "a block overshoots the file";
    if (block != 1 && length % 4 != 0) return "a word block is not whole words";
    at += static_cast<size_t>(length);
  }
  if (at != bytes.size()) return "bytes follow the last block";
  if (saves_) {
    if (const char* reason = saves_->CheckGameStatus(p, kRecordSize)) return reason;
  }
  return nullptr;
}

size_t CChartSlots::MaxSlotFileSize() const {
  // The game status, three length words, and each block at its longest
  // encoding: a word block two words for every word, the flag block two
  // bytes for every byte.
  return kRecordSize + 3 * 4 + 8 * static_cast<size_t>(kVarCount) + 2 * flags_.size() +
         8 * open_.size();
}

namespace {
// Reads a file of at most `limit` bytes; false with the reason when it
// cannot be read or is longer (nothing of it is read then).
bool ReadFileWithin(const std::string& path, size_t limit, std::vector<uint8_t>* out,
                    std::string* reason) {
  if (platform::IsDirectory(path)) {
    *reason = "it is a folder";
    return false;
  }
  FILE* f = platform::FileOpen(path, "rb");
  if (!f) {
    *reason = "it cannot be read";
    return false;
  }
  platform::ByteReader file(f, -1);
  bool read = false;
  if (file.Size() > static_cast<int64_t>(limit)) {
    *reason = "the file is " + std::to_string(file.Size()) + " bytes, longer than the " +
              std::to_string(limit) + " it can be";
  } else {
    read = file.ReadRest(out);
    if (!read) *reason = "it cannot be read";
  }
  std::fclose(f);
  return read;
}
}  // namespace

int CChartSlots::LoadSlot(int n) {
  if (!IsNode(n)) return 0;
  const std::string path = SlotPathOf(n);
  if (!platform::FileExists(path)) return 0;
  std::vector<uint8_t> bytes;
  std::string why;
  const char* reason = nullptr;
  if (!ReadFileWithin(path, MaxSlotFileSize(), &bytes, &why))
    reason = why.c_str();
  else
    reason = CheckSlotFile(bytes);
  if (reason) {
    platform::ErrorOutput(("the chart slot " + HostPath(path) + " is refused: " + reason).c_str());
    return 0;
  }
  const uint8_t* p = bytes.data();
  if (saves_) saves_->GetGameStatus(p, kRecordSize);
  size_t at = kRecordSize;
  auto block = [&](const uint8_t** body) {
    const size_t length = static_cast<size_t>(WordAt(p + at));
    *body = p + at + 4;
    at += 4 + length;
    return length;
  };
  const uint8_t* body = nullptr;
  size_t length = block(&body);
  int32_t vars[kVarCount] = {};
  DecodeWords(body, length, 0, vars, kVarCount);
  if (vars_)
    for (int i = 0; i < kVarCount; ++i)
      if (i < kKeptVarFirst || i > kKeptVarLast) vars_->SetVar(i, vars[i]);
  length = block(&body);
  DecodeBytes(body, length, flags_.data(), flags_.size());
  length = block(&body);
  DecodeWords(body, length, kOpenRun, open_.data(), open_.size());
  return 1;
}

// --- Side files ---

size_t CChartSlots::OlderSideFileNodes(size_t length, size_t roundTo) const {
  for (int charts = 1; charts < charts_; ++charts) {
    const size_t nodes = static_cast<size_t>(charts) * block_;
    if (RoundUp(nodes, roundTo) == length) return nodes;
  }
  return 0;
}

void CChartSlots::ReadSideFile(const char* name, size_t roundTo, std::vector<uint8_t>* bytes, bool* hold) {
  const std::string path = SideFilePath(name);
  std::string raw, reason;
  *hold = false;
  switch (ReadFixedSizeFile(path, bytes->size(), &raw, &reason)) {
    case SaveFileState::kMissing:
      return;
    case SaveFileState::kSound:
      std::memcpy(bytes->data(), raw.data(), bytes->size());
      return;
    case SaveFileState::kDamaged:
      break;
  }
  std::fill(bytes->begin(), bytes->end(), 0);
  // A game update that adds charts: the shorter file, read whole, holds the
  // first charts' marks.
  const bool whole = platform::FileSize(path) == static_cast<long long>(raw.size());
  if (const size_t older = whole ? OlderSideFileNodes(raw.size(), roundTo) : 0; older > 0) {
    std::memcpy(bytes->data(), raw.data(), older);
    WriteSideFile(name, *bytes, false);
    return;
  }
  *hold = !SetDamagedFileAside("the flow-chart file", path, reason, "its marks start empty");
}

int CChartSlots::WriteSideFile(const char* name, const std::vector<uint8_t>& bytes, bool hold) {
  const std::string path = SideFilePath(name);
  if (hold) {
    platform::ErrorOutput(("the flow-chart file " + HostPath(path) +
                           " is not saved: the damaged file there could not be kept aside")
                              .c_str());
    return 0;
  }
  std::string error;
  if (platform::WriteWholeFile(path, bytes.data(), bytes.size(), &error)) return 1;
  ReportUnsavedFile("the flow-chart file", path, error);
  return 0;
}

void CChartSlots::LoadPassedBits() { ReadSideFile("tsuka.dat", 1, &passed_, &holdPassed_); }
int CChartSlots::SavePassedBits() const { return WriteSideFile("tsuka.dat", passed_, holdPassed_); }
void CChartSlots::LoadSeenBits() { ReadSideFile("mita.dat", 4, &seen_, &holdSeen_); }
int CChartSlots::SaveSeenBits() const { return WriteSideFile("mita.dat", seen_, holdSeen_); }
