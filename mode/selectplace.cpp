#include "mode/selectplace.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "mode/screensetvars.h"
#include "services/backscriptservices.h"
#include "services/floatingservices.h"
#include "services/inputservices.h"
#include "services/messagewindowservices.h"
#include "services/modeflowservices.h"
#include "services/screenservices.h"
#include "services/variableservices.h"
#include "input/inputstatus.h"
#include "graphics/picture.h"
#include "graphics/systempicture.h"
#include "mode/modekeys.h"
#include "platform/backend.h"
#include "platform/types.h"
#include "widget/anime.h"
#include "widget/buttoncode.h"
#include "widget/buttongroup.h"
#include "widget/commonbutton.h"

namespace selectplace {

int StepAnimeCounter(int counter, int patterns, int speed, int type) {
  // A pass too long for an int is cut there.
  const int64_t length = std::min<int64_t>(anime::Length(patterns, speed, type), INT32_MAX);
  const int64_t next = int64_t{std::max(counter, 0)} + 1;
  if (!anime::IsStopping(type)) return static_cast<int>(next % length);
  // Types 2 and 6 rest on the last pattern's first frame, 4 and 8 past the
  // pass, which folds back to pattern 0.
  const int64_t stop =
      anime::IsBackAndForth(type) ? length : std::max<int64_t>(length - std::max(speed, 1), 0);
  return static_cast<int>(std::min(next, stop));
}

AnimeFrame AnimeFrameAt(int counter, int patterns, int speed, int type) {
  // The frames are the widgets' shared rule: back and forth once ends on
  // pattern 0.
  const anime::Frame frame = anime::Calcu(patterns, speed, type, counter);
  return AnimeFrame{frame.current, frame.next, frame.percent};
}

}  // namespace selectplace

namespace {

constexpr int kKeyDecide = 13, kKeyLeft = 28, kKeyRight = 29, kKeyUp = 30, kKeyDown = 31;
// Effect channels 3..15 hold the first button pictures.
constexpr int kFirstButtonChannel = 3, kButtonChannels = 13;
// "場所選択番号"

std::string SysName(const char* name) { return std::string("sys\\") + (name ? name : ""); }

// A per-place variable key (1-based): its variable, -1 when missing.
int ReadVar(const CCommonGeneral& mode, const GameRoles& game, const char* key, int n) {
  const char* name = nullptr;
  if (!game || !mode.GetSetupString(&name, Numbered(key, n).c_str())) return -1;
  return game.variables->GetVarNumber(name);
}

}  // namespace

