#include "tools/asm/assembler.h"

#include <cctype>
#include <climits>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <set>
#include <utility>

#include "platform/codec.h"
#include "script/commandtable.h"

namespace zasm {

using namespace script;

namespace {

// ---------------------------------------------------------------------------
// Tokens

enum class T { kEnd, kNewline, kIdent, kNumber, kString, kPunct };

struct Token {
  T kind = T::kEnd;
  std::string text;  // identifier, punctuation, or the CP932 bytes of a string
  uint64_t number = 0;
  bool hex = false;
  int line = 0;
};

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  char buffer[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof(buffer), format, args);
  va_end(args);
  return buffer;
}

bool IsIdentStart(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '.' || c >= 0x80;
}
bool IsIdentChar(unsigned char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }

class Lexer {
 public:
  Lexer(std::string_view source, std::vector<std::string>* errors)
      : src_(source), errors_(errors) {}

  std::vector<Token> Run() {
    if (src_.substr(0, 3) == "\xEF\xBB\xBF") i_ = 3;
    while (i_ < src_.size()) {
      const unsigned char c = static_cast<unsigned char>(src_[i_]);
      if (c == '\n') {
        Push(T::kNewline, "\\n");
        ++line_;
        ++i_;
      } else if (c == ' ' || c == '\t' || c == '\r') {
        ++i_;
      } else if (c == '#' || (c == '/' && Peek(1) == '/')) {
        while (i_ < src_.size() && src_[i_] != '\n') ++i_;
      } else if (c >= '0' && c <= '9') {
        Number();
      } else if (IsIdentStart(c)) {
        const size_t start = i_;
        while (i_ < src_.size() && IsIdentChar(static_cast<unsigned char>(src_[i_]))) ++i_;
        Push(T::kIdent, std::string(src_.substr(start, i_ - start)));
      } else if (c == '"') {
        String();
      } else {
        Punct();
      }
    }
    Push(T::kNewline, "\\n");
    Push(T::kEnd, "end of text");
    return std::move(tokens_);
  }

 private:
  char Peek(size_t k) const { return i_ + k < src_.size() ? src_[i_ + k] : '\0'; }

  Token& Push(T kind, std::string text) {
    tokens_.push_back(Token{kind, std::move(text), 0, false, line_});
    return tokens_.back();
  }

  void Error(const std::string& message) {
    errors_->push_back(Format("line %d: %s", line_, message.c_str()));
  }

  void Number() {
    const size_t start = i_;
    uint64_t value = 0;
    bool hex = false, overflow = false;
    if (src_[i_] == '0' && (Peek(1) == 'x' || Peek(1) == 'X')) {
      hex = true;
      i_ += 2;
      while (i_ < src_.size() && std::isxdigit(static_cast<unsigned char>(src_[i_]))) {
        const char d = src_[i_++];
        const int digit = d <= '9' ? d - '0' : (d | 0x20) - 'a' + 10;
        value = value * 16 + static_cast<uint64_t>(digit);
        overflow |= value > 0xFFFFFFFFu;
      }
    } else {
      while (i_ < src_.size() && src_[i_] >= '0' && src_[i_] <= '9') {
        value = value * 10 + static_cast<uint64_t>(src_[i_++] - '0');
        overflow |= value > 0xFFFFFFFFu;
      }
    }
    const std::string text(src_.substr(start, i_ - start));
    if (i_ < src_.size() && IsIdentChar(static_cast<unsigned char>(src_[i_]))) {
      Error("bad number '" + text + src_[i_] + "'");
    } else if (overflow || (hex && text.size() == 2)) {
      Error("bad number '" + text + "'");
    }
    Token& token = Push(T::kNumber, text);
    token.number = overflow ? 0 : value;
    token.hex = hex;
  }

  // A UTF-8 literal becomes CP932; \xHH puts a byte in as it is.
  void String() {
    ++i_;
    std::string out, utf8;
    auto flush = [&] {
      if (utf8.empty()) return;
      const std::string converted = platform::Utf8ToCp932(utf8);
      if (converted.size() != platform::Utf8ToCp932(utf8, true).size()) {
        Error("\"" + utf8 + "\" has a character that CP932 cannot hold");
      }
      out += converted;
      utf8.clear();
    };
    for (;;) {
      if (i_ >= src_.size() || src_[i_] == '\n') {
        Error("string without its closing quote");
        break;
      }
      const char c = src_[i_++];
      if (c == '"') break;
      if (c != '\\') {
        utf8 += c;
        continue;
      }
      const char e = i_ < src_.size() ? src_[i_++] : '\0';
      if (e == 'n') {
        utf8 += '\n';
      } else if (e == 'r') {
        utf8 += '\r';
      } else if (e == 't') {
        utf8 += '\t';
      } else if (e == '\\' || e == '"') {
        utf8 += e;
      } else if (e == 'x' && std::isxdigit(static_cast<unsigned char>(Peek(0))) &&
                 std::isxdigit(static_cast<unsigned char>(Peek(1)))) {
        flush();
        out += static_cast<char>(std::stoi(std::string(src_.substr(i_, 2)), nullptr, 16));
        i_ += 2;
      } else {
        Error(std::string("unknown escape \\") + e);
      }
    }
    flush();
    if (out.find('\0') != std::string::npos) Error("a string cannot hold a NUL byte");
    Push(T::kString, out);
  }

  void Punct() {
    static const char* const kTwo[] = {"==", "!=", "<=", ">=", "&&", "||", "^^", "+=",
                                       "-=", "*=", "/=", "%=", "&=", "|=", "^=", "->"};
    for (const char* p : kTwo) {
      if (src_[i_] == p[0] && Peek(1) == p[1]) {
        Push(T::kPunct, p);
        i_ += 2;
        return;
      }
    }
    static const std::string kOne = "=!%&*+-/^|<>(){}[],:;@$";
    if (kOne.find(src_[i_]) == std::string::npos) {
      Error(Format("unexpected character '%c'", src_[i_]));
      ++i_;
      return;
    }
    Push(T::kPunct, std::string(1, src_[i_]));
    ++i_;
  }

  std::string_view src_;
  std::vector<std::string>* errors_;
  std::vector<Token> tokens_;
  size_t i_ = 0;
  int line_ = 1;
};

// ---------------------------------------------------------------------------
// Names of stop codes (the commands' names are in script/commandtable.h)

struct StopName {
  const char* name;
  int32_t code;
};

// The byte the game drops from the front of a choice's question line.
constexpr char kQuestionMark = 'x';

constexpr StopName kStops[] = {
    {"endgame", kStopAfterB},
    {"exitscript", kStopHere6},
};

const std::set<std::string>& Keywords() {
  static const std::set<std::string> words = {
      "if", "elsif", "else", "case", "return", "nop", "call", "goto", "stop", "syscall",
      "func", "text", "fulltext", "moretext", "wait", "wipe", "choice", "cmd", "var",
      "const", ".record", ".words", ".header", ".labelbase"};
  return words;
}

// ---------------------------------------------------------------------------
// Parser and code generation

struct Fixup {
  size_t at;
  std::string label;
  bool number;  // the label's table entry (call) rather than its word (goto)
  int line;
};

// What an operand parsed so far is, for assignments and single words.
struct Operand {
  bool single = false;
  bool variable = false;
};

class Parser {
 public:
  Parser(std::vector<Token> tokens, Assembly* out) : toks_(std::move(tokens)), out_(out) {}

