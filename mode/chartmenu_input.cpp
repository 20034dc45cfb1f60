// CCommonChartMenu: the story's arrival at nodes, the player's input over
// the chart, the jump back into the story and the script functions.
#include <algorithm>
#include <cstdint>
#include <string>

#include "services/floatingservices.h"
#include "services/inputservices.h"
#include "services/messagewindowservices.h"
#include "services/modeflowservices.h"
#include "services/saveservices.h"
#include "services/screenservices.h"
#include "services/soundservices.h"
#include "services/variableservices.h"
#include "input/inputstatus.h"
#include "mode/chartmenu.h"
#include "mode/chartmenu_settings.h"
#include "platform/system.h"
#include "graphics/picture.h"
#include "platform/files.h"
#include "savedata/chartfile.h"
#include "widget/buttongroup.h"
#include "widget/floatinglayer.h"
#include "widget/buttoncode.h"
#include "widget/radiobuttongroup.h"

namespace {
constexpr int kLeft = 0, kRight = 1, kMiddle = 2;
// The description window gives way when the mouse comes this near.
constexpr int kDescMargin = 64;
constexpr int kEditMessageFrames = 70;
}  // namespace

// --- Operations on the per-node arrays ---

void CCommonChartMenu::MarkNodeSeen(int n, int item) {
  if (!slots_->IsNode(n)) return;
  const int size = SeenSize(n);
  if (size <= 1) {
    slots_->SetSeen(n, slots_->GetSeen(n) | 1);
  } else if (item >= 1 && item <= kMaxSeenItems) {
    // An item past the node's size still marks the node reached; its bit
    // counts for no sub-item.
    slots_->SetSeen(n, slots_->GetSeen(n) | (1 << (item - 1)));
  }
  UpdateCompletion();
}

void CCommonChartMenu::SetNodeOpen(int n, int flag) {
  if (!slots_->IsNode(n)) return;
  slots_->SetOpenBit(n, flag != 0);
}

void CCommonChartMenu::RecordBranch(int from, int to) {
  const CChartFile* chart = slots_->IsNode(from) ? GetChart(ChartOf(from)) : nullptr;
  if (!chart) return;
  for (int k = 0; k < chart->GetLinkCount(from); ++k)
    if (chart->GetLinkTarget(from, k) == to) {
      slots_->SetFlag(from, k + 1);
      return;
    }
}

void CCommonChartMenu::OpenChart(int number) {
  const int64_t i = int64_t{number} - (int64_t{set_->basicChart} + 1);
  if (i < 0 || i > 30 || openVar_ < 0 || !game_) return;
  game_.variables->SetVar(openVar_, VarValue(openVar_) | (1 << i));
  game_.saves->SaveSystemFile();
}

void CCommonChartMenu::SetVarValue(int var, int value) {
  if (var >= 0 && game_) game_.variables->SetVar(var, value);
}

void CCommonChartMenu::RegisterFunctions() {
  if (!game_) return;
  for (int t = 0; t < kFunctionTypes; ++t)
    if (set_->useFunction[t]) game_.modeFlow->RegistSystemFunction(kModeNumber, set_->functionName[t], t);
  if (set_->useFunction[1]) percentVar_ = game_.variables->GetVarNumber(set_->chartPercentVarName);
  if (set_->useFunction[2]) compVar_ = game_.variables->GetVarNumber(set_->checkCompVarName);
}

// --- Overrides of the game's calls ---

void CCommonChartMenu::NewGame() {
  displayedChart_ = 0;
  slots_->ClearFlags();
}

void CCommonChartMenu::ResetGame() {
  const int slot = VarValue(slotVar_);
  currentNode_ = slot;
  displayedChart_ = slots_->IsNode(slot) ? ChartOf(slot) : 0;
  if (set_->savePrintChart) displayedChart_ = VarValue(workVar2_);
}

// The story reached the node in the slot variable.
void CCommonChartMenu::Arrive(int a) {
  RecordBranch(VarValue(workVar_), a);
  if (SeenSize(a) <= 1) MarkNodeSeen(a, 0);
}

