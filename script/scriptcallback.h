// CScriptCallBack: the only way a script reaches the game. The game object
// implements the seven operations; the interpreter calls them between
// records and never holds on to what it passes.
#pragma once

class CScriptCallBack {
 public:
  virtual ~CScriptCallBack() = default;

  // Runs one text, choice, engine or sub-script command. `data` is either a
  // pointer to the record's words (int32) or a CP932 string, as the code's
  // argument shape says; it is valid only during the call.
  virtual void SystemCommand(int code, int param, const void* data, int extra) = 0;
  // A notice ahead of a command (before "voice": the voice name).
  virtual void CommandNotice(int code, int param, const char* text) = 0;
  // A system call with `count` evaluated arguments; the script yields after it.
  virtual void SystemCall(int code, int count, const int* values) = 0;
  // A function call with `count` evaluated arguments; the script goes on.
  virtual int SystemFunction(int code, int count, const int* values) = 0;
  virtual int GetVar(int number) = 0;
  virtual int GetSystemVar(int number) = 0;
  virtual void SetVar(int number, int value) = 0;
};
