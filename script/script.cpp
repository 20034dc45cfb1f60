#include "script/script.h"

#include <algorithm>
#include <bit>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "platform/bytereader.h"
#include "platform/codec.h"
#include "platform/files.h"
#include "platform/system.h"
#include "script/scriptcheck.h"
#include "setup/text.h"

using namespace script;

// Strings are read straight out of the word buffer.
static_assert(std::endian::native == std::endian::little);

namespace {

// これ以上のスクリプトはありません
constexpr char kNoMoreScript[] =
    "\x82\xB1\x82\xEA\x88\xC8\x8F\xE3\x82\xCC\x83X\x83N\x83\x8A\x83v\x83g\x82\xCD\x82\xA0\x82\xE8"
    "\x82\xDC\x82\xB9\x82\xF1";
// return without subエラー
constexpr char kReturnWithoutSub[] = "return without sub\x83G\x83\x89\x81[";
// サブルーチンコールが250段を超えました
constexpr char kCallTooDeep[] =
    "\x83T\x83u\x83\x8B\x81[\x83`\x83\x93\x83R\x81[\x83\x8B\x82\xAA"
    "250\x92i\x82\xF0\x92\xB4\x82\xA6\x82\xDC\x82\xB5\x82\xBD";
// case以外発見
constexpr char kNotCase[] = "case\x88\xC8\x8AO\x94\xAD\x8C\xA9";
// case発見できずA
constexpr char kCaseNotFoundA[] = "case\x94\xAD\x8C\xA9\x82\xC5\x82\xAB\x82\xB8" "A";
// case発見できずB
constexpr char kCaseNotFoundB[] = "case\x94\xAD\x8C\xA9\x82\xC5\x82\xAB\x82\xB8" "B";
// 変数でも数値でもにゃいのに・・・
constexpr char kNotOperand[] =
    "\x95\xCF\x90\x94\x82\xC5\x82\xE0\x90\x94\x92l\x82\xC5\x82\xE0\x82\xC9\x82\xE1\x82\xA2\x82\xCC"
    "\x82\xC9\x81" "E\x81" "E\x81" "E";
// 計算式が複雑すぎますにゃ
constexpr char kTooComplex[] =
    "\x8Cv\x8EZ\x8E\xAE\x82\xAA\x95\xA1\x8EG\x82\xB7\x82\xAC\x82\xDC\x82\xB7\x82\xC9\x82\xE1";
// 計算式につかえないものがあります
constexpr char kNotUsable[] =
    "\x8Cv\x8EZ\x8E\xAE\x82\xC9\x82\xC2\x82\xA9\x82\xA6\x82\xC8\x82\xA2\x82\xE0\x82\xCC\x82\xAA"
    "\x82\xA0\x82\xE8\x82\xDC\x82\xB7";
// 代入演算エラー(変数以外に代入しています)
constexpr char kAssignToNonVariable[] =
    "\x91\xE3\x93\xFC\x89\x89\x8EZ\x83G\x83\x89\x81[(\x95\xCF\x90\x94\x88\xC8\x8AO\x82\xC9\x91\xE3"
    "\x93\xFC\x82\xB5\x82\xC4\x82\xA2\x82\xDC\x82\xB7)";
// 代入演算エラー(パラメータ不足)
constexpr char kAssignMissing[] =
    "\x91\xE3\x93\xFC\x89\x89\x8EZ\x83G\x83\x89\x81[(\x83p\x83\x89\x83\x81\x81[\x83^\x95s\x91\xAB)";
// 単項演算エラー(パラメータ不足)
constexpr char kUnaryMissing[] =
    "\x92P\x8D\x80\x89\x89\x8EZ\x83G\x83\x89\x81[(\x83p\x83\x89\x83\x81\x81[\x83^\x95s\x91\xAB)";
// 演算エラー(パラメータ不足)4, 5, 6
constexpr char kLogicMissing[] =
    "\x89\x89\x8EZ\x83G\x83\x89\x81[(\x83p\x83\x89\x83\x81\x81[\x83^\x95s\x91\xAB)4";
constexpr char kLessMissing[] =
    "\x89\x89\x8EZ\x83G\x83\x89\x81[(\x83p\x83\x89\x83\x81\x81[\x83^\x95s\x91\xAB)5";
constexpr char kCompareMissing[] =
    "\x89\x89\x8EZ\x83G\x83\x89\x81[(\x83p\x83\x89\x83\x81\x81[\x83^\x95s\x91\xAB)6";
// 不当な演算子エラー1 .. 5
constexpr char kBadOperator1[] = "\x95s\x93\x96\x82\xC8\x89\x89\x8EZ\x8Eq\x83G\x83\x89\x81[1";
constexpr char kBadOperator2[] = "\x95s\x93\x96\x82\xC8\x89\x89\x8EZ\x8Eq\x83G\x83\x89\x81[2";
constexpr char kBadOperator3[] = "\x95s\x93\x96\x82\xC8\x89\x89\x8EZ\x8Eq\x83G\x83\x89\x81[3";
constexpr char kBadOperator4[] = "\x95s\x93\x96\x82\xC8\x89\x89\x8EZ\x8Eq\x83G\x83\x89\x81[4";
constexpr char kBadOperator5[] = "\x95s\x93\x96\x82\xC8\x89\x89\x8EZ\x8Eq\x83G\x83\x89\x81[5";
// 存在しにゃいかつかえない演算子です
constexpr char kNoSuchOperator[] =
    "\x91\xB6\x8D\xDD\x82\xB5\x82\xC9\x82\xE1\x82\xA2\x82\xA9\x82\xC2\x82\xA9\x82\xA6\x82\xC8\x82\xA2"
    "\x89\x89\x8EZ\x8Eq\x82\xC5\x82\xB7";
// ポーランド演算スタックがへんです
constexpr char kStackBroken[] =
    "\x83|\x81[\x83\x89\x83\x93\x83h\x89\x89\x8EZ\x83X\x83^\x83" "b\x83N\x82\xAA\x82\xD6\x82\xF1"
    "\x82\xC5\x82\xB7";

// Stands in for the words of a record too short to hold them.
constexpr int32_t kZeroWords[4] = {};

// Copies at most size - 1 bytes without splitting a double-byte character.
void CopyCut(char* out, size_t size, const char* text) {
  size_t n = 0;
  while (text[n] != '\0') {
    const size_t step =
        platform::IsCp932LeadByte(static_cast<unsigned char>(text[n])) && text[n + 1] != '\0' ? 2 : 1;
    if (n + step > size - 1) break;
    n += step;
  }
  std::memcpy(out, text, n);
  out[n] = '\0';
}

bool IsVariable(uint32_t word) { return (word >> 28) == 8 && (word & kVarLiteralBit) == 0; }

uint32_t BoolWord(bool value) { return kLiteral | (value ? 1u : 0u); }

// Two's-complement arithmetic without undefined behaviour: a divisor of 0
// counts as 1, and INT_MIN / -1 wraps to INT_MIN with remainder 0.
int32_t Arith(char op, int32_t a, int32_t b) {
  const uint32_t ua = static_cast<uint32_t>(a);
  const uint32_t ub = static_cast<uint32_t>(b);
  switch (op) {
    case '+': return static_cast<int32_t>(ua + ub);
    case '-': return static_cast<int32_t>(ua - ub);
    case '*': return static_cast<int32_t>(ua * ub);
    case '&': return static_cast<int32_t>(ua & ub);
    case '|': return static_cast<int32_t>(ua | ub);
    case '^': return static_cast<int32_t>(ua ^ ub);
    case '/':
      if (b == 0) b = 1;
      if (b == -1) return static_cast<int32_t>(0u - ua);
      return a / b;
    case '%':
      if (b == 0 || b == -1) return 0;
      return a % b;
    default:
      return 0;
  }
}

bool IsArithChar(uint32_t c) {
  return c == '%' || c == '&' || c == '*' || c == '+' || c == '-' || c == '/' || c == '^' ||
         c == '|';
}

}  // namespace