void CCommonChartMenu::SetCallArgs(int, const int*) {
  const int a = VarValue(slotVar_);
  if (a != 0) {
    Arrive(a);
  } else {
    SetVarValue(slotVar_, 1);
    MarkNodeSeen(1, 0);
  }
  SetVarValue(workVar_, a);
  SaveChartSlot(1);
  if (set_->autoNextOn != 1 || !slots_->IsNode(a)) return;
  const CChartFile* chart = GetChart(ChartOf(a));
  if (!chart || chart->GetLinkCount(a) != 1) return;
  const int t = chart->GetLinkTarget(a, 0);
  if (!slots_->IsNode(t) || ChartOf(t) == ChartOf(a)) return;
  SetVarValue(slotVar_, t);
  RecordBranch(VarValue(workVar_), t);
  MarkNodeSeen(t, 0);
  SetVarValue(workVar_, t);
  displayedChart_ = ChartOf(t);
  if (set_->savePrintChart) SetVarValue(workVar2_, displayedChart_);
  SaveChartSlot(1);
}

void CCommonChartMenu::ExitGame() {
  platform::DebugOutput("\n\nExitGame" "\x93\xae\x8d\xec\x82\xb5\x82\xdc\x82\xb5\x82\xbd\n");
  const int a = VarValue(slotVar_);
  if (a == 0) return;
  Arrive(a);
  SetVarValue(workVar_, a);
  SaveChartSlot(0);
}

// The script functions by type; a and b are the call's first two
// arguments as Function gives them.
void CCommonChartMenu::FunctionSetRoute(int a, int) { MarkNodeSeen(VarValue(slotVar_), a); }

void CCommonChartMenu::FunctionGetChartPercent(int a, int) {
  if (a == 0 || a == -1)
    SetVarValue(percentVar_, GetTotalPercent());
  else if (a >= 1 && a <= GetChartCount())
    SetVarValue(percentVar_, GetChartPercent(a - 1));
}

void CCommonChartMenu::FunctionCheckCompSlot(int, int) {
  SetVarValue(compVar_, IsAllSeen(VarValue(slotVar_)) ? 1 : 0);
}

void CCommonChartMenu::FunctionOpenChart(int a, int) { OpenChart(a); }

void CCommonChartMenu::FunctionSlotOn(int a, int b) { SetNodeOpen(a, b); }

void CCommonChartMenu::FunctionSlotOpen(int a, int) {
  const int w = VarValue(workVar_);
  SetVarValue(workVar_, a);
  MarkNodeSeen(a, 0);
  SaveChartSlot(1);
  SetVarValue(workVar_, w);
}

int CCommonChartMenu::Function(int type, int count, const int* args) {
  platform::DebugOutput("\n\nFunction" "\x93\xae\x8d\xec\x82\xb5\x82\xdc\x82\xb5\x82\xbd\n\n");
  using Handler = void (CCommonChartMenu::*)(int, int);
  static constexpr struct {
    int type;
    Handler run;
  } kHandlers[] = {{0, &CCommonChartMenu::FunctionSetRoute},  {1, &CCommonChartMenu::FunctionGetChartPercent},
                   {2, &CCommonChartMenu::FunctionCheckCompSlot}, {3, &CCommonChartMenu::FunctionOpenChart},
                   {4, &CCommonChartMenu::FunctionSlotOn},    {5, &CCommonChartMenu::FunctionSlotOpen}};
  const int a = count >= 1 && args ? args[0] : 0;
  const int b = count >= 2 && args ? args[1] : (type == 4 ? 1 : 0);
  for (const auto& h : kHandlers)
    if (h.type == type) (this->*h.run)(a, b);
  return 0;
}

// --- The jump ---

void CCommonChartMenu::AtExit() {
  if (!jumpRequested_) return;
  jumpRequested_ = 0;
  SetVarValue(workVar_, currentNode_);
  SetVarValue(slotVar_, chosenNode_);
  if (!IsLinkOfCurrent(chosenNode_)) LoadChartSlot(chosenNode_);
  if (set_->newMarkPrint && newChartBits_ != 0 && newMarkVar_ >= 0 && slots_->IsNode(chosenNode_)) {
    const int c = ChartOf(chosenNode_);
    const uint32_t bit = c < 32 ? newChartBits_ & (1u << c) : 0;
    SetVarValue(newMarkVar_, static_cast<int>(static_cast<uint32_t>(VarValue(newMarkVar_)) | bit));
  }
  if (game_) game_.messageWindow->SetSkipFilmFlag(1);
}