CCommonSelectPlace::CCommonSelectPlace(const GameRoles& game, int variant)
    : CCommonGeneral(game), variant_(std::max(variant, 0)) {
  SetModeNumber(variant_ == 0 ? kModeNumber : kSecondModeNumber - 1 + variant_);
  if (variant_ == 0)
    LoadSetupFile("SelectPlace", 512);
  else
    LoadSetupFile(Numbered("SelectPlace", variant_ + 1).c_str(), 512);
  LoadBackScriptSetup();
  LoadMustAllPrintFlag();
  LoadFadeSetup();
  LoadBgmSetup();
  LoadEnterExitVoiceSetup();
  LoadQuickButtonSetup();
  LoadKeyMoveSetup(0, 1, 1);
  LoadAnimeLayerSetup();
  LoadGameDateLayerSetup();

  // More places than a button group holds are cut there.
  const int count = ReadCount(*this, "placeNumber", 1, buttoncode::kMaxNumber);
  const char* name = screensetvars::kSelectPlaceSelectedDefault;
  GetSetupString(&name, screensetvars::kSelectPlaceSelected);
  if (game_) selectedVar_ = game_.variables->GetVarNumber(name);
  if (GetSetupString(&name, screensetvars::kSelectPlaceOnButton) && game_) onButtonVar_ = game_.variables->GetVarNumber(name);
  GetSetupInt(&placeAppearFlag_, "placeAppearFlag");
  GetSetupInt(&selectFlag_, "selectFlag");
  GetSetupInt(&charaFlag_, "charaFlag");
  GetSetupInt(&charaOnlyFlag_, "charaOnlyFlag");
  GetSetupInt(&charaPrintUpper_, "charaPrintUpper");
  GetSetupInt(&allCharaFlag_, "allCharaFlag");
  GetSetupString(&allCharaName_, "fileNameAllChara");
  GetSetupString(&charaBase_, "fileNameCharaBase");
  int charaX = 0, charaY = 0, custom = 0;
  GetSetupInt(&charaX, "charaX");
  GetSetupInt(&charaY, "charaY");
  GetSetupInt(&charaSizeX_, "charaSizeX");
  GetSetupInt(&charaSizeY_, "charaSizeY");
  HoldCoordinates({&charaX, &charaY});
  charaSizeX_ = std::clamp(charaSizeX_, 0, kMaxCoordinate);
  charaSizeY_ = std::clamp(charaSizeY_, 0, kMaxCoordinate);
  GetSetupInt(&custom, "charaCustomFlag");
  GetSetupInt(&animePattern_, "charaAnimePattern");
  GetSetupInt(&animeSpeed_, "charaAnimeSpeed");
  GetSetupInt(&animeType_, "charaAnimeType");
  backgroundFileName_ = "idou_bg";
  GetSetupString(&backgroundFileName_, "filenameBG");
  GetSetupInt(&onButtonRestart_, "onButtonChangeToRestartBackScript");
  GetSetupInt(&backLogOk_, "backLogOk");
  if (backLogOk_ && game_) game_.variables->SetModeFlag(modeNumber_, 1);
  GetSetupInt(&autoPicLoad_, "autoPicLoad");
  GetSetupInt(&autoPicCannotOk_, "autoPicCannotOk");
  GetSetupInt(&autoPicRestart_, "autoPicRestartBackScript");
  for (int i = 0; i < kAutoPicLayers; ++i)
    GetSetupString(&autoPicTags_[i], Numbered("autoPicLayerTag", i).c_str());

  places_.resize(count);
  for (int i = 0; i < count; ++i) {
    Place& p = places_[i];
    const int n = i + 1;
    p.appearVar = ReadVar(*this, game_, "placeAppearVarName", n);
    p.selectVar = ReadVar(*this, game_, "placeSelectOkVarName", n);
    p.charaVar = ReadVar(*this, game_, "placeCharaVarName", n);
    GetSetupInt(&p.areaX, Numbered("areaX", n).c_str());
    GetSetupInt(&p.areaY, Numbered("areaY", n).c_str());
    p.charaX = charaX;
    p.charaY = charaY;
    if (custom) {
      GetSetupInt(&p.charaX, Numbered("charaX", n).c_str());
      GetSetupInt(&p.charaY, Numbered("charaY", n).c_str());
    }
    HoldCoordinates({&p.areaX, &p.areaY, &p.charaX, &p.charaY});
  }
  CPicture* back = backScriptFlag_ || mustAllPrintFlag_ ? nullptr : screenPicture_;
  buttons_ = std::make_unique<CCommonButtonGroup>(GetSetupList(), count, back, "place");
  for (int i = 0; i < count; ++i) buttons_->SetPicture(i, Holder(i));
}

CCommonSelectPlace::~CCommonSelectPlace() { Release(); }

void CCommonSelectPlace::Release() {
  buttons_.reset();
  places_.clear();
  allChara_.reset();
}

CPicture* CCommonSelectPlace::Holder(int i) const {
  if (!backScriptFlag_ && i < kButtonChannels && game_)
    if (CPicture* p = game_.screen->GetEffectPicture(kFirstButtonChannel + i)) return p;
  return CPicturePool::GetPicture(backScriptFlag_ ? i : std::max(i - kButtonChannels, 0));
}

int CCommonSelectPlace::IsShown(int i) const {
  return Valid(i) && (!placeAppearFlag_ || places_[i].appear != 0);
}