CScript::CScript(CScriptCallBack* game, int capacity) : game_(game) {
  if (capacity == -1) capacity = kDefaultCapacity;
  if (capacity < 0) capacity = 0;
  if (capacity > kMaxCapacity) capacity = kMaxCapacity;
  Allocate(capacity);
}

CScript::~CScript() { Free(); }

void CScript::Free() {
  delete[] words_;
  words_ = nullptr;
  capacity_ = 0;
  Clear();
}

bool CScript::Allocate(int capacity) {
  delete[] words_;
  words_ = new (std::nothrow) int32_t[static_cast<size_t>(capacity) + kPadWords];
  capacity_ = words_ ? capacity : 0;
  if (words_) std::memset(words_, 0, (static_cast<size_t>(capacity) + kPadWords) * 4);
  return words_ != nullptr;
}

// Nothing loaded: what a failed load leaves behind.
void CScript::Clear() {
  count_ = 0;
  loaded_ = 0;
  pc_ = 0;
  callDepth_ = 0;
  name_[0] = '\0';
  headerLength_ = 0;
  messageTable_ = stringTable_ = constantTable_ = 0;
  labelCount_ = labelTable_ = labelBase_ = 0;
  callSiteTable_ = systemCallEntries_ = stopEntries_ = 0;
  ranOffEnd_ = false;
  commandStart_ = -1;
}

void CScript::AddError(const char* message) {
  CopyCut(errors_[errorIndex_], kErrorLength, message ? message : "");
  if (errorCount_ < kErrorSlots - 1) ++errorCount_;
  errorIndex_ = (errorIndex_ + 1) % kErrorSlots;
  errorFlag_ = 1;
}

void CScript::AddErrorf(const char* format, ...) {
  char text[kErrorLength];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof(text), format, args);
  va_end(args);
  AddError(text);
}

