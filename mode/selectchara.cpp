#include "mode/selectchara.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "services/backscriptservices.h"
#include "services/messagewindowservices.h"
#include "services/modeflowservices.h"
#include "services/saveservices.h"
#include "services/screenservices.h"
#include "services/soundservices.h"
#include "services/variableservices.h"
#include "input/inputstatus.h"
#include "graphics/allgeo.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "savedata/cglist.h"
#include "savedata/scenedata.h"
#include "widget/backbutton.h"
#include "widget/buttoncode.h"
#include "widget/numberprint.h"

namespace {

constexpr int kPercentGlyph = 12;
constexpr int kPercentKeta = 3;
constexpr int kHeartCells[] = {2, 0, 1, 3};  // by heart state

// The default names are loaded as "sys\\<name>" or taken from the system
// pictures, which live in "sys" already: they carry no folder.
constexpr CharaPageKind kCGPage = {
    CCommonSelectCGChara::kModeNumber, modenumber::kSelectCG, "selectcgchara", 256, "cgm_bg", "filenameChara", "ta_cgm_bt",
    "ta_cgm_cur", 32, 1, true, true, false};
constexpr CharaPageKind kScenePage = {
    CCommonSelectSceneChara::kModeNumber, modenumber::kSelectScene, "SelectSceneChara", 256, "scenem_bg", "filenameButton",
    "ta_scenem_bt", "ta_cgm_cur", 127, 0, false, false, true};

std::string Numbered(const char* key, int n) { return key + std::to_string(n); }

}  // namespace

int CGalleryCharaPage::HeartCell(int heart, int percent) {
  if (heart < kNoMarked || heart > kAllSeen) return -1;
  if (heart == kNoMarked && percent != 100) return -1;
  return kHeartCells[heart];
}

int CGalleryCharaPage::HeartOf(int marked, int seen) {
  if (marked <= 0) return kNoMarked;
  if (seen <= 0) return kNoneSeen;
  return seen < marked ? kSomeSeen : kAllSeen;
}

CGalleryCharaPage::CGalleryCharaPage(const GameRoles& game, const CharaPageKind& kind, int charas)
    : CCommonGeneral(game), kind_(kind), charas_(std::max(charas, 1)) {
  SetModeNumber(kind_.mode);
  LoadSetupFile(kind_.list, kind_.listPairs);
  LoadBackScriptSetup();
  LoadMustAllPrintFlag();
  LoadBackButtonSetup();
  LoadBgmSetup();
  LoadFadeSetup();
  LoadEnterExitVoiceSetup();
  ReadSettings();
  PlaceAreas();
}

CGalleryCharaPage::~CGalleryCharaPage() { Release(); }

void CGalleryCharaPage::Release() {
  chara_.reset();
  heartPicture_.reset();
  totalPrinter_.reset();
  percentPrinter_.reset();
  cursor_ = nullptr;
}

