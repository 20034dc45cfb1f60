// Record classes, control codes and operand words of compiled scripts,
// shared by the interpreter and the assembler. The codes of the commands
// handed to the game are in script/commandtable.h.
#pragma once

#include <cstdint>

namespace script {

// Every word of a script file is stored XORed with this key.
constexpr uint32_t kFileKey = 0x5A17C3E9u;

// Header words (word indexes inside the header record).
enum HeaderWord : int {
  kHeaderLength = 0,
  kHeaderMessageTable = 5,
  kHeaderStringTable = 7,
  kHeaderLabelCount = 8,
  kHeaderLabelTable = 9,
  kHeaderLabelBase = 10,
  kHeaderConstantTable = 18,
  kHeaderCallSiteTable = 20,
  kHeaderSystemCallEntries = 22,
  kHeaderStopEntries = 23,
  // Headers shorter than this carry no resume tables (words 20-23).
  kHeaderResumeLength = 32,
};

// Record classes (word 1).
constexpr int32_t kClassSkipped = 0x66660001;
constexpr int32_t kClassControl = 0x66660002;
constexpr int32_t kClassSystemCall = 0x66660003;
constexpr int32_t kClassFunction = 0x66660004;
constexpr int32_t kClassExpression = 0x66660005;
constexpr int32_t kClassText = 0x66660006;
constexpr int32_t kClassCommand = 0x66660007;
// A notice ahead of the engine command it names (word 2): word 3 a number,
// word 4 a string of the string table (the voice name of a voice command).
constexpr int32_t kClassNotice = 0x66660008;

// Control codes (class kClassControl). The sub-script calls are control
// records too, listed with the commands in script/commandtable.h.
constexpr int32_t kBlockOpen = static_cast<int32_t>(0xA000007Bu);   // '{'
constexpr int32_t kBlockClose = static_cast<int32_t>(0xA000007Du);  // '}'
constexpr int32_t kNop = 0x55560001;
constexpr int32_t kIf = 0x55560002;  // may be followed by elsif / else
constexpr int32_t kElsif = 0x55560003;
constexpr int32_t kElse = 0x55560004;
constexpr int32_t kStopHere5 = 0x55560005;
constexpr int32_t kStopHere6 = 0x55560006;
constexpr int32_t kReturn = 0x55560007;
constexpr int32_t kCase = 0x55560008;
constexpr int32_t kCall = 0x55560009;
constexpr int32_t kStopAfterB = 0x5556000B;
constexpr int32_t kStopAfterC = 0x5556000C;
constexpr int32_t kStopAfterE = 0x5556000E;
constexpr int32_t kIfOnly = 0x55560011;  // no chain
constexpr int32_t kStopAfter13 = 0x55560013;
constexpr int32_t kGoto = 0x55560020;

// What Run returns besides the codes above and the commands' codes.
constexpr int kResultError = -1;
constexpr int kResultEnd = 10;
constexpr int kResultSystemCall = 0x11110001;
// Test and fuzz aid: the step limit ran out (CScript::SetStepLimit).
constexpr int kResultStepLimit = 0;

// Operand words.
constexpr uint32_t kListMark = 0xA0000000u;
constexpr uint32_t kVariable = 0x80000000u;  // low 16 bits: number
constexpr uint32_t kVarLiteralBit = 0x8000u; // in a variable word: literal
constexpr uint32_t kLiteral = 0x90000000u;   // low 16 bits: signed value
constexpr uint32_t kConstant = 0x91000000u;  // low 16 bits: table entry
constexpr uint32_t kTemporary = 0x92000000u; // low 8 bits: register

// Operator words: group in the top byte, operator character in the low byte.
constexpr uint32_t Operator(uint32_t group, char c) {
  return (group << 24) | static_cast<unsigned char>(c);
}
constexpr uint32_t kGroupArith = 0xA0;    // = ! % & * + - / ^ |
constexpr uint32_t kGroupAssign = 0xA2;   // == and compound assignments
constexpr uint32_t kGroupLogic = 0xA3;    // && == ^^ ||
constexpr uint32_t kGroupLess = 0xA4;     // < >
constexpr uint32_t kGroupCompare = 0xA5;  // != <= == >=

}  // namespace script
