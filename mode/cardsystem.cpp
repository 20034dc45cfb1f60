#include "mode/cardsystem.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>

#include "services/modeflowservices.h"
#include "services/variableservices.h"
#include "graphics/allgeo.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "graphics/systempicture.h"
#include "input/inputstatus.h"
#include "mode/carddata.h"
#include "mode/modekeys.h"
#include "widget/commonbutton.h"

namespace {

// Per control (appear, enable, placed): its flag, function and variable
// keys and their defaults.
struct ControlKeys {
  const char* flagKey;
  const char* functionKey;
  const char* functionName;
  const char* varKey;
  const char* varName;
};

constexpr ControlKeys kControlKeys[CCommonCardSystem::kControls] = {
    // "カード出現コントロールワーク"
    {"appearControlFlag", "appearFunctionName", "appearcard", "appearVar",
     "\x83\x4A\x81\x5B\x83\x68\x8F\x6F\x8C\xBB\x83\x52\x83\x93\x83\x67\x83\x8D\x81\x5B\x83\x8B"
     "\x83\x8F\x81\x5B\x83\x4E"},
    // "カード許可コントロールワーク"
    {"enableControlFlag", "enableFunctionName", "enablecard", "enableVar",
     "\x83\x4A\x81\x5B\x83\x68\x8B\x96\x89\xC2\x83\x52\x83\x93\x83\x67\x83\x8D\x81\x5B\x83\x8B"
     "\x83\x8F\x81\x5B\x83\x4E"},
    // "カードのせコントロールワーク"
    {"onOkControlFlag", "onokFunctionName", "onokcard", "onOkVar",
     "\x83\x4A\x81\x5B\x83\x68\x82\xCC\x82\xB9\x83\x52\x83\x93\x83\x67\x83\x8D\x81\x5B\x83\x8B"
     "\x83\x8F\x81\x5B\x83\x4E"},
};

// The initial "cardPrintType%d" values of statuses 0..6, counted from 1.
constexpr int kPrintTypeDefaults[] = {1, 2, 3, 4, 5, 1, 1};

constexpr int kBands = 20, kBandHeight = 30, kBandWidth = 800;
constexpr int kSeats = 4;

uint32_t CardBit(int card) { return uint32_t{1} << card; }

int Saturate(long long v) { return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX)); }

}  // namespace

CCommonCardSystem::CCommonCardSystem(const GameRoles& game) : CCommonGeneral(game) {
  SetModeNumber(kModeNumber);
  // The list holds 64 tokens.
  LoadSetupFile("cardSystem", 32);

  GetSetupIntDefault(&cardNumber_, "cardNumber", 1);
  cardNumber_ = std::clamp(cardNumber_, 0, kMaxCards);
  GetSetupIntDefault(&levelMax_, "cardLevelMax", 1);
  levelMax_ = std::max(levelMax_, 1);
  for (int n = 1; n <= cardNumber_; ++n) {
    const char* name = nullptr;
    if (GetSetupString(&name, Numbered("cardPlaceVar", n).c_str()) && game_)
      cards_[n - 1].placeVar = game_.variables->GetVarNumber(name);
  }

  for (int c = 0; c < kControls; ++c) {
    const ControlKeys& keys = kControlKeys[c];
    GetSetupIntDefault(&controls_[c].flag, keys.flagKey, 0);
    if (!controls_[c].flag) continue;
    const char* function = keys.functionName;
    GetSetupString(&function, keys.functionKey);
    const char* var = keys.varName;
    GetSetupString(&var, keys.varKey);
    if (game_) {
      game_.modeFlow->RegistSystemFunction(kModeNumber, function, c);
      controls_[c].var = game_.variables->GetVarNumber(var);
    }
  }

  GetSetupIntDefault(&updownAdjust_, "updownAdjust", 1);
  GetSetupIntDefault(&powerMax_, "powerMax", 10);
  const char* powerVar = nullptr;
  if (GetSetupString(&powerVar, "powerMaxVar") && game_)
    powerMaxVar_ = game_.variables->GetVarNumber(powerVar);
  GetSetupIntDefault(&cardSizeX_, "cardSizeX", 100);
  GetSetupIntDefault(&cardSizeY_, "cardSizeY", 200);
  GetSetupIntDefault(&onCardPrintX_, "onCardPrintX", -10);
  GetSetupIntDefault(&onCardPrintY_, "onCardPrintY", -20);
  for (int n = 1; n <= cardNumber_; ++n) {
    Card& card = cards_[n - 1];
    GetSetupIntDefault(&card.printX, Numbered("cardPrintX", n).c_str(),
                       Saturate(static_cast<long long>(cardSizeX_) * (n - 1)));
    GetSetupIntDefault(&card.printY, Numbered("cardPrintY", n).c_str(), 0);
  }

  LoadStyleTable();

  const char* tag = "ta_cardseat";
  GetSetupString(&tag, "tagNameCard");
  for (int n = 1; n <= cardNumber_; ++n)
    cards_[n - 1].picture = std::make_unique<CCardPicture>(
        (std::string(tag) + std::to_string(n)).c_str(), cardSizeX_, cardSizeY_, levelMax_ - 1);

  // The marks take their defaults from the style table just written.
  power_ = std::make_unique<CCardPowerPrint>(GetSetupList());
  bar_ = std::make_unique<CCardBarPrint>(GetSetupList());
  okButton_ = std::make_unique<CCommonButton>(GetSetupList(), "ok", nullptr);
  // Opened without being told where to return, the screen goes back to the
  // extras menu.
  parameter_ = modenumber::kOmake;
  okButton_->SetPicture(CPicturePool::GetPicture(0));
  // A background picture ("filenameBG") replaces the bands once it loads.
  GetSetupString(&backgroundFileName_, "filenameBG");
}