  void Run() {
    while (Peek().kind != T::kEnd) Statement();
    if (!blocks_.empty()) ErrorAt(lastLine_, "a block is not closed");
    Finish();
  }

 private:
  // --- tokens ---
  const Token& Peek(size_t k = 0) const {
    const size_t i = pos_ + k;
    return toks_[i < toks_.size() ? i : toks_.size() - 1];
  }
  const Token& Next() {
    const Token& t = Peek();
    if (pos_ < toks_.size() - 1) ++pos_;
    lastLine_ = t.line;
    return t;
  }
  bool Is(const char* punct) const { return Peek().kind == T::kPunct && Peek().text == punct; }
  bool IsIdent(const char* word) const { return Peek().kind == T::kIdent && Peek().text == word; }
  bool AtStatementEnd() const {
    return Peek().kind == T::kNewline || Peek().kind == T::kEnd || Is(";") || Is("}");
  }
  void SkipSeparators() {
    while (Peek().kind == T::kNewline || Is(";")) Next();
  }
  void Expect(const char* punct) {
    if (Is(punct)) {
      Next();
    } else {
      Error(std::string("'") + punct + "' expected");
    }
  }

  void ErrorAt(int line, const std::string& message) {
    out_->errors.push_back(Format("line %d: %s", line, message.c_str()));
  }
  void Error(const std::string& message) {
    const Token& t = Peek();
    ErrorAt(t.line, message + (t.kind == T::kNewline ? " at the end of the line"
                                                      : " near '" + t.text + "'"));
  }
  void SkipLine() {
    while (Peek().kind != T::kNewline && Peek().kind != T::kEnd) Next();
  }
  void EndStatement() {
    if (Peek().kind == T::kNewline || Is(";")) {
      Next();
    } else if (!AtStatementEnd()) {
      Error("unexpected text");
      SkipLine();
    }
  }

  // --- words ---
  void EnsureHeader() {
    if (w_.empty()) w_.assign(static_cast<size_t>(headerLength_), 0);
  }
  int Emit(int32_t cls, int32_t code, const std::vector<uint32_t>& operands) {
    EnsureHeader();
    const int at = static_cast<int>(w_.size());
    w_.push_back(static_cast<uint32_t>(3 + operands.size()));
    w_.push_back(static_cast<uint32_t>(cls));
    w_.push_back(static_cast<uint32_t>(code));
    w_.insert(w_.end(), operands.begin(), operands.end());
    ++records_;
    recordLines_[at] = lastLine_;
    return at;
  }

  uint32_t StringIndex(const std::string& text, std::vector<std::string>* table,
                       std::map<std::string, int>* index) {
    auto found = index->find(text);
    if (found != index->end()) return static_cast<uint32_t>(found->second);
    const int i = static_cast<int>(table->size());
    table->push_back(text);
    (*index)[text] = i;
    return static_cast<uint32_t>(i);
  }
  uint32_t String(const std::string& text) { return StringIndex(text, &strings_, &stringIndex_); }
  uint32_t Message(const std::string& text) {
    return StringIndex(text, &messages_, &messageIndex_);
  }
  std::string ExpectString() {
    if (Peek().kind != T::kString) {
      Error("a string expected");
      return {};
    }
    return Next().text;
  }

  // --- constants ---
  // A number known now: [-]number, a const or variable name, $number.
  bool TryConstant(int64_t* value) {
    bool negative = false;
    size_t save = pos_;
    if (Is("-")) {
      negative = true;
      Next();
    }
    int64_t v = 0;
    if (Peek().kind == T::kNumber) {
      v = static_cast<int64_t>(Next().number);
    } else if (Is("$") && Peek(1).kind == T::kNumber) {
      Next();
      v = static_cast<int64_t>(Next().number);
    } else if (Peek().kind == T::kIdent && consts_.count(Peek().text)) {
      v = consts_[Next().text];
    } else if (Peek().kind == T::kIdent && vars_.count(Peek().text)) {
      v = vars_[Next().text];
    } else {
      pos_ = save;
      return false;
    }
    *value = negative ? -v : v;
    return true;
  }
  // A constant that fits a word (signed or unsigned 32-bit).
  uint32_t Constant() {
    int64_t v = 0;
    if (!TryConstant(&v)) {
      Error("a number expected");
      if (!AtStatementEnd()) Next();
      return 0;
    }
    if (v < INT32_MIN || v > static_cast<int64_t>(UINT32_MAX)) {
      ErrorAt(lastLine_, Format("%lld does not fit a word", static_cast<long long>(v)));
    }
    return static_cast<uint32_t>(v);
  }

  // --- expressions ---
  uint32_t LiteralWord(int64_t v) {
    if (v >= -32768 && v <= 32767) return kLiteral | (static_cast<uint32_t>(v) & 0xFFFF);
    const int32_t value = static_cast<int32_t>(static_cast<uint32_t>(v));
    auto found = constantIndex_.find(value);
    int index;
    if (found != constantIndex_.end()) {
      index = found->second;
    } else {
      index = static_cast<int>(constants_.size());
      constants_.push_back(value);
      constantIndex_[value] = index;
    }
    if (index > 0xFFFF) ErrorAt(lastLine_, "too many constants");
    return kConstant | static_cast<uint32_t>(index & 0xFFFF);
  }
  uint32_t NumberValue(const Token& t, bool negative) {
    int64_t v = static_cast<int64_t>(t.number);
    // Hex numbers are bit patterns: 0xFFFFFFFF is -1.
    if (t.hex) v = static_cast<int32_t>(static_cast<uint32_t>(v));
    if (negative) v = -v;
    if (v > INT32_MAX || v < INT32_MIN) ErrorAt(t.line, "number too large: " + t.text);
    return LiteralWord(v);
  }
  uint32_t VariableWord(int64_t number, int line) {
    if (number < 0 || number > 0x7FFF) ErrorAt(line, "variable number out of range");
    return kVariable | (static_cast<uint32_t>(number) & 0x7FFF);
  }

