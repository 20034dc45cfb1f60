#include "mode/chartmenu.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "services/floatingservices.h"
#include "services/modeflowservices.h"
#include "services/saveservices.h"
#include "services/screenservices.h"
#include "services/textservices.h"
#include "services/variableservices.h"
#include "graphics/picture.h"
#include "graphics/systempicture.h"
#include "message/textprint.h"
#include "mode/chartmenu_settings.h"
#include "savedata/chartfile.h"
#include "widget/animepart.h"
#include "widget/buttongroup.h"
#include "widget/floatinglayer.h"
#include "widget/numberprint.h"
#include "widget/radiobuttongroup.h"

namespace {

int AtLeast1(int v) { return v < 1 ? 1 : v; }

// "sys\\<name>"; an empty name means no picture and loads nothing.
int LoadNamed(CPicture* picture, const char* name) {
  return name && *name ? floating::LoadSysPicture(picture, name) : 0;
}

}  // namespace

CCommonChartMenu::CCommonChartMenu(const GameRoles& game)
    : CCommonGeneral(game), set_(std::make_unique<Settings>()) {
  SetModeNumber(kModeNumber);
  LoadSetupFile("selectchart", 256);
  LoadBackScriptSetup();
  LoadFadeSetup();
  LoadBgmSetup();
  LoadQuickButtonSetup();
  LoadSettings();
  slots_ = std::make_unique<CChartSlots>(game_, set_->charts, set_->block);
  set_->charts = slots_->GetChartCount();
  set_->block = slots_->GetBlockSize();
  if (set_->basicChart < 0) set_->basicChart = set_->charts;
  LoadVariables();
  RegisterFunctions();

  CChartFile::SetChartDescMax(set_->descMax);
  for (int c = 0; c < set_->charts; ++c)
    charts_.push_back(std::make_unique<CChartFile>(c, set_->angou, set_->block));
  if (set_->editMode == 2) BackupCharts();
  DeriveNodes();

  slots_->CreateChartFolders();
  slots_->LoadSeenBits();
  slots_->LoadPassedBits();
  if (game_)
    game_.saves->SetAutoSaveDataByMode(kModeNumber, static_cast<int>(slots_->ExtSize()));

  // The first atlas gives the cells per atlas.
  CPicture first;
  std::string name = set_->tagSlot + std::string("1_1");
  if (LoadNamed(&first, name.c_str())) {
    atlasCols_ = AtLeast1(first.GetWidth() / set_->slotSizeX);
    atlasRows_ = AtLeast1(first.GetHeight() / set_->slotSizeY);
  }
  struct {
    std::unique_ptr<CPicture>* picture;
    const char* name;
  } layout[] = {{&cursor_, set_->fileCursor},   {&notLook_, set_->fileNotLook},
                {&compMark_, set_->fileComp},   {&nowMarker_, set_->fileNowChart},
                {&miniButton_, set_->fileMiniButton}, {&miniWindow_, set_->fileMiniWindow},
                {&tasseido_, set_->fileTasseido}, {&descWindow_, set_->fileDescWindow},
                {&capture_, set_->fileCapture}};
  for (auto& l : layout) {
    auto picture = std::make_unique<CPicture>();
    if (LoadNamed(picture.get(), l.name)) *l.picture = std::move(picture);
  }
  LoadPictureSizes();
  auto font = std::make_unique<CPicture>();
  if (LoadNamed(font.get(), set_->fileChartFont)) {
    numbers_ = std::make_unique<CNumberPrint>(font.get(), set_->fontSizeX, set_->fontSizeY, 3,
                                              set_->fontNextX, set_->fontUpZero, 1,
                                              set_->fontLeft);
    chartFont_ = std::move(font);
  }
  if (game_ && game_.text->GetFont()) text_ = std::make_unique<CTextPrint>(game_.text->GetFont());
  if (GetSetupList())
    tabs_ = std::make_unique<CCommonRadioButtonGroup>(GetSetupList(), "grow", nullptr, set_->charts);
  if (set_->newMarkPrint && GetSetupList())
    newMark_ = std::make_unique<CAnimePart>("newmark", GetSetupList(), 1);
  ConstructDialog();
  UpdateCompletion();
}

CCommonChartMenu::~CCommonChartMenu() { Release(); }

void CCommonChartMenu::Release() {
  if (slots_ && !released_) {
    slots_->SavePassedBits();
    slots_->SaveSeenBits();
    released_ = true;
  }
  numbers_.reset();
  text_.reset();
  dialogButtons_.reset();  // before the pictures it shows
  tabs_.reset();
  newMark_.reset();
  extraTabPictures_.clear();
  charts_.clear();
  atlases_.clear();
  extraBacks_.clear();
  backShown_.clear();
  centerShown_ = false;
}

