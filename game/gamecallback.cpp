// CGameCallBack: construction, initialisation, the settings list "game",
// the window-thread handshake, the debug switches and the destroy step.
#include "game/gamecallback.h"

#include <cstdio>

#include "game/frameskip.h"
#include "game/inputstatus.h"
#include "platform/files.h"
#include "platform/sync.h"
#include "platform/types.h"
#include "script/gamevars.h"
#include "setup/namelist.h"
#include "setup/setuplist.h"

namespace {

// Larger screens are not presented by the placeholder frame.
constexpr int64_t kMaxFramePixels = 16384 * 16384;

// The system variables the variables object asks the game for.
class GameVarHost : public CGameVarHost {
 public:
  explicit GameVarHost(CGameCallBack* game) : game_(game) {}

  int ReadSystemVar(SystemVar which) override {
    if (which == SystemVar::kMode) return game_->GetCurrentMode();
    const CMouseStatus* mouse = game_->GetMouseStatus();
    if (!mouse) return 0;
    platform::Point pos;
    mouse->GetPos(&pos);
    switch (which) {
      case SystemVar::kMouseX: return pos.x;
      case SystemVar::kMouseY: return pos.y;
      case SystemVar::kTrig1: return mouse->GetTrig(0);
      case SystemVar::kTrig2: return mouse->GetTrig(1);
      case SystemVar::kTrig3: return mouse->GetTrig(2);
      case SystemVar::kClick1: return mouse->GetClick(0);
      case SystemVar::kClick2: return mouse->GetClick(1);
      case SystemVar::kClick3: return mouse->GetClick(2);
      case SystemVar::kWheel: return mouse->GetWheel();
      default: return 0;
    }
  }

 private:
  CGameCallBack* game_;
};

template <typename T>
void DeleteAndClear(T*& p) {
  delete p;
  p = nullptr;
}

}  // namespace

CGameCallBack::CGameCallBack(platform::Window* window, CCommonSystemFile* systemFile, int width,
                             int height, int bpp)
    : window_(window), systemFile_(systemFile), width_(width), height_(height), bpp_(bpp) {
  for (int& n : nextModeStack_) n = -1;
}

CGameCallBack::~CGameCallBack() { ReleaseAll(); }

void CGameCallBack::SetMainControl(CMainControl* mainControl) { mainControl_ = mainControl; }

void CGameCallBack::Init() {
  // A second call would make every object twice.
  if (initialised_) return;
  LoadSetupFile("game", 256);

  int frameTime = kDefaultFrameTime;
  GetSetupInt(&frameTime, "frameTime");
  frameTime_ = defaultFrameTime_ = frameTime;
  int maxSkip = 2;
  GetSetupInt(&maxSkip, "maxSkipFrame");
  if (maxSkip < 1) maxSkip = 1;
  int adjust = 10;
  GetSetupInt(&adjust, "skipAdjustFrame");
  frameSkip_ = new CFrameSkip;
  frameSkip_->SetMaxSkip(CheckFrameSkipOff() ? 1 : maxSkip);
  frameSkip_->SetAdjust(adjust);
  frameSkip_->SetPeriod(frameTime_);

  int useExtClass = 0;
  GetSetupInt(&useExtClass, "useExtClass");
  keyFlagTable_ = new CKeyFlagTable(useExtClass);

  int high = 0, middle = 0, low = 0;
  GetSetupInt(&high, "highVersion");
  GetSetupInt(&middle, "middleVersion");
  GetSetupInt(&low, "lowVersion");
  SetVersion(high, middle, low);
  GetSetupInt(&defaultMusicFadeInTime_, "defaultMusicFadeInTime");
  varHost_ = new GameVarHost(this);
  gameVars_ = new CGameVariables(varHost_);

  mouseStatus_ = new CMouseStatus;
  inputStatus_ = new CInputStatus;
  keyStatus_ = new CMyKeyStatus;
  inputStatus_->SetMouseStatus(mouseStatus_);
  inputStatus_->SetKeyStatus(keyStatus_);
  mouseStatus_->Clear(1);
  for (int& p : pressed_) p = 0;
  wheelFlag_ = wheelDelta_ = 0;
  ClearKeyStatus();

  const int64_t pixels = static_cast<int64_t>(width_) * height_;
  if (width_ > 0 && height_ > 0 && pixels <= kMaxFramePixels)
    frame_.assign(static_cast<size_t>(pixels), 0);
  initialised_ = 1;
}

void CGameCallBack::PrepareModeTables() {}

void CGameCallBack::ReleaseAll() {
  if (!initialised_) return;
  // In the design's order of the destroy step; what initialisation does not
  // make yet has no place here.
  DeleteAndClear(keyFlagTable_);
  DeleteAndClear(inputStatus_);
  DeleteAndClear(mouseStatus_);
  DeleteAndClear(keyStatus_);
  DeleteAndClear(bgmList_);
  DeleteAndClear(systemSeList_);
  DeleteAndClear(seList_);
  DeleteAndClear(charaNameList_);
  DeleteAndClear(functionList_);
  DeleteAndClear(commandList_);
  DeleteAndClear(projectList_);
  DeleteAndClear(movieList_);
  DeleteAndClear(faceList_);
  DeleteAndClear(frameSkip_);
  DeleteAndClear(gameVars_);
  DeleteAndClear(varHost_);
  DeleteAndClear(setupList_);
  for (platform::Event*& e : events_) DeleteAndClear(e);
  frame_.clear();
  initialised_ = 0;
}

int CGameCallBack::LoadSetupFile(const char* name, int pairs) {
  if (!setupList_) setupList_ = new CSetupList;
  return setupList_->LoadSetupFile(name, pairs);
}

int CGameCallBack::GetSetupInt(int* out, const char* key) const {
  return setupList_ ? setupList_->GetSetupInt(out, key) : 0;
}

int CGameCallBack::GetSetupString(const char** out, const char* key) const {
  return setupList_ ? setupList_->GetSetupString(out, key) : 0;
}

// --- Window-thread handshake: no game thread is ever started here ---

int CGameCallBack::WaitGameEvent() { return 1; }

int CGameCallBack::SetWindowEvent() { return 1; }

int CGameCallBack::AnswerWindowRequest(int answer) {
  windowRequestResult_ = answer;
  return 1;
}

int CGameCallBack::CheckGameEvent() { return 1; }

int CGameCallBack::StartGameThread(int, int, int) { return 0; }

void CGameCallBack::EndGameThread() {}

// --- Debug aids and start-up helpers ---

int CGameCallBack::IsDebugMode() {
  FILE* f = platform::FileOpen("debug.txt", "rb");
  if (!f) return 0;
  std::fclose(f);
  return 1;
}

void CGameCallBack::InitFukaPrint() {}

void CGameCallBack::InitFpsPrint() {}

void CGameCallBack::InitBackButton() {}

void CGameCallBack::CreateBackButton() {}