  struct BinaryOp {
    const char* text;
    int power;
    uint32_t word;
    bool assign;
  };
  static const BinaryOp* FindBinary(const Token& t) {
    static const BinaryOp kOps[] = {
        {"=", 1, Operator(kGroupArith, '='), true},
        {"+=", 1, Operator(kGroupAssign, '+'), true},
        {"-=", 1, Operator(kGroupAssign, '-'), true},
        {"*=", 1, Operator(kGroupAssign, '*'), true},
        {"/=", 1, Operator(kGroupAssign, '/'), true},
        {"%=", 1, Operator(kGroupAssign, '%'), true},
        {"&=", 1, Operator(kGroupAssign, '&'), true},
        {"|=", 1, Operator(kGroupAssign, '|'), true},
        {"^=", 1, Operator(kGroupAssign, '^'), true},
        {"||", 2, Operator(kGroupLogic, '|'), false},
        {"^^", 2, Operator(kGroupLogic, '^'), false},
        {"&&", 3, Operator(kGroupLogic, '&'), false},
        {"|", 4, Operator(kGroupArith, '|'), false},
        {"^", 5, Operator(kGroupArith, '^'), false},
        {"&", 6, Operator(kGroupArith, '&'), false},
        {"==", 7, Operator(kGroupCompare, '='), false},
        {"!=", 7, Operator(kGroupCompare, '!'), false},
        {"<", 8, Operator(kGroupLess, '<'), false},
        {">", 8, Operator(kGroupLess, '>'), false},
        {"<=", 8, Operator(kGroupCompare, '<'), false},
        {">=", 8, Operator(kGroupCompare, '>'), false},
        {"+", 9, Operator(kGroupArith, '+'), false},
        {"-", 9, Operator(kGroupArith, '-'), false},
        {"*", 10, Operator(kGroupArith, '*'), false},
        {"/", 10, Operator(kGroupArith, '/'), false},
        {"%", 10, Operator(kGroupArith, '%'), false},
    };
    if (t.kind != T::kPunct) return nullptr;
    for (const BinaryOp& op : kOps) {
      if (t.text == op.text) return &op;
    }
    return nullptr;
  }
  static constexpr int kUnaryPower = 11;

  Operand Prefix() {
    const Token& t = Peek();
    if (Is("(")) {
      Next();
      const Operand inner = Infix(0);
      Expect(")");
      return inner;
    }
    if (Is("-") && Peek(1).kind == T::kNumber) {
      Next();
      rpn_.push_back(NumberValue(Next(), true));
      return {true, false};
    }
    if (Is("-")) {
      // 0 - x
      Next();
      rpn_.push_back(LiteralWord(0));
      Infix(kUnaryPower);
      rpn_.push_back(Operator(kGroupArith, '-'));
      return {};
    }
    if (Is("+")) {
      Next();
      return Infix(kUnaryPower);
    }
    if (Is("!")) {
      Next();
      Infix(kUnaryPower);
      rpn_.push_back(Operator(kGroupArith, '!'));
      return {};
    }
    if (t.kind == T::kNumber) {
      rpn_.push_back(NumberValue(Next(), false));
      return {true, false};
    }
    if (Is("$") && Peek(1).kind == T::kNumber) {
      Next();
      const Token& n = Next();
      rpn_.push_back(VariableWord(static_cast<int64_t>(n.number), n.line));
      return {true, true};
    }
    if (Is("@")) {
      Next();
      const uint32_t word = Constant();
      rpn_.push_back(word);
      return {true, (word >> 28) == 8 && (word & kVarLiteralBit) == 0};
    }
    if (t.kind == T::kIdent && vars_.count(t.text)) {
      const Token& name = Next();
      rpn_.push_back(VariableWord(vars_[name.text], name.line));
      return {true, true};
    }
    if (t.kind == T::kIdent && consts_.count(t.text)) {
      rpn_.push_back(LiteralWord(consts_[Next().text]));
      return {true, false};
    }
    if (t.kind == T::kIdent && !Keywords().count(t.text)) {
      Error("unknown name (declare it with var or const)");
    } else {
      Error("an operand expected");
    }
    if (!AtStatementEnd()) Next();
    rpn_.push_back(LiteralWord(0));
    return {true, false};
  }

  Operand Infix(int minPower) {
    Operand left = Prefix();
    for (;;) {
      const BinaryOp* op = FindBinary(Peek());
      if (!op || op->power < minPower) break;
      Next();
      if (op->assign && !left.variable) {
        ErrorAt(lastLine_, std::string("the left side of '") + op->text + "' is not a variable");
      }
      Infix(op->assign ? op->power : op->power + 1);
      rpn_.push_back(op->word);
      left = {};
    }
    return left;
  }

  // An expression as its record words: one word, or the list form.
  std::vector<uint32_t> Expression() {
    rpn_.clear();
    bool forceList = false;
    if (Is("[")) {
      // Raw list: the tokens as written, in postfix order.
      Next();
      forceList = true;
      while (!Is("]") && !AtStatementEnd()) {
        if (Peek().kind == T::kIdent && vars_.count(Peek().text)) {
          const Token& name = Next();
          rpn_.push_back(VariableWord(vars_[name.text], name.line));
        } else if (Is("$") && Peek(1).kind == T::kNumber) {
          Next();
          const Token& n = Next();
          rpn_.push_back(VariableWord(static_cast<int64_t>(n.number), n.line));
        } else {
          rpn_.push_back(Constant());
        }
        if (Is(",")) Next();
      }
      Expect("]");
    } else {
      const Operand result = Infix(0);
      forceList = !result.single;
    }
    if (!forceList && rpn_.size() == 1) return {rpn_[0]};
    std::vector<uint32_t> words = {kListMark, static_cast<uint32_t>(rpn_.size())};
    words.insert(words.end(), rpn_.begin(), rpn_.end());
    return words;
  }

  // --- statements ---
  void Statement() {
    const Token& t = Peek();
    if (t.kind == T::kNewline || Is(";")) {
      Next();
      return;
    }
    if (Is("{")) {
      Block();
      return;
    }
    if (Is("}")) {
      Error("'}' without its '{'");
      Next();
      return;
    }
    if (t.kind == T::kIdent && Peek(1).kind == T::kPunct && Peek(1).text == ":" &&
        !Keywords().count(t.text)) {
      DefineLabel();
      return;
    }
    if (IsIdent("var")) {
      Next();
      if (Peek().kind != T::kIdent) {
        Error("a variable name expected");
        SkipLine();
        return;
      }
      const std::string name = Next().text;
      const uint32_t number = Constant();
      if (number > 0x7FFF) ErrorAt(lastLine_, "variable number out of range");
      vars_[name] = static_cast<int>(number & 0x7FFF);
      EndStatement();
      return;
    }
    if (IsIdent("const")) {
      Next();
      if (Peek().kind != T::kIdent) {
        Error("a constant name expected");
        SkipLine();
        return;
      }
      const std::string name = Next().text;
      if (Is("=")) Next();
      consts_[name] = static_cast<int32_t>(Constant());
      EndStatement();
      return;
    }
    if (IsIdent(".header")) {
      Next();
      const uint32_t length = Constant();
      if (!w_.empty()) {
        ErrorAt(lastLine_, ".header must come before the first record");
      } else if (length < kMinHeaderLength || length > kMaxHeaderLength) {
        ErrorAt(lastLine_, "header length must be " + std::to_string(kMinHeaderLength) + ".." +
                               std::to_string(kMaxHeaderLength));
      } else {
        headerLength_ = static_cast<int>(length);
      }
      EndStatement();
      return;
    }
    if (IsIdent(".labelbase")) {
      Next();
      labelBase_ = static_cast<int32_t>(Constant());
      labelBaseLine_ = lastLine_;
      EndStatement();
      return;
    }
    if (IsIdent("elsif") || IsIdent("else")) {
      Error("elsif/else without its if");
      SkipLine();
      return;
    }
    if (IsIdent("if")) {
      If();
      return;
    }
    if (IsIdent("case")) {
      Next();
      const uint32_t value = Constant();
      Emit(kClassControl, kCase, {value});
      Body();
      return;
    }
    SimpleStatement();
  }