CCommonCardSystem::~CCommonCardSystem() { Release(); }

void CCommonCardSystem::LoadStyleTable() {
  for (int s = 0; s < static_cast<int>(std::size(kPrintTypeDefaults)); ++s) {
    int type = kPrintTypeDefaults[s];
    GetSetupInt(&type, Numbered("cardPrintType", s + 1).c_str());
    SetCardPrintType(s, CountedFromOne(type));
    int seat = 1;
    GetSetupInt(&seat, Numbered("cardSeatTable", s + 1).c_str());
    SetCardSeatTable(s, CountedFromOne(seat));
  }
  int r = 64, g = 96, b = 32, percent = 50;
  GetSetupInt(&r, "cardAddColorR");
  GetSetupInt(&g, "cardAddColorG");
  GetSetupInt(&b, "cardAddColorB");
  GetSetupInt(&percent, "cardTransPercent");
  SetCardAddColor(r, g, b);
  SetCardTransPercent(percent);
}

void CCommonCardSystem::Release() {
  for (Card& card : cards_) card.picture.reset();
  power_.reset();
  bar_.reset();
  okButton_.reset();
}

void CCommonCardSystem::SetCallArgs(int, const int*) {}

int CCommonCardSystem::Function(int type, int count, const int* args) {
  if (!args) count = 0;
  const int card = count > 0 ? args[0] : 0;
  const int flag = count > 1 ? args[1] : 0;
  if (type < 0 || type >= kControls || card < 1 || card > cardNumber_ || !game_) return 0;
  const Control& control = controls_[type];
  if (!control.flag || control.var < 0) return 0;
  uint32_t bits = static_cast<uint32_t>(game_.variables->GetVar(control.var));
  const uint32_t bit = CardBit(card - 1);
  bits = flag ? (bits & ~bit) : (bits | bit);
  game_.variables->SetVar(control.var, static_cast<int>(bits));
  return 0;
}

// The ok button and a right click leave for the mode that opened the screen.
int CCommonCardSystem::Calcu() {
  if (okShown_ && CheckButtonResult(okButton_->Calcu(input_)) >= 0) return ExitToMode(parameter_);
  if (mouse_ && mouse_->GetClick(1)) return ExitToMode(parameter_);
  return -1;
}

int CCommonCardSystem::Print() {
  CScreenBuffer::SetFullRedraw(0);
  if (backgroundShown_) {
    screenPicture_->Put(0, 0, 0);
  } else {
    for (int i = 0; i < kBands; ++i)
      CAllGeo::BoxFill(0, kBandHeight * i, kBandWidth, kBandHeight, 10 * i + 10, 240 - 5 * i,
                       (73 * i) & 255);
  }
  for (int s = 0; s < kSeats && s < cardNumber_; ++s) {
    const int x = 400 * (s % 2) + 200, y = 300 * (s / 2) + 50;
    if (cards_[s].picture) cards_[s].picture->Print(x, y, s, 0);
    if (power_) power_->Print(x, y, s + 1, s, 0, 0);
  }
  if (okShown_) okButton_->Print();
  return -1;
}

int CCommonCardSystem::Init() {
  for (int n = 0; n < cardNumber_; ++n) {
    for (int c = 0; c < kControls; ++c) {
      const Control& control = controls_[c];
      int on = 1;
      if (control.flag && control.var >= 0 && game_)
        on = (static_cast<uint32_t>(game_.variables->GetVar(control.var)) & CardBit(n)) ? 0 : 1;
      cards_[n].state[c] = on;
    }
  }
  if (powerMaxVar_ >= 0 && game_) powerMax_ = game_.variables->GetVar(powerMaxVar_);
  cardIndex_ = -1;
  backgroundShown_ = false;
  if (screenPicture_ && backgroundFileName_ && *backgroundFileName_)
    backgroundShown_ =
        screenPicture_->LoadDWQ((std::string("sys\\") + backgroundFileName_).c_str()) != 0;
  okShown_ = false;
  if (okButton_) {
    // A button whose picture loads is drawn and leaves the screen.
    CPicture* picture = okButton_->GetPicture();
    const char* file = okButton_->GetFileName();
    if (picture && file) okShown_ = picture->LoadDWQ((std::string("sys\\") + file).c_str()) != 0;
    okButton_->Init();
  }
  return 0;
}

int CCommonCardSystem::GetCardState(int card, int control) const {
  if (card < 0 || card >= cardNumber_ || control < 0 || control >= kControls) return 0;
  return cards_[card].state[control];
}

int CCommonCardSystem::GetControlVar(int control) const {
  return control >= 0 && control < kControls ? controls_[control].var : -1;
}

CCardPicture* CCommonCardSystem::GetCard(int card) const {
  return card >= 0 && card < cardNumber_ ? cards_[card].picture.get() : nullptr;
}

int CCommonCardSystem::GetCardPrintX(int card) const {
  return card >= 0 && card < cardNumber_ ? cards_[card].printX : 0;
}

int CCommonCardSystem::GetCardPrintY(int card) const {
  return card >= 0 && card < cardNumber_ ? cards_[card].printY : 0;
}
