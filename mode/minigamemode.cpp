#include "mode/minigamemode.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>

#include "mode/screensetvars.h"
#include "services/inputservices.h"
#include "services/modeflowservices.h"
#include "services/saveservices.h"
#include "services/screenservices.h"
#include "services/soundservices.h"
#include "services/variableservices.h"
#include "input/inputstatus.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "graphics/systempicture.h"
#include "mode/modekeys.h"
#include "savedata/cglist.h"
#include "savedata/systemfile.h"
#include "setup/random.h"
#include "widget/buttongroup.h"
#include "widget/commonbutton.h"
#include "widget/floatinglayertable.h"

namespace {

constexpr int kCongraW = 128, kCongraH = 32;
constexpr int kExitSlot = 0;

// key, n, "_", j ("setCGPlayer" 2 3 -> "setCGPlayer2_3").
std::string Numbered(const char* key, int n, int j) { return ::Numbered(key, n) + "_" + std::to_string(j); }

// Same first two letters, case-blind.
bool StartsWith2(const char* name, const char* two) {
  if (!name) return false;
  for (int i = 0; i < 2; ++i) {
    const char c = name[i];
    if (!c || (c | 0x20) != two[i]) return false;
  }
  return true;
}

// "ev\\", "bg\\", "ta\\" by the name's first two letters, else "sys\\".
std::string InFolder(const char* name) {
  for (const char* folder : {"ev", "bg", "ta"})
    if (StartsWith2(name, folder)) return std::string(folder) + "\\" + name;
  return std::string("sys\\") + name;
}

}  // namespace

CCommonMiniGame::CCommonMiniGame(const GameRoles& game, std::span<const MiniGameType> types)
    : CCommonGeneral(game) {
  SetModeNumber(kModeNumber);
  LoadSetupFile("miniGame", 128);
  GetSetupInt(&sabunOkFlag_, "sabunOkFlag");
  GetSetupInt(&allOkFlag_, "allOkFlag");
  GetSetupInt(&areaButtonMode_, "areaButtonMode");
  GetSetupString(&noCGFileName_, "noCGFileName");
  GetSetupString(&congraFileName_, "congraFileName");
  congra_ = std::make_unique<CPicture>();
  if (!congra_->LoadDWQ(("sys\\" + std::string(congraFileName_)).c_str()))
    congra_ = std::make_unique<CPicture>(kCongraW, kCongraH, 0);
  congraX_ = CScreenBuffer::GetWidth() / 2;
  congraY_ = CScreenBuffer::GetHeight() / 2;
  ReadSounds();
  holder_ = std::make_unique<CAllMiniGame>(game ? game.input->GetInputStatus() : nullptr,
                                           game ? game.input->GetMouseStatus() : nullptr,
                                           kMaxGames, types);
  ReadPictureSets();
  ReadGames();
  ReadAreas();
  MakeExitButton();
  if (areaButtonMode_) MakeAreaButtons();
  LoadMustAllPrintFlag();
  LoadBgmSetup();
  LoadFadeSetup();
}

CCommonMiniGame::~CCommonMiniGame() { Release(); }

void CCommonMiniGame::Release() {
  areaButtons_.reset();
  layers_.reset();
  exitButton_.reset();
  holder_.reset();
  congra_.reset();
}

void CCommonMiniGame::ReadSounds() {
  std::fill(std::begin(sounds_), std::end(sounds_), -1);
  for (int i = 0; i < CAllMiniGame::kSoundCount; ++i)
    GetSetupInt(&sounds_[i], ("miniGame" + std::string(CAllMiniGame::GetSoundName(i)) + "Sound").c_str());
}

void CCommonMiniGame::ReadPictureSets() {
  for (int i = 0; i < holder_->GetPictureSetCount(); ++i) {
    const std::string set = CAllMiniGame::GetPictureSetName(i);
    const char* file = nullptr;
    if (!GetSetupString(&file, (set + "PicFileName").c_str()) || !file) continue;
    CPicture* picture = game_ ? game_.screen->LoadSystemPicture(file, 0) : nullptr;
    holder_->SetSetPicture(i, picture);
    int w = 0, h = 0;
    holder_->GetCellSize(i, &w, &h);
    int x = w, y = h;
    // The tile games divide by the cell size: below 1 keeps the default.
    if (GetSetupInt(&x, (set + "PicSizeX").c_str()) && x >= 1) w = x;
    if (GetSetupInt(&y, (set + "PicSizeY").c_str()) && y >= 1) h = y;
    holder_->SetCellSize(i, w, h);
    if (i == 0 && picture && picture->GetWidth() < 13 * w) holder_->SetSetFlag(0, 1);
  }
}