  // Statements that make exactly one record (or raw words).
  void SimpleStatement() {
    const Token& t = Peek();
    const std::string word = t.kind == T::kIdent ? t.text : std::string();
    if (word == "nop") {
      Next();
      Emit(kClassControl, kNop, {});
    } else if (word == "return") {
      Next();
      Emit(kClassControl, kReturn, {});
    } else if (word == "goto" || word == "call") {
      Next();
      if (Peek().kind != T::kIdent) {
        Error("a label name expected");
        SkipLine();
        return;
      }
      const Token& label = Next();
      if (word == "goto") {
        const int at = Emit(kClassControl, kGoto, {0});
        fixups_.push_back({static_cast<size_t>(at + 3), label.text, false, label.line});
      } else {
        const uint32_t site = static_cast<uint32_t>(callSites_.size());
        const int at = Emit(kClassControl, kCall, {0, site});
        callSites_.push_back(at);
        fixups_.push_back({static_cast<size_t>(at + 3), label.text, true, label.line});
      }
    } else if (word == "stop") {
      Next();
      const int32_t code = static_cast<int32_t>(Constant());
      if (const CommandInfo* command = FindCommand(kClassControl, code)) {
        Command(*command);
      } else {
        Emit(kClassControl, code, {});
      }
    } else if (const StopName* stop = FindStop(word)) {
      Next();
      Emit(kClassControl, stop->code, {});
    } else if (word == "syscall" || word == "func") {
      Next();
      const int32_t code = static_cast<int32_t>(Constant());
      std::vector<uint32_t> operands = {0};
      uint32_t count = 0;
      if (Is("(")) {
        Next();
        while (!Is(")") && !AtStatementEnd()) {
          const std::vector<uint32_t> e = Expression();
          operands.insert(operands.end(), e.begin(), e.end());
          ++count;
          if (!Is(",")) break;
          Next();
        }
        Expect(")");
      }
      if (count > 256) ErrorAt(lastLine_, "at most 256 arguments");
      operands[0] = count;
      if (word == "syscall") {
        operands.push_back(static_cast<uint32_t>(systemCalls_.size()));
        systemCalls_.push_back(Emit(kClassSystemCall, code, operands));
      } else {
        Emit(kClassFunction, code, operands);
      }
    } else if (word == "cmd") {
      Next();
      // A code the table does not list as an engine command is written as
      // one of numbers.
      const int32_t code = static_cast<int32_t>(Constant());
      const CommandInfo* command = FindCommand(kClassCommand, code);
      Command(command ? *command : CommandInfo{code, kClassCommand, CommandShape::kWordsN, nullptr});
    } else if (const CommandInfo* command = FindCommand(word)) {
      Next();
      Command(*command);
    } else if (word == ".record") {
      Next();
      const int32_t cls = static_cast<int32_t>(Constant());
      const int32_t code = static_cast<int32_t>(Constant());
      std::vector<uint32_t> operands;
      while (!AtStatementEnd()) {
        if (Peek().kind == T::kString) {
          operands.push_back(String(Next().text));
        } else {
          operands.push_back(Constant());
        }
      }
      Emit(cls, code, operands);
    } else if (word == ".words") {
      Next();
      EnsureHeader();
      rawWords_ = true;
      while (!AtStatementEnd()) w_.push_back(Constant());
    } else {
      Emit(kClassExpression, 0, Expression());
    }
    EndStatement();
  }

  static const StopName* FindStop(const std::string& word) {
    for (const StopName& s : kStops) {
      if (word == s.name) return &s;
    }
    return nullptr;
  }

  // An option `name=value` of a text or a choice; false when none follows.
  bool Option(std::string* name, uint32_t* value) {
    if (Peek().kind != T::kIdent || Peek(1).kind != T::kPunct || Peek(1).text != "=") return false;
    *name = Next().text;
    Next();
    *value = Constant();
    return true;
  }

  // The label after `->`, with its line; empty after an error.
  std::pair<std::string, int> ArrowLabel() {
    Next();  // '->'
    if (Peek().kind != T::kIdent) {
      Error("a label name expected after '->'");
      return {};
    }
    const Token& label = Next();
    return {label.text, label.line};
  }

  // An answer line after a choice: `answer "text" [-> label]`, or
  // `timeout -> label`. Blank lines and ';' may stand between them.
  bool AtAnswerLine() {
    size_t k = 0;
    while (Peek(k).kind == T::kNewline || (Peek(k).kind == T::kPunct && Peek(k).text == ";")) ++k;
    const Token& t = Peek(k);
    if (t.kind != T::kIdent) return false;
    if (t.text == "answer") return Peek(k + 1).kind == T::kString;
    return t.text == "timeout" && Peek(k + 1).kind == T::kPunct && Peek(k + 1).text == "->";
  }

