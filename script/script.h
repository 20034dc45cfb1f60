// CScript: one compiled script file in memory and its interpreter. Records
// run until one yields (text, choice, system call, stop); control flow and
// expressions are handled here, everything else goes to the game through
// CScriptCallBack. Every index that comes from the file is checked against
// what was loaded: a broken file ends the code with an entry in the error
// ring instead of reading outside the buffer.
#pragma once

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "script/commandtable.h"
#include "script/scriptcallback.h"

class CScript {
 public:
  static constexpr int kDefaultCapacity = 0x40000;
  static constexpr int kMaxCapacity = 0x10000000;  // words; larger files are refused
  // The largest script file Load takes: its words, rounded up to whole
  // 1024-word blocks with room to spare, fit kMaxCapacity.
  static constexpr long long kMaxFileBytes = (static_cast<long long>(kMaxCapacity) - 1024) * 4;
  static constexpr int kMaxCallDepth = 250;
  static constexpr int kStackSize = 256;
  static constexpr int kMaxArguments = 256;
  static constexpr int kErrorSlots = 16;
  static constexpr int kErrorLength = 256;
  static constexpr int kNameLength = 256;  // 255 characters and the NUL
  // Return-stack entries that hold the resume entry numbers.
  static constexpr int kStopEntrySlot = 253;
  static constexpr int kSystemCallEntrySlot = 254;

  // `capacity` in words; -1 means kDefaultCapacity.
  explicit CScript(CScriptCallBack* game, int capacity = -1);
  ~CScript();
  CScript(const CScript&) = delete;
  CScript& operator=(const CScript&) = delete;

  // Loads an engine path ("spt\\name.spt"). The same name again (any letter
  // case) only rewinds. 1 on success; on failure the script is left empty.
  int Load(const char* name);
  // After a failed Load: shows its reason (the latest error-ring entry,
  // naming the file) in a box and on stderr, unless the loader has shown
  // it already (a file that is no compiled script).
  void ReportLoadFailure() const;
  // Runs from `start` (-1: the program counter) until a record yields.
  int Run(int start = -1);
  void Free();

  // Expression at word `at` (a single word or a list); `consumed` receives
  // the words it takes.
  int CalcuExpression(int at, int* consumed);
  int GetOperandValue(uint32_t word);
  // Number of a variable word (bit 15 included), else -1.
  static int GetVarNumber(uint32_t word);

  // Table lookups; a bad index gives "" or 0 and an error-ring entry.
  const char* GetString(int i);
  const char* GetMessageText(int i);
  int GetIntConstant(int i);

  int GotoLabel(int n);
  int SearchCase(int start, int value);
  void SetPC(int pc) {
    pc_ = pc;
    endReportedAt_ = -1;
  }
  int GetPC() const { return pc_; }

  // Repositioning after a restored game (the tables of a header of at least
  // 32 words). Each gives 1, or 0 when the entry cannot be followed.
  int JumpToEntryA();
  int JumpToEntryB();
  int RestoreCallStack();
  int SearchMessage(int key);
  int SearchChoice(int key);
  // The key word of the choice record last handed to the game (-1 before
  // any): what SearchChoice finds that record by.
  int GetChoiceKey() const { return choiceKey_; }
  bool HasResumeTables() const { return loaded_ && headerLength_ >= script::kHeaderResumeLength; }

  // Whether `entry` of a resume table leads to a record of this script, so
  // that a restored call stack or resume entry can be followed.
  enum class ResumeTable { kCallSites, kStopEntries, kSystemCallEntries };
  bool HasResumeEntry(ResumeTable table, int entry) const;

  // Execution state the game saves and restores.
  int GetCallDepth() const { return callDepth_; }
  void SetCallDepth(int depth);
  int GetReturnStack(int i) const;
  void SetReturnStack(int i, int value);
  int GetCallSite(int i) const;
  void SetCallSite(int i, int value);

  // The error ring: the last 16 messages (CP932).
  void AddError(const char* message);
  int GetErrorFlag() const { return errorFlag_; }
  void ClearErrorFlag() { errorFlag_ = 0; }
  int GetErrorCount() const { return errorCount_; }
  // The message `back` entries before the latest (0 = the latest), or "".
  const char* GetError(int back = 0) const;

  bool IsLoaded() const { return loaded_ != 0; }
  int GetWordCount() const { return count_; }
  int GetCapacity() const { return capacity_; }
  const char* GetLoadedName() const { return name_; }
  int GetTemporary(int i) const { return temps_[i & 0xFF]; }

