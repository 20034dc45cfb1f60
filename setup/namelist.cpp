#include "setup/namelist.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "platform/codec.h"
#include "platform/files.h"
#include "platform/system.h"
#include "setup/text.h"

namespace {

// メモリー不足にゃ
constexpr const char kNoMemory[] = "\x83\x81\x83\x82\x83\x8A\x81\x5B\x95\x73\x91\xAB\x82\xC9\x82\xE1";
// 変数の長さに問題がありますにゃ
constexpr const char kTokenTooLong[] =
    "\x95\xCF\x90\x94\x82\xCC\x92\xB7\x82\xB3\x82\xC9\x96\xE2\x91\xE8\x82\xAA\x82\xA0\x82\xE8"
    "\x82\xDC\x82\xB7\x82\xC9\x82\xE1";
// namelistエラー error=%d:%s size=%d
constexpr const char kSizeError[] = "namelist\x83\x47\x83\x89\x81\x5B error=%d:%s size=%d";

constexpr int kGrowStep = 100;
constexpr size_t kInvertBlock = 8192;

// -1 until the first settings list asks whether "init2" exists.
int g_init2 = -1;

int g_failAfter = 0;
int g_failCount = 0;

void* ListAlloc(size_t bytes, bool zeroed) {
  if (g_failCount > 0) {
    if (g_failAfter > 0) {
      --g_failAfter;
    } else {
      --g_failCount;
      return nullptr;
    }
  }
  if (bytes == 0) bytes = 1;
  return zeroed ? std::calloc(bytes, 1) : std::malloc(bytes);
}

void Box(const char* text, const char* caption, int style = MB_OK) {
  platform::MessageBox(nullptr, text, caption, style);
}

// NUL is taken as a blank: a stray NUL inside a file separates tokens
// instead of stopping the reader on an empty token for ever.
bool IsBlank(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0';
}

// A list's box: the message, and on its second line the list's path.
std::string ListBoxText(const char* message, const char* path) {
  return std::string(message) + "\n" + path;
}

// A list past what the reader takes: a line on stderr and the box, each
// naming the file.
void TooLarge(const char* path, const std::string& why) {
  platform::ErrorOutput((std::string(path) + ": the list is too large: " + why).c_str());
  Box(ListBoxText("the list is too large", path).c_str(), "ERROR");
}

// True when `pos` holds a comma that ends its line: only blanks or TABs
// follow it up to a line break or the end of the text.
bool CommaEndsLine(const char* text, size_t pos, size_t length) {
  if (pos >= length || text[pos] != ',') return false;
  for (++pos; pos < length; ++pos) {
    const char c = text[pos];
    if (c == '\r' || c == '\n') return true;
    if (c != ' ' && c != '\t' && c != '\0') return false;
  }
  return true;
}

// The keys of every settings list loaded in this run, with whether anything
// asked for them. A file loaded by several lists has one entry.
struct SettingsKey {
  std::string name;
  int line = 0;
  bool asked = false;
};
struct SettingsFile {
  std::string path;
  std::vector<SettingsKey> keys;
};
std::mutex g_settingsMutex;
std::vector<SettingsFile> g_settingsFiles;
// Raised when the record is forgotten: a list of an earlier record marks
// nothing in the new one.
int g_settingsGeneration = 0;

bool Matches(const char* slot, const char* text, bool caseInsensitive) {
  if (slot[0] == '\0') return false;
  return caseInsensitive ? setup::EqualNoCase(slot, text) : std::strcmp(slot, text) == 0;
}

}  // namespace

CNameList::CNameList() : CNameList(1000) {}

CNameList::CNameList(int capacity) {
  if (capacity < 0) capacity = 0;
  if (capacity > kMaxSlots) capacity = kMaxSlots;
  slots_ = static_cast<char*>(ListAlloc(static_cast<size_t>(capacity) * kSlotSize, false));
  capacity_ = slots_ ? capacity : 0;
}

CNameList::~CNameList() { Free(); }

bool CNameList::EndsToken(unsigned char c) { return IsBlank(c) || c == ','; }

void CNameList::Free() {
  emptyValueNotes_.clear();
  std::free(slots_);
  slots_ = nullptr;
  capacity_ = 0;
  count_ = 0;
  cleared_ = 0;
}