void CCommonSelectPlace::LoadAutoPictures(int number, int restartAllowed) {
  if (number == lastAutoPic_ || !game_) return;
  for (int layer = 0; layer < kAutoPicLayers; ++layer) {
    const char* tag = autoPicTags_[layer];
    // A tag too short to name its folder loads nothing.
    if (!tag || std::strlen(tag) < 2) continue;
    CPicture* picture = game_.screen->GetEffectPicture(layer);
    if (!picture) continue;
    const std::string name = std::string(tag, 2) + "\\" + tag + std::to_string(number);
    picture->LoadDWQ(name.c_str());
  }
  lastAutoPic_ = number;
  if (restartAllowed && autoPicRestart_) game_.backScript->ResetBackScript();
}

int CCommonSelectPlace::Init() {
  entryCountdown_ = 3;
  hovered_ = -1;
  lastAutoPic_ = -1;
  if (autoPicLoad_ && game_) {
    for (int layer = 0; layer < kAutoPicLayers; ++layer)
      if (autoPicTags_[layer]) game_.floating->SetOptionButtonOff(layer, 1);
    if (onButtonVar_ != -1) game_.variables->SetVar(onButtonVar_, 0);
    LoadAutoPictures(0, 0);
  } else if (onButtonVar_ != -1 && game_) {
    game_.variables->SetVar(onButtonVar_, 0);
  }
  LoadBackgroundPicture();
  // The characters are the mode's own to draw, under a back script too.
  if (charaFlag_ && allCharaFlag_) {
    if (!allChara_) allChara_ = std::make_unique<CPicture>();
    allChara_->LoadDWQ(SysName(allCharaName_).c_str());
  }
  if (game_) game_.floating->HideFloatingButtons();

  for (int i = 0; i < GetPlaceNumber(); ++i) {
    Place& p = places_[i];
    p.appear = game_ ? game_.variables->GetVar(p.appearVar) : 1;
    p.selectOk = game_ ? game_.variables->GetVar(p.selectVar) : 1;
    const bool shown = !placeAppearFlag_ || p.appear != 0;
    const bool selectable = !selectFlag_ || p.selectOk != 0;
    // A place that names no character variable has no character (a missing
    // variable would read as the literal 32767 and name a picture that is
    // not there).
    p.chara = -1;
    if (charaFlag_ && shown && selectable && game_)
      p.chara = p.charaVar >= 0 ? game_.variables->GetVar(p.charaVar) : 0;
    p.picture.reset();
    if (charaFlag_ && !allCharaFlag_ && p.chara > 0) {
      p.picture = std::make_unique<CPicture>();
      p.picture->LoadDWQ((SysName(charaBase_) + std::to_string(p.chara)).c_str());
    }
    // Character-only places need a character where a variable names one.
    p.enabled = shown && selectable && !(charaFlag_ && charaOnlyFlag_ && p.charaVar >= 0 && p.chara < 1);
  }
  for (int i = 0; i < buttons_->GetCount(); ++i) {
    if (CPicture* picture = buttons_->GetPicture(i))
      picture->LoadDWQ(SysName(buttons_->GetFilename(i)).c_str());
    const int exists = IsShown(i);
    buttons_->SetExist(i, exists);
    if (exists) buttons_->SetEnable(i, places_[i].enabled);
  }
  buttons_->Init();

  animeCounter_ = 0;
  chosen_ = -1;
  chosenFlag_ = 0;
  keyCursor_ = 0;
  if (keyMoveEnable_)
    for (int i = 0; i < GetPlaceNumber(); ++i)
      if (places_[i].enabled) {
        keyCursor_ = i;
        break;
      }
  // One before it, so that the first "next" key lands on it.
  if (GetPlaceNumber() > 0) keyCursor_ = (keyCursor_ - 1 + GetPlaceNumber()) % GetPlaceNumber();
  return -1;
}

int CCommonSelectPlace::Leave() { return -1; }

int CCommonSelectPlace::PlaceAt(int x, int y, int anyShown) const {
  for (int i = 0; i < GetPlaceNumber(); ++i) {
    if (!IsShown(i) || !(anyShown || places_[i].enabled)) continue;
    const CCommonButton* b = buttons_->GetButton(i);
    if (b && b->CheckHitPoint(x, y)) return i;
  }
  return -1;
}