  // choice [key=K] [time=P] [timeout=Q] [param=R] "a" "b" ... [/ "x" ...]
  // or: choice [options] "question" ...   then lines of
  //       answer "text" -> label
  //       timeout -> label
  void Choice(const CommandInfo& command) {
    const int line = lastLine_;
    struct Text {
      std::string bytes;
      int line;
    };
    std::vector<Text> before, after;  // the texts before and after '/'
    uint32_t key = static_cast<uint32_t>(choiceKey_++);
    uint32_t p = 0, q = 0, r = 0;
    bool full = false, afterSlash = false;
    std::string option;
    uint32_t value = 0;
    while (!AtStatementEnd()) {
      if (Peek().kind == T::kString) {
        const Token& t = Next();
        (afterSlash ? after : before).push_back({t.text, t.line});
      } else if (Is("/")) {
        Next();
        afterSlash = full = true;
      } else if (Option(&option, &value)) {
        if (option == "key") {
          key = value;
        } else if (option == "time") {
          p = value;
          full = true;
        } else if (option == "timeout") {
          q = value;
          full = true;
        } else if (option == "param") {
          r = value;
          full = true;
        } else {
          ErrorAt(lastLine_, "unknown option " + option);
        }
      } else if (Is("->")) {
        Error("a choice's labels go on its answer lines (answer \"text\" -> label)");
        Next();
        if (Peek().kind == T::kIdent) Next();
      } else {
        Error("a choice text expected");
        Next();
      }
    }
    // Answer lines: the texts on the choice's line are then its question.
    ChoiceAnswers labels{line, {}, {}, {}, 0};
    std::pair<std::string, int> timeoutLabel;  // `timeout -> label`, with its line
    std::vector<Text> answers;
    while (AtAnswerLine()) {
      SkipSeparators();
      const bool timeout = Next().text == "timeout";
      const int at = lastLine_;
      if (!timeout) answers.push_back({Next().text, at});
      if (!timeout && !Is("->")) labels.unnamed[static_cast<int>(answers.size())] = at;
      if (Is("->")) {
        auto [label, labelLine] = ArrowLabel();
        if (!label.empty()) {
          if (!timeout) {
            labels.named[static_cast<int>(answers.size())] = {label, labelLine};
          } else if (p == 0) {
            ErrorAt(at, "timeout -> " + label + " needs a time limit (time=P on the choice)");
          } else {
            timeoutLabel = {label, labelLine};
          }
        }
      }
      EndStatementBeforeNext();
    }
    std::vector<Text> questions;
    const bool oneLine = answers.empty();
    if (!oneLine) {
      if (afterSlash)
        ErrorAt(line, "this choice has answers both on its line and on answer lines; write them one way");
      questions = before;
      questions.insert(questions.end(), after.begin(), after.end());
      full = full || !questions.empty();
    } else {
      // The one-line form: the texts in order, the first m (m: the number
      // after '/') are the question lines.
      answers = before;
      answers.insert(answers.end(), after.begin(), after.end());
      const size_t m = std::min(after.size(), answers.size());
      questions.assign(answers.begin(), answers.begin() + static_cast<long>(m));
      answers.erase(answers.begin(), answers.begin() + static_cast<long>(m));
    }
    // The game drops the first byte of each question line: its mark is
    // written here, unless the text already starts with it.
    for (size_t i = 0; i < questions.size(); ++i) {
      Text& t = questions[i];
      if (t.bytes.empty() || t.bytes[0] != kQuestionMark) {
        t.bytes.insert(t.bytes.begin(), kQuestionMark);
      } else if (!oneLine && t.bytes.size() > 1 && t.bytes[1] >= 'a' && t.bytes[1] <= 'z' &&
                 t.bytes[1] != kQuestionMark) {
        // "xylophone" above answer lines, where no mark is written by
        // hand: the x is still taken for the mark.
        out_->warnings.push_back(Format("line %d: question line %zu starts with x, which is taken for the mark the "
                                        "game drops, so it shows \"%s\"; write \"x%s\" to show the x",
                                        t.line, i + 1, platform::Cp932ToUtf8(t.bytes.substr(1)).c_str(),
                                        platform::Cp932ToUtf8(t.bytes).c_str()));
      }
    }
    std::vector<uint32_t> texts;
    for (const Text& t : questions) texts.push_back(String(t.bytes));
    for (const Text& t : answers) texts.push_back(String(t.bytes));
    // The choice window keeps 64 texts of 254 bytes; the game cuts the rest.
    if (texts.size() > 64)
      out_->warnings.push_back("line " + std::to_string(line) + ": the choice has " +
                               std::to_string(texts.size()) + " texts; the game shows the first 64");
    for (size_t i = 0; i < texts.size(); ++i) {
      const size_t shown = strings_[texts[i]].size() - (i < questions.size() ? 1 : 0);
      if (shown > 254)
        out_->warnings.push_back("line " + std::to_string(line) + ": a choice text of " + std::to_string(shown) +
                                 " bytes is cut to its first 254 bytes");
    }
    // n, the first n texts, then (full form) the other m texts, the key, R,
    // Q, P and m last; the short form ends with the key.
    const size_t n = answers.size();
    std::vector<uint32_t> operands = {static_cast<uint32_t>(n)};
    operands.insert(operands.end(), texts.begin(), texts.begin() + static_cast<long>(n));
    if (full) {
      operands.insert(operands.end(), texts.begin() + static_cast<long>(n), texts.end());
      operands.insert(operands.end(), {key, r, q, p, static_cast<uint32_t>(questions.size())});
    } else {
      operands.push_back(key);
    }
    Emit(command.cls, command.code, operands);
    // A time limit also delivers its timeout answer (the one after the last
    // when none is given).
    for (size_t k = 1; k <= n; ++k) labels.answers.push_back(static_cast<int>(k));
    if (p != 0) {
      const int timeoutAnswer = q != 0 ? static_cast<int32_t>(q) : static_cast<int>(n) + 1;
      labels.answers.push_back(timeoutAnswer);
      if (!timeoutLabel.first.empty()) {
        auto named = labels.named.find(timeoutAnswer);
        if (named == labels.named.end()) {
          labels.named[timeoutAnswer] = timeoutLabel;
        } else if (named->second.first != timeoutLabel.first) {
          ErrorAt(timeoutLabel.second, "timeout -> " + timeoutLabel.first + " but the timeout is answer " +
                                             std::to_string(timeoutAnswer) + ", which goes to " +
                                             named->second.first);
        }
      } else if (!oneLine && !labels.named.count(timeoutAnswer) && !labels.unnamed.count(timeoutAnswer)) {
        labels.unnamed[timeoutAnswer] = line;
        labels.timeoutAnswer = timeoutAnswer;
      }
    }
    choiceAnswers_.push_back(std::move(labels));
  }

  // Ends an answer line (its newline or ';' is left for the next one).
  void EndStatementBeforeNext() {
    if (!AtStatementEnd()) {
      Error("unexpected text");
      SkipLine();
    }
  }