void CCommonChartMenu::LoadVariables() {
  if (!game_) return;
  slotVar_ = game_.variables->GetVarNumber(set_->slotVarName);
  workVar_ = game_.variables->GetVarNumber(set_->workVarName);
  if (set_->savePrintChart) workVar2_ = game_.variables->GetVarNumber(set_->workVarName2);
  if (set_->basicChart < set_->charts) openVar_ = game_.variables->GetVarNumber(set_->chartOpenVar);
  if (set_->newMarkPrint) newMarkVar_ = game_.variables->GetVarNumber(set_->newMarkVarName);
}

int CCommonChartMenu::VarValue(int var) const { return var >= 0 && game_ ? game_.variables->GetVar(var) : 0; }

void CCommonChartMenu::DeriveNodes() {
  for (auto& chart : charts_) {
    for (int i = 0; i < chart->GetCount(); ++i) {
      const int n = chart->GetNodeNumber(i);
      const char* label = chart->GetNodeLabel(n);
      if (label && game_) chart->SetNodeState(n, game_.variables->GetVarNumber(label));
    }
  }
  // A node some link leads to is no root.
  for (auto& chart : charts_)
    for (int i = 0; i < chart->GetCount(); ++i) {
      const int n = chart->GetNodeNumber(i);
      for (int k = 0; k < chart->GetLinkCount(n); ++k) {
        const int t = chart->GetLinkTarget(n, k);
        if (CChartFile* target = GetChart(slots_->IsNode(t) ? ChartOf(t) : -1))
          target->SetNodeFlag(t, 0);
      }
    }
}

// --- Extension chunk and slot files ---

void CCommonChartMenu::SaveExtData(uint8_t* buffer, size_t size, int) {
  slots_->SaveExtData(buffer, size);
}

void CCommonChartMenu::LoadExtData(const uint8_t* buffer, size_t size, int) {
  slots_->LoadExtData(buffer, size);
  dialogShown_ = 0;
}

void CCommonChartMenu::SaveChartSlot(int returnToChart) {
  if (!game_) return;
  game_.modeFlow->SetReturnMode(returnToChart ? kModeNumber : modenumber::kTitle);
  game_.saves->KeepGameState();
  slots_->SaveSlot(VarValue(slotVar_));
}

void CCommonChartMenu::LoadChartSlot(int n) {
  slots_->LoadSlot(n);
  UpdateCompletion();
}

// --- Model ---

CChartFile* CCommonChartMenu::GetChart(int c) const {
  return c >= 0 && c < static_cast<int>(charts_.size()) ? charts_[static_cast<size_t>(c)].get()
                                                        : nullptr;
}

int CCommonChartMenu::SeenSize(int n) const {
  const CChartFile* chart = slots_->IsNode(n) ? GetChart(ChartOf(n)) : nullptr;
  if (!chart || chart->GetNodeIndex(n) > chart->GetRange()) return 0;
  return std::clamp(chart->GetNodeSize(n), 1, kMaxSeenItems);
}

bool CCommonChartMenu::IsOpen(int n) const {
  if (!slots_->GetOpenBit(n)) return false;
  const CChartFile* chart = GetChart(ChartOf(n));
  const int var = chart ? chart->GetNodeState(n) : -1;
  return var < 0 || VarValue(var) != 0;
}

bool CCommonChartMenu::IsNext(int n) const {
  if (!IsOpen(n)) return false;
  const CChartFile* chart = GetChart(entryChart_);
  if (!chart || !slots_->IsNode(currentNode_)) return false;
  for (int k = 0; k < chart->GetLinkCount(currentNode_); ++k)
    if (chart->GetLinkTarget(currentNode_, k) == n) return true;
  return false;
}

bool CCommonChartMenu::IsAllSeen(int n) const {
  const int size = SeenSize(n);
  if (size < 1) return false;
  const int mask = (1 << size) - 1;
  return (slots_->GetSeen(n) & mask) == mask;
}

bool CCommonChartMenu::IsChartOpen(int c) const {
  if (c < set_->basicChart || openVar_ < 0) return true;
  const int bit = (c - set_->basicChart) % 32;
  return (static_cast<uint32_t>(VarValue(openVar_)) >> bit & 1) != 0;
}

int CCommonChartMenu::Percent(int64_t a, int64_t b) {
  if (b < 1) b = 1;
  int64_t p = a * 100 / b;
  if (p == 0 && a > 0) p = 1;
  if (p >= 100 && a < b) p = 99;
  return static_cast<int>(p);
}