const char* CScript::GetError(int back) const {
  if (back < 0 || back >= kErrorSlots) return "";
  return errors_[(errorIndex_ - 1 - back + 2 * kErrorSlots) % kErrorSlots];
}

// Reads up to capacity words and undoes the XOR; -1 when the file cannot be
// opened or read.
int CScript::ReadFile(const char* name) {
  FILE* file = platform::FileOpen(name, "rb");
  if (!file) return -1;
  if (!words_) {
    std::fclose(file);
    return 0;
  }
  platform::ByteReader in(file, int64_t{capacity_} * 4);
  size_t read = 0;
  uint32_t word = 0;
  while (read < static_cast<size_t>(capacity_) && in.U32(&word))
    words_[read++] = static_cast<int32_t>(word ^ kFileKey);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return -1;
  std::memset(words_ + read, 0, kPadWords * 4);
  return static_cast<int>(read);
}

int CScript::Load(const char* name) {
  pc_ = 0;
  endReportedAt_ = -1;
  callDepth_ = 0;
  refusalShown_ = false;
  if (!name) {
    Clear();
    return 0;
  }
  if (loaded_ && setup::EqualNoCase(name, name_)) return 1;

  Clear();
  int read = ReadFile(name);
  if (read < 0) {
    AddErrorf("Script File not found:%s", name);
    return 0;
  }
  const long long size = platform::FileSize(name);
  if (read >= capacity_) {
    // The file filled the buffer: make room for all of it and read again.
    const long long capacity = size < 0 ? -1 : ((size + 3) / 4 + 2047) / 1024 * 1024;
    if (capacity < 0 || capacity > kMaxCapacity) {
      AddErrorf("Script File too large:%s", name);
      return 0;
    }
    if (!Allocate(static_cast<int>(capacity))) {
      AddErrorf("Script File out of memory:%s", name);
      return 0;
    }
    read = ReadFile(name);
    if (read < 0 || read >= capacity_) {
      AddErrorf("Script File read error:%s", name);
      return 0;
    }
  }
  // Checked before anything of it runs, as the assembler's dump checks it.
  std::string why = script::CheckScriptSize(static_cast<uint64_t>(std::max(size, 0LL)));
  if (why.empty())
    why = script::CheckScriptWords(reinterpret_cast<const uint32_t*>(words_),
                                   static_cast<size_t>(read));
  if (!why.empty()) {
    Refuse(name, why, size <= 0);
    return 0;
  }
  const int headerLength = words_[0];

  count_ = read;
  headerLength_ = headerLength;
  messageTable_ = At(kHeaderMessageTable);
  stringTable_ = At(kHeaderStringTable);
  labelCount_ = At(kHeaderLabelCount);
  labelTable_ = At(kHeaderLabelTable);
  labelBase_ = At(kHeaderLabelBase);
  constantTable_ = At(kHeaderConstantTable);
  if (headerLength >= kHeaderResumeLength) {
    callSiteTable_ = At(kHeaderCallSiteTable);
    systemCallEntries_ = At(kHeaderSystemCallEntries);
    stopEntries_ = At(kHeaderStopEntries);
  }
  // A longer name is cut; it then never equals the name asked for, so the
  // file is read again next time.
  CopyCut(name_, kNameLength, name);
  loaded_ = 1;
  pc_ = 0;
  callDepth_ = 0;
  return 1;
}

// A file that is there but is no compiled script: nothing of it runs.
void CScript::Refuse(const char* name, const std::string& why, bool empty) {
  const std::string head = std::string(empty ? "Script File empty:" : "Script File broken:") + name;
  AddError(head.c_str());
  platform::ErrorOutput((head + ": " + why).c_str());
  platform::MessageBox(nullptr, (head + "\n" + why).c_str(), "ERROR", MB_OK | MB_ICONERROR);
  refusalShown_ = true;
}

void CScript::ReportLoadFailure() const {
  if (loaded_ || refusalShown_) return;
  const char* why = GetError(0);
  platform::ErrorOutput(why);
  platform::MessageBox(nullptr, why, "ERROR", MB_OK | MB_ICONERROR);
}

int CScript::RecordLength(int at) const {
  if (at < 0 || at >= count_) return 0;
  const int len = words_[at];
  return len > 0 && len <= count_ - at ? len : 0;
}

bool CScript::IsRecord(int at, int32_t cls, int32_t code) const {
  const int len = RecordLength(at);
  return len >= 3 && words_[at + 1] == cls && words_[at + 2] == code;
}

bool CScript::TableEntry(int table, int i, int32_t* out) const {
  const long long at = static_cast<long long>(table) + i;
  if (table <= 0 || i < 0 || at >= count_) return false;
  *out = words_[at];
  return true;
}

bool CScript::EntryTarget(int table, int entry, int* out) const {
  int32_t record = 0;
  if (!TableEntry(table, entry, &record)) return false;
  const int len = RecordLength(record);
  if (len == 0) return false;
  *out = record + len;
  return true;
}