int CNameList::Expand(int n) {
  if (n < 0) {
    Box("expand error", "error");
    return 0;
  }
  if (n == 0) return 1;
  const int64_t capacity = static_cast<int64_t>(capacity_) + n;
  if (capacity > kMaxSlots) return 0;
  auto* grown = static_cast<char*>(ListAlloc(static_cast<size_t>(capacity) * kSlotSize, false));
  if (!grown) return 0;
  if (slots_) std::memcpy(grown, slots_, static_cast<size_t>(cleared_) * kSlotSize);
  std::free(slots_);
  slots_ = grown;
  capacity_ = static_cast<int>(capacity);
  return 1;
}

bool CNameList::Reserve(int64_t needed, int step) {
  if (needed <= capacity_) return true;
  if (needed > kMaxSlots) return false;
  int64_t grow = needed - capacity_;
  grow = (grow + step - 1) / step * step;
  if (capacity_ + grow > kMaxSlots) grow = kMaxSlots - capacity_;
  return Expand(static_cast<int>(grow)) == 1;
}

void CNameList::ClearFrom(int first) {
  for (int i = first < 0 ? 0 : first; i < cleared_; ++i) Slot(i)[0] = '\0';
}

void CNameList::ClearTo(int64_t n) {
  if (n <= cleared_) return;
  // A page of slots at a time: one call for a run of tokens.
  constexpr int64_t kPageSlots = 4096 / kSlotSize;
  n = (n + kPageSlots - 1) / kPageSlots * kPageSlots;
  if (n > capacity_) n = capacity_;
  if (n <= cleared_) return;
  std::memset(Slot(cleared_), 0, static_cast<size_t>(n - cleared_) * kSlotSize);
  cleared_ = static_cast<int>(n);
}

int CNameList::Load(const char* path, bool invertBytes, bool quiet) {
  return LoadTokens(path, invertBytes, quiet, nullptr);
}

int CNameList::LoadTokens(const char* path, bool invertBytes, bool quiet, std::vector<int>* lines) {
  if (!path) return 0;
  // A folder opens for reading on this host but is no list.
  FILE* file = platform::IsDirectory(path) ? nullptr : platform::FileOpen(path, "rb");
  if (!file) {
    if (!quiet) Box(path, "file not found");
    return 0;
  }

  long size = -1;
  if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
  if (size < 0) {
    const int error = errno;
    std::string text(std::strlen(path) + sizeof kSizeError + 32, '\0');
    const int length = std::snprintf(text.data(), text.size(), kSizeError, error, path, static_cast<int>(size));
    text.resize(length > 0 ? static_cast<size_t>(length) : 0);
    Box(text.c_str(), "ftell");
    std::fclose(file);
    return 0;
  }
  if (size == 0) {
    std::fclose(file);
    return 1;
  }

  if (size > kMaxFileBytes) {
    std::fclose(file);
    TooLarge(path, std::to_string(size) + " bytes, over the " + std::to_string(kMaxFileBytes) +
                       " a list may have; nothing is read");
    return 0;
  }
  char* text = static_cast<char*>(ListAlloc(static_cast<size_t>(size) + 2, false));
  if (!text) {
    std::fclose(file);
    Box(ListBoxText(kNoMemory, path).c_str(), "ERROR");
    return 0;
  }
  size_t length = 0;
  if (std::fseek(file, 0, SEEK_SET) == 0) length = std::fread(text, 1, static_cast<size_t>(size), file);
  std::fclose(file);

  if (invertBytes) {
    for (size_t i = 0; i < length; ++i) text[i] = static_cast<char>(~static_cast<unsigned char>(text[i]));
  }
  text[length] = '\0';
  text[length + 1] = '\0';

  int result = 1;
  size_t pos = 0;
  int line = 1;
  int lineTokens = 0;
  while (pos < length) {
    // A separator run: at most one comma, then blanks. A second comma is the
    // start of the next token, an empty one.
    if (text[pos] == ',') ++pos;
    while (pos < length && IsBlank(static_cast<unsigned char>(text[pos]))) {
      if (text[pos] == '\n') {
        ++line;
        lineTokens = 0;
      }
      ++pos;
    }
    if (pos >= length) break;

    size_t tokenLength = 0;
    // Measuring stops one byte past the limit: that is enough to refuse it.
    while (tokenLength <= static_cast<size_t>(kMaxToken) && pos + tokenLength < length &&
           !EndsToken(static_cast<unsigned char>(text[pos + tokenLength]))) {
      ++tokenLength;
    }
    if (tokenLength > static_cast<size_t>(kMaxToken)) {
      const std::string message = std::string(path) + ": the token at byte " + std::to_string(pos) +
                                  " is longer than " + std::to_string(kMaxToken) +
                                  " bytes; the list ends before it";
      platform::ErrorOutput(message.c_str());
      Box(ListBoxText(kTokenTooLong, path).c_str(), "ERROR");
      break;
    }
    if (!Reserve(static_cast<int64_t>(count_) + 1, kGrowStep)) {
      if (static_cast<int64_t>(count_) + 1 > kMaxSlots)
        TooLarge(path, "over " + std::to_string(kMaxSlots) + " tokens; the list ends there");
      else
        Box(ListBoxText(kNoMemory, path).c_str(), "ERROR");
      result = 0;
      break;
    }
    ClearTo(static_cast<int64_t>(count_) + 1);
    char* slot = Slot(count_);
    std::memcpy(slot, text + pos, tokenLength);
    slot[tokenLength] = '\0';
    ++count_;
    pos += tokenLength;
    if (!lines) continue;
    lines->push_back(line);
    // "key," ending a line of pairs: the key's value is empty, and the
    // next line's key must not become this key's value.
    if (++lineTokens % 2 == 1 && CommaEndsLine(text, pos, length)) {
      const std::string key = slot;
      if (!Reserve(static_cast<int64_t>(count_) + 1, kGrowStep)) {
        Box(ListBoxText(kNoMemory, path).c_str(), "ERROR");
        result = 0;
        break;
      }
      ClearTo(static_cast<int64_t>(count_) + 1);
      Slot(count_)[0] = '\0';
      ++count_;
      ++lineTokens;
      lines->push_back(line);
      emptyValueNotes_[count_ - 2] = std::string(path) + ": line " + std::to_string(line) + ": \"" + key +
                                     "\" has nothing after its comma; its value is empty";
    }
  }
  // One spare slot follows the last token; callers write into it.
  if (result && Reserve(static_cast<int64_t>(count_) + 1, kGrowStep)) ClearTo(static_cast<int64_t>(count_) + 1);

  ClearFrom(count_);
  std::free(text);
  changed_ = 0;
  return result;
}