void CCommonChartMenu::UpdateCompletion() {
  seenCounts_.assign(charts_.size(), 0);
  percents_.assign(charts_.size(), 0);
  int64_t seen = 0, total = 0;
  for (size_t c = 0; c < charts_.size(); ++c) {
    const CChartFile& chart = *charts_[c];
    int64_t sum = 0;
    for (int i = 0; i < chart.GetCount(); ++i) {
      const int n = chart.GetNodeNumber(i);
      const int size = SeenSize(n);
      sum += size;
      const int bits = slots_->GetSeen(n) & ((1 << size) - 1);
      seenCounts_[c] += __builtin_popcount(static_cast<unsigned>(bits));
    }
    percents_[c] = Percent(seenCounts_[c], sum);
    seen += seenCounts_[c];
    total += sum;
  }
  totalPercent_ = Percent(seen, total);
}

int CCommonChartMenu::GetChartPercent(int c) const {
  return c >= 0 && c < static_cast<int>(percents_.size()) ? percents_[static_cast<size_t>(c)] : 0;
}

int CCommonChartMenu::GetSeenCount(int c) const {
  return c >= 0 && c < static_cast<int>(seenCounts_.size()) ? seenCounts_[static_cast<size_t>(c)]
                                                            : 0;
}

// --- Scrolling and the displayed chart ---

void CCommonChartMenu::SetScrollY(int y) {
  scrollY_ = y;
  ClampScroll();
  UpdateMiniWindow();
}

void CCommonChartMenu::ClampScroll() {
  const int height = game_ ? game_.screen->GetScreenHeight() : 600;
  scrollY_ = std::min(scrollY_, chartHeight_ - height);
  scrollY_ = std::max(scrollY_, 0);
}

void CCommonChartMenu::UpdateMiniWindow() {
  const int64_t height = game_ ? game_.screen->GetScreenHeight() : 600;
  const int64_t chart = AtLeast1(chartHeight_);
  miniWindowHeight_ = static_cast<int>(int64_t{set_->mini.sizeY} * height / chart);
  miniWindowY_ = static_cast<int>(int64_t{set_->mini.sizeY} * scrollY_ / chart);
}

void CCommonChartMenu::UpdateAllSeen() {
  const CChartFile* chart = GetChart(displayedChart_);
  allSeen_.assign(static_cast<size_t>(GetBlockSize()), 0);
  if (!chart) return;
  const int base = displayedChart_ * GetBlockSize();
  for (int i = 0; i < chart->GetCount(); ++i) {
    const int n = chart->GetNodeNumber(i);
    if (n >= base && n - base < GetBlockSize())
      allSeen_[static_cast<size_t>(n - base)] = IsAllSeen(n) ? 1 : 0;
  }
}

void CCommonChartMenu::ChangeChart(int c) {
  if (c < 0 || c >= GetChartCount()) c = 0;
  displayedChart_ = c;
  LoadMiniMapSettings(c);
  LoadChartPictures();
  const CChartFile* chart = GetChart(c);
  chartHeight_ = AtLeast1(floating::Offset(chart ? chart->GetChartHeight() : CChartFile::kMinHeight,
                                           set_->bottomSpace));
  ClampScroll();
  UpdateMiniWindow();
  hoveredNode_ = -1;
  miniMapState_ = 0;
  rightDrag_ = NodeDrag{};
  editDrag_ = NodeDrag{};
  editMessageCount_ = 0;
  UpdateAllSeen();
  if (tabs_) tabs_->SetSelect(c);
  LoadTabPictures();
}

bool CCommonChartMenu::ChartHasChoice(int c) const {
  const CChartFile* chart = GetChart(c);
  if (!chart) return false;
  for (int i = 0; i < chart->GetCount(); ++i) {
    const int n = chart->GetNodeNumber(i);
    if (IsNext(n) || IsSelectable(n)) return true;
  }
  return false;
}

void CCommonChartMenu::SetUpTabs() {
  if (!tabs_) return;
  for (int c = 0; c < GetChartCount(); ++c) {
    const bool open = IsChartOpen(c);
    tabs_->SetExist(c, open ? 1 : 0);
    tabs_->SetEnable(c, open && ChartHasChoice(c) ? 1 : 0);
  }
}

void CCommonChartMenu::LoadTabPictures() {
  if (!tabs_) return;
  const int pooled = std::max(CPicturePool::kCount - kFirstTabPicture, 0);
  for (int c = 0; c < tabs_->GetCount(); ++c) {
    CPicture* picture = nullptr;
    if (c < pooled) {
      picture = CPicturePool::GetPicture(c + kFirstTabPicture);
    } else {
      const size_t k = static_cast<size_t>(c - pooled);
      if (extraTabPictures_.size() <= k) extraTabPictures_.resize(k + 1);
      if (!extraTabPictures_[k]) extraTabPictures_[k] = std::make_unique<CPicture>();
      picture = extraTabPictures_[k].get();
    }
    const char* name = tabs_->GetFilename(c, -1);
    if (picture && name && *name && LoadNamed(picture, name)) tabs_->SetPicture(picture, c, -1);
  }
}