bool CScript::LabelTarget(int index, int* out) const {
  int32_t target = 0;
  if (index < 0 || index >= labelCount_ || !TableEntry(labelTable_, index, &target)) return false;
  if (target < 0 || target >= count_) return false;
  *out = target;
  return true;
}

const char* CScript::TextAt(int table, int i, const char* what) {
  int32_t start = 0;
  if (!TableEntry(table, i, &start) || start < 0 || start >= count_) {
    AddErrorf("%s %d is out of range", what, i);
    return "";
  }
  // The zero words after the loaded ones end every string.
  return reinterpret_cast<const char*>(words_ + start);
}

const char* CScript::GetString(int i) { return TextAt(stringTable_, i, "string"); }

const char* CScript::GetMessageText(int i) { return TextAt(messageTable_, i, "message text"); }

int CScript::GetIntConstant(int i) {
  int32_t value = 0;
  if (!TableEntry(constantTable_, i, &value)) {
    AddErrorf("constant %d is out of range", i);
    return 0;
  }
  return value;
}

int CScript::GotoLabel(int n) {
  const long long index = static_cast<long long>(n) + labelBase_;
  if (index < 0 || index >= labelCount_) return 0;
  int target = 0;
  if (!LabelTarget(static_cast<int>(index), &target)) {
    AddErrorf("label %d is out of range", n);
    return 0;
  }
  pc_ = target;
  return 1;
}

void CScript::SetCallDepth(int depth) {
  callDepth_ = depth < 0 ? 0 : depth >= kMaxCallDepth ? kMaxCallDepth - 1 : depth;
}

int CScript::GetReturnStack(int i) const { return i >= 0 && i < 256 ? returnStack_[i] : 0; }

void CScript::SetReturnStack(int i, int value) {
  if (i >= 0 && i < 256) returnStack_[i] = value;
}

int CScript::GetCallSite(int i) const { return i >= 0 && i < 256 ? callSites_[i] : 0; }

void CScript::SetCallSite(int i, int value) {
  if (i >= 0 && i < 256) callSites_[i] = value;
}

int CScript::JumpToEntryA() {
  int target = 0;
  if (!EntryTarget(systemCallEntries_, returnStack_[kSystemCallEntrySlot], &target)) {
    AddErrorf("system call entry %d is out of range", returnStack_[kSystemCallEntrySlot]);
    return 0;
  }
  pc_ = target;
  return 1;
}

int CScript::JumpToEntryB() {
  int target = 0;
  if (!EntryTarget(stopEntries_, returnStack_[kStopEntrySlot], &target)) {
    AddErrorf("stop entry %d is out of range", returnStack_[kStopEntrySlot]);
    return 0;
  }
  pc_ = target;
  return 1;
}

int CScript::RestoreCallStack() {
  if (!loaded_) return 0;
  for (int i = 0; i < callDepth_; ++i) {
    const int site = returnStack_[i];
    int target = 0;
    if (!EntryTarget(callSiteTable_, site, &target)) {
      // Calls below a broken entry cannot be returned to.
      AddErrorf("call site %d is out of range", site);
      callDepth_ = i;
      return 0;
    }
    callSites_[i] = site;
    returnStack_[i] = target;
  }
  return 1;
}

int CScript::SearchMessage(int key) {
  for (int at = 0, len; (len = RecordLength(at)) != 0; at += len) {
    if (len >= 5 && words_[at + 1] == kClassText && words_[at + 2] >= kTextWindow &&
        words_[at + 2] <= kTextAppend && words_[at + 4] == key) {
      pc_ = at + len;
      return 1;
    }
  }
  return 0;
}

// Key word of the choice record at `at`; ok is false for a broken record.
int32_t CScript::ChoiceKeyAt(int at, int len, bool* ok) const {
  const int32_t n = len > 3 ? words_[at + 3] : -1;
  const int32_t m = n >= 0 && len != static_cast<long long>(n) + 5 ? words_[at + len - 1] : 0;
  *ok = n >= 0 && m >= 0 && static_cast<long long>(n) + m + 4 < len;
  return *ok ? words_[at + 4 + n + m] : 0;
}

bool CScript::HasResumeEntry(ResumeTable table, int entry) const {
  const int start = table == ResumeTable::kCallSites     ? callSiteTable_
                    : table == ResumeTable::kStopEntries ? stopEntries_
                                                         : systemCallEntries_;
  int target = 0;
  return loaded_ && HasResumeTables() && EntryTarget(start, entry, &target);
}

int CScript::SearchChoice(int key) {
  for (int at = 0, len; (len = RecordLength(at)) != 0; at += len) {
    if (len >= 3 && words_[at + 1] == kClassText && words_[at + 2] == kTextChoice) {
      bool ok = false;
      if (ChoiceKeyAt(at, len, &ok) == key && ok) {
        pc_ = at + len;
        return 1;
      }
    }
  }
  return 0;
}