  // A command of the table with its arguments, as its shape says.
  void Command(const CommandInfo& command) {
    const int32_t code = command.code;
    switch (command.shape) {
      case CommandShape::kPage:
        Page(command);
        return;
      case CommandShape::kChoice:
        Choice(command);
        return;
      case CommandShape::kScriptCall: {
        const uint32_t name = String(ExpectString());
        const uint32_t entry = static_cast<uint32_t>(stops_.size());
        stops_.push_back(Emit(command.cls, code, {name, entry}));
        return;
      }
      case CommandShape::kScriptName:
        Emit(command.cls, code, {String(ExpectString())});
        return;
      default:
        break;
    }
    std::vector<uint32_t> words;
    std::vector<std::string> texts;
    while (!AtStatementEnd()) {
      if (Peek().kind == T::kString) {
        texts.push_back(Next().text);
      } else {
        words.push_back(Constant());
      }
    }
    auto shapeError = [&](const char* wanted) {
      const std::string name = command.mnemonic ? std::string(" (") + command.mnemonic + ")" : "";
      ErrorAt(lastLine_, Format("command 0x%08X%s takes %s", static_cast<unsigned>(code), name.c_str(), wanted));
    };
    const uint32_t first = words.empty() ? 0 : words[0];
    const std::string text = texts.empty() ? std::string() : texts[0];
    switch (command.shape) {
      case CommandShape::kNone:
        if (!words.empty() || !texts.empty()) shapeError("no arguments");
        Emit(command.cls, code, {});
        break;
      case CommandShape::kWords1:
        if (words.empty() && texts.empty()) {
          Error("a number expected");
        } else if (words.size() != 1 || !texts.empty()) {
          shapeError("one number");
        }
        Emit(command.cls, code, {1, first});
        break;
      case CommandShape::kWordsN: {
        // One string names what an engine command plays (a voice's name):
        // it goes ahead of the command as a notice record.
        if (command.cls != kClassCommand && !texts.empty()) {
          shapeError("numbers");
        } else if (texts.size() > 1) {
          shapeError("numbers and at most one string");
        }
        if (words.size() < command.minCount || words.size() > command.maxCount) {
          const std::string wanted =
              command.minCount == command.maxCount ? std::to_string(command.minCount)
              : command.maxCount == kAnyCount      ? "at least " + std::to_string(command.minCount)
                                                   : std::to_string(command.minCount) + " to " +
                                                         std::to_string(command.maxCount);
          shapeError((wanted + (command.maxCount == 1 ? " number" : " numbers") + ", not " +
                      std::to_string(words.size()))
                         .c_str());
        }
        if (texts.size() == 1 && command.cls == kClassCommand) {
          Emit(kClassNotice, code, {0, String(text)});
        }
        std::vector<uint32_t> operands = {static_cast<uint32_t>(words.size())};
        operands.insert(operands.end(), words.begin(), words.end());
        Emit(command.cls, code, operands);
        break;
      }
      case CommandShape::kString:
        if (words.size() != 1 || texts.size() != 1) shapeError("a number and a string");
        Emit(command.cls, code, {first, String(text)});
        break;
      case CommandShape::kValue:
        if (words.size() != 1 || !texts.empty()) shapeError("one number");
        Emit(command.cls, code, {1, first});
        break;
      case CommandShape::kString1:
        if (!words.empty() || texts.size() != 1) shapeError("one string");
        Emit(command.cls, code, {1, String(text)});
        break;
      case CommandShape::kMessage1:
        if (!words.empty() || texts.size() != 1) shapeError("one string");
        Emit(command.cls, code, {Message(text)});
        break;
      default:
        break;
    }
  }

  // text "…" [key=K] [extra=E]
  void Page(const CommandInfo& command) {
    const uint32_t text = Message(ExpectString());
    uint32_t key = static_cast<uint32_t>(messageKey_++);
    bool hasExtra = false;
    uint32_t extra = 0;
    std::string option;
    uint32_t value = 0;
    while (Option(&option, &value)) {
      if (option == "key") {
        key = value;
      } else if (option == "extra") {
        extra = value;
        hasExtra = true;
      } else {
        ErrorAt(lastLine_, "unknown option " + option);
      }
    }
    std::vector<uint32_t> operands = {text, key};
    if (hasExtra) operands.push_back(extra);
    Emit(command.cls, command.code, operands);
  }

  void DefineLabel() {
    const Token& name = Next();
    Next();  // ':'
    EnsureHeader();
    if (labels_.count(name.text)) {
      ErrorAt(name.line, "label " + name.text + " defined twice");
      return;
    }
    LabelInfo info;
    info.number = static_cast<int>(labelWords_.size());
    info.word = static_cast<int>(w_.size());
    labelWords_.push_back(info.word);
    labelLines_.push_back(name.line);
    labels_[name.text] = info;
  }

  void Block() {
    Next();  // '{'
    const int open = Emit(kClassControl, kBlockOpen, {0});
    blocks_.push_back(open);
    for (;;) {
      if (Peek().kind == T::kEnd) return;  // Run reports the open block
      if (Is("}")) break;
      Statement();
    }
    Next();  // '}'
    blocks_.pop_back();
    Emit(kClassControl, kBlockClose, {});
    w_[static_cast<size_t>(open) + 3] = static_cast<uint32_t>(w_.size() - static_cast<size_t>(open));
  }

  // The body of if, elsif, else and case: a block or a single record.
  void Body() {
    SkipSeparators();
    if (Is("{")) {
      Block();
      return;
    }
    const Token& t = Peek();
    if (t.kind == T::kEnd || Is("}") ||
        (t.kind == T::kIdent && (t.text == "if" || t.text == "case" || t.text == "var" ||
                                 t.text == "const" || t.text == "elsif" || t.text == "else" ||
                                 t.text == ".words" || t.text == ".header" ||
                                 t.text == ".labelbase" ||
                                 (Peek(1).kind == T::kPunct && Peek(1).text == ":")))) {
      Error("a body without braces must be one simple statement");
      return;
    }
    const int before = records_;
    SimpleStatement();
    if (records_ != before + 1) ErrorAt(lastLine_, "a body without braces must be one record");
  }

  void If() {
    Next();  // 'if'
    const int record = Emit(kClassControl, kIf, Expression());
    Body();
    bool chain = false;
    for (;;) {
      const size_t save = pos_;
      SkipSeparators();
      const bool elseIf = IsIdent("else") && Peek(1).kind == T::kIdent && Peek(1).text == "if";
      if (IsIdent("elsif") || elseIf) {
        chain = true;
        Next();
        if (elseIf) Next();
        Emit(kClassControl, kElsif, Expression());
        Body();
        continue;
      }
      if (IsIdent("else")) {
        chain = true;
        Next();
        Emit(kClassControl, kElse, {});
        Body();
        break;
      }
      pos_ = save;
      break;
    }
    w_[static_cast<size_t>(record) + 2] = static_cast<uint32_t>(chain ? kIf : kIfOnly);
  }

  // --- flow ---
  // The record after the body that starts at `at`: past the block when the
  // body is one, else past its one record.
  size_t AfterBody(size_t at) const {
    const size_t end = w_.size();
    if (at + 3 >= end || w_[at] < 3) return end;
    const bool block = static_cast<int32_t>(w_[at + 1]) == kClassControl &&
                       static_cast<int32_t>(w_[at + 2]) == kBlockOpen;
    return at + (block && w_[at] >= 4 ? w_[at + 3] : w_[at]);
  }

