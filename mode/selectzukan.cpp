#include "mode/selectzukan.h"

#include <algorithm>
#include <string>

#include "mode/screensetvars.h"
#include "services/backscriptservices.h"
#include "services/floatingservices.h"
#include "services/modeflowservices.h"
#include "services/variableservices.h"
#include "input/inputstatus.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "mode/modekeys.h"
#include "widget/animepart.h"
#include "widget/backbutton.h"

namespace {

// "図鑑見たフラグ", "図鑑番号"

}  // namespace

CCommonSelectZukan::CCommonSelectZukan(const GameRoles& game) : CCommonGeneral(game) {
  SetModeNumber(kModeNumber);
  LoadSetupFile("selectzukan", 16);
  LoadBackScriptSetup();
  LoadMustAllPrintFlag();
  LoadBgmSetup();
  LoadBackButtonSetup();
  LoadFadeSetup();
  // Leaving for the extras menu takes the special exit.
  exitFadeOutSpecialMode_ = modenumber::kOmake;
  exitSpecial_.createScreen = 1;
  // A book opened without being told where to return goes back to the
  // extras menu, never to a mode that does not exist.
  parameter_ = modenumber::kOmake;

  GetSetupString(&seatName_, "filenameSeat");
  GetSetupInt(&printX_, "zukanPrintX");
  GetSetupInt(&printY_, "zukanPrintY");
  GetSetupInt(&sizeX_, "zukanSizeX");
  GetSetupInt(&sizeY_, "zukanSizeY");
  // Sizes, pitches and the row length divide: below 1 they count as 1.
  sizeX_ = std::clamp(sizeX_, 1, kMaxCoordinate);
  sizeY_ = std::clamp(sizeY_, 1, kMaxCoordinate);
  nextX_ = sizeX_;
  nextY_ = sizeY_;
  GetSetupInt(&nextX_, "zukanNextX");
  GetSetupInt(&nextY_, "zukanNextY");
  nextX_ = std::clamp(nextX_, 1, kMaxCoordinate);
  nextY_ = std::clamp(nextY_, 1, kMaxCoordinate);
  GetSetupInt(&numberX_, "zukanNumberX");
  GetSetupInt(&numberY_, "zukanNumberY");
  numberX_ = std::clamp(numberX_, 1, kMaxItems);
  numberY_ = std::clamp(numberY_, 0, kMaxItems);
  GetSetupInt(&number_, "zukanNumber");
  number_ = std::clamp(number_, 0, kMaxItems);
  HoldCoordinates({&printX_, &printY_});

  const int vars = (number_ + kItemsPerVar - 1) / kItemsPerVar;
  appearVars_.assign(static_cast<size_t>(vars), -1);
  appearValues_.assign(static_cast<size_t>(vars), 0);
  const char* name = screensetvars::kZukanAppearDefault;
  GetSetupString(&name, screensetvars::kZukanAppear);
  for (int k = 1; k <= vars; ++k) {
    GetSetupString(&name, Numbered(screensetvars::kZukanAppear, k).c_str());
    if (game_) appearVars_[static_cast<size_t>(k - 1)] = game_.variables->GetVarNumber(name);
  }
  const char* returnName = screensetvars::kZukanReturnDefault;
  GetSetupString(&returnName, screensetvars::kZukanReturn);
  if (game_) returnVar_ = game_.variables->GetVarNumber(returnName);
  cursor_ = std::make_unique<CAnimePart>("zukanCursor", GetSetupList(), 1);
  seat_ = std::make_unique<CPicture>();

  const char* function = "zukanon";
  GetSetupString(&function, "functionName");
  if (game_) game_.modeFlow->RegistSystemFunction(kModeNumber, function, 0);
}

CCommonSelectZukan::~CCommonSelectZukan() { Release(); }

void CCommonSelectZukan::Release() {
  cursor_.reset();
  seat_.reset();
}

int CCommonSelectZukan::Function(int, int count, const int* args) {
  if (!args || count < 1 || !game_) return 0;
  const int n = args[0];
  // Only items 1..zukanNumber exist.
  if (n < 1 || n > number_) return 0;
  const int w = (n - 1) / kItemsPerVar;
  const int var = appearVars_[static_cast<size_t>(w)];
  if (var < 0) return 0;
  const uint32_t bits = static_cast<uint32_t>(game_.variables->GetVar(var)) | (1u << ((n - 1) % kItemsPerVar));
  game_.variables->SetVar(var, static_cast<int>(bits));
  return 0;
}

void CCommonSelectZukan::BeforeInit() {
  chosen_ = -1;
  if (game_) {
    if (returnVar_ >= 0) game_.variables->SetVar(returnVar_, 0);
    game_.backScript->ResetBackScript();
  }
}