int CScript::SearchCase(int start, int value) {
  if (!loaded_) return -1;
  int at = start == -1 ? pc_ : start;
  if (at < 0 || at >= count_) return 0;
  if (IsRecord(at, kClassControl, kBlockOpen)) at += RecordLength(at);
  for (;;) {
    if (at >= count_) {
      AddError(kCaseNotFoundB);
      return 0;
    }
    const int len = RecordLength(at);
    if (len == 0) {
      if (words_[at] == 0) AddError(kNoMoreScript);
      else AddErrorf("record length %d at word %d is out of range", words_[at], at);
      return 0;
    }
    if (!IsRecord(at, kClassControl, kCase)) {
      AddError(kNotCase);
      return at;
    }
    const int32_t caseValue = len > 3 ? words_[at + 3] : 0;
    at += len;
    if ((caseValue & 0xFFFF) == value) return at;
    if (at >= count_) {
      AddError(kCaseNotFoundB);
      return 0;
    }
    const int bodyLength = RecordLength(at);
    if (bodyLength == 0) {
      if (words_[at] == 0) AddError(kCaseNotFoundA);
      else AddErrorf("record length %d at word %d is out of range", words_[at], at);
      return 0;
    }
    if (IsRecord(at, kClassControl, kBlockOpen)) {
      const int32_t extent = bodyLength > 3 ? words_[at + 3] : 0;
      if (extent < bodyLength || extent > count_ - at) {
        AddErrorf("block extent %d at word %d is out of range", extent, at);
        return 0;
      }
      at += extent;
      if (IsRecord(at, kClassControl, kBlockClose)) at += RecordLength(at);
    } else {
      at += bodyLength;
    }
  }
}

// Steps over the body after a condition: a whole block, or one record.
// False when the block extent points outside the file.
bool CScript::SkipBody() {
  const int len = RecordLength(pc_);
  if (len == 0) return true;  // the run loop reports what is wrong there
  if (len >= 3 && words_[pc_ + 1] == kClassControl && words_[pc_ + 2] == kBlockOpen) {
    const int32_t extent = len > 3 ? words_[pc_ + 3] : 0;
    if (extent < len || extent > count_ - pc_) {
      AddErrorf("block extent %d at word %d is out of range", extent, pc_);
      return false;
    }
    pc_ += extent;
  } else {
    pc_ += len;
  }
  return true;
}

const int32_t* CScript::WordsFrom4(const Record& r, int count) {
  // From the record's own start, whatever the program counter does.
  if (count <= 0 && r.len >= 4) return words_ + r.at + 4;
  if (4 + count <= r.len) return words_ + r.at + 4;
  AddErrorf("record at word %d is too short", r.at);
  return kZeroWords;
}

// One handler per record class. Each moves the program counter on and
// answers kGoOn, or what Run returns. Callbacks come last in each handler,
// after the program counter has moved on: the game may reposition or even
// reload this script from inside.
const CScript::ClassHandler CScript::kClassHandlers[] = {
    {kClassControl, &CScript::RunControl},       {kClassSystemCall, &CScript::RunCall},
    {kClassFunction, &CScript::RunCall},         {kClassExpression, &CScript::RunExpression},
    {kClassText, &CScript::RunText},             {kClassCommand, &CScript::RunCommand},
    {kClassNotice, &CScript::RunNotice},
};

int CScript::RanOffEnd() {
  ranOffEnd_ = true;
  if (endReportedAt_ != pc_) {
    endReportedAt_ = pc_;
    char line[kNameLength + 160];
    std::snprintf(line, sizeof line,
                  "%s: the script ran off its end at word %d (no exitscript, endgame or "
                  "jumpscript before it); it stops here",
                  name_, pc_);
    platform::ErrorOutput(line);
  }
  return kResultEnd;
}

int CScript::Run(int start) {
  ranOffEnd_ = false;
  if (!loaded_) return kResultError;
  if (start != -1) {
    if (start >= count_) return kResultEnd;
    if (start < 0) {
      AddErrorf("start %d is out of range", start);
      return kResultEnd;
    }
    pc_ = start;
  }
  int steps = 0;
  for (;;) {
    if (stepLimit_ > 0 && steps++ >= stepLimit_) return kResultStepLimit;
    if (pc_ >= count_) return RanOffEnd();
    if (pc_ < 0) {
      AddErrorf("program counter %d is out of range", pc_);
      return kResultEnd;
    }
    const int len = words_[pc_];
    if (len == 0) {
      AddError(kNoMoreScript);
      return RanOffEnd();
    }
    if (len < 0 || len > count_ - pc_) {
      AddErrorf("record length %d at word %d is out of range", len, pc_);
      return kResultEnd;
    }
    const Record r{pc_, len, len >= 3 ? words_[pc_ + 1] : 0, len >= 3 ? words_[pc_ + 2] : 0,
                   words_};
    // The header and records that are not executed are passed over.
    Handler handler = &CScript::RunSkipped;
    for (const ClassHandler& h : kClassHandlers)
      if (h.cls == r.cls) handler = h.run;
    const int result = (this->*handler)(r);
    if (result != kGoOn) return result;
  }
}