int CNameList::LoadInit(const char* name) {
  if (!name) return 0;
  if (g_init2 < 0) g_init2 = platform::FileExists("init2") ? 1 : 0;
  const int first = count_;
  std::vector<int> lines;
  std::string path;
  int loaded = 0;
  if (g_init2) {
    path = std::string("init2\\") + name + ".fxf";
    loaded = LoadTokens(path.c_str(), true, true, &lines);
  }
  if (!loaded) {
    lines.clear();
    path = std::string("init\\") + name + ".xtx";
    loaded = LoadTokens(path.c_str(), false, false, &lines);
  }
  if (!loaded) return 0;

  // Keys stand in the even slots.
  std::lock_guard<std::mutex> lock(g_settingsMutex);
  int entry = 0;
  while (entry < static_cast<int>(g_settingsFiles.size()) && g_settingsFiles[entry].path != path) ++entry;
  if (entry == static_cast<int>(g_settingsFiles.size())) {
    SettingsFile file;
    file.path = path;
    for (int i = first; i < count_ && i - first < static_cast<int>(lines.size()); ++i)
      if (i % 2 == 0 && Slot(i)[0] != '\0') file.keys.push_back({Slot(i), lines[i - first], false});
    g_settingsFiles.push_back(std::move(file));
  }
  if (settingsGeneration_ != g_settingsGeneration) {
    settingsFiles_.clear();
    askedSlots_.clear();
  }
  settingsGeneration_ = g_settingsGeneration;
  settingsFiles_.push_back(entry);
  return 1;
}

void CNameList::MarkAsked(int slot, const char* key) const {
  std::lock_guard<std::mutex> lock(g_settingsMutex);
  if (settingsGeneration_ != g_settingsGeneration) return;
  // Each slot is looked up in the record once.
  if (slot < static_cast<int>(askedSlots_.size()) && askedSlots_[slot]) return;
  if (slot >= static_cast<int>(askedSlots_.size())) askedSlots_.resize(static_cast<size_t>(slot) + 1, 0);
  askedSlots_[slot] = 1;
  for (int entry : settingsFiles_) {
    if (entry < 0 || entry >= static_cast<int>(g_settingsFiles.size())) continue;
    for (SettingsKey& k : g_settingsFiles[entry].keys)
      if (!k.asked && setup::EqualNoCase(k.name.c_str(), key)) k.asked = true;
  }
}