int CCommonSelectPlace::LeaveFor(int m) {
  chosenFlag_ = 0;
  if (m != modenumber::kSystemMenu) game_.modeFlow->NotifyMode(m, modeNumber_);
  return ExitToMode(game_.modeFlow->PrepareSystemMode(m, modeNumber_));
}

int CCommonSelectPlace::StepKeyCursor(int step) {
  const int n = GetPlaceNumber();
  if (n == 0) return 0;
  int i = keyCursor_;
  for (int k = 0; k < n; ++k) {
    i = ((i + step) % n + n) % n;
    if (IsShown(i) && (places_[i].enabled || keyMoveCannotSelectOk_)) {
      keyCursor_ = i;
      MovePointerToPlace(i);
      return 1;
    }
  }
  return 0;
}

void CCommonSelectPlace::MovePointerToPlace(int i) {
  const CCommonButton* b = buttons_->GetButton(i);
  if (!b || !game_) return;
  int ox = 0, oy = 0;
  game_.floating->GetGameMousePos(&ox, &oy);
  // The host puts the pointer there, or records it for the next frame.
  const int64_t x = int64_t{b->GetPrintX()} + b->GetSizeX() / 2 - ox;
  const int64_t y = int64_t{b->GetPrintY()} + b->GetSizeY() / 2 - oy;
  if (platform::Window* window = game_.screen->GetWindowHandle())
    window->WarpPointer(static_cast<int>(std::clamp<int64_t>(x, -kMaxCoordinate, kMaxCoordinate)),
                        static_cast<int>(std::clamp<int64_t>(y, -kMaxCoordinate, kMaxCoordinate)));
}

int CCommonSelectPlace::Calcu() {
  if (!game_) return -1;
  // The floating buttons.
  const int code = game_.floating->CheckFloatingButtons();
  const int kind = GetButtonCodeKind(code);
  switch (CheckButtonResult(code)) {
    case 0:
      return LeaveFor(modenumber::kSystemMenu);
    case 1:
      return LeaveFor(modenumber::kConfig);
    case 2:
      return LeaveFor(modenumber::kBackLog);
    default:
      break;
  }
  if (kind == buttoncode::kPressed || kind == buttoncode::kBusy) return -1;

  // The buttons, once the entry countdown has run.
  int result = -1;
  if (entryCountdown_ > 0)
    --entryCountdown_;
  else
    result = buttons_->Calcu(input_);

  // The hovered place.
  platform::Point mouse{0, 0};
  if (mouse_) mouse_->GetPos(&mouse);
  if (autoPicLoad_ || onButtonVar_ != -1) {
    const int now = PlaceAt(mouse.x, mouse.y, autoPicCannotOk_);
    if (onButtonRestart_ && now != hovered_ && onButtonVar_ != -1) {
      game_.variables->SetVar(onButtonVar_, now + 1);
      game_.backScript->ResetBackScript();
    }
    hovered_ = now;
  }

  // A decided place.
  const int place = CheckButtonResult2(result);
  if (place >= 0 && place < GetPlaceNumber()) {
    chosen_ = place;
    chosenFlag_ = 1;
    return ExitToMode(-1);
  }

  // The wheel opens the back log.
  if (backLogOk_ && mouse_ && mouse_->GetWheel() > 0 && !game_.messageWindow->IsBackLogDisabled())
    return LeaveFor(modenumber::kBackLog);

  // Short-cut keys.
  const int shortcut = game_.floating->CheckShortCut(modeNumber_);
  if (shortcut != -1) {
    chosenFlag_ = 0;
    return ExitToMode(shortcut);
  }

  // Key movement.
  if (keyMoveEnable_ && GetPlaceNumber() > 0) {
    const int under = PlaceAt(mouse.x, mouse.y, keyMoveCannotSelectOk_);
    if (under >= 0 && game_.input->CheckKeyTrig(kKeyDecide) && places_[under].enabled) {
      if (CCommonButton* b = buttons_->GetButton(under)) b->StartClick();
    } else if (under >= 0) {
      keyCursor_ = under;
    }
    int step = 0;
    if (keyMoveUpDownEnable_) {
      if (game_.input->CheckKeyTrig(kKeyUp)) step = -1;
      if (game_.input->CheckKeyTrig(kKeyDown)) step = 1;
    }
    if (keyMoveLeftRightEnable_) {
      if (game_.input->CheckKeyTrig(kKeyLeft)) step = -1;
      if (game_.input->CheckKeyTrig(kKeyRight)) step = 1;
    }
    if (step) StepKeyCursor(step);
  }
  return -1;
}