  // Warns on every record after which the run can reach the end of the
  // code: the interpreter stops there for good and the game waits for
  // ever. The entries are the start and every label (the game can jump to
  // any); a case body is entered from outside too.
  void WarnRunOffEnd() {
    // Raw words can be anything: no flow is known.
    if (rawWords_) return;
    const size_t end = w_.size();
    std::vector<char> seen(end, 0);
    std::vector<std::pair<size_t, int>> work;  // (word, line of the step that led there)
    work.push_back({0, 1});
    for (size_t i = 0; i < labelWords_.size(); ++i)
      work.push_back({static_cast<size_t>(labelWords_[i]), labelLines_[i]});
    std::set<int> lines;
    while (!work.empty()) {
      const auto [at, from] = work.back();
      work.pop_back();
      if (at >= end) {
        lines.insert(from);
        continue;
      }
      if (seen[at]) continue;
      seen[at] = 1;
      const auto found = recordLines_.find(static_cast<int>(at));
      const int line = found != recordLines_.end() ? found->second : 1;
      // The header's words are written last.
      const uint32_t length = at == 0 ? static_cast<uint32_t>(headerLength_) : w_[at];
      // A record that does not fit is reported elsewhere, or is raw.
      if (length < 3 || at + length > end) return;
      const int32_t cls = static_cast<int32_t>(w_[at + 1]);
      const int32_t code = static_cast<int32_t>(w_[at + 2]);
      const size_t next = at + length;
      auto go = [&](size_t to) { work.push_back({to, line}); };
      if (at == 0 || cls != kClassControl) {
        go(next);
        continue;
      }
      switch (code) {
        case kStopHere5:
        case kStopHere6:
        case kStopAfterB:
        case kReturn:
          break;
        case kGoto:
          go(length >= 4 ? w_[at + 3] : end);
          break;
        case kCall:
          if (length >= 4 && w_[at + 3] < labelWords_.size())
            go(static_cast<size_t>(labelWords_[w_[at + 3]]));
          go(next);
          break;
        case kIfOnly:
          go(next);
          go(AfterBody(next));
          break;
        case kIf: {
          // The false way runs down the chain: past each body, into an
          // else's body, or on after the last branch.
          go(next);
          size_t q = AfterBody(next);
          while (q + 3 < end && static_cast<int32_t>(w_[q + 1]) == kClassControl &&
                 static_cast<int32_t>(w_[q + 2]) == kElsif) {
            go(q + w_[q]);
            q = AfterBody(q + w_[q]);
          }
          if (q + 3 < end && static_cast<int32_t>(w_[q + 1]) == kClassControl &&
              static_cast<int32_t>(w_[q + 2]) == kElse)
            q += w_[q];
          go(q);
          break;
        }
        case kCase:
          go(next);
          go(AfterBody(next));
          break;
        case kElsif:
        case kElse:
          go(AfterBody(next));
          break;
        default:
          if (code == kReplaceScript) break;
          go(next);
          break;
      }
    }
    for (int line : lines)
      out_->warnings.push_back(Format("line %d: the script can run off its end after this line "
                                      "(end it with exitscript, endgame or jumpscript)",
                                      line));
  }

  // Each label's name at its number.
  std::vector<std::string> LabelNames() const {
    std::vector<std::string> names(labelWords_.size());
    for (const auto& [name, info] : labels_)
      if (info.number >= 0 && static_cast<size_t>(info.number) < names.size()) names[info.number] = name;
    return names;
  }

  // The game hands a choice's 1-based answer to GotoLabel, which goes on at
  // label (answer + label base) of this script and does nothing when there
  // is no such label: the run then goes on after the choice. Warns on every
  // answer line that names no label, saying where it goes (a label it may
  // reach by its number alone is as likely wrong), and on every choice of
  // the one-line form with an answer that has no label.
  void WarnChoiceLabels() {
    if (!out_->errors.empty()) return;  // a wrong label says more
    const std::vector<std::string> names = LabelNames();
    for (const ChoiceAnswers& c : choiceAnswers_) {
      for (const auto& [answer, line] : c.unnamed) {
        const long long index = static_cast<long long>(answer) + labelBase_;
        const bool reaches = index >= 0 && index < static_cast<long long>(names.size());
        const bool timeout = answer == c.timeoutAnswer;
        std::string text = timeout ? "the time limit's answer " + std::to_string(answer) +
                                         " of this choice has no \"timeout -> label\" line"
                                   : "answer " + std::to_string(answer) + " of this choice has no \"-> label\"";
        const std::string number =
            "label number " + std::to_string(answer) + " + the label base " + std::to_string(labelBase_);
        if (reaches) {
          const std::string& label = names[static_cast<size_t>(index)];
          text += ", so it goes on at label " + label + " (" + number + ", whatever label stands there); write " +
                  (timeout ? "\"timeout -> " + label + "\" after the answers" : "\"-> " + label + "\" on its line") +
                  " if that is meant";
          out_->unlabelledAnswers.push_back({line, text});
        } else {
          text += ", and no label stands at " + number + " (the script has " + std::to_string(names.size()) +
                  " labels counted from 0), so the run goes on after the choice; name its label: " +
                  (timeout ? "timeout -> label" : "answer \"...\" -> label");
        }
        out_->warnings.push_back("line " + std::to_string(line) + ": " + text);
      }
      std::string missing, found;
      for (int answer : c.answers) {
        if (c.unnamed.count(answer)) continue;
        const long long index = static_cast<long long>(answer) + labelBase_;
        std::string& list = index >= 0 && index < static_cast<long long>(names.size()) ? found : missing;
        if (!list.empty()) list += ", ";
        list += std::to_string(answer);
        if (&list == &found) list += " at " + names[static_cast<size_t>(index)];
      }
      if (missing.empty()) continue;
      out_->warnings.push_back(
          "line " + std::to_string(c.line) + ": answer " + missing +
          " of this choice has no label, so the run goes on after the choice (answer k goes on at "
          "label k + " + std::to_string(labelBase_) + ", the label base, of the " +
          std::to_string(names.size()) + " labels counted from 0; answers with a label: " +
          (found.empty() ? "none" : found) + "); name each answer's label on an answer line: answer \"...\" -> label");
    }
  }

  // Answer k of every choice goes on at label number k + the label base, so
  // the labels the answer lines name fix the base: `.labelbase` when it is
  // written, else the first named answer's. Every named answer must then
  // stand where the game goes.
  void ResolveChoiceLabels() {
    const std::vector<std::string> names = LabelNames();
    bool fixed = labelBaseLine_ > 0;
    std::string why = fixed ? "`.labelbase " + std::to_string(labelBase_) + "` on line " +
                                  std::to_string(labelBaseLine_)
                            : std::string();
    for (const ChoiceAnswers& c : choiceAnswers_) {
      for (const auto& [answer, named] : c.named) {
        const auto& [label, line] = named;
        auto found = labels_.find(label);
        if (found == labels_.end()) {
          ErrorAt(line, "label " + label + " is not defined");
          continue;
        }
        const long long base = static_cast<long long>(found->second.number) - answer;
        if (!fixed) {
          fixed = true;
          labelBase_ = static_cast<int32_t>(base);
          why = "answer " + std::to_string(answer) + " -> " + label + " on line " + std::to_string(line);
          continue;
        }
        if (base == labelBase_) continue;
        const long long target = static_cast<long long>(answer) + labelBase_;
        const std::string there =
            target >= 0 && target < static_cast<long long>(names.size())
                ? "label " + names[static_cast<size_t>(target)]
                : "no label (the run goes on after the choice)";
        ErrorAt(line, "answer " + std::to_string(answer) + " -> " + label +
                          " is not where the game goes: answer k goes on at label number k + the label base, "
                          "which " + why + " makes " + std::to_string(labelBase_) + ", so answer " +
                          std::to_string(answer) + " goes to " + there +
                          "; the answers' labels must stand in the file in the answers' order with no other "
                          "label between them, and every choice of one script shares them");
      }
    }
  }