int CScript::RunSkipped(const Record& r) {
  pc_ += r.len;
  return kGoOn;
}

int CScript::RunControl(const Record& r) {
  const int len = r.len;
  switch (r.code) {
    case kIf: {
      const int value = Evaluate(r.at + 3, r.at + len, nullptr);
      pc_ += len;
      if (value > 0) break;
      if (!SkipBody()) return kResultEnd;
      // elsif / else chain: at most one body runs.
      for (;;) {
        const int next = RecordLength(pc_);
        if (next < 3 || At(pc_ + 1) != kClassControl) break;
        if (At(pc_ + 2) == kElse) {
          pc_ += next;
          break;
        }
        if (At(pc_ + 2) != kElsif) break;
        const int branch = Evaluate(pc_ + 3, pc_ + next, nullptr);
        pc_ += next;
        if (branch > 0) break;
        if (!SkipBody()) return kResultEnd;
      }
      break;
    }
    case kIfOnly: {
      const int value = Evaluate(r.at + 3, r.at + len, nullptr);
      pc_ += len;
      if (value <= 0 && !SkipBody()) return kResultEnd;
      break;
    }
    case kElsif:
    case kElse:
    case kCase:
      pc_ += len;
      if (!SkipBody()) return kResultEnd;
      break;
    case kReturn:
      if (callDepth_ <= 0) {
        AddError(kReturnWithoutSub);
        return kResultError;
      }
      --callDepth_;
      pc_ = returnStack_[callDepth_];
      break;
    case kCall: {
      if (callDepth_ + 1 >= kMaxCallDepth) {
        AddError(kCallTooDeep);
        return kResultError;
      }
      int target = 0;
      if (!LabelTarget(r.Word(3), &target)) {
        AddErrorf("label %d at word %d is out of range", r.Word(3), r.at);
        return kResultEnd;
      }
      returnStack_[callDepth_] = r.at + len;
      callSites_[callDepth_] = r.Word(4);
      ++callDepth_;
      pc_ = target;
      break;
    }
    case kGoto: {
      const int32_t target = r.Word(3);
      if (target < 0 || target >= count_) {
        AddErrorf("jump target %d at word %d is out of range", target, r.at);
        return kResultEnd;
      }
      pc_ = target;
      break;
    }
    case kStopHere5:
    case kStopHere6:
      return r.code;
    case kStopAfterB:
    case kStopAfterC:
    case kStopAfterE:
    case kStopAfter13:
      pc_ += len;
      return r.code;
    default:
      // Sub-script calls go to the game and stop the run; no operation,
      // block records and codes of no meaning here are passed over.
      if (const CommandInfo* command = FindCommand(kClassControl, r.code)) {
        HandOver(r, *command);
        return r.code;
      }
      pc_ += len;
      break;
  }
  return kGoOn;
}

int CScript::RunCall(const Record& r) {
  int n = r.Word(3);
  n = n < 0 ? 0 : n > kMaxArguments ? kMaxArguments : n;
  int values[kMaxArguments];
  std::memset(values, 0, sizeof(values));
  const int end = r.at + r.len;
  for (int i = 0, at = r.at + 4; i < n; ++i) {
    if (at >= end) {
      AddErrorf("arguments at word %d run past the record", r.at);
      break;
    }
    int used = 1;
    values[i] = Evaluate(at, end, &used);
    at += used;
  }
  if (r.cls == kClassSystemCall) {
    returnStack_[kSystemCallEntrySlot] = At(end - 1);
    pc_ += r.len;
    if (game_) game_->SystemCall(r.code, n, values);
    return kResultSystemCall;
  }
  pc_ += r.len;
  if (game_) game_->SystemFunction(r.code, n, values);
  return kGoOn;
}

int CScript::RunExpression(const Record& r) {
  Evaluate(r.at + 3, r.at + r.len, nullptr);
  pc_ += r.len;
  return kGoOn;
}

int CScript::RunText(const Record& r) {
  const CommandInfo* command = FindCommand(kClassText, r.code);
  if (!command) {
    pc_ += r.len;
    return kGoOn;
  }
  // Read before the game runs: it may replace the words.
  const int32_t frames = r.Word(4);
  if (!HandOver(r, *command)) return kResultEnd;
  if (command->shape == CommandShape::kPage) return kTextWindow;
  // A wait of 0 frames lets the run go on.
  if (command->shape == CommandShape::kWords1 && frames == 0) return kGoOn;
  return r.code;
}

int CScript::RunCommand(const Record& r) {
  // A text or script code here would reach the game without the data its
  // handler reads, so only engine commands are handed over.
  const CommandInfo* command = FindCommand(kClassCommand, r.code);
  if (!command) {
    pc_ += r.len;
    return kGoOn;
  }
  HandOver(r, *command);
  return kGoOn;
}