void CCommonSelectPlace::PrintLayers(int first) {
  if ((gameLayerFirst_ != 0) == (first != 0)) UpdateGameDateLayer();
  if ((animeLayerFirst_ != 0) == (first != 0)) UpdateAnimeLayers();
}

int CCommonSelectPlace::Print() {
  if (game_ && onButtonVar_ != -1) game_.variables->SetVar(onButtonVar_, hovered_ + 1);
  if (autoPicLoad_) LoadAutoPictures(hovered_ + 1, 1);
  PrintBackScreen();
  BeforePrintPlaces();
  PrintLayers(1);
  if (charaFlag_ && !charaPrintUpper_) PrintCharas();
  buttons_->Print();
  if (charaFlag_ && charaPrintUpper_) PrintCharas();
  PrintLayers(0);
  AfterPrintPlaces();
  if (game_) game_.floating->RequestFloatingButtons();
  return -1;
}

void CCommonSelectPlace::BeforePrintPlaces() {}
void CCommonSelectPlace::AfterPrintPlaces() {}

void CCommonSelectPlace::PrintCharas() {
  animeCounter_ = selectplace::StepAnimeCounter(animeCounter_, animePattern_, animeSpeed_, animeType_);
  const selectplace::AnimeFrame frame =
      selectplace::AnimeFrameAt(animeCounter_, animePattern_, animeSpeed_, animeType_);
  const int w = charaSizeX_, h = charaSizeY_;
  for (const Place& p : places_) {
    if (!p.enabled || p.chara < 1) continue;
    CPicture* picture = allCharaFlag_ ? allChara_.get() : p.picture.get();
    if (!picture || !picture->IsLoaded()) continue;
    // The cell of a pattern: the sheet's column per character, row per
    // pattern; the own picture's column per pattern.
    struct Source {
      int64_t x, y;
    };
    auto source = [&](int pattern) {
      return allCharaFlag_ ? Source{int64_t{p.chara - 1} * w, int64_t{pattern} * h}
                           : Source{int64_t{pattern} * w, 0};
    };
    auto inside = [&](Source s) {
      return s.x + w <= picture->GetWidth() && s.y + h <= picture->GetHeight();
    };
    const Source a = source(frame.pattern), b = source(frame.next);
    // Inside the picture, so the source corners fit an int.
    const int ax = static_cast<int>(a.x), ay = static_cast<int>(a.y);
    const int bx = static_cast<int>(b.x), by = static_cast<int>(b.y);
    const int x = p.areaX + p.charaX, y = p.areaY + p.charaY;
    if (frame.percent >= 100) {
      if (inside(a)) picture->Blt(x, y, ax, ay, w, h, 1);
    } else if (frame.percent <= 0) {
      if (inside(b)) picture->Blt(x, y, bx, by, w, h, 1);
    } else if (inside(a) && inside(b)) {
      picture->ChangeTransLucentBlt(x, y, ax, ay, w, h, frame.percent, 100 - frame.percent, picture,
                                    bx, by);
    }
  }
}

void CCommonSelectPlace::BeforeExit() {
  if (!autoPicLoad_ || !game_) return;
  for (int layer = 0; layer < kAutoPicLayers; ++layer)
    if (autoPicTags_[layer]) game_.floating->SetOptionButtonOff(layer, 0);
}

void CCommonSelectPlace::AtExit() {
  if (!chosenFlag_ || !game_) return;
  game_.variables->SetVar(selectedVar_, chosen_ + 1);
  game_.messageWindow->SetSkipFilmFlag(1);
  chosenFlag_ = 0;
}
