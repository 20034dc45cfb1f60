// CBackScriptServices: the back script, the game's second script that drives
// animated backgrounds and timed transitions behind a mode.
#pragma once

class CBackScriptServices {
 public:
  virtual void SetBackScriptMode(int mode) = 0;
  virtual int GetBackScriptMode() = 0;
  virtual void ResetBackScript() = 0;
  virtual int LoadBackScript(const char* name) = 0;
  virtual int CalcuBackScript(int loop) = 0;
  virtual void PrintBackScript() = 0;
  virtual void PrintBackScriptRange(int first, int last) = 0;

 protected:
  ~CBackScriptServices() = default;
};