void CGalleryCharaPage::ReadSettings() {
  const auto at_least_1 = [](int& v) { v = std::max(v, 1); };
  const size_t n = static_cast<size_t>(charas_);
  backgroundFileName_ = kind_.background;
  GetSetupString(&backgroundFileName_, "filenameBG");
  GetSetupInt(&pictureMode_, "pictureMode");
  GetSetupInt(&cursorMode_, "cursorMode");
  GetSetupInt(&checkOnByPicFlag_, "checkOnByPicFlag");
  if (pictureMode_ != 0) {
    charaName_ = kind_.charaDefault;
    GetSetupString(&charaName_, kind_.charaKey);
  }
  if (cursorMode_ > 1) {
    cursorName_ = kind_.cursorDefault;
    GetSetupString(&cursorName_, "filenameCursor");
  }
  picNumberX_ = charas_;
  GetSetupInt(&picNumberX_, "picNumberX");
  at_least_1(picNumberX_);
  GetSetupInt(&cursorPrintType_, "cursorPrintType");
  GetSetupInt(&cursorR_, "cursorColorR");
  GetSetupInt(&cursorG_, "cursorColorG");
  GetSetupInt(&cursorB_, "cursorColorB");
  if (cursorMode_ != 0) GetSetupInt(&cursorPercent_, "cursorPercent");
  sizeX_ = sizeY_ = kind_.size;
  GetSetupInt(&sizeX_, "sizeX");
  GetSetupInt(&sizeY_, "sizeY");

  GetSetupInt(&totalPercentPrintFlag_, "totalPercentPrintFlag");
  GetSetupInt(&charaPercentPrintFlag_, "charaPercentPrintFlag");
  totalPercentGlyph_ = percentGlyph_ = kind_.percentGlyphDefault;
  GetSetupInt(&totalPercentGlyph_, "totalPercentPercentFlag");
  GetSetupInt(&percentGlyph_, "percentPercentFlag");
  const char* font = "ta_font_cgm1";
  int fontX = 0, fontY = 0;
  if (totalPercentPrintFlag_) {
    GetSetupString(&font, "fileNameTotalPercentPic");
    GetSetupInt(&totalX_, "totalPercentPrintX");
    GetSetupInt(&totalY_, "totalPercentPrintY");
    GetSetupInt(&fontX, "totalPercentSizeX");
    GetSetupInt(&fontY, "totalPercentSizeY");
    totalNextX_ = fontX;
    GetSetupInt(&totalNextX_, "totalPercentNextX");
    totalFont_ = {font, fontX, fontY};
  }
  if (charaPercentPrintFlag_) {
    font = "ta_font_cgm1";
    GetSetupString(&font, "fileNamePercentPic");
    GetSetupInt(&percentX_, "percentPrintX");
    GetSetupInt(&percentY_, "percentPrintY");
    fontX = fontY = 0;
    GetSetupInt(&fontX, "percentSizeX");
    GetSetupInt(&fontY, "percentSizeY");
    percentNextX_ = fontX;
    GetSetupInt(&percentNextX_, "percentNextX");
    percentFont_ = {font, fontX, fontY};
  }

  appearPercent_.assign(n, 0);
  appearVar_.assign(n, -1);
  if (kind_.appearRules) {
    for (int i = 0; i < charas_; ++i) {
      GetSetupInt(&appearPercent_[static_cast<size_t>(i)], Numbered("charaAppearPercent", i + 1).c_str());
      const char* var = nullptr;
      if (game_ && GetSetupString(&var, Numbered("charaAppearVarName", i + 1).c_str()) && var)
        appearVar_[static_cast<size_t>(i)] = game_.variables->GetVarNumber(var);
    }
  }
  if (kind_.scenePage) {
    GetSetupInt(&heartPrintFlag_, "heartPrintFlag");
    GetSetupInt(&heartX_, "heartPrintX");
    GetSetupInt(&heartY_, "heartPrintY");
    GetSetupInt(&heartSizeX_, "heartSizeX");
    GetSetupInt(&heartSizeY_, "heartSizeY");
    heartName_ = "ta_heart";
    GetSetupString(&heartName_, "filenameHeart");
  }
  enabled_.assign(n, 1);
  heart_.assign(n, kNoMarked);
}

void CGalleryCharaPage::PlaceAreas() {
  const size_t n = static_cast<size_t>(charas_);
  int numberX = charas_, baseX = 0, baseY = 0, nextX = sizeX_, nextY = 0;
  GetSetupInt(&numberX, "numberX");
  numberX = std::max(numberX, 1);
  GetSetupInt(&baseX, "baseX");
  GetSetupInt(&baseY, "baseY");
  GetSetupInt(&nextX, "baseNextX");
  GetSetupInt(&nextY, "baseNextY");
  x_.assign(n, 0);
  y_.assign(n, 0);
  const auto place = [&](int i, int column, int row) {
    x_[static_cast<size_t>(i)] = static_cast<int>(int64_t{column} * nextX + baseX);
    y_[static_cast<size_t>(i)] = static_cast<int>(int64_t{row} * nextY + baseY);
  };
  for (int i = 0; i < charas_; ++i) place(i, i % numberX, i / numberX);

  int first = 1, last = charas_;
  if (kind_.scenePage) {
    int combineFlag = 0, combineType = 0, combineNumber = 1;
    GetSetupInt(&combineFlag, "combineFlag");
    GetSetupInt(&combineType, "combineType");
    GetSetupInt(&combineNumber, "combineNumber");
    combineNumber = std::max(combineNumber, 1);
    if (combineFlag) {
      // A triangle of rows: type 0 shortens each row from the left, any
      // other type grows each row to the right; the walk ends once every
      // character has its place.
      int k = 0;
      for (int r = 0; r < combineNumber && k < charas_; ++r) {
        const int from = combineType == 0 ? r : 0, to = combineType == 0 ? combineNumber - 1 : r;
        for (int c = from; c <= to && k < charas_; ++c) place(k++, c, r);
      }
    }
    GetSetupInt(&first, "customStart");
    GetSetupInt(&last, "customEnd");
    // They number entries of the position table.
    first = std::clamp(first, 1, charas_);
    last = std::clamp(last, 1, charas_);
  }
  int customPrintFlag = 0;
  GetSetupInt(&customPrintFlag, "customPrintFlag");
  if (!customPrintFlag) return;
  for (int i = first; i <= last; ++i) {
    GetSetupInt(&x_[static_cast<size_t>(i) - 1], Numbered("printX", i).c_str());
    GetSetupInt(&y_[static_cast<size_t>(i) - 1], Numbered("printY", i).c_str());
  }
}