bool CCommonChartMenu::IsLinkOfCurrent(int n) const {
  const CChartFile* chart = slots_->IsNode(currentNode_) ? GetChart(ChartOf(currentNode_)) : nullptr;
  if (!chart) return false;
  for (int k = 0; k < chart->GetLinkCount(currentNode_); ++k)
    if (chart->GetLinkTarget(currentNode_, k) == n) return true;
  return false;
}

// --- Input ---

int CCommonChartMenu::NodeAt(int mx, int my, bool (CCommonChartMenu::*candidate)(int) const) const {
  const CChartFile* chart = GetChart(displayedChart_);
  if (!chart) return -1;
  for (int i = chart->GetCount() - 1; i >= 0; --i) {
    const int n = chart->GetNodeNumber(i);
    if (!slots_->IsNode(n) || (candidate && !(this->*candidate)(n))) continue;
    int x, y;
    NodeScreenPos(n, &x, &y);
    if (!IsButtonVisible(x, y)) continue;
    const int left = x - set_->slotSizeX / 2, top = y - set_->slotSizeY / 2;
    if (mx >= left && mx < left + set_->slotSizeX && my >= top && my < top + set_->slotSizeY)
      return n;
  }
  return -1;
}

bool CCommonChartMenu::IsHoverCandidate(int n) const {
  return (IsLinkOfCurrent(n) && ChartOf(n) == displayedChart_) ||
         (set_->allClickOk == 1 && IsSelectable(n));
}

bool CCommonChartMenu::IsDescCandidate(int n) const { return IsSeen(n); }

bool CCommonChartMenu::IsNextCandidate(int n) const { return IsNext(n); }

namespace {

platform::Point MousePos(const GameRoles& game) {
  platform::Point pos{0, 0};
  if (CMouseStatus* mouse = game ? game.input->GetMouseStatus() : nullptr) mouse->GetPos(&pos);
  return pos;
}

bool Held(const GameRoles& game, int button) {
  CMouseStatus* mouse = game ? game.input->GetMouseStatus() : nullptr;
  return mouse && mouse->GetTrig(button);
}

bool Clicked(const GameRoles& game, int button) {
  CMouseStatus* mouse = game ? game.input->GetMouseStatus() : nullptr;
  return mouse && mouse->GetClick(button);
}

int Clamp(int64_t v, int64_t lo, int64_t hi) {
  // The upper bound first, as the scroll's rule: crossed bounds give lo.
  return static_cast<int>(std::max(std::min(v, hi), lo));
}

bool IsPressedKind(int code) {
  const int kind = GetButtonCodeKind(code);
  return kind == buttoncode::kPressed || kind == buttoncode::kBusy;
}

}  // namespace

// --- The confirmation dialog ---

void CCommonChartMenu::ConstructDialog() {
  if (!GetSetupList()) return;
  static constexpr const char* kNames[] = {"dialogOk", "dialogCancel"};
  dialogButtons_ = std::make_unique<CCommonButtonGroup>(GetSetupList(), 2, nullptr, nullptr, kNames);
  for (int i = 0; i < 2; ++i) {
    dialogButtonPictures_[i] = std::make_unique<CPicture>();
    dialogButtons_->SetPicture(i, dialogButtonPictures_[i].get());
    const platform::Point p = dialogButtons_->GetPrintXY(i);
    dialogButtons_->SetPrintXY(i, floating::Offset(p.x, set_->dialogX),
                               floating::Offset(p.y, set_->dialogY));
  }
  dialogButtons_->SetCancelButton(1, 1);
}

void CCommonChartMenu::LoadDialogPictures() {
  if (!dialogButtons_) return;
  for (int i = 0; i < 2; ++i) {
    const char* name = dialogButtons_->GetFilename(i);
    if (name && *name) floating::LoadSysPicture(dialogButtonPictures_[i].get(), name);
  }
}

int CCommonChartMenu::CalcuDialog() {
  if (!dialogButtons_) {
    dialogShown_ = 0;
    return -1;
  }
  const int result = CheckButtonResult2(dialogButtons_->Calcu(input_));
  if (result == 0) {
    // The dialog stays on screen while the menu fades out.
    jumpRequested_ = 1;
    return ExitToMode(-1);
  }
  if (result == 1) {
    // Cancel: the menu stands as it did before the choice.
    dialogShown_ = 0;
    chosenNode_ = -1;
  }
  return -1;
}

