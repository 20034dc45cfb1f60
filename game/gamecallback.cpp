// CGameCallBack: construction, the parts, the destroy step, the settings
// list "game" and the interpreter's callback. Initialisation is in
// gamecallback_init.cpp, the frame in gamecallback_frame.cpp, the window's
// messages in gamecallback_window.cpp, the window-thread handshake in
// threadhandshake.cpp and the mode factory in gamecallback_modes.cpp.
#include "game/gamecallback.h"

#include "game/debugpart.h"
#include "game/floatingpart.h"
#include "game/framepart.h"
#include "game/gamelists.h"
#include "game/inputpart.h"
#include "game/messagewindowpart.h"
#include "game/modeflowpart.h"
#include "game/savepart.h"
#include "game/screenpart.h"
#include "game/scriptcommands.h"
#include "game/scriptpart.h"
#include "game/soundpart.h"
#include "game/textpart.h"
#include "game/variablepart.h"
#include "platform/sync.h"
#include "script/commandtable.h"
#include "setup/setuplist.h"
#include "setup/text.h"

GameParts::~GameParts() = default;

// Each part's links, taken from the set: the slots of the parts it calls and
// what the game was given.
template <>
CScreenPart::Links LinksOf<CScreenPart>(GameParts& p) {
  return {p.frame, p.vars, p.sound, p.input, p.scripts, p.debug, p.modes, p.window, p.systemFile, p.width,
          p.height, p.bpp, p.hooks, p.list};
}

template <>
CFramePart::Links LinksOf<CFramePart>(GameParts& p) {
  return {p.vars, p.modes, p.list};
}

template <>
CGameLists::Links LinksOf<CGameLists>(GameParts& p) {
  return {p.list};
}

template <>
CVariablePart::Links LinksOf<CVariablePart>(GameParts& p) {
  return {p.screen, p.sound, p.saves, p.input, p.messageWindow, p.debug, p.modes, p.systemFile, p.hooks, p.list};
}

template <>
CSoundPart::Links LinksOf<CSoundPart>(GameParts& p) {
  return {p.lists, p.vars, p.modes, p.window, p.systemFile, p.list};
}

template <>
CTextPart::Links LinksOf<CTextPart>(GameParts& p) {
  return {p.window, p.systemFile, p.list};
}

template <>
CSavePart::Links LinksOf<CSavePart>(GameParts& p) {
  return {p.screen, p.frame, p.lists, p.vars, p.sound, p.floating, p.messageWindow, p.scripts, p.modes,
          p.systemFile, p.width, p.height, p.hooks, p.callback, p.list};
}

template <>
CInputPart::Links LinksOf<CInputPart>(GameParts& p) {
  return {p.list};
}

template <>
CFloatingPart::Links LinksOf<CFloatingPart>(GameParts& p) {
  return {p.screen, p.vars, p.sound, p.saves, p.input, p.messageWindow, p.modes, p.systemFile, p.hooks, p.list};
}

template <>
CMessageWindowPart::Links LinksOf<CMessageWindowPart>(GameParts& p) {
  return {p.screen, p.lists, p.vars, p.saves, p.input, p.floating, p.scripts, p.modes, p.systemFile, p.hooks, p.list};
}

template <>
CScriptPart::Links LinksOf<CScriptPart>(GameParts& p) {
  return {p.screen, p.frame, p.lists, p.vars, p.saves, p.floating, p.messageWindow, p.modes, p.hooks, p.callback,
          p.list};
}

template <>
CDebugPart::Links LinksOf<CDebugPart>(GameParts& p) {
  return {p.screen, p.frame, p.lists, p.vars, p.sound, p.text, p.scripts, p.window, p.width, p.height, p.callback,
          p.list};
}

template <>
CModeFlowPart::Links LinksOf<CModeFlowPart>(GameParts& p) {
  return {p.screen, p.frame, p.vars, p.sound, p.text, p.saves, p.input, p.messageWindow, p.scripts, p.window,
          p.systemFile, p.hooks, p.list};
}

CGameCallBack::CGameCallBack(platform::Window* window, CCommonSystemFile* systemFile, int width, int height,
                             int bpp)
    : window_(window), systemFile_(systemFile), width_(width), height_(height), bpp_(bpp) {
  MakeParts();
}

CGameCallBack::~CGameCallBack() { ReleaseAll(); }

void CGameCallBack::MakeParts() {
  parts_ = std::make_unique<GameParts>();
  GameParts& p = *parts_;
  p.window = window_;
  p.systemFile = systemFile_;
  p.width = width_;
  p.height = height_;
  p.bpp = bpp_;
  p.hooks = this;
  p.callback = this;
  p.list = setupList_.get();
  p.screen = std::make_unique<CScreenPart>(LinksOf<CScreenPart>(p));
  p.frame = std::make_unique<CFramePart>(LinksOf<CFramePart>(p));
  p.lists = std::make_unique<CGameLists>(LinksOf<CGameLists>(p));
  p.vars = std::make_unique<CVariablePart>(LinksOf<CVariablePart>(p));
  p.sound = std::make_unique<CSoundPart>(LinksOf<CSoundPart>(p));
  p.text = std::make_unique<CTextPart>(LinksOf<CTextPart>(p));
  p.saves = std::make_unique<CSavePart>(LinksOf<CSavePart>(p));
  p.input = std::make_unique<CInputPart>(LinksOf<CInputPart>(p));
  p.floating = std::make_unique<CFloatingPart>(LinksOf<CFloatingPart>(p));
  p.messageWindow = std::make_unique<CMessageWindowPart>(LinksOf<CMessageWindowPart>(p));
  p.scripts = std::make_unique<CScriptPart>(LinksOf<CScriptPart>(p));
  p.debug = std::make_unique<CDebugPart>(LinksOf<CDebugPart>(p));
  p.modes = std::make_unique<CModeFlowPart>(LinksOf<CModeFlowPart>(p));
}

