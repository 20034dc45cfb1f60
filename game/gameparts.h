// GameParts: the game object's parts, one object per concern, and what the
// game was given. The game (CGameCallBack) owns the set. No part holds the
// set: each is made with its `Links`, the slots of the parts it calls and
// the values of the game it reads (`LinksOf`).
//
// The parts are made with the game, empty, in the order below; Init fills
// them in its fixed order. They are destroyed in the reverse order of the
// members: the modes first (they point into every other part), the lists
// and the screen last (everything draws into the screen buffer and reads
// the lists). A test's double replaces a part with a subclass of its own
// before Init (parts.sound = std::make_unique<...>(LinksOf<CSoundPart>(parts))):
// the other parts find it in its slot.
#pragma once

#include <memory>

namespace platform {
class Window;
}  // namespace platform

class CCommonSystemFile;
class CDebugPart;
class CFloatingPart;
class CFramePart;
class CGameHooks;
class CGameLists;
class CInputPart;
class CMessageWindowPart;
class CModeFlowPart;
class CSavePart;
class CScreenPart;
class CScriptCallBack;
class CScriptPart;
class CSetupList;
class CSoundPart;
class CTextPart;
class CVariablePart;

struct GameParts {
  GameParts() = default;
  GameParts(const GameParts&) = delete;
  GameParts& operator=(const GameParts&) = delete;
  ~GameParts();

  // Given to the game: the window, the application's system file (not
  // owned), the screen size and the desktop's bits per pixel.
  platform::Window* window = nullptr;
  CCommonSystemFile* systemFile = nullptr;
  int width = 0, height = 0, bpp = 0;
  // The title's hooks and the interpreter's callback: the game itself.
  CGameHooks* hooks = nullptr;
  CScriptCallBack* callback = nullptr;
  // The settings list "game" (owned by the game; null before Init).
  const CSetupList* list = nullptr;

  std::unique_ptr<CScreenPart> screen;
  std::unique_ptr<CFramePart> frame;
  std::unique_ptr<CGameLists> lists;
  std::unique_ptr<CVariablePart> vars;
  std::unique_ptr<CSoundPart> sound;
  std::unique_ptr<CTextPart> text;
  std::unique_ptr<CSavePart> saves;
  std::unique_ptr<CInputPart> input;
  std::unique_ptr<CFloatingPart> floating;
  std::unique_ptr<CMessageWindowPart> messageWindow;
  std::unique_ptr<CScriptPart> scripts;
  std::unique_ptr<CDebugPart> debug;
  std::unique_ptr<CModeFlowPart> modes;
};

// The links a part is made with, taken from the set: `MakeParts` and the
// tests' doubles hand them to the part's constructor.
template <class Part>
typename Part::Links LinksOf(GameParts& parts);