// --- The calculation step ---

int CCommonChartMenu::Calcu() {
  const int width = game_ ? std::max(1, game_.screen->GetScreenWidth()) : 800;
  const int64_t moved = int64_t{centerScrollX_} - ScrollSpeedX(displayedChart_) + width;
  centerScrollX_ = static_cast<int>(((moved % width) + width) % width);
  if (dialogShown_) return CalcuDialog();
  pulseCounter_ = (pulseCounter_ + 1) % std::max(1, set_->buttonMultiCount);
  lineColorCounter_ = (lineColorCounter_ + 1) % std::max(1, set_->lineColorCount);
  if (!game_ || !game_.input->GetMouseStatus()) return -1;
  if (set_->editMode == 2) return CalcuEdit();
  return CalcuInput();
}

int CCommonChartMenu::CalcuInput() {
  using Step = int (CCommonChartMenu::*)();
  static constexpr Step kSteps[] = {&CCommonChartMenu::StepRightDrag,
                                    &CCommonChartMenu::StepRightPress,
                                    &CCommonChartMenu::StepFloating, &CCommonChartMenu::StepTabs,
                                    &CCommonChartMenu::StepShortCut};
  for (Step step : kSteps)
    if (const int result = (this->*step)(); result != kGoOn) return result;
  StepDescWindow();
  if (miniMapState_ == 1) {
    StepWindowDrag();
  } else if (miniMapState_ == 2) {
    StepDragScroll();
  } else {
    for (Step step : {&CCommonChartMenu::StepMiniMapClick, &CCommonChartMenu::StepWheel,
                      &CCommonChartMenu::StepPointer})
      if (const int result = (this->*step)(); result != kGoOn) return result;
  }
  if (!Held(game_, kLeft)) miniMapState_ = 0;
  return -1;
}

int CCommonChartMenu::StepRightDrag() {
  if (rightDrag_.node < 0) return kGoOn;
  if (!Held(game_, kRight)) {
    rightDrag_.node = -1;
    return -1;
  }
  const platform::Point m = MousePos(game_);
  const int64_t halfX = set_->slotSizeX / 2, halfY = set_->slotSizeY / 2;
  const int x = Clamp(int64_t{rightDrag_.startX} + m.x - rightDrag_.mouseX, halfX,
                      int64_t{set_->slotAreaSizeX} - halfX);
  const int y = Clamp(int64_t{rightDrag_.startY} + m.y - rightDrag_.mouseY, halfY,
                      int64_t{chartHeight_} - halfY);
  if (CChartFile* chart = GetChart(ChartOf(rightDrag_.node))) chart->SetNodePos(rightDrag_.node, x, y);
  return -1;
}

int CCommonChartMenu::StepRightPress() {
  if (!Held(game_, kRight)) return kGoOn;
  const platform::Point m = MousePos(game_);
  const int n = NodeAt(m.x, m.y, nullptr);
  if (set_->dontRightMove != 0 || n < 0) return kGoOn;
  const platform::Point p = GetChart(displayedChart_)->GetNodePos(n);
  rightDrag_ = NodeDrag{n, p.x, p.y, m.x, m.y};
  return -1;
}

int CCommonChartMenu::StepFloating() {
  const int code = game_.floating->CheckFloatingButtons();
  if (code == buttoncode::kNothing) return kGoOn;
  if (tabs_) tabs_->Calcu(nullptr);
  if (CheckButtonResult(code) == 0) return game_.modeFlow->PrepareSystemMode(modenumber::kSystemMenu, kModeNumber);
  return IsPressedKind(code) ? -1 : kGoOn;
}

int CCommonChartMenu::StepTabs() {
  if (!tabs_) return kGoOn;
  const int code = tabs_->Calcu(input_);
  const int c = CheckButtonResult(code);
  if (c >= 0 && c < GetChartCount()) {
    if (set_->savePrintChart) SetVarValue(workVar2_, c);
    ChangeChart(c);
    if (displayedChart_ == entryChart_ && currentNode_ >= 0) {
      const int height = game_.screen->GetScreenHeight();
      SetScrollY(GetChart(entryChart_)->GetNodePos(currentNode_).y - height / 2);
    }
    return -1;
  }
  return IsPressedKind(code) ? -1 : kGoOn;
}