int* CGalleryCharaPage::GetGridCell(int* out, int i) const {
  const bool in = i >= 0 && i < charas_;
  out[0] = in ? x_[static_cast<size_t>(i)] : 0;
  out[1] = in ? y_[static_cast<size_t>(i)] : 0;
  return out;
}

int CGalleryCharaPage::IsEnabled(int i) const {
  return i >= 0 && i < charas_ ? enabled_[static_cast<size_t>(i)] : 0;
}

int CGalleryCharaPage::GetHeart(int i) const {
  return i >= 0 && i < charas_ ? heart_[static_cast<size_t>(i)] : kNoMarked;
}

int CGalleryCharaPage::Init() {
  if (game_) game_.screen->ResetFrameTime();
  if (backButton_) backButton_->Init();
  SetBackButtonPos();
  if (!backScriptFlag_) LoadBackgroundPicture();
  if (charaName_) {
    if (!chara_) chara_ = std::make_unique<CPicture>();
    chara_->LoadDWQ(("sys\\" + std::string(charaName_)).c_str());
  }
  if (cursorName_ && !cursor_ && game_) cursor_ = game_.screen->LoadSystemPicture(cursorName_, 0);
  // The fonts come from the system pictures when the page is first shown.
  const auto printer = [&](std::unique_ptr<CNumberPrint>& p, const Font& font, int nextX) {
    if (p || !font.name || !game_) return;
    p = std::make_unique<CNumberPrint>(game_.screen->LoadSystemPicture(font.name, 0), font.sizeX, font.sizeY, kPercentKeta,
                                       nextX, 0, 1, 0);
  };
  printer(totalPrinter_, totalFont_, totalNextX_);
  printer(percentPrinter_, percentFont_, percentNextX_);
  if (heartPrintFlag_ && heartName_ && !heartPicture_) heartPicture_.reset(NewSysPicture(heartName_));
  hover_ = prevHover_ = selected_ = -1;

  for (int i = 0; i < charas_; ++i) {
    const size_t k = static_cast<size_t>(i);
    if (kind_.appearRules) {
      const int var = appearVar_[k];
      enabled_[k] = SeenPercent(i) >= appearPercent_[k] && (var < 0 || !game_ || game_.variables->GetVar(var) != 0) ? 1 : 0;
    }
    heart_[k] = CountHeart(i);
  }
  totalPercent_ = TotalPercent();

  if (!backScriptFlag_ && screenPicture_) {
    screenPicture_->Put(0, 0, 0);
    for (int i = 0; i < charas_; ++i)
      if (enabled_[static_cast<size_t>(i)] && pictureMode_ == 1) PrintCell(i, false);
    if (kind_.scenePage && (pictureMode_ == 0 || pictureMode_ == 1)) {
      for (int i = 0; i < charas_; ++i) {
        if (charaPercentPrintFlag_) PrintPercent(i);
        PrintHeart(i);
      }
    }
  }
  PrintTotal();
  ReloadBackButtonPicture();
  if (!backScriptFlag_ && screenPicture_) screenPicture_->GetScreen();
  if (!kind_.scenePage && game_) game_.messageWindow->EndSkipFilm();
  return -1;
}

void CGalleryCharaPage::PrintTotal() const {
  if (!totalPrinter_) return;
  totalPrinter_->Print(totalX_, totalY_, totalPercent_);
  if (totalPercentGlyph_) totalPrinter_->PrintChar(totalX_ + 3 * totalNextX_, totalY_, kPercentGlyph);
}

void CGalleryCharaPage::PrintPercent(int i) const {
  if (!percentPrinter_) return;
  const int x = x_[static_cast<size_t>(i)] + percentX_, y = y_[static_cast<size_t>(i)] + percentY_;
  percentPrinter_->Print(x, y, SeenPercent(i));
  if (percentGlyph_) percentPrinter_->PrintChar(x + 3 * percentNextX_, y, kPercentGlyph);
}

