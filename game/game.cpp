#include "game/game.h"

#include <cstdio>

#include "game/debugpart.h"
#include "game/modeflowpart.h"
#include "game/scriptpart.h"
#include "game/variablepart.h"
#include "modebase/commongeneral.h"
#include "graphics/pictureloader.h"
#include "platform/files.h"

CGame::CGame(platform::Window* window, CCommonSystemFile* systemFile, int width, int height, int bpp)
    : CGameCallBack(window, systemFile, width, height, bpp) {}

CGame::~CGame() = default;

void CGame::OnSystemCall(int key, int count, const int* values) {
  systemCallResult_ = 0;
  systemCallKey_ = key;
  Scripts().SetCallParam(count, values);
}

int CGame::OnSystemFunction(int number, int count, const int* values) {
  systemFunctionNumber_ = number;
  Scripts().SetCallParam(count, values);
  const int adjustDate = Scripts().GetAdjustDateFunction();
  const int dateVar = Vars().GetDateVar();
  if (number == adjustDate && adjustDate != -1 && dateVar != -1) {
    // Writing the date back runs the setter's side effects; the answer is
    // the value it leaves.
    SetVar(dateVar, GetVar(dateVar));
    return GetVar(dateVar);
  }
  return number;
}

int CGame::OnAfterPrint() { return Modes().GetCurrentMode(); }

void CGame::CreateModes() {
  if (IsDebugMode()) {
    Debug().SetDebugFlags(1);
    SetLoadDwqErrorFlag(1);
  }
  CreateModeSet();
  Modes().SetResetWord(0);
  const CDebugPart::Settings& s = Debug().GetSettings();
  if (s.startMessageFlag) Debug().ShowStartMessage(s.startMessage);
  // The first mode of the run, when it exists.
  CModeFlowPart& modes = Modes();
  if (CCommonGeneral* mode = modes.GetMode(modes.GetCurrentMode())) mode->Enter();
}

void CGame::CreateModeSet() {
  // Mode 27 stands twice: the second call finds the slot filled.
  static constexpr int kOrder[] = {1,  2,  4,  3,  12, 10, 22, 35, 7,  14, 9,  13, 32, 27, 31, 30,
                                   27, 29, 33, 34, 24, 45, 15, 16, 17, 20, 18, 8,  23, 5,  6,  40};
  for (int n : kOrder) Modes().CreateMode(n);
}

int CGame::IsDebugMode() {
  FILE* f = platform::FileOpen("debug666.txt", "rb");
  if (!f) return 0;
  std::fclose(f);
  return 1;
}