void CNameList::TellEmptyValue(int keySlot) const {
  const auto note = emptyValueNotes_.find(keySlot);
  if (note == emptyValueNotes_.end()) return;
  platform::ErrorOutput(note->second.c_str());
  emptyValueNotes_.erase(note);
}

void CNameList::ReportUnaskedKeys() {
  std::lock_guard<std::mutex> lock(g_settingsMutex);
  for (const SettingsFile& file : g_settingsFiles)
    for (const SettingsKey& k : file.keys) {
      if (k.asked) continue;
      const std::string line = file.path + ": line " + std::to_string(k.line) + ": nothing asked for the key \"" +
                               k.name + "\" (is it misspelt?)\n";
      platform::DebugOutput(line.c_str());
    }
}

void CNameList::ForgetSettingsKeys() {
  std::lock_guard<std::mutex> lock(g_settingsMutex);
  g_settingsFiles.clear();
  ++g_settingsGeneration;
}

void CNameList::ResetInit2Check() { g_init2 = -1; }

void CNameList::FailAllocations(int count, int after) {
  g_failCount = count < 0 ? 0 : count;
  g_failAfter = after < 0 ? 0 : after;
}

const char* CNameList::GetName(int i) const {
  if (i < 0 || i >= count_) return nullptr;
  return Slot(i);
}

void CNameList::SetName(int i, const char* text) {
  if (!text || i < 0 || i >= capacity_) return;
  const size_t length = strnlen(text, kSlotSize - 2);
  ClearTo(static_cast<int64_t>(i) + 1);
  char* slot = Slot(i);
  std::memcpy(slot, text, length);
  slot[length] = '\0';
  slot[length + 1] = '\0';
  if (count_ < i + 1) count_ = i + 1;
  changed_ = 1;
}

void CNameList::Add(const char* text, bool quiet) {
  if (!text) return;
  const size_t length = strnlen(text, kMaxToken + 1);
  if (length == 0 || length > static_cast<size_t>(kMaxToken)) {
    if (!quiet) Box(kTokenTooLong, "ERROR");
    return;
  }
  if (!Reserve(static_cast<int64_t>(count_) + 1, kGrowStep)) {
    if (!quiet) Box(kNoMemory, "ERROR");
    return;
  }
  ClearTo(static_cast<int64_t>(count_) + 1);
  char* slot = Slot(count_);
  std::memcpy(slot, text, length);
  slot[length] = '\0';
  ++count_;
}

int CNameList::Search(const char* text, int start) const {
  if (!text || count_ <= 0) return -1;
  const int first = start < 0 ? 0 : start % count_;
  for (int k = 0; k < count_; ++k) {
    const int i = static_cast<int>((static_cast<int64_t>(first) + k) % count_);
    if (Matches(Slot(i), text, false)) return i;
  }
  return -1;
}

int CNameList::SearchKey(const char* key, bool caseInsensitive, int start) const {
  if (!key || count_ <= 0) return -1;
  // Keys stand in the even slots only; an odd start moves on to the next key
  // and the wrap-around goes back to slot 0, whatever the parity of the count.
  const int first = start < 0 ? 0 : start % count_;
  const int keys = static_cast<int>((static_cast<int64_t>(count_) + 1) / 2);
  int k = (first + 1) / 2;
  if (k >= keys) k = 0;
  for (int tested = 0; tested < keys; ++tested) {
    const int slot = k * 2;
    if (Matches(Slot(slot), key, caseInsensitive)) {
      if (!settingsFiles_.empty()) MarkAsked(slot, key);
      return slot;
    }
    if (++k == keys) k = 0;
  }
  return -1;
}

int CNameList::SearchColumn(const char* text, int stride, bool caseInsensitive, int start) const {
  if (!text || stride <= 0) return -1;
  for (int64_t i = start < 0 ? 0 : start; i < count_; i += stride) {
    if (Matches(Slot(static_cast<int>(i)), text, caseInsensitive)) return static_cast<int>(i / stride);
  }
  return -1;
}

int CNameList::SearchStep(const char* text, int stride, int start) const {
  if (!text || stride <= 0 || count_ <= 0) return -1;
  for (int64_t i = start < 0 ? 0 : start; i < count_; i += stride) {
    if (std::strcmp(Slot(static_cast<int>(i)), text) == 0) return static_cast<int>(i);
  }
  return -1;
}