int CCommonChartMenu::StepShortCut() {
  const int mode = game_.floating->CheckShortCut(kModeNumber);
  if (mode == modenumber::kSystemMenu) return game_.modeFlow->PrepareSystemMode(modenumber::kSystemMenu, kModeNumber);
  if (mode != -1) return ExitToMode(mode);
  return kGoOn;
}

void CCommonChartMenu::StepDescWindow() {
  const int y = MousePos(game_).y;
  const int height = descWindow_ ? descWindow_->GetHeight() : 0;
  if (!descUpper_ && int64_t{y} >= int64_t{set_->lowerDescY} - kDescMargin) {
    descUpper_ = 1;
  } else if (descUpper_ && int64_t{y} < int64_t{set_->upperDescY} + height + kDescMargin) {
    descUpper_ = 0;
  }
}

void CCommonChartMenu::MoveMiniWindow(int y) {
  const int64_t sizeY = std::max(set_->mini.sizeY, 1);
  miniWindowY_ = Clamp(y, 0, sizeY - miniWindowHeight_);
  scrollY_ = static_cast<int>(int64_t{miniWindowY_} * chartHeight_ / sizeY);
  ClampScroll();
}

void CCommonChartMenu::StepWindowDrag() {
  MoveMiniWindow(Clamp(int64_t{pressWindowY_} + MousePos(game_).y - pressY_, INT32_MIN, INT32_MAX));
}

void CCommonChartMenu::StepDragScroll() {
  const int64_t d = int64_t{MousePos(game_).y} - pressY_;
  const int64_t s = set_->captureReverse ? -1 : 1;
  const int64_t height = std::max(game_.screen->GetScreenHeight(), 1);
  const int64_t step = set_->mainCaptureOk == 3 ? d * (chartHeight_ - height) / height : d;
  SetScrollY(Clamp(int64_t{pressScrollY_} - step * s, INT32_MIN, INT32_MAX));
}

void CCommonChartMenu::StartDragScroll() {
  miniMapState_ = 2;
  descNode_ = -1;
  pressY_ = MousePos(game_).y;
  pressScrollY_ = scrollY_;
}

int CCommonChartMenu::StepMiniMapClick() {
  if (!Clicked(game_, kLeft)) return kGoOn;
  const Settings::MiniMap& m = set_->mini;
  const platform::Point p = MousePos(game_);
  const int64_t x = int64_t{p.x} - (int64_t{m.baseX} + m.printX);
  const int64_t y = int64_t{p.y} - (int64_t{m.baseY} + m.printY);
  if (x < 0 || x >= m.sizeX || y < 0 || y >= m.sizeY) return kGoOn;
  const int64_t top = int64_t{miniWindowY_} + set_->miniWindowPrintY;
  const int64_t span = int64_t{miniWindowHeight_} + set_->miniWindowUp + set_->miniWindowDown;
  if (set_->autoJumpMiniWindow == 1 && (y < top || y >= top + span))
    MoveMiniWindow(static_cast<int>(y - miniWindowHeight_ / 2));
  miniMapState_ = 1;
  pressY_ = p.y;
  pressWindowY_ = miniWindowY_;
  return -1;
}

int CCommonChartMenu::StepWheel() {
  const int wheel = game_.input->GetMouseStatus()->GetWheel();
  if (wheel == 0) return kGoOn;
  SetScrollY(Clamp(int64_t{scrollY_} - int64_t{wheel} * set_->scrollSpeed, INT32_MIN, INT32_MAX));
  return -1;
}