void CCommonMiniGame::ReadGames() {
  gameCount_ = ReadCount(*this, "addMiniGame", 0, kMaxGames);
  for (int i = 1; i <= gameCount_; ++i) {
    int type = 0;
    GetSetupInt(&type, Numbered("miniGame", i).c_str());
    // An entry without a game keeps its place, so later games keep their
    // numbers.
    if (type <= 0 || !holder_->CreateGame(type - 1)) holder_->AddEmptyGame();
  }
}

void CCommonMiniGame::ReadAreas() {
  areaCount_ = ReadCount(*this, "miniGameCheckNumber", gameCount_, kMaxGames);
  for (int n = 1; n <= kMaxGames; ++n) {
    Area& a = areas_[n - 1];
    if (n > 1) {
      const Area& before = areas_[n - 2];
      a.x = before.x + before.w;
      a.y = before.y;
      a.w = before.w;
      a.h = before.h;
      a.checkMode = before.checkMode;
    }
    GetSetupMode(Numbered("miniGameCheckMode", n).c_str(), &a.checkMode);
    GetSetupInt(&a.x, Numbered("miniGameCheckX", n).c_str());
    GetSetupInt(&a.y, Numbered("miniGameCheckY", n).c_str());
    GetSetupInt(&a.w, Numbered("miniGameCheckSizeX", n).c_str());
    GetSetupInt(&a.h, Numbered("miniGameCheckSizeY", n).c_str());
    const char* name = nullptr;
    if (n <= areaCount_ && GetSetupString(&name, Numbered("checkVarName", n).c_str()) && name && *name && game_)
      a.checkVar = game_.variables->GetVarNumber(name);
    name = nullptr;
    if (GetSetupString(&name, Numbered(screensetvars::kMiniGameSet, n).c_str()) && name && game_) {
      a.setVar = game_.variables->GetVarNumber(name);
      a.setType = 1;
    }
    GetSetupInt(&a.setType, Numbered("setVarType", n).c_str());
    // Page names are read when shown, so a huge count costs nothing.
    a.pages = ReadCount(*this, Numbered("miniGameDescNumber", n).c_str(), 0, INT_MAX);
    int count = ReadCount(*this, Numbered("setCGNumber", n).c_str(), 0, kMaxUnlocks);
    for (int j = 1; j <= count; ++j) {
      int chara = 0, index = 0;
      if (j == 1) {
        GetSetupInt(&chara, Numbered("setCGPlayer", n).c_str());
        GetSetupInt(&index, Numbered("setCGParam", n).c_str());
      }
      GetSetupInt(&chara, Numbered("setCGPlayer", n, j).c_str());
      GetSetupInt(&index, Numbered("setCGParam", n, j).c_str());
      a.cgs.emplace_back(chara, index);
    }
    count = ReadCount(*this, Numbered("setSceneNumber", n).c_str(), 0, kMaxUnlocks);
    for (int j = 1; j <= count; ++j) {
      int chara = 0, index = 0;
      GetSetupInt(&chara, Numbered("setScenePlayer", n, j).c_str());
      GetSetupInt(&index, Numbered("setSceneParam", n, j).c_str());
      a.scenes.emplace_back(chara, index);
    }
  }
}

void CCommonMiniGame::MakeExitButton() {
  exitButton_ = std::make_unique<CCommonButton>(GetSetupList(), "exit");
  exitButton_->SetPicture(CPicturePool::GetPicture(0));
  for (Area& a : areas_) {
    a.exitX = exitButton_->GetPrintX();
    a.exitY = exitButton_->GetPrintY();
  }
  for (int n = 1; n <= kMaxGames; ++n) {
    GetSetupInt(&areas_[n - 1].exitX, Numbered("exitPrintX", n).c_str());
    GetSetupInt(&areas_[n - 1].exitY, Numbered("exitPrintY", n).c_str());
  }
  layers_ = std::make_unique<CFloatingLayerTable>();
  layers_->CreateBuffer(kExitSlot, exitButton_->GetSizeX(), exitButton_->GetSizeY());
}

void CCommonMiniGame::MakeAreaButtons() {
  areaButtons_ = std::make_unique<CCommonButtonGroup>(GetSetupList(), areaCount_, nullptr, "minigameButton");
  for (int i = 0; i < areaCount_; ++i) areaButtons_->SetPicture(i, CPicturePool::GetPicture(1 + i));
}

int CCommonMiniGame::CreateGame(int type) { return holder_ ? holder_->CreateGame(type) : 0; }

bool CCommonMiniGame::AreaActive(int i, int mode) {
  const Area& a = areas_[i];
  return a.checkMode == mode && (a.checkVar < 0 || !game_ || game_.variables->GetVar(a.checkVar) != 0);
}