void CGalleryCharaPage::PrintHeart(int i) const {
  if (!heartPrintFlag_ || !heartPicture_) return;
  const int cell = HeartCell(heart_[static_cast<size_t>(i)], SeenPercent(i));
  if (cell < 0) return;
  heartPicture_->Blt(x_[static_cast<size_t>(i)] + heartX_, y_[static_cast<size_t>(i)] + heartY_, cell * heartSizeX_, 0,
                     heartSizeX_, heartSizeY_, 1);
}

// Character i's cell of the character picture; with picture mode 3 each
// character row holds the normal row and, below it, the highlighted one.
void CGalleryCharaPage::PrintCell(int i, bool highlighted) const {
  if (!chara_) return;
  const int column = i % picNumberX_, row = i / picNumberX_;
  int sy = row * sizeY_;
  if (pictureMode_ == 3) sy = row * 2 * sizeY_ + (highlighted ? sizeY_ : 0);
  chara_->Blt(x_[static_cast<size_t>(i)], y_[static_cast<size_t>(i)], column * sizeX_, sy, sizeX_, sizeY_, 1);
}

bool CGalleryCharaPage::Restores() const {
  return !backScriptFlag_ && screenPicture_ && (kind_.scenePage || !mustAllPrintFlag_);
}

void CGalleryCharaPage::PrintNormal(int i) const {
  const int x = x_[static_cast<size_t>(i)], y = y_[static_cast<size_t>(i)];
  if (Restores()) screenPicture_->Blt(x, y, x, y, sizeX_, sizeY_, 0);
  if (pictureMode_ == 1 || pictureMode_ == 3) PrintCell(i, false);
  if (charaPercentPrintFlag_) PrintPercent(i);
  CScreenBuffer::AddDirtyRect(x, y, sizeX_, sizeY_);
}

void CGalleryCharaPage::PrintCursor(int i) const {
  const int x = x_[static_cast<size_t>(i)], y = y_[static_cast<size_t>(i)];
  if (Restores()) screenPicture_->Blt(x, y, x, y, sizeX_, sizeY_, 0);
  if (pictureMode_ >= 1 && pictureMode_ <= 3) {
    PrintCell(i, true);
    if (charaPercentPrintFlag_) PrintPercent(i);
  }
  if (kind_.scenePage && (pictureMode_ == 2 || pictureMode_ == 3)) PrintHeart(i);
  if (cursorMode_ == 1) {
    CAllGeo::TransBoxFill(x, y, sizeX_, sizeY_, cursorR_, cursorG_, cursorB_, cursorPercent_);
  } else if (cursorMode_ == 2 && cursor_) {
    if (cursorPrintType_ == 1)
      cursor_->TransLucentBlt3(x, y, 0, 0, sizeX_, sizeY_, cursorPercent_);
    else if (cursorPrintType_ == 2)
      cursor_->AddBlt(x, y, 0, 0, sizeX_, sizeY_);
    else
      cursor_->Blt(x, y, 0, 0, sizeX_, sizeY_, 1);
  }
  CScreenBuffer::AddDirtyRect(x, y, sizeX_, sizeY_);
}

int CGalleryCharaPage::HitTest(int px, int py) const {
  for (int i = 0; i < charas_; ++i) {
    if (!enabled_[static_cast<size_t>(i)]) continue;
    const int64_t dx = int64_t{px} - x_[static_cast<size_t>(i)], dy = int64_t{py} - y_[static_cast<size_t>(i)];
    if (dx < 0 || dy < 0 || dx >= sizeX_ || dy >= sizeY_) continue;
    if (checkOnByPicFlag_ && (pictureMode_ == 2 || pictureMode_ == 3) && chara_) {
      // The point counts where the highlighted picture shows something.
      const int64_t row = i / picNumberX_;
      const int64_t sx = int64_t{i % picNumberX_} * sizeX_ + dx;
      const int64_t sy = (pictureMode_ == 3 ? row * 2 * sizeY_ + sizeY_ : row * sizeY_) + dy;
      if (sx >= chara_->GetWidth() || sy >= chara_->GetHeight()) continue;
      if (!chara_->HitCheck(static_cast<int>(sx), static_cast<int>(sy), 0, 0)) continue;
    }
    return i;
  }
  return -1;
}