  // --- tables ---
  // A table of word values; 0 (absent) when it has no entries.
  uint32_t Table(const std::vector<int>& values) {
    if (values.empty()) return 0;
    const uint32_t at = static_cast<uint32_t>(w_.size());
    for (int v : values) w_.push_back(static_cast<uint32_t>(v));
    return at;
  }

  void Finish() {
    EnsureHeader();
    for (const Fixup& f : fixups_) {
      auto found = labels_.find(f.label);
      if (found == labels_.end()) {
        ErrorAt(f.line, "label " + f.label + " is not defined");
        continue;
      }
      w_[f.at] = static_cast<uint32_t>(f.number ? found->second.number : found->second.word);
    }
    WarnRunOffEnd();
    ResolveChoiceLabels();
    WarnChoiceLabels();
    w_.push_back(0);  // end of code

    const bool resume = headerLength_ >= kHeaderResumeLength;
    const uint32_t labelTable = Table(labelWords_);
    const uint32_t callSiteTable = resume ? Table(callSites_) : 0;
    const uint32_t systemCallTable = resume ? Table(systemCalls_) : 0;
    const uint32_t stopTable = resume ? Table(stops_) : 0;
    std::vector<int> constants(constants_.begin(), constants_.end());
    const uint32_t constantTable = Table(constants);
    // The two text tables, then the texts they point at.
    const uint32_t messageTable = Table(std::vector<int>(messages_.size(), 0));
    const uint32_t stringTable = Table(std::vector<int>(strings_.size(), 0));
    std::map<std::string, uint32_t> placed;
    auto place = [&](const std::string& text) {
      auto found = placed.find(text);
      if (found != placed.end()) return found->second;
      const uint32_t at = static_cast<uint32_t>(w_.size());
      for (size_t i = 0; i <= text.size(); i += 4) {
        uint32_t word = 0;
        for (size_t k = 0; k < 4 && i + k < text.size(); ++k) {
          word |= static_cast<uint32_t>(static_cast<unsigned char>(text[i + k])) << (8 * k);
        }
        w_.push_back(word);
      }
      placed[text] = at;
      return at;
    };
    for (size_t i = 0; i < messages_.size(); ++i) w_[messageTable + i] = place(messages_[i]);
    for (size_t i = 0; i < strings_.size(); ++i) w_[stringTable + i] = place(strings_[i]);

    auto header = [&](int index, uint32_t value) {
      if (index < headerLength_) w_[static_cast<size_t>(index)] = value;
    };
    header(kHeaderLength, static_cast<uint32_t>(headerLength_));
    header(1, static_cast<uint32_t>(kClassSkipped));
    header(kHeaderMessageTable, messageTable);
    header(kHeaderStringTable, stringTable);
    header(kHeaderLabelCount, static_cast<uint32_t>(labelWords_.size()));
    header(kHeaderLabelTable, labelTable);
    header(kHeaderLabelBase, static_cast<uint32_t>(labelBase_));
    header(kHeaderConstantTable, constantTable);
    if (resume) {
      header(kHeaderCallSiteTable, callSiteTable);
      header(kHeaderSystemCallEntries, systemCallTable);
      header(kHeaderStopEntries, stopTable);
    }
    out_->words = std::move(w_);
    out_->labels = labels_;
    out_->recordLines = recordLines_;
  }

  std::vector<Token> toks_;
  size_t pos_ = 0;
  int lastLine_ = 1;
  Assembly* out_;
  std::vector<uint32_t> w_;
  std::vector<uint32_t> rpn_;
  int headerLength_ = kHeaderResumeLength;
  int32_t labelBase_ = 0;
  int labelBaseLine_ = 0;  // the line of `.labelbase`; 0 when none is written
  int records_ = 0;
  int messageKey_ = 0;
  int choiceKey_ = 0;
  std::map<std::string, int> vars_;
  std::map<std::string, int32_t> consts_;
  std::map<std::string, LabelInfo> labels_;
  std::vector<int> labelWords_;
  std::vector<int> labelLines_;
  std::map<int, int> recordLines_;  // word of a record -> its source line
  bool rawWords_ = false;
  std::vector<Fixup> fixups_;
  struct ChoiceAnswers {
    int line;
    std::vector<int> answers;
    // Answer number -> the label its answer line names, with that line.
    std::map<int, std::pair<std::string, int>> named;
    // Answer number -> the line of an answer line without `-> label` (the
    // choice's own line for a time limit's answer without `timeout ->`).
    std::map<int, int> unnamed;
    int timeoutAnswer = 0;  // the time limit's answer when it is unnamed
  };
  std::vector<ChoiceAnswers> choiceAnswers_;
  std::vector<int> blocks_;
  std::vector<int> callSites_, systemCalls_, stops_;
  std::vector<int32_t> constants_;
  std::map<int32_t, int> constantIndex_;
  std::vector<std::string> strings_, messages_;
  std::map<std::string, int> stringIndex_, messageIndex_;
};

}  // namespace

Assembly Assemble(std::string_view source) {
  Assembly out;
  std::vector<Token> tokens = Lexer(source, &out.errors).Run();
  Parser(std::move(tokens), &out).Run();
  return out;
}

std::string Assembly::FileBytes() const { return EncodeWords(words); }

int Assembly::LabelWord(const std::string& name) const {
  auto found = labels.find(name);
  return found == labels.end() ? -1 : found->second.word;
}

int Assembly::LabelNumber(const std::string& name) const {
  auto found = labels.find(name);
  return found == labels.end() ? -1 : found->second.number;
}

std::string Assembly::ErrorText() const {
  std::string text;
  for (const std::string& e : errors) text += e + "\n";
  return text;
}

std::string EncodeWords(const std::vector<uint32_t>& words) {
  std::string bytes;
  bytes.reserve(words.size() * 4);
  for (uint32_t w : words) {
    const uint32_t x = w ^ kFileKey;
    for (int k = 0; k < 4; ++k) bytes.push_back(static_cast<char>((x >> (8 * k)) & 0xFF));
  }
  return bytes;
}

std::vector<uint32_t> DecodeFile(std::string_view bytes) {
  std::vector<uint32_t> words(bytes.size() / 4);
  for (size_t i = 0; i < words.size(); ++i) {
    uint32_t x = 0;
    for (int k = 0; k < 4; ++k) {
      x |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[i * 4 + k])) << (8 * k);
    }
    words[i] = x ^ kFileKey;
  }
  return words;
}

}  // namespace zasm