int CCommonChartMenu::StepPointer() {
  const platform::Point pos = MousePos(game_);
  const int before = hoveredNode_;
  hoveredNode_ = NodeAt(pos.x, pos.y, &CCommonChartMenu::IsHoverCandidate);
  if (set_->mainCaptureOk != 0 && Held(game_, kLeft) && hoveredNode_ < 0 &&
      InsideChartArea(pos)) {
    StartDragScroll();
    return -1;
  }
  descNode_ = NodeAt(pos.x, pos.y, &CCommonChartMenu::IsDescCandidate);
  if (descNode_ < 0 && displayedChart_ == entryChart_)
    descNode_ = NodeAt(pos.x, pos.y, &CCommonChartMenu::IsNextCandidate);
  if (hoveredNode_ >= 0 && hoveredNode_ != before && IsOpen(hoveredNode_) && set_->overSound > 0)
    game_.sound->PlaySystemSe(set_->overSound - 1, 0);
  if (!Clicked(game_, kLeft) || hoveredNode_ < 0) return -1;
  const bool next = IsNext(hoveredNode_);
  if (!next && !(set_->allClickOk == 1 && IsSelectable(hoveredNode_))) return -1;
  if (set_->selectSound > 0) game_.sound->PlaySystemSe(set_->selectSound - 1, 0);
  chosenNode_ = hoveredNode_;
  // Without the dialog's buttons there is nothing to ask with: the jump
  // goes on.
  if (next || !set_->warningPrint || !dialogButtons_) {
    jumpRequested_ = 1;
    return ExitToMode(-1);
  }
  dialogShown_ = 1;
  dialogButtons_->Init();
  return -1;
}

bool CCommonChartMenu::InsideChartArea(platform::Point p) const {
  const int64_t x = int64_t{p.x} - set_->slotAreaStartX, y = int64_t{p.y} - set_->slotAreaStartY;
  return x >= 0 && x < set_->slotAreaSizeX && y >= 0 && y < set_->slotAreaSizeY;
}

// --- Edit mode: an authoring aid that moves nodes and writes the charts ---

int CCommonChartMenu::CalcuEdit() {
  if (editMessageCount_ > 0) --editMessageCount_;
  if (Clicked(game_, kMiddle)) SaveEditedChart();
  if (const int result = StepTabs(); result != kGoOn) return result;
  if (miniMapState_ == 1) {
    StepWindowDrag();
  } else if (miniMapState_ == 2) {
    StepDragScroll();
  } else {
    for (int (CCommonChartMenu::*step)() :
         {&CCommonChartMenu::StepMiniMapClick, &CCommonChartMenu::StepWheel})
      if (const int result = (this->*step)(); result != kGoOn) return result;
  }
  const platform::Point m = MousePos(game_);
  if (editDrag_.node >= 0) {
    if (!Held(game_, kLeft)) {
      editDrag_.node = -1;
    } else if (CChartFile* chart = GetChart(ChartOf(editDrag_.node))) {
      // Unclamped: an author may move a node anywhere, within an int.
      const int x = Clamp(int64_t{editDrag_.startX} + m.x - editDrag_.mouseX, INT32_MIN, INT32_MAX);
      const int y = Clamp(int64_t{editDrag_.startY} + m.y - editDrag_.mouseY, INT32_MIN, INT32_MAX);
      chart->SetNodePos(editDrag_.node, x, y);
    }
  }
  const int width = std::max(1, game_.screen->GetScreenWidth());
  centerScrollX_ = (centerScrollX_ + 1) % width;
  if (miniMapState_ == 0 && editDrag_.node < 0 && Clicked(game_, kLeft)) {
    if (const int n = NodeAt(m.x, m.y, nullptr); n >= 0) {
      const platform::Point p = GetChart(displayedChart_)->GetNodePos(n);
      editDrag_ = NodeDrag{n, p.x, p.y, m.x, m.y};
    } else if (InsideChartArea(m)) {
      StartDragScroll();
    }
  }
  if (!Held(game_, kLeft)) miniMapState_ = 0;
  return -1;
}

namespace {
std::string EditedChartName(int c) { return "chart\\chart" + std::to_string(c + 1) + ".xtx"; }
}  // namespace

void CCommonChartMenu::SaveEditedChart() {
  const CChartFile* chart = GetChart(displayedChart_);
  if (chart && chart->Save()) {
    editMessageChart_ = displayedChart_;
    editMessageCount_ = kEditMessageFrames;
    return;
  }
  platform::ErrorOutput((EditedChartName(displayedChart_) + " is not saved: it cannot be written").c_str());
}

void CCommonChartMenu::BackupCharts() {
  if (!platform::CreateDirectory("chart\\bak")) {
    platform::ErrorOutput("chart\\bak cannot be made: the charts are not backed up");
    return;
  }
  for (size_t c = 0; c < charts_.size(); ++c)
    if (!charts_[c]->Backup())
      platform::ErrorOutput((EditedChartName(static_cast<int>(c)) + " is not backed up in chart\\bak").c_str());
}