int CCommonSelectZukan::Init() {
  if (seat_ && seatName_) seat_->LoadDWQ(("sys\\" + std::string(seatName_)).c_str());
  // A missing or narrow seat has no columns: its items draw nothing.
  seatColumns_ = seat_ ? seat_->GetWidth() / sizeX_ : 0;
  seatRows_ = seat_ ? seat_->GetHeight() / sizeY_ : 0;
  for (size_t w = 0; w < appearVars_.size(); ++w)
    appearValues_[w] = appearVars_[w] >= 0 && game_ ? game_.variables->GetVar(appearVars_[w]) : 0;
  ReloadBackButtonPicture();
  SetBackButtonPos();
  if (backButton_) backButton_->Init();
  if (cursor_) cursor_->Init();
  hovered_ = prevHovered_ = -1;
  return -1;
}

bool CCommonSelectZukan::HasAppeared(int i) const {
  if (i < 0 || i >= number_) return false;
  return (static_cast<uint32_t>(appearValues_[static_cast<size_t>(i / kItemsPerVar)]) >> (i % kItemsPerVar)) & 1u;
}

int CCommonSelectZukan::HitTest(int x, int y) const {
  const int64_t dx = static_cast<int64_t>(x) - printX_, dy = static_cast<int64_t>(y) - printY_;
  if (dx < 0 || dy < 0) return -1;
  const int64_t column = dx / nextX_, row = dy / nextY_;
  if (column >= numberX_ || dx % nextX_ >= sizeX_) return -1;
  if (row >= numberY_ || dy % nextY_ >= sizeY_) return -1;
  const int64_t item = column + row * numberX_;
  return item < number_ && HasAppeared(static_cast<int>(item)) ? static_cast<int>(item) : -1;
}

void CCommonSelectZukan::ReturnToGrid() {
  prevHovered_ = -1;
  chosen_ = -1;
  hovered_ = -1;
  if (!game_) return;
  if (returnVar_ >= 0) game_.variables->SetVar(returnVar_, 0);
  game_.backScript->ResetBackScript();
  game_.backScript->CalcuBackScript(1);
}

int CCommonSelectZukan::Calcu() {
  if (chosen_ >= 0) {
    if (mouse_ && (mouse_->GetClick(0) || mouse_->GetClick(1) || mouse_->GetClick(2))) ReturnToGrid();
    return -1;
  }
  if (backButton_ && CheckButtonResult2(backButton_->Calcu(input_)) >= 0) {
    if (game_) game_.modeFlow->SetReturnFlag();
    return ExitToMode(parameter_);
  }
  platform::Point p{};
  if (mouse_) mouse_->GetPos(&p);
  hovered_ = HitTest(p.x, p.y);
  if (hovered_ >= 0 && prevHovered_ < 0 && cursor_) cursor_->Init();
  prevHovered_ = hovered_;
  if (hovered_ >= 0 && GetClick(0)) {
    if (backButton_) backButton_->Init();
    chosen_ = hovered_;
    if (game_) {
      if (returnVar_ >= 0) game_.variables->SetVar(returnVar_, chosen_ + 1);
      game_.floating->RestoreFloatingLayers();
      game_.backScript->ResetBackScript();
      game_.backScript->CalcuBackScript(1);
    }
  }
  return -1;
}

int CCommonSelectZukan::Print() {
  CScreenBuffer::SetFullRedraw(0);
  PrintBackScreen();
  if (chosen_ >= 0) return -1;
  if (seat_ && seatColumns_ > 0) {
    for (int i = 0; i < number_; ++i) {
      if (!HasAppeared(i)) continue;
      const int64_t x = static_cast<int64_t>(i % numberX_) * nextX_ + printX_;
      const int64_t y = static_cast<int64_t>(i / numberX_) * nextY_ + printY_;
      if (x > CScreenBuffer::GetWidth() || y > CScreenBuffer::GetHeight()) continue;
      const int64_t sx = static_cast<int64_t>(i % seatColumns_) * sizeX_;
      const int64_t sy = static_cast<int64_t>(i / seatColumns_) * sizeY_;
      if (sy >= seat_->GetHeight()) continue;
      seat_->Blt(static_cast<int>(x), static_cast<int>(y), static_cast<int>(sx), static_cast<int>(sy), sizeX_, sizeY_,
                 1);
    }
  }
  if (hovered_ >= 0 && cursor_) {
    const int64_t x = static_cast<int64_t>(hovered_ % numberX_) * nextX_ + printX_;
    const int64_t y = static_cast<int64_t>(hovered_ / numberX_) * nextY_ + printY_;
    cursor_->Print(HoldCoordinate(static_cast<int>(std::min<int64_t>(x, kMaxCoordinate))),
                   HoldCoordinate(static_cast<int>(std::min<int64_t>(y, kMaxCoordinate))));
    cursor_->Calcu(1);
  }
  if (backButton_) backButton_->Print();
  return -1;
}