void CCommonChartMenu::LoadChartPictures() {
  const int c = displayedChart_;
  char name[300];
  // Slot atlases: as many as the chart's highest node needs.
  atlases_.clear();
  const CChartFile* chart = GetChart(c);
  const int64_t cells = int64_t{atlasCols_} * atlasRows_;
  const int64_t needed =
      chart ? (int64_t{chart->GetMaxNodeNumber()} - int64_t{c} * GetBlockSize() + 1 + cells - 1) /
                  cells
            : 0;
  for (int64_t k = 1; k <= needed && k <= set_->maxAtlases; ++k) {
    std::snprintf(name, sizeof name, "%s%d_%lld", set_->tagSlot, c + 1,
                  static_cast<long long>(k));
    auto picture = std::make_unique<CPicture>();
    if (!LoadNamed(picture.get(), name)) picture.reset();
    atlases_.push_back(std::move(picture));
  }
  backCount_ = BackPictureCount(c, &backHeight_);
  // With the back script providing them, the channels' pictures show as
  // they are.
  const bool menuLoads = !(GetBackScriptFlag() && set_->picLoadBackScript);
  extraBacks_.clear();
  backShown_.assign(static_cast<size_t>(backCount_), menuLoads ? 0 : 1);
  if (menuLoads && *set_->tagBack) {
    for (int k = 1; k <= backCount_; ++k) {
      std::snprintf(name, sizeof name, "%s%d_%d", set_->tagBack, c + 1, k);
      CPicture* picture = nullptr;
      if (k <= kChannelBacks) {
        picture = game_ ? game_.screen->GetEffectPicture(k - 1) : nullptr;
      } else {
        extraBacks_.push_back(std::make_unique<CPicture>());
        picture = extraBacks_.back().get();
      }
      backShown_[static_cast<size_t>(k - 1)] = picture && LoadNamed(picture, name) ? 1 : 0;
    }
  }
  centerShown_ = !menuLoads;
  if (menuLoads && *set_->tagCenter) {
    std::snprintf(name, sizeof name, "%s%d", set_->tagCenter, c + 1);
    CPicture* picture = game_ ? game_.screen->GetEffectPicture(set_->centerPicLayer) : nullptr;
    centerShown_ = picture && LoadNamed(picture, name);
  }
  miniBase_.reset();
  auto base = std::make_unique<CPicture>();
  if (LoadNamed(base.get(), set_->mini.fileBase)) miniBase_ = std::move(base);
}

// --- Entry and calculation ---

int CCommonChartMenu::Init() {
  miniMapState_ = 0;
  dialogShown_ = 0;
  jumpRequested_ = 0;
  rightDrag_ = NodeDrag{};
  editDrag_ = NodeDrag{};
  if (set_->warningPrint) {
    if (!dialog_) {
      auto picture = std::make_unique<CPicture>();
      if (LoadNamed(picture.get(), set_->fileDialog)) dialog_ = std::move(picture);
    }
    LoadDialogPictures();
  }
  const int slot = VarValue(slotVar_);
  currentNode_ = slots_->IsNode(slot) ? slot : -1;
  entryChart_ = currentNode_ >= 0 ? ChartOf(currentNode_) : 0;
  int shown = entryChart_;
  if (set_->savePrintChart && workVar2_ >= 0) shown = VarValue(workVar2_);
  if (game_) game_.floating->HideFloatingButtons();
  newChartBits_ = 0;
  const uint32_t acknowledged =
      set_->newMarkPrint ? static_cast<uint32_t>(VarValue(newMarkVar_)) : 0xFFFFFFFFu;
  if (newMark_) newMark_->Init();
  SetUpTabs();
  for (int c = 0; c < GetChartCount() && c < 32; ++c)
    if (set_->newMarkPrint && IsChartOpen(c) && ChartHasChoice(c) && !(acknowledged >> c & 1))
      newChartBits_ |= 1u << c;
  ChangeChart(shown);
  if (displayedChart_ == entryChart_ && currentNode_ >= 0) {
    const CChartFile* chart = GetChart(entryChart_);
    const int height = game_ ? game_.screen->GetScreenHeight() : 600;
    SetScrollY(chart->GetNodePos(currentNode_).y - height / 2);
  }
  hoveredNode_ = -1;
  descNode_ = -1;
  return -1;
}

int CCommonChartMenu::Fold(int t, int count) {
  const int half = count / 2 > 0 ? count / 2 : 1;
  return t > half ? std::max(0, count - t) : t;
}

int CCommonChartMenu::GetPulseZoom() const {
  const int count = AtLeast1(set_->buttonMultiCount);
  return 100 + (set_->buttonMulti - 100) * Fold(pulseCounter_, count) / HalfPeriod(count);
}