bool CScript::HandOver(const Record& r, const CommandInfo& command) {
  const int len = r.len;
  int param = 0;
  const void* data = nullptr;
  int extra = 0;
  switch (command.shape) {
    case CommandShape::kNone:
      break;
    case CommandShape::kWords1:
      param = 1;
      data = WordsFrom4(r, 1);
      break;
    case CommandShape::kWordsN:
      param = r.Word(3);
      if (param < 0 || param > len - 4) {
        AddErrorf("word count %d at word %d is out of range", param, r.at);
        param = param < 0 || len < 4 ? 0 : len - 4;
      }
      data = WordsFrom4(r, param);
      break;
    case CommandShape::kString:
      param = r.Word(3);
      data = GetString(r.Word(4));
      break;
    case CommandShape::kValue:
      param = r.Word(4);
      break;
    case CommandShape::kString1:
      param = 1;
      data = GetString(r.Word(4));
      break;
    case CommandShape::kMessage1:
      param = 1;
      data = GetMessageText(r.Word(3));
      break;
    case CommandShape::kPage:
      extra = len >= 6 ? r.Word(5) : 0;
      data = GetMessageText(r.Word(3));
      param = r.Word(4);
      break;
    case CommandShape::kChoice:
      if (!BuildChoiceList(r)) {
        AddErrorf("choice at word %d is broken", r.at);
        return false;
      }
      param = static_cast<int>(choice_.size()) - 1;
      data = choice_.data();
      break;
    case CommandShape::kScriptCall:
      returnStack_[kStopEntrySlot] = r.Word(4);
      data = GetString(r.Word(3));
      break;
    case CommandShape::kScriptName:
      data = GetString(r.Word(3));
      break;
  }
  pc_ += len;
  commandStart_ = r.at;
  if (game_) game_->SystemCommand(r.code, param, data, extra);
  return true;
}

// The list a choice record hands over: n, m, the n + m string numbers, P,
// Q and R; the record's key is kept for GetChoiceKey. False for a broken
// record.
bool CScript::BuildChoiceList(const Record& r) {
  const int len = r.len;
  bool ok = false;
  const int32_t key = ChoiceKeyAt(r.at, len, &ok);
  if (!ok) return false;
  choiceKey_ = key;
  const int32_t n = words_[r.at + 3];
  const int32_t m = len != static_cast<long long>(n) + 5 ? words_[r.at + len - 1] : 0;
  const bool pq = static_cast<long long>(n) + m + 5 < len;
  const bool rr = static_cast<long long>(n) + m + 6 < len;
  choice_.assign(words_ + r.at + 4, words_ + r.at + 4 + n + m);
  choice_.insert(choice_.begin(), {n, m});
  choice_.push_back(pq ? words_[r.at + len - 2] : 0);  // P
  choice_.push_back(pq ? words_[r.at + len - 3] : 0);  // Q
  choice_.push_back(rr ? words_[r.at + len - 4] : 0);  // R
  return true;
}

int CScript::RunNotice(const Record& r) {
  const int32_t param = r.Word(3);
  const char* text = r.len >= 5 ? GetString(r.Word(4)) : nullptr;
  pc_ += r.len;
  if (game_) game_->CommandNotice(r.code, param, text ? text : "");
  return kGoOn;
}

// ---------------------------------------------------------------------------
// Expressions

int CScript::GetVarNumber(uint32_t word) {
  return (word >> 28) == 8 ? static_cast<int>(word & 0xFFFF) : -1;
}

int CScript::GetOperandValue(uint32_t word) {
  if ((word >> 28) == 8) {
    const int v = static_cast<int>(word & 0xFFFF);
    if (v & kVarLiteralBit) return v & 0x7FFF;
    if (!game_) return 0;
    return v < 100 ? game_->GetSystemVar(v) : game_->GetVar(v);
  }
  switch (word & 0xFFFF0000u) {
    case kLiteral: return static_cast<int16_t>(word & 0xFFFF);
    case kConstant: return GetIntConstant(static_cast<int>(word & 0xFFFF));
    case kTemporary: return temps_[word & 0xFF];
    default:
      AddError(kNotOperand);
      return 0;
  }
}

int CScript::SingleValue(uint32_t word) {
  const uint32_t top = word >> 28;
  if (top == 8) return game_ ? game_->GetSystemVar(static_cast<int>(word & 0xFFFF)) : 0;
  if (top == 0xC || top == 0xD) return static_cast<int32_t>(word);
  return GetOperandValue(word);
}

uint32_t CScript::Pack(int32_t value, int position) {
  if (value >= -32767 && value <= 32767) return kLiteral | (static_cast<uint32_t>(value) & 0xFFFF);
  temps_[position] = value;
  return kTemporary | static_cast<uint32_t>(position);
}

int CScript::CalcuExpression(int at, int* consumed) {
  return Evaluate(at, count_, consumed);
}