  // Whether the last Run ended by running off the end of the code (rather
  // than on a broken record).
  bool RanOffItsEnd() const { return ranOffEnd_; }
  // The first word of the record last handed to the game (-1 before any):
  // where a command the game refuses stands in the file.
  int GetCommandStart() const { return commandStart_; }

  // Test and fuzz aid: Run returns kResultStepLimit after this many records
  // (0: no limit); the program counter stays on the next record.
  void SetStepLimit(int records) { stepLimit_ = records < 0 ? 0 : records; }

 private:
  // Zero words kept after the loaded ones, so a string that starts inside
  // the file always ends inside the buffer.
  static constexpr int kPadWords = 16;

  // Word i, or 0 outside the loaded words.
  int32_t At(int i) const {
    return static_cast<uint32_t>(i) < static_cast<uint32_t>(count_) ? words_[i] : 0;
  }
  // Length of the record at `at` when it lies inside the loaded words, else 0.
  int RecordLength(int at) const;
  bool IsRecord(int at, int32_t cls, int32_t code) const;
  void Clear();
  bool Allocate(int capacity);
  int ReadFile(const char* name);  // words read, or -1
  // Reports a file that is not a compiled script (or an empty one): the
  // error ring, a line on stderr and a box, each naming the file and why.
  void Refuse(const char* name, const std::string& why, bool empty);
  void AddErrorf(const char* format, ...) __attribute__((format(printf, 2, 3)));
  bool TableEntry(int table, int i, int32_t* out) const;
  // Record index `entry` of `table` -> the word after that record.
  bool EntryTarget(int table, int entry, int* out) const;
  bool LabelTarget(int index, int* out) const;
  const char* TextAt(int table, int i, const char* what);
  bool SkipBody();
  int Evaluate(int at, int end, int* consumed);
  int EvaluateList(int first, int n);
  int SingleValue(uint32_t word);
  uint32_t Pack(int32_t value, int position);
  int32_t ChoiceKeyAt(int at, int len, bool* ok) const;
  // A record being run: where it starts, its length, class and code.
  struct Record {
    int at;
    int len;
    int32_t cls;
    int32_t code;
    const int32_t* words;
    // Word k of the record, 0 past its end.
    int32_t Word(int k) const { return k < len ? words[at + k] : 0; }
  };
  // The record's words from its fifth on, when it holds count of them.
  const int32_t* WordsFrom4(const Record& r, int count);

  // What a record handler answers to go on with the next record.
  static constexpr int kGoOn = INT_MIN;
  using Handler = int (CScript::*)(const Record&);
  struct ClassHandler {
    int32_t cls;
    Handler run;
  };
  static const ClassHandler kClassHandlers[];
  int RunSkipped(const Record& r);
  int RunControl(const Record& r);
  int RunCall(const Record& r);
  int RunExpression(const Record& r);
  int RunText(const Record& r);
  int RunCommand(const Record& r);
  int RunNotice(const Record& r);
  // Hands a text, engine or sub-script command to the game in its shape
  // and moves past it; false, with nothing handed over, for a broken record.
  bool HandOver(const Record& r, const script::CommandInfo& command);
  bool BuildChoiceList(const Record& r);
  // The end of the code reached in normal flow: a line on stderr, once.
  int RanOffEnd();

  int callDepth_ = 0;
  int32_t returnStack_[256] = {};
  int32_t callSites_[256] = {};
  CScriptCallBack* game_;
  char name_[kNameLength] = {};
  int32_t* words_ = nullptr;
  int count_ = 0;
  int pc_ = 0;
  // Where the run last fell off the end of the code, once told on stderr;
  // a run that stops there again says nothing more until the script moves.
  int endReportedAt_ = -1;
  bool ranOffEnd_ = false;
  int commandStart_ = -1;
  int messageTable_ = 0;
  int stringTable_ = 0;
  int constantTable_ = 0;
  int loaded_ = 0;
  // The last Load refused the file and has told the player why.
  bool refusalShown_ = false;
  int errorFlag_ = 0;
  char errors_[kErrorSlots][kErrorLength] = {};
  int errorCount_ = 0;
  int errorIndex_ = 0;
  int capacity_ = 0;
  uint32_t stack_[kStackSize] = {};
  int32_t temps_[kStackSize] = {};
  int headerLength_ = 0;
  int labelCount_ = 0;
  int labelTable_ = 0;
  int labelBase_ = 0;
  int callSiteTable_ = 0;
  int systemCallEntries_ = 0;
  int stopEntries_ = 0;
  int stepLimit_ = 0;
  std::vector<int32_t> choice_;
  int32_t choiceKey_ = -1;
};
