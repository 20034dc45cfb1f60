// CNameList: the token array behind every settings and data list. A list
// file is CP932 text split at blanks, TABs, CRs, LFs and commas; ".fxf" files
// hold the same text with every byte complemented.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

class CNameList {
 public:
  // A slot holds one NUL-terminated token of at most kMaxToken bytes.
  static constexpr int kSlotSize = 128;
  static constexpr int kMaxToken = kSlotSize - 1;
  // Keeps the slot buffer's byte size within 32 bits.
  static constexpr int kMaxSlots = 0x7FFFFFFF / kSlotSize;
  // The largest list file a load takes: sizes and positions stay within
  // 32 bits, as the slot arithmetic does.
  static constexpr long long kMaxFileBytes = 0x7FFFFFFF - 2;

  // The bytes that end a token: blanks, TABs, CRs, LFs, NULs and commas.
  static bool EndsToken(unsigned char c);

  CNameList();
  explicit CNameList(int capacity);
  virtual ~CNameList();
  CNameList(const CNameList&) = delete;
  CNameList& operator=(const CNameList&) = delete;

  void Free();
  // Grows the buffer by n zeroed slots; 0 when memory runs out.
  int Expand(int n);

  // Appends the tokens of a file after the current ones. 1 also for an empty
  // file; 0 when the file cannot be opened or read into memory.
  int Load(const char* path, bool invertBytes, bool quiet);
  // The settings list `name`: "init2\\name.fxf" when an "init2" entry exists
  // beside the program and that file loads, else "init\\name.xtx". A
  // settings list holds pairs: a line that ends in a comma right after a
  // key ("key,") gives that key an empty value, so the next line's key
  // stays a key.
  int LoadInit(const char* name);

  int GetCount() const { return count_; }
  // Token i, or null outside 0..count-1. Valid until the list grows.
  const char* GetName(int i) const;
  void SetName(int i, const char* text);
  void Add(const char* text, bool quiet);

  // Lookups; each gives -1 when nothing matches. A start of -1 is slot 0.
  int Search(const char* text, int start) const;
  int SearchKey(const char* key, bool caseInsensitive = true, int start = -1) const;
  int SearchColumn(const char* text, int stride, bool caseInsensitive, int start) const;
  int SearchStep(const char* text, int stride, int start) const;
  const char* FindDuplicate() const;

  // Writers: rows of five tokens or of key/value pairs; an incomplete last
  // row is left out. With invert the file is written complemented (.fxf).
  int SaveFiveColumns(const char* path, bool invert);
  int SavePairs(const char* path, bool invert);
  // Complements every byte of a file in place.
  static void InvertFile(const char* path);

  int CopyNames(int from, int to, int n);
  void InsertEmpty(int at, int n);
  void Delete(int at, int n);
  void Resize(int n);
  void SetCount(int n);
  void SetCountFull();

  int GetChangedFlag() const { return changed_; }
  void SetChangedFlag(int flag) { changed_ = flag; }

  int GetCapacity() const { return capacity_; }

  // A settings list's "key," at the end of a line gives the key an empty
  // value and keeps a note of it; a reader that takes that value for a
  // number or a name tells the note on stderr (once), while a reader of a
  // text the engine shows, where empty means "show none", leaves it untold.
  void TellEmptyValue(int keySlot) const;

  // Settings lists remember which of their keys SearchKey was asked for;
  // this writes a debug line for every key of a loaded settings list that
  // nothing asked for (a misspelt key shows up there).
  static void ReportUnaskedKeys();
  // Forgets the settings lists seen so far (a new run, or a test).
  static void ForgetSettingsKeys();

  // The "init2" answer is taken once per process; tests that change game
  // folders forget it here.
  static void ResetInit2Check();
  // Test aid: after `after` more successful list allocations, the next
  // `count` fail as if memory had run out.
  static void FailAllocations(int count, int after = 0);

 private:
  char* Slot(int i) const { return slots_ + static_cast<std::size_t>(i) * kSlotSize; }
  // Makes room for `needed` slots, growing by whole steps of `step`.
  bool Reserve(int64_t needed, int step);
  void ClearFrom(int first);
  // Zeroes the slots up to `n` (whole pages of slots, within the capacity)
  // that were never cleared: the slots come from malloc uncleared, and a
  // slot is cleared before anything writes or shows it.
  void ClearTo(int64_t n);
  int WriteList(const char* path, bool invert, int columns, bool trailingComma);
  // Load's reader. With `lines` (settings lists) the file is read as pairs
  // and the line of every token read is appended there.
  int LoadTokens(const char* path, bool invertBytes, bool quiet, std::vector<int>* lines);
  // Records that the key in `slot` was asked for.
  void MarkAsked(int slot, const char* key) const;

  int capacity_ = 0;
  int count_ = 0;
  // Slots 0..cleared_-1 hold zeroes or what was written there; the rest
  // hold whatever malloc gave.
  int cleared_ = 0;
  char* slots_ = nullptr;
  int changed_ = 0;
  // The settings files this list was loaded from (entries of the process'
  // record of settings keys); empty for other lists.
  std::vector<int> settingsFiles_;
  int settingsGeneration_ = -1;
  mutable std::vector<char> askedSlots_;
  // Key slot -> the line that tells its empty value.
  mutable std::map<int, std::string> emptyValueNotes_;
};