int CGalleryCharaPage::Calcu() {
  if (kind_.scenePage && backScriptFlag_ && game_) game_.backScript->CalcuBackScript(1);
  if (selected_ >= 0) {
    if (--countdown_ >= 1) return -1;
    const int chosen = selected_;
    selected_ = -1;
    Choose(chosen);
    if (game_) game_.modeFlow->NotifyMode(kind_.gallery, kind_.mode);
    return ExitToMode(kind_.gallery);
  }
  if (backButton_) {
    const int32_t code = backButton_->Calcu(input_);
    const int result = CheckButtonResult(code);
    if (kind_.anyBackResultLeaves ? result >= 0 : result == 0) return ExitToMode(modenumber::kOmake);
    if (GetButtonCodeKind(code) == buttoncode::kPressed) {
      selected_ = -2;
      return -1;
    }
    if (selected_ == -2) selected_ = -1;
  }
  prevHover_ = hover_;
  platform::Point p{-1, -1};
  if (mouse_) mouse_->GetPos(&p);
  hover_ = HitTest(p.x, p.y);
  if (selected_ == -1 && hover_ >= 0 && GetClick(0)) {
    selected_ = hover_;
    countdown_ = kBlinkFrames;
    if (game_) game_.sound->PlaySystemSeAlt(kSelectSound);
  }
  return -1;
}

int CGalleryCharaPage::Print() {
  const int full = CScreenBuffer::CheckFullRedraw();
  PrintBackScreen();
  if (backScriptFlag_) PrintTotal();
  if (backButton_) backButton_->Print();
  const bool moved = hover_ != prevHover_;
  for (int i = 0; i < charas_; ++i) {
    if (!enabled_[static_cast<size_t>(i)]) continue;
    const bool changed = i == selected_ || (moved && (i == hover_ || i == prevHover_));
    if (!full && !changed) continue;
    PrintNormal(i);
    const bool cursor = selected_ >= 0 ? i == selected_ && countdown_ % 2 == 0 : i == hover_;
    if (cursor) PrintCursor(i);
  }
  return -1;
}

int CGalleryCharaPage::PrintEnterScreen() {
  CScreenBuffer::SetFullRedraw(0);
  return Print();
}

// --- Mode 16 ---

CCommonSelectCGChara::CCommonSelectCGChara(const GameRoles& game)
    : CGalleryCharaPage(game, kCGPage, game && game.saves->GetCGList() ? game.saves->GetCGList()->GetCharaCount() : 1) {}

int CCommonSelectCGChara::SeenPercent(int i) const {
  return game_ && game_.saves->GetCGList() ? game_.saves->GetCGList()->GetSeenPercent(i) : 0;
}

int CCommonSelectCGChara::TotalPercent() const {
  return game_ && game_.saves->GetCGList() ? game_.saves->GetCGList()->GetTotalSeenPercent() : 0;
}

void CCommonSelectCGChara::Choose(int i) {
  if (CCGList* list = game_ ? game_.saves->GetCGList() : nullptr) list->SetCurrentChara(i)->SetCurrentCG(0);
}

// --- Mode 20 ---

CCommonSelectSceneChara::CCommonSelectSceneChara(const GameRoles& game)
    : CGalleryCharaPage(game, kScenePage,
                        game && game.saves->GetSceneList() ? game.saves->GetSceneList()->GetCharaCount() : 1) {}

int CCommonSelectSceneChara::SeenPercent(int i) const {
  return game_ && game_.saves->GetSceneList() ? game_.saves->GetSceneList()->GetSeenPercent(i) : 0;
}

int CCommonSelectSceneChara::TotalPercent() const {
  return game_ && game_.saves->GetSceneList() ? game_.saves->GetSceneList()->GetTotalSeenPercent() : 0;
}

void CCommonSelectSceneChara::Choose(int i) {
  if (CSceneList* list = game_ ? game_.saves->GetSceneList() : nullptr) list->SetCurrentChara(i)->SetCurrentScene(0);
}

int CCommonSelectSceneChara::CountHeart(int i) const {
  const CSceneList* list = game_ ? game_.saves->GetSceneList() : nullptr;
  if (!list) return kNoMarked;
  int seen = 0;
  for (int s = 0; s < list->GetSceneCount(i); ++s)
    if (list->IsSceneMarked(i, s) && list->IsSceneSeen(i, s)) ++seen;
  return HeartOf(list->GetMarkedSceneCount(i), seen);
}
