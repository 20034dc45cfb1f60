// CCommonChartMenu: the story's arrival at nodes, the player's input over
// the chart, the jump back into the story and the script functions.
#include <algorithm>
#include <cstdint>

#include "game/gamecallback.h"
#include "game/inputstatus.h"
#include "mode/chartmenu.h"
#include "mode/chartmenu_settings.h"
#include "platform/system.h"
#include "savedata/chartfile.h"
#include "widget/buttoncode.h"

namespace {
constexpr int kSystemMenuMode = 13;
constexpr int kLeft = 0;
}  // namespace

// --- Operations on the per-node arrays ---

void CCommonChartMenu::MarkNodeSeen(int n, int item) {
  if (!slots_->IsNode(n)) return;
  const int size = SeenSize(n);
  if (size <= 1) {
    slots_->SetSeen(n, slots_->GetSeen(n) | 1);
  } else if (item >= 1 && item <= size) {
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
  game_->SetVar(openVar_, VarValue(openVar_) | (1 << i));
  game_->SaveSystemFile();
}

void CCommonChartMenu::SetVarValue(int var, int value) {
  if (var >= 0 && game_) game_->SetVar(var, value);
}

void CCommonChartMenu::RegisterFunctions() {
  if (!game_) return;
  for (int t = 0; t < kFunctionTypes; ++t)
    if (set_->useFunction[t]) game_->RegistSystemFunction(kModeNumber, set_->functionName[t], t);
  if (set_->useFunction[1]) percentVar_ = game_->GetVarNumber(set_->chartPercentVarName);
  if (set_->useFunction[2]) compVar_ = game_->GetVarNumber(set_->checkCompVarName);
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

int CCommonChartMenu::Function(int type, int count, const int* args) {
  platform::DebugOutput("\n\nFunction" "\x93\xae\x8d\xec\x82\xb5\x82\xdc\x82\xb5\x82\xbd\n\n");
  const int a = count >= 1 && args ? args[0] : 0;
  const int b = count >= 2 && args ? args[1] : (type == 4 ? 1 : 0);
  switch (type) {
    case 0:
      MarkNodeSeen(VarValue(slotVar_), a);
      break;
    case 1:
      if (a == 0 || a == -1)
        SetVarValue(percentVar_, GetTotalPercent());
      else if (a >= 1 && a <= GetChartCount())
        SetVarValue(percentVar_, GetChartPercent(a - 1));
      break;
    case 2:
      SetVarValue(compVar_, IsAllSeen(VarValue(slotVar_)) ? 1 : 0);
      break;
    case 3:
      OpenChart(a);
      break;
    case 4:
      SetNodeOpen(a, b);
      break;
    case 5: {
      const int w = VarValue(workVar_);
      SetVarValue(workVar_, a);
      MarkNodeSeen(a, 0);
      SaveChartSlot(1);
      SetVarValue(workVar_, w);
      break;
    }
    default:
      break;
  }
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
  if (game_) game_->SetSkipFilmFlag(1);
}

bool CCommonChartMenu::IsLinkOfCurrent(int n) const {
  const CChartFile* chart = slots_->IsNode(currentNode_) ? GetChart(ChartOf(currentNode_)) : nullptr;
  if (!chart) return false;
  for (int k = 0; k < chart->GetLinkCount(currentNode_); ++k)
    if (chart->GetLinkTarget(currentNode_, k) == n) return true;
  return false;
}

void CCommonChartMenu::DecideDialog(int result) {
  if (result == 0) {
    jumpRequested_ = 1;
  } else if (result == 1) {
    dialogShown_ = 0;
  }
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

int CCommonChartMenu::CalcuInput() {
  CMouseStatus* mouse = game_ ? game_->GetMouseStatus() : nullptr;
  if (!mouse) return -1;
  // Floating buttons: the system menu comes back to the chart.
  const int floatingCode = game_->CheckFloatingButtons();
  const int floatingKind = GetButtonCodeKind(floatingCode);
  if (CheckButtonResult(floatingCode) == 0) return game_->PrepareSystemMode(kSystemMenuMode, kModeNumber);
  if (floatingKind == buttoncode::kPressed || floatingKind == buttoncode::kBusy) return -1;
  const int shortcut = game_->CheckShortCut(kModeNumber);
  if (shortcut == kSystemMenuMode) return game_->PrepareSystemMode(kSystemMenuMode, kModeNumber);
  if (shortcut != -1) return ExitToMode(shortcut);

  platform::Point pos{0, 0};
  mouse->GetPos(&pos);
  if (const int wheel = mouse->GetWheel(); wheel != 0) {
    SetScrollY(static_cast<int>(int64_t{scrollY_} - int64_t{wheel} * set_->scrollSpeed));
    return -1;
  }
  const int before = hoveredNode_;
  hoveredNode_ = NodeAt(pos.x, pos.y, &CCommonChartMenu::IsHoverCandidate);
  descNode_ = NodeAt(pos.x, pos.y, &CCommonChartMenu::IsDescCandidate);
  if (descNode_ < 0 && displayedChart_ == entryChart_)
    descNode_ = NodeAt(pos.x, pos.y, &CCommonChartMenu::IsNextCandidate);
  if (hoveredNode_ >= 0 && hoveredNode_ != before && IsOpen(hoveredNode_) && set_->overSound > 0)
    game_->PlaySystemSe(set_->overSound - 1, 0);
  if (!mouse->GetClick(kLeft) || hoveredNode_ < 0) return -1;
  const bool next = IsNext(hoveredNode_);
  if (!next && !(set_->allClickOk == 1 && IsSelectable(hoveredNode_))) return -1;
  if (set_->selectSound > 0) game_->PlaySystemSe(set_->selectSound - 1, 0);
  chosenNode_ = hoveredNode_;
  // Without the dialog's buttons there is no dialog: the jump goes on.
  if (next || !set_->warningPrint || !HasDialogButtons()) {
    jumpRequested_ = 1;
    return ExitToMode(-1);
  }
  dialogShown_ = 1;
  return -1;
}

bool CCommonChartMenu::HasDialogButtons() const { return false; }

int CCommonChartMenu::Calcu() {
  const int width = game_ ? std::max(1, game_->GetScreenWidth()) : 800;
  const int64_t moved = int64_t{centerScrollX_} - ScrollSpeedX(displayedChart_) + width;
  centerScrollX_ = static_cast<int>(((moved % width) + width) % width);
  if (dialogShown_) return -1;
  pulseCounter_ = (pulseCounter_ + 1) % std::max(1, set_->buttonMultiCount);
  lineColorCounter_ = (lineColorCounter_ + 1) % std::max(1, set_->lineColorCount);
  return CalcuInput();
}