void CCommonMiniGame::SetCheckMode(int mode) {
  checkMode_ = mode;
  if (mode == -1 || !areaButtonMode_ || !areaButtons_) return;
  for (int i = 0; i < areaCount_; ++i) {
    const bool active = AreaActive(i, mode);
    areaButtons_->SetExist(i, active ? 1 : 0);
    if (!active) continue;
    areaButtons_->SetEnable(i, 1);
    CPicture* picture = areaButtons_->GetPicture(i);
    if (const char* name = areaButtons_->GetFilename(i); picture && name)
      picture->LoadDWQ(("sys\\" + std::string(name)).c_str());
  }
  areaButtons_->Init();
}

int CCommonMiniGame::CheckArea(int mode) {
  if (checkMode_ == -1 || !mouse_) return -1;
  platform::Point m;
  mouse_->GetPos(&m);
  for (int i = 0; i < areaCount_; ++i) {
    if (!AreaActive(i, mode)) continue;
    const Area& a = areas_[i];
    const long long dx = static_cast<long long>(m.x) - a.x, dy = static_cast<long long>(m.y) - a.y;
    if (dx >= 0 && dx < a.w && dy >= 0 && dy < a.h) return i;
  }
  return -1;
}

int CCommonMiniGame::CalcuMiniGameButtons() {
  if (checkMode_ == -1 || !areaButtons_) return -1;
  return areaButtons_->Calcu(input_);
}

void CCommonMiniGame::PrintMiniGameButtons() {
  if (areaButtons_ && checkMode_ != -1) areaButtons_->Print();
}

int CCommonMiniGame::IsMiniGameRunning() { return areaButtonMode_ ? 1 : 0; }

int CCommonMiniGame::GetMiniGameButtonCode() { return CalcuMiniGameButtons(); }

int CCommonMiniGame::CheckMiniGameValue(int value) { return CheckArea(value); }

const CCommonMiniGame::Area* CCommonMiniGame::CurrentArea() const {
  return gameNumber_ >= 0 && gameNumber_ < kMaxGames ? &areas_[gameNumber_] : nullptr;
}

void CCommonMiniGame::CollectEligibleCGs() {
  eligible_.clear();
  CCGList* list = game_ ? game_.saves->GetCGList() : nullptr;
  if (!list) return;
  for (int c = 0; c < list->GetCharaCount(); ++c) {
    for (int j = 0; j < list->GetCGCount(c); ++j) {
      if (!list->IsCGSeen(c, j)) continue;
      const char* raw = list->GetCGName(c, j, 0);
      if (!raw) continue;
      if (!sabunOkFlag_ && raw[0] == '@') continue;
      if (!allOkFlag_ && raw[raw[0] == '@' ? 1 : 0] == '!') continue;
      if (StartsWith2(list->GetCGName(c, j, 1), "ta")) continue;
      eligible_.push_back(c * 100000 + j);
    }
  }
}

void CCommonMiniGame::LoadVisitPictures() {
  CollectEligibleCGs();
  CCGList* list = game_ ? game_.saves->GetCGList() : nullptr;
  const int n = static_cast<int>(eligible_.size());
  int first = -1;
  for (int k = 0; k < 2; ++k) {
    const char* name = noCGFileName_;
    if (n > 0 && list) {
      int pick = crt::rand() % n;
      if (k == 0) first = pick;
      else if (pick == first) pick = (pick + 1) % n;
      name = list->GetCGName(eligible_[pick] / 100000, eligible_[pick] % 100000, 1);
    }
    CPicture* picture = game_ ? game_.screen->GetEffectPicture(k) : nullptr;
    if (picture && name) picture->LoadDWQ(InFolder(name).c_str());
  }
  if (n >= 2) return;
  if (CPicture* picture = game_ ? game_.screen->GetEffectPicture(1) : nullptr) {
    picture->Resize(CScreenBuffer::GetWidth(), CScreenBuffer::GetHeight());
    FillPictureColor(picture, kNoCGColor >> 16, (kNoCGColor >> 8) & 0xFF, kNoCGColor & 0xFF);
    picture->ClearName();
  }
}

void CCommonMiniGame::ShowPage(int page) {
  const Area* a = CurrentArea();
  const char* name = "bg_desc";
  if (a) GetSetupString(&name, Numbered("miniGameDescFileName", gameNumber_ + 1, page + 1).c_str());
  if (screenPicture_ && name) screenPicture_->LoadDWQ(("sys\\" + std::string(name)).c_str());
  CScreenBuffer::SetFullRedraw(0);
}

