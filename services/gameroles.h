// GameRoles: the roles the game plays for the folders below it, one pointer
// each. A mode keeps the whole set (CCommonGeneral::game_) and calls the one
// it needs, `game_.sound->PlaySystemSe(...)`; code that needs only some roles
// keeps just those pointers. This header declares the roles only: a file that
// calls one includes its header (services/soundservices.h, ...), so its
// includes say which roles it uses.
//
// The game hands each mode its concern objects (game/); a test hands one
// fake that plays every role, which converts to the whole set.
#pragma once

#include <cstddef>

class CBackScriptServices;
class CFloatingServices;
class CInputServices;
class CMessageWindowServices;
class CModeFlowServices;
class CSaveServices;
class CScreenServices;
class CSoundServices;
class CTextServices;
class CVariableServices;

struct GameRoles {
  CSaveServices* saves = nullptr;
  CSoundServices* sound = nullptr;
  CScreenServices* screen = nullptr;
  CFloatingServices* floating = nullptr;
  CBackScriptServices* backScript = nullptr;
  CTextServices* text = nullptr;
  CMessageWindowServices* messageWindow = nullptr;
  CInputServices* input = nullptr;
  CModeFlowServices* modeFlow = nullptr;
  CVariableServices* variables = nullptr;

  GameRoles() = default;
  // No game: every role null (a mode made without one draws and answers
  // as for missing objects).
  GameRoles(std::nullptr_t) {}
  // One object that plays every role (a test's fake of them all).
  template <typename All>
  GameRoles(All* all)
      : saves(all),
        sound(all),
        screen(all),
        floating(all),
        backScript(all),
        text(all),
        messageWindow(all),
        input(all),
        modeFlow(all),
        variables(all) {}

  // Whether the roles were given: they are all set or all null.
  explicit operator bool() const { return sound != nullptr; }
};