// Evaluates the expression at `at`, which must end before word `end`.
int CScript::Evaluate(int at, int end, int* consumed) {
  if (end > count_) end = count_;
  if (at < 0 || at >= end) {
    if (consumed) *consumed = 1;
    AddErrorf("expression at word %d runs past its record", at);
    return 0;
  }
  const uint32_t first = static_cast<uint32_t>(words_[at]);
  if (first != kListMark) {
    if (consumed) *consumed = 1;
    return SingleValue(first);
  }
  const int32_t n = at + 1 < end ? words_[at + 1] : -1;
  if (n < 0 || n > end - at - 2) {
    if (consumed) *consumed = end - at;
    AddErrorf("expression at word %d runs past its record", at);
    return 0;
  }
  if (consumed) *consumed = n + 2;
  return EvaluateList(at + 2, n);
}

int CScript::EvaluateList(int first, int n) {
  int sp = 0;  // entries in use
  for (int i = 0; i < n; ++i) {
    // Checked on every read: a callback may have replaced the words.
    const uint32_t token = static_cast<uint32_t>(At(first + i));
    const uint32_t top = token >> 28;
    if (top == 8 || top == 9) {
      stack_[sp++] = token;
      if (sp >= kStackSize) {
        AddError(kTooComplex);
        return 0;
      }
      continue;
    }
    if (top != 0xA) {
      AddError(kNotUsable);
      return 0;
    }
    const uint32_t group = token >> 24;
    const uint32_t c = token & 0xFF;
    uint32_t& second = stack_[sp >= 2 ? sp - 2 : 0];
    uint32_t& last = stack_[sp >= 1 ? sp - 1 : 0];
    switch (group) {
      case kGroupArith:
        if (c == '=') {
          if (sp < 2) return AddError(kAssignMissing), 0;
          if (!IsVariable(second)) return AddError(kAssignToNonVariable), 0;
          const int b = GetOperandValue(last);
          if (game_) game_->SetVar(static_cast<int>(second & 0xFFFF), b);
          --sp;
        } else if (c == '!') {
          if (sp < 1) return AddError(kUnaryMissing), 0;
          const bool x = GetOperandValue(last) == 0;
          if (IsVariable(last)) {
            if (game_) game_->SetVar(static_cast<int>(last & 0xFFFF), x ? 1 : 0);
          } else {
            last = BoolWord(x);
          }
        } else if (IsArithChar(c)) {
          if (sp < 2) return AddError(kAssignMissing), 0;
          const int a = GetOperandValue(second);
          const int b = GetOperandValue(last);
          second = Pack(Arith(static_cast<char>(c), a, b), sp - 2);
          --sp;
        } else {
          return AddError(kBadOperator1), 0;
        }
        break;

      case kGroupAssign:
        if (c == '=') {
          if (sp < 2) return AddError(kAssignMissing), 0;
          const int a = GetOperandValue(second);
          const int b = GetOperandValue(last);
          second = BoolWord(a == b);
          --sp;
        } else if (c == '!' || IsArithChar(c)) {
          if (sp < 2) return AddError(kAssignMissing), 0;
          if (!IsVariable(second)) return AddError(kAssignToNonVariable), 0;
          int x;
          if (c == '!') {
            x = GetOperandValue(last) == 0 ? 1 : 0;
          } else {
            const int a = GetOperandValue(second);
            x = Arith(static_cast<char>(c), a, GetOperandValue(last));
          }
          if (game_) game_->SetVar(static_cast<int>(second & 0xFFFF), x);
          --sp;
        } else {
          return AddError(kBadOperator2), 0;
        }
        break;

      case kGroupLogic: {
        if (c != '&' && c != '=' && c != '^' && c != '|') return AddError(kBadOperator3), 0;
        if (sp < 2) return AddError(kLogicMissing), 0;
        const int a = GetOperandValue(second);
        const int b = GetOperandValue(last);
        bool r = a == b;
        if (c == '&') r = a != 0 && b != 0;
        if (c == '^') r = (a != 0) != (b != 0);
        if (c == '|') r = a != 0 || b != 0;
        second = BoolWord(r);
        --sp;
        break;
      }

      case kGroupLess: {
        if (c != '<' && c != '>') return AddError(kBadOperator4), 0;
        if (sp < 2) return AddError(kLessMissing), 0;
        const int a = GetOperandValue(second);
        const int b = GetOperandValue(last);
        second = BoolWord(c == '<' ? a < b : a > b);
        --sp;
        break;
      }

      case kGroupCompare: {
        if (c != '!' && c != '<' && c != '=' && c != '>') return AddError(kBadOperator5), 0;
        if (sp < 2) return AddError(kCompareMissing), 0;
        const int a = GetOperandValue(second);
        const int b = GetOperandValue(last);
        bool r = false;
        if (c == '!') r = a != b;
        if (c == '<') r = a <= b;
        if (c == '=') r = a == b;
        if (c == '>') r = a >= b;
        second = BoolWord(r);
        --sp;
        break;
      }

      default:
        return AddError(kNoSuchOperator), 0;
    }
  }
  if (sp > 1) {
    AddError(kStackBroken);
    return 0;
  }
  // An empty list leaves the bottom entry of the last evaluation in place.
  return GetOperandValue(stack_[0]);
}