const char* CNameList::FindDuplicate() const {
  for (int i = 0; i < count_; ++i) {
    const char* name = Slot(i);
    if (name[0] == '\0') continue;
    for (int j = i + 1; j < count_; ++j) {
      if (std::strcmp(name, Slot(j)) == 0) return name;
    }
  }
  return nullptr;
}

int CNameList::WriteList(const char* path, bool invert, int columns, bool trailingComma) {
  if (!path) return 0;
  std::string text;
  const int rows = count_ / columns;
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < columns; ++column) {
      const char* token = Slot(row * columns + column);
      // The reader swallows one comma at the very start of a file, so an
      // empty first token needs one more.
      if (row == 0 && column == 0 && token[0] == '\0') text += ',';
      if (column > 0) text += ',';
      text += token;
    }
    // "key,\r\n" would lose an empty last token: a comma after a comma keeps it.
    if (trailingComma || Slot(row * columns + columns - 1)[0] == '\0') text += ',';
    text += "\r\n";
  }
  if (invert) {
    for (char& c : text) c = static_cast<char>(~static_cast<unsigned char>(c));
  }

  platform::WholeFileWriter writer;
  FILE* file = writer.Open(path);
  bool ok = file != nullptr;
  if (ok && !text.empty()) ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  ok = ok && writer.Commit();
  if (!ok) {
    writer.Abort();
    Box(path, "save open error", MB_ICONWARNING);
    return 0;
  }
  changed_ = 0;
  return 1;
}

int CNameList::SaveFiveColumns(const char* path, bool invert) { return WriteList(path, invert, 5, true); }

int CNameList::SavePairs(const char* path, bool invert) { return WriteList(path, invert, 2, false); }

void CNameList::InvertFile(const char* path) {
  if (!path) return;
  FILE* file = platform::FileOpen(path, "r+b");
  if (!file) {
    Box(path, "save open error", MB_ICONWARNING);
    return;
  }
  unsigned char block[kInvertBlock];
  long offset = 0;
  for (;;) {
    if (std::fseek(file, offset, SEEK_SET) != 0) break;
    const size_t got = std::fread(block, 1, kInvertBlock, file);
    for (size_t i = 0; i < got; ++i) block[i] = static_cast<unsigned char>(~block[i]);
    if (got > 0) {
      if (std::fseek(file, offset, SEEK_SET) != 0) break;
      if (std::fwrite(block, 1, got, file) != got) break;
    }
    if (got < kInvertBlock) break;
    offset += static_cast<long>(got);
  }
  std::fclose(file);
}

int CNameList::CopyNames(int from, int to, int n) {
  if (from < 0 || to < 0 || n < 0) return 0;
  if (n == 0) return 1;
  if (static_cast<int64_t>(from) + n > capacity_ || static_cast<int64_t>(to) + n > capacity_) return 0;
  ClearTo(static_cast<int64_t>(from > to ? from : to) + n);
  std::memmove(Slot(to), Slot(from), static_cast<size_t>(n) * kSlotSize);
  return 1;
}

void CNameList::InsertEmpty(int at, int n) {
  if (at < 0 || n <= 0) return;
  if (at > count_) at = count_;
  const int64_t count = static_cast<int64_t>(count_) + n;
  if (!Reserve(count, kGrowStep)) return;
  ClearTo(count);
  std::memmove(Slot(at + n), Slot(at), static_cast<size_t>(count_ - at) * kSlotSize);
  std::memset(Slot(at), 0, static_cast<size_t>(n) * kSlotSize);
  count_ = static_cast<int>(count);
}

void CNameList::Delete(int at, int n) {
  if (at < 0 || n <= 0 || at >= count_) return;
  if (n > count_ - at) n = count_ - at;
  std::memmove(Slot(at), Slot(at + n), static_cast<size_t>(count_ - at - n) * kSlotSize);
  count_ -= n;
  // The vacated tail holds no stale copies.
  std::memset(Slot(count_), 0, static_cast<size_t>(n) * kSlotSize);
}

void CNameList::Resize(int n) {
  if (n <= 0) return;
  if (n > capacity_ && !Expand(n - capacity_)) return;
  ClearTo(n);
  count_ = n;
}

void CNameList::SetCount(int n) {
  if (n < 0 || n > capacity_) return;
  ClearTo(n);
  count_ = n;
}

void CNameList::SetCountFull() {
  ClearTo(capacity_);
  count_ = capacity_;
}