int CCommonMiniGame::Init() {
  recorded_ = 0;
  gameNumber_ = game_ ? game_.modeFlow->GetMiniGameResult() : -1;
  const Area* a = CurrentArea();
  exitX_ = a ? a->exitX : (exitButton_ ? exitButton_->GetPrintX() : 0);
  exitY_ = a ? a->exitY : (exitButton_ ? exitButton_->GetPrintY() : 0);
  congraX_ = CScreenBuffer::GetWidth() / 2;
  congraY_ = CScreenBuffer::GetHeight() / 2;
  congraVX_ = 4;
  congraVY_ = 0;
  LoadVisitPictures();
  if (exitButton_) {
    exitButton_->SetPrintPos(exitX_, exitY_);
    CPicture* picture = exitButton_->GetPicture();
    if (const char* name = exitButton_->GetFilename(); picture && name)
      picture->LoadDWQ(("sys\\" + std::string(name)).c_str());
    exitButton_->Init();
  }
  if (layers_) layers_->ResetSaveAll();
  if (holder_) {
    for (int k = 0; k < 3; ++k) holder_->SetPicture(game_ ? game_.screen->GetEffectPicture(k) : nullptr, k);
    holder_->SetScreenPicture(screenPicture_);
    holder_->SetWorkPicture(workPicture_);
    holder_->SetCurrentGame(gameNumber_);
    holder_->StartGame();
  }
  pageCount_ = a ? a->pages : 0;
  page_ = 0;
  if (pageCount_ > 0) ShowPage(0);
  return 0;
}

void CCommonMiniGame::MoveCongratulation() {
  const int w = congra_ ? congra_->GetWidth() : 0, h = congra_ ? congra_->GetHeight() : 0;
  const int right = CScreenBuffer::GetWidth() - w, bottom = CScreenBuffer::GetHeight() - h;
  congraX_ += congraVX_;
  if (congraX_ < 0) {
    congraX_ = 0;
    congraVX_ = crt::rand() % 10 + 3;
  }
  if (congraX_ > right) {
    congraX_ = right;
    congraVX_ = -(crt::rand() % 10 + 3);
  }
  congraVY_ += 2;
  congraY_ += congraVY_;
  if (congraY_ < 0) {
    congraY_ = 0;
    congraVY_ = 1;
  }
  if (congraY_ > bottom) {
    congraY_ = bottom;
    congraVY_ = (crt::rand() % 30 + 70) * congraVY_ / 100;
    if (congraVY_ < 10) congraVY_ = crt::rand() % 50 + 20;
    congraVY_ = -congraVY_;
  }
}

void CCommonMiniGame::RecordClear() {
  const Area* a = CurrentArea();
  if (!a || !game_) return;
  if (!recorded_) {
    recorded_ = 1;
    if (a->setVar >= 0) {
      // Counted and bit records wrap in 32 bits.
      const uint32_t value = static_cast<uint32_t>(game_.variables->GetVar(a->setVar));
      switch (a->setType) {
        case 1: game_.variables->SetVar(a->setVar, 1); break;
        case 2: game_.variables->SetVar(a->setVar, static_cast<int>(value + 1u)); break;
        case 3: game_.variables->SetVar(a->setVar, static_cast<int>(value | (1u << (gameNumber_ & 31)))); break;
        default: break;
      }
    }
  }
  CCommonSystemFile* system = game_.saves->GetSystemFile();
  for (const auto& [chara, index] : a->cgs)
    if (chara > 0 && index > 0 && system) system->SetCGFlag(chara - 1, index - 1);
}

int CCommonMiniGame::Calcu() {
  if (page_ < pageCount_) {
    if (GetClick(0)) {
      ++page_;
      if (page_ < pageCount_) ShowPage(page_);
      else CScreenBuffer::SetFullRedraw(0);
    }
    return -1;
  }
  if (exitButton_) {
    const int code = exitButton_->Calcu(input_);
    if (code != -1 && CheckButtonResult(code) == 0) return ExitToMode(parameter_);
  }
  if (!holder_) return -1;
  if (holder_->Calcu() != -1) return ExitToMode(parameter_);
  if (holder_->IsCleared()) {
    MoveCongratulation();
    RecordClear();
  }
  const int r = holder_->GetSoundRequest();
  if (r >= 0 && r < kSounds && sounds_[r] > 0 && game_) game_.sound->PlaySystemSe(sounds_[r] - 1, 0);
  return -1;
}

int CCommonMiniGame::Print() {
  if (page_ < pageCount_) {
    if (CScreenBuffer::CheckFullRedraw() && screenPicture_) screenPicture_->Put(0, 0, 0);
    return -1;
  }
  if (layers_) layers_->Restore(kExitSlot);
  if (holder_) {
    holder_->Print();
    if (holder_->IsCleared() && congra_) congra_->Put(congraX_, congraY_, 1);
  }
  if (layers_) layers_->SaveUnder(kExitSlot, exitX_, exitY_);
  if (exitButton_) exitButton_->Print();
  return -1;
}