void CGameCallBack::ReleaseAll() {
  // A game object whose initialisation never ran owns nothing.
  if (!initialised_) return;
  parts_->sound->Shutdown();
  parts_.reset();
  MakeParts();
  // The texts of the settings pointed into the settings list.
  settings_ = Settings();
  setupList_.reset();
  parts_->list = nullptr;
  handshake_.Release();
  initialised_ = 0;
}

GameRoles CGameCallBack::Roles() {
  GameParts& p = *parts_;
  GameRoles roles;
  roles.saves = p.saves.get();
  roles.sound = p.sound.get();
  roles.screen = p.screen.get();
  roles.floating = p.floating.get();
  roles.backScript = p.scripts.get();
  roles.text = p.text.get();
  roles.messageWindow = p.messageWindow.get();
  roles.input = p.input.get();
  roles.modeFlow = p.modes.get();
  roles.variables = p.vars.get();
  return roles;
}

int CGameCallBack::LoadSetupFile(const char* name, int pairs) {
  if (!setupList_) setupList_ = std::make_unique<CSetupList>();
  parts_->list = setupList_.get();
  return setupList_->LoadSetupFile(name, pairs);
}

// The short-cut rows come from the system menu's added options (target,
// action, key code; the options carry no sound of their own).
void CGameCallBack::PrepareModeTables() {
  std::vector<CFloatingPart::ShortCutRow> rows;
  if (const CSystemMenuOptions* menu = Modes().GetSystemMenuOptions()) {
    for (int r = CSystemMenuOptions::kBuiltInOptions; r < menu->GetOptionNumber(); ++r)
      rows.push_back({menu->GetOptionAccelKey(r), menu->GetOptionMode(r), menu->GetOptionCommand(r), 0});
  }
  Floating().SetShortCutRows(std::move(rows));
}

// --- What the application's loop asks ---

int CGameCallBack::GetFrameTime() { return Frames().GetFrameTime(); }

void CGameCallBack::SetFullScreenSize(int width, int height) { Screen().SetFullScreenSize(width, height); }

void CGameCallBack::SetClipLeftTop(int left, int top) { Screen().SetClipLeftTop(left, top); }

void CGameCallBack::SetClipRightBottom(int right, int bottom) { Screen().SetClipRightBottom(right, bottom); }

int CGameCallBack::PrintStartMessage() { return Debug().ShowStartMessage("Initializing.."); }

// --- The interpreter's callback ---

void CGameCallBack::SystemCommand(int code, int param, const void* data, int extra) {
  RunScriptCommand(*parts_, code, param, data, extra);
}

void CGameCallBack::CommandNotice(int code, int, const char* text) {
  if (code != script::CommandCode("voice")) return;
  CSoundPart::ScriptSounds& sounds = Sound().GetScriptSounds();
  setup::CopyCp932Cut(sounds.noticedVoice, text, CSoundPart::ScriptSounds::kNameSize - 2);
}

void CGameCallBack::SystemCall(int code, int count, const int* values) { Scripts().SystemCall(code, count, values); }

int CGameCallBack::SystemFunction(int code, int count, const int* values) {
  return Scripts().SystemFunction(code, count, values);
}

// --- The window-thread handshake ---

int CGameCallBack::StartGameThread(int a, int b, int c) {
  return handshake_.StartGameThread(parts_->window, a, b, c, settings_.modalCannotCloseFlag);
}

void CGameCallBack::EndGameThread() {
  const int level = Modes().GetModeLevel();
  handshake_.EndGameThread(parts_->window, level, settings_.modalCannotCloseFlag && level == 0);
}

int CGameCallBack::WaitGameEvent() { return handshake_.WaitGameEvent(); }

int CGameCallBack::SetWindowEvent() { return handshake_.SetWindowEvent(); }

int CGameCallBack::AnswerWindowRequest(int answer) { return handshake_.AnswerWindowRequest(answer); }

int CGameCallBack::CheckGameEvent() { return handshake_.CheckGameEvent(); }

void CGameCallBack::SignalGameEvent() { handshake_.SignalGameEvent(); }

int CGameCallBack::GetVar(int number) { return Vars().GetVar(number); }

int CGameCallBack::GetSystemVar(int number) { return Vars().GetSystemVar(number); }

void CGameCallBack::SetVar(int number, int value) { Vars().SetVar(number, value); }

void CGameCallBack::OnSetVar(int id, int value) { Floating().ApplyExpansionOption(id, value); }
